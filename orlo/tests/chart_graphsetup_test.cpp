// The graph setup record in the settings file: which fields are kept, under which keys.
#include "orlo/chart/TGraphSetup.h"
#include "platform/ini/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using orlo::TGraphSetup;

// The axis fields the file keeps, each with a value no other field has, so a key read
// into the wrong field shows.
TGraphSetup distinctStoredFields() {
    TGraphSetup s;
    s.VoltageMin = 1.25, s.VoltageMax = 2.5;
    s.RPMMin = 3, s.RPMMax = 4000;
    s.CurrentMin = 5, s.CurrentMax = 60.75;
    s.TimeMin = 7, s.TimeMax = 800;
    return s;
}

TEST(ChartGraphSetupFile, EachAxisComesBackFromItsOwnKeysAndRunOnlyFieldsStayOut) {
    // One axis fixed at a time, so a swapped "Auto" key shows as well.
    bool TGraphSetup::*const autos[] = {&TGraphSetup::VoltageAuto, &TGraphSetup::RPMAuto,
                                        &TGraphSetup::CurrentAuto, &TGraphSetup::TimeAuto};
    for (bool TGraphSetup::*fixed : autos) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("orlo.ini"));

        TGraphSetup written = distinctStoredFields();
        written.*fixed = false;
        TGraphSetup expected = written;
        // Capacity axis, line styles and widths and the confirmation live for the run only.
        written.AhAuto = false, written.AhMin = 9, written.AhMax = 10;
        written.VoltageLineStyle = 3, written.VoltageLineWidth = 4;
        written.RPMLineStyle = 0, written.RPMLineWidth = 5;
        written.CurrentLineStyle = 4, written.CurrentLineWidth = 6;
        written.AhLineStyle = 1, written.AhLineWidth = 7;
        written.Modified = true;
        {
            platform::IniFile ini(path);
            orlo::WriteGraphSetup(ini, written);
            ASSERT_TRUE(ini.save()) << ini.errorString().toStdString();
        }
        TGraphSetup read = orlo::GraphSetupDefaults();
        orlo::ReadGraphSetup(platform::IniFile(path), read);
        EXPECT_EQ(read, expected);
    }
}

TEST(ChartGraphSetupFile, MissingOrUnreadableKeysKeepWhatTheRecordHolds) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("orlo.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[GraphSetup]\r\nTimeMax=bad\r\nRPMAuto=\r\nCurrentMin=12\r\n");
    file.close();

    TGraphSetup read = distinctStoredFields();
    read.RPMAuto = false;
    TGraphSetup expected = read;
    expected.CurrentMin = 12;
    orlo::ReadGraphSetup(platform::IniFile(path), read);
    EXPECT_EQ(read, expected);
}

}  // namespace
