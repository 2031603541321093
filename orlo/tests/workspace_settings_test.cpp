// Start-up and closing of the main window: the settings file read and written,
// window positions, and where the settings and data files live.
#include "WorkspaceTestSupport.h"

#include "orlo/workspace/MainCommands.h"
#include "orlo/workspace/OrloSettings.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TStringGrid.h"
#include "orlo/workspace/WinStates.h"
#include "platform/ini/IniFile.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>

namespace orlo::test {
namespace {

using platform::IniFile;

TEST_F(WorkspaceTest, FirstRunTakesTheDefaultsAndWritesThemBack) {
    TFormMain& f = Show();
    EXPECT_EQ(f.RootDir(), root);
    EXPECT_EQ(f.DefDir(), root);
    EXPECT_EQ(f.DataReading().PortName(), "COM1");
    EXPECT_EQ(f.DataReading().DefaultFileName(), "Blok");
    TMainCommands& c = f.Commands();
    EXPECT_TRUE(c.TBShowVoltage->isChecked());
    EXPECT_FALSE(c.TBShowCurrent->isChecked());
    EXPECT_FALSE(c.TBShowRPM->isChecked());
    EXPECT_FALSE(c.TBShowAh->isChecked());
    EXPECT_FALSE(c.TBShowLegend->isChecked());
    EXPECT_TRUE(c.TBShowTable->isChecked());
    EXPECT_FALSE(f.PanelInfo()->isHidden());
    EXPECT_EQ(f.ActiveGraphSetup, GraphSetupDefaults());
    EXPECT_FALSE(f.PageControl1()->isEnabled());
    EXPECT_FALSE(f.Grid().GridVisible());

    f.close();
    const IniFile ini(iniPath);
    EXPECT_EQ(ini.readString("Options", "Root", {}), root);
    EXPECT_EQ(ini.readString("Options", "DefDir", {}), root);
    EXPECT_EQ(ini.readString("Options", "COM", {}), "COM1");
    EXPECT_EQ(ini.readString("Options", "DefFileName", {}), "Blok");
    EXPECT_EQ(ini.readString("Options", "ShowVoltage", {}), "1");
    EXPECT_EQ(ini.readString("Options", "ShowCurrent", {}), "0");
    EXPECT_EQ(ini.readString("Options", "SaveWindowsPos", {}), "1");
    EXPECT_TRUE(ini.hasKey("Pos", "PanelLeft"));
    EXPECT_TRUE(ini.hasKey("FormMain", "NRLeft"));
    // Nothing confirmed the graph setup, so its section stays out of the file.
    EXPECT_FALSE(ini.hasKey("GraphSetup", "VoltageMin"));
    EXPECT_EQ(ReadBytes(iniPath).find("\n\n"), std::string::npos);
    EXPECT_NE(ReadBytes(iniPath).find("[Options]\r\n"), std::string::npos);
}

// All panels of the main window fit its design size of 970 x 567 pixels, also with
// a block's values shown.
TEST_F(WorkspaceTest, MainWindowKeepsItsDesignSize) {
    TFormMain& f = Show();
    f.Grid().OpenBlocks(WriteFile(QStringLiteral("flight.orl"), MakeBlock(100)), 0);
    QApplication::processEvents();
    EXPECT_LE(f.minimumSizeHint().height(), 567);
    EXPECT_LE(f.minimumSizeHint().width(), 970);
    EXPECT_EQ(f.size(), QSize(970, 567));
}

TEST_F(WorkspaceTest, StoredOptionsAreRestoredAndToggleTheirPanels) {
    const QString other = dir_.filePath("other");
    ASSERT_TRUE(QDir().mkpath(other));
    WriteIni("[Options]\r\nRoot=" + other.toStdString() + "\r\nDefDir=" + root.toStdString() +
             "\r\nCOM=COM7\r\nDefFileName=Flight\r\nShowTable=0\r\nTBShowLegend=1\r\n"
             "ShowVoltage=0\r\nShowCurrent=5\r\nShowRPM=1\r\nShowAh=1\r\n");
    TFormMain& f = Show();
    EXPECT_EQ(f.RootDir(), other);
    EXPECT_EQ(f.DefDir(), root);
    EXPECT_EQ(f.DataReading().PortName(), "COM7");
    EXPECT_EQ(f.DataReading().DefaultFileName(), "Flight");
    EXPECT_TRUE(f.PanelInfo()->isHidden());
    EXPECT_TRUE(f.Commands().TBShowLegend->isChecked());
    EXPECT_FALSE(f.Commands().TBShowVoltage->isChecked());
    EXPECT_TRUE(f.Commands().TBShowCurrent->isChecked());  // any integer but 0 is true
    EXPECT_TRUE(f.Commands().TBShowRPM->isChecked());
    EXPECT_TRUE(f.Commands().TBShowAh->isChecked());
}

struct FolderCase {
    const char* name;
    bool rootExists;
    const char* defDir;  // "root", "other", "missing" or nullptr for no key
    bool expectRootFromIni;
    bool expectDefDirOther;
};

class FolderFallback : public WorkspaceTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(FolderFallback, MissingFoldersFallBack) {
    const FolderCase& c = GetParam();
    const QString stored = dir_.filePath("stored");
    const QString other = dir_.filePath("other");
    ASSERT_TRUE(QDir().mkpath(other));
    if (c.rootExists) {
        ASSERT_TRUE(QDir().mkpath(stored));
    }
    std::string ini = "[Options]\r\nRoot=" + stored.toStdString() + "\r\n";
    if (c.defDir) {
        const std::string d = std::string(c.defDir) == "other"     ? other.toStdString()
                              : std::string(c.defDir) == "missing" ? (other + "/gone").toStdString()
                                                                   : stored.toStdString();
        ini += "DefDir=" + d + "\r\n";
    }
    WriteIni(ini);
    TFormMain& f = Show();
    const QString expectedRoot = c.expectRootFromIni ? stored : root;
    EXPECT_EQ(f.RootDir(), expectedRoot);
    EXPECT_EQ(f.DefDir(), c.expectDefDirOther ? other : expectedRoot);
}

INSTANTIATE_TEST_SUITE_P(Settings, FolderFallback,
                         ::testing::Values(FolderCase{"RootExists", true, nullptr, true, false},
                                           FolderCase{"RootGone", false, nullptr, false, false},
                                           FolderCase{"DefDirOther", false, "other", false, true},
                                           FolderCase{"DefDirGone", true, "missing", true, false},
                                           FolderCase{"RootGoneDefDirOther", false, "other", false,
                                                      true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct GridSizeCase {
    const char* name;
    const char* stored;  // nullptr: no key
    bool automatic;
};

class AutoGridSize : public WorkspaceTest, public ::testing::WithParamInterface<GridSizeCase> {};

TEST_P(AutoGridSize, SmallValuesStayAndSwitchSizingOff) {
    const GridSizeCase& c = GetParam();
    if (c.stored)
        WriteIni(std::string("[Options]\r\nAutoGridSize=") + c.stored + "\r\n");
    TFormMain& f = Show();
    const int fontWidth =
        f.StringGrid1().fontMetrics().horizontalAdvance(QStringLiteral("ABCDEFGH"));
    const int expected = c.automatic ? fontWidth : QString(c.stored).toInt();
    EXPECT_EQ(f.Grid().AutoGridSize, expected);

    f.openFiles({WriteFile("a.orl", MakeBlock(3))});
    const int before = f.StringGrid1().columnWidth(TStringGrid::ColName);
    f.PanelLeft()->resize(f.PanelLeft()->width() + 120, f.PanelLeft()->height());
    f.StringGrid1().resize(f.StringGrid1().width() + 120, f.StringGrid1().height());
    const int after = f.StringGrid1().columnWidth(TStringGrid::ColName);
    if (c.automatic) {
        EXPECT_EQ(after, std::max(f.StringGrid1().viewport()->width() -
                                      TStringGrid::DefaultColWidth - TStringGrid::VisibleColCount,
                                  expected));
        EXPECT_GT(after, before);
    } else {
        EXPECT_EQ(after, before);
    }
    f.close();
    EXPECT_EQ(IniFile(iniPath).readInteger("Options", "AutoGridSize", -1), expected);
}

INSTANTIATE_TEST_SUITE_P(Settings, AutoGridSize,
                         ::testing::Values(GridSizeCase{"Three", "3", false},
                                           GridSizeCase{"Seven", "7", false},
                                           GridSizeCase{"Eight", "8", true},
                                           GridSizeCase{"Default", nullptr, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkspaceTest, GraphSetupIsWrittenOnlyAfterItWasConfirmed) {
    WriteIni("[GraphSetup]\r\nVoltageMin=5\r\nVoltageAuto=0\r\nTimeMax=bad\r\n");
    {
        TFormMain& f = Show();
        EXPECT_EQ(f.ActiveGraphSetup.VoltageMin, 5);
        EXPECT_FALSE(f.ActiveGraphSetup.VoltageAuto);
        EXPECT_EQ(f.ActiveGraphSetup.TimeMax, 100);  // unreadable: the default
        EXPECT_FALSE(f.ActiveGraphSetup.Modified);
        f.ActiveGraphSetup.VoltageMin = 9;  // changed, but not confirmed
        f.close();
        form.reset();
    }
    const std::string untouched = ReadBytes(iniPath);
    EXPECT_NE(untouched.find("VoltageMin=5\r\nVoltageAuto=0\r\nTimeMax=bad\r\n"),
              std::string::npos);
    EXPECT_EQ(untouched.find("RPMMin"), std::string::npos);

    TFormMain& f = Show();
    f.ActiveGraphSetup.VoltageMax = 7.5;
    f.ActiveGraphSetup.AhMax = 3;  // lives for the run only
    f.ActiveGraphSetup.Modified = true;
    f.close();
    const std::string text = ReadBytes(iniPath);
    const std::string sep = QLocale::system().decimalPoint().toStdString();
    const std::string expected =
        "[GraphSetup]\r\nVoltageMin=5\r\nVoltageAuto=0\r\nTimeMax=100\r\n"
        "VoltageMax=7" +
        sep +
        "5\r\nRPMMin=0\r\nRPMMax=100\r\nRPMAuto=1\r\n"
        "CurrentMin=0\r\nCurrentMax=100\r\nCurrentAuto=1\r\nTimeMin=0\r\n"
        "TimeAuto=1\r\n";
    EXPECT_NE(text.find(expected), std::string::npos) << text;
    EXPECT_EQ(text.find("AhMax"), std::string::npos);
    EXPECT_EQ(text.find("AhAuto"), std::string::npos);
}

TEST_F(WorkspaceTest, OptionsRoundTripKeepsBackslashPathsAndOtherLines) {
    WriteIni("; kept\r\n[Mine]\r\nX=1\r\n");
    TOrloOptions out;
    out.RootDir = root;
    out.DefDir = root;
    out.COM = QStringLiteral("\\\\.\\COM12");
    out.DefFileName = QStringLiteral("C:\\Data\\Blok");
    out.PanelLeft = 301;
    out.PanelInfo = 99;
    out.SaveWindowsPos = false;
    out.AutoGridSize = 5;
    out.ShowTable = false;
    out.ShowLegend = true;
    out.ShowVoltage = false;
    out.ShowCurrent = true;
    out.ShowRPM = true;
    out.ShowAh = true;
    out.GraphSetup.CurrentMin = -2.25;
    out.GraphSetup.CurrentAuto = false;
    out.GraphSetup.Modified = true;
    {
        IniFile ini(iniPath);
        WriteOrloOptions(ini, out);
        ASSERT_TRUE(ini.save());
    }
    TOrloOptions in;
    in.RootDir = dir_.path();
    ReadOrloOptions(IniFile(iniPath), in);
    EXPECT_EQ(in.RootDir, out.RootDir);
    EXPECT_EQ(in.COM, out.COM);
    EXPECT_EQ(in.DefFileName, out.DefFileName);
    EXPECT_EQ(in.PanelLeft, 301);
    EXPECT_EQ(in.PanelInfo, 99);
    EXPECT_FALSE(in.SaveWindowsPos);
    EXPECT_EQ(in.AutoGridSize, 5);
    EXPECT_FALSE(in.ShowTable);
    EXPECT_TRUE(in.ShowLegend);
    EXPECT_FALSE(in.ShowVoltage);
    EXPECT_TRUE(in.ShowCurrent && in.ShowRPM && in.ShowAh);
    EXPECT_EQ(in.GraphSetup.CurrentMin, -2.25);
    EXPECT_FALSE(in.GraphSetup.CurrentAuto);
    const std::string text = ReadBytes(iniPath);
    EXPECT_EQ(text.rfind("; kept\r\n[Mine]\r\nX=1\r\n", 0), 0u);
    EXPECT_NE(text.find("DefFileName=C:\\Data\\Blok\r\n"), std::string::npos);
}

// Folders whose names the code page cannot hold ("Diseño" under Windows-1250) were
// written as "Dise?o" and, missing at the next start, fell back to the default.
TEST_F(WorkspaceTest, DataFoldersBeyondTheCodePageSurviveSaveAndLoad) {
    const QString rootDir = dir_.filePath(QString::fromUtf8("Dise\xC3\xB1o"));
    const QString defDir =
        rootDir +
        QString::fromUtf8("/\xCE\xB4\xCE\xB5\xCE\xB4\xCE\xBF\xCE\xBC\xCE\xAD\xCE\xBD\xCE\xB1");
    ASSERT_TRUE(QDir().mkpath(defDir));
    TOrloOptions out;
    out.RootDir = rootDir;
    out.DefDir = defDir;
    out.DefFileName = QString::fromUtf8("Vuelo\xE2\x84\x96");
    {
        IniFile ini(iniPath);
        WriteOrloOptions(ini, out);
        ASSERT_TRUE(ini.save());
    }
    TOrloOptions in;
    in.RootDir = root;
    ReadOrloOptions(IniFile(iniPath), in);
    EXPECT_EQ(in.RootDir, rootDir);
    EXPECT_EQ(in.DefDir, defDir);
    EXPECT_EQ(in.DefFileName, out.DefFileName);
}

TEST_F(WorkspaceTest, SaveWindowsPosZeroRestoresAndSavesNothing) {
    WriteIni(
        "[Options]\r\nSaveWindowsPos=0\r\n[FormMain]\r\nRLeft=5\r\nRTop=6\r\n"
        "RRight=605\r\nRBottom=406\r\nNRLeft=5\r\nNRTop=6\r\nNRRight=605\r\nNRBottom=406\r\n");
    TFormMain& f = Show();
    EXPECT_NE(f.geometry(), QRect(5, 6, 600, 400));
    EXPECT_TRUE(f.WinStates().RegisteredWindows().empty());
    f.close();
    const IniFile ini(iniPath);
    EXPECT_EQ(ini.readString("Options", "SaveWindowsPos", {}), "0");
    EXPECT_FALSE(ini.hasKey("Screen", "ScreenH"));
    EXPECT_EQ(ini.readInteger("FormMain", "RRight", 0), 605);
}

TEST_F(WorkspaceTest, WindowStatesRestoreOnlyOnAScreenAsLargeAsRecorded) {
    struct Case {
        QSize screen;
        bool placed;
    };
    for (const Case& c :
         {Case{{1280, 1024}, true}, Case{{1024, 1024}, false}, Case{{1280, 800}, false}}) {
        SCOPED_TRACE(c.screen.width() * 10000 + c.screen.height());
        WriteIni(
            "[Screen]\r\nScreenH=1024\r\nScreenW=1280\r\n[Probe]\r\nRLeft=10\r\nRTop=20\r\n"
            "RRight=410\r\nRBottom=320\r\nNRLeft=10\r\nNRTop=20\r\nNRRight=410\r\n"
            "NRBottom=320\r\nState=0\r\n");
        TWinStates states(iniPath, [&] { return c.screen; });
        QWidget probe;
        probe.setObjectName("Probe");
        probe.setGeometry(50, 60, 200, 100);
        states.RestoreWindowState(probe);
        EXPECT_TRUE(states.IsWindowRegistered(&probe));
        EXPECT_EQ(probe.geometry(), c.placed ? QRect(10, 20, 400, 300) : QRect(50, 60, 200, 100));
        states.RestoreWindowState(probe);  // a second restore changes nothing
        EXPECT_EQ(states.RegisteredWindows().size(), 1u);
        states.SaveWindowStates();
        EXPECT_TRUE(states.RegisteredWindows().empty());
        const IniFile ini(iniPath);
        // The recorded screen stays; the window's present rectangle is saved.
        EXPECT_EQ(ini.readInteger("Screen", "ScreenW", 0), 1280);
        EXPECT_EQ(ini.readInteger("Screen", "ScreenH", 0), 1024);
        EXPECT_EQ(ini.readInteger("Probe", "RLeft", -1), probe.geometry().left());
        EXPECT_EQ(ini.readInteger("Probe", "RRight", -1), probe.geometry().right() + 1);
        EXPECT_EQ(ini.readInteger("Probe", "State", -1), 0);
    }
}

TEST_F(WorkspaceTest, WindowStateMaximisedIsRestoredAndSaved) {
    WriteIni("[Probe]\r\nState=1\r\n");
    TWinStates states(iniPath, [] { return QSize(1280, 1024); });
    QWidget probe;
    probe.setObjectName("Probe");
    states.RestoreWindowState(probe);
    EXPECT_TRUE(probe.windowState().testFlag(Qt::WindowMaximized));
    states.SaveWindowStates();
    EXPECT_EQ(IniFile(iniPath).readInteger("Probe", "State", -1), 1);
}

TEST(SettingsPlaces, IniFileBesideAWritableProgramElsePerUser) {
    QTemporaryDir dir;
    const QString program = dir.filePath("orlo");
    TSettingsPlaces p{program, {}, dir.filePath("config"), dir.filePath("docs")};
    EXPECT_EQ(SettingsFilePath(p), dir.filePath("orlo.ini"));
    p.iniOverride = dir.filePath("elsewhere.ini");
    EXPECT_EQ(SettingsFilePath(p), dir.filePath("elsewhere.ini"));
    p.iniOverride.clear();
    p.programPath = "/nonexistent-orlo-folder/bin/orlo.exe";
    EXPECT_EQ(SettingsFilePath(p), dir.filePath("config/ORLO/orlo.ini"));
}

TEST(SettingsPlaces, DataRootIsTheDataFolderOrTheProgramFolder) {
    QTemporaryDir dir;
    TSettingsPlaces p{dir.filePath("orlo"), {}, dir.filePath("config"), dir.filePath("docs")};
    EXPECT_EQ(DefaultRootDir(p), dir.path());
    ASSERT_TRUE(QDir(dir.path()).mkdir("Data"));
    EXPECT_EQ(DefaultRootDir(p), dir.filePath("Data"));

    // An installed copy: the documents folder, or its ORLO folder when present.
    p.programPath = "/nonexistent-orlo-folder/bin/orlo";
    EXPECT_EQ(DefaultRootDir(p), dir.filePath("docs"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("docs/ORLO")));
    EXPECT_EQ(DefaultRootDir(p), dir.filePath("docs/ORLO"));
}

}  // namespace
}  // namespace orlo::test
