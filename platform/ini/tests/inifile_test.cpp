#include "platform/ini/IniFile.h"
#include "platform/testing/FileBytes.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace platform {
namespace {

QByteArray readAll(const QString& path) {
    const std::optional<std::string> bytes = platform::testing::readFileBytes(path);
    EXPECT_TRUE(bytes) << path.toStdString();
    return QByteArray::fromStdString(bytes.value_or(""));
}

void writeAll(const QString& path, const QByteArray& bytes) {
    ASSERT_TRUE(platform::testing::writeFileBytes(path, bytes.toStdString())) << path.toStdString();
}

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("orlo.ini")); }
};

TEST_F(IniFileTest, WritingOneKeyKeepsEveryOtherLine) {
    writeAll(path(),
             "; kept comment\r\n[Options]\r\nRoot=C:\\Data\r\nCOM=COM1\r\n\r\n[Pos]\r\n"
             "PanelLeft=120\r\nForeign=x\r\n");
    {
        IniFile ini(path());
        ini.writeString(QStringLiteral("Options"), QStringLiteral("COM"), QStringLiteral("COM3"));
        ini.writeInteger(QStringLiteral("pos"), QStringLiteral("PanelInfo"), 200);
        ini.writeBool(QStringLiteral("Screen"), QStringLiteral("Flag"), false);
        ASSERT_TRUE(ini.save());
    }
    EXPECT_EQ(readAll(path()),
              QByteArray("; kept comment\r\n[Options]\r\nRoot=C:\\Data\r\nCOM=COM3\r\n\r\n[Pos]\r\n"
                         "PanelLeft=120\r\nForeign=x\r\nPanelInfo=200\r\n[Screen]\r\nFlag=0\r\n"));
}

TEST_F(IniFileTest, ValuesRoundTripWithoutQuotingOrEscaping) {
    const QString values[] = {QStringLiteral("C:\\Data\\ORLO"), QStringLiteral("a=b;c"),
                              QString::fromUtf8("Nová složka"), QStringLiteral("  "), QString()};
    {
        IniFile ini(path());
        int i = 0;
        for (const QString& v : values)
            ini.writeString(QStringLiteral("S"), QStringLiteral("K%1").arg(i++), v);
    }  // saved by the destructor
    IniFile ini(path());
    int i = 0;
    for (const QString& v : values) {
        const QString read = ini.readString(QStringLiteral("s"), QStringLiteral("k%1").arg(i++),
                                            QStringLiteral("def"));
        EXPECT_EQ(read, v.trimmed()) << v.toStdString();
    }
    EXPECT_TRUE(readAll(path()).contains("K0=C:\\Data\\ORLO\r\n"));
}

TEST_F(IniFileTest, TypedReadsFallBackToTheDefault) {
    writeAll(path(), "[O]\r\nnum= 42 \r\nbad=4x\r\nbool=7\r\nzero=0\r\nempty=\r\nfloat=abc\r\n");
    IniFile ini(path());
    const QString o = QStringLiteral("O");
    EXPECT_EQ(ini.readInteger(o, QStringLiteral("num"), -1), 42);
    EXPECT_EQ(ini.readInteger(o, QStringLiteral("bad"), -1), -1);
    EXPECT_EQ(ini.readInteger(o, QStringLiteral("missing"), -1), -1);
    EXPECT_EQ(ini.readInteger(o, QStringLiteral("empty"), 5), 5);
    EXPECT_TRUE(ini.readBool(o, QStringLiteral("bool"), false));
    EXPECT_FALSE(ini.readBool(o, QStringLiteral("zero"), true));
    EXPECT_TRUE(ini.readBool(o, QStringLiteral("missing"), true));
    EXPECT_EQ(ini.readFloat(o, QStringLiteral("float"), 2.5), 2.5);
}

TEST_F(IniFileTest, FloatsUseTheUsersDecimalSeparator) {
    const bool comma = QLocale::system().decimalPoint() == QStringLiteral(",");
    struct Case {
        double value;
        const char* dot;
    } cases[] = {{100, "100"}, {0.5, "0.5"}, {-12.25, "-12.25"}, {0.1, "0.1"}, {1e20, "1e+20"}};
    for (const Case& c : cases) {
        QString expected = QString::fromLatin1(c.dot);
        if (comma)
            expected.replace(QLatin1Char('.'), QLatin1Char(','));
        EXPECT_EQ(IniFile::formatFloat(c.value), expected);
        double back = 0;
        ASSERT_TRUE(IniFile::parseFloat(expected, &back)) << c.dot;
        EXPECT_EQ(back, c.value);
    }
    // A value written with the other separator does not convert.
    double v = 0;
    EXPECT_FALSE(IniFile::parseFloat(comma ? QStringLiteral("0.5") : QStringLiteral("0,5"), &v));
}

TEST_F(IniFileTest, FailedSaveIsReportedAndStaysPending) {
    IniFile ini(dir.filePath(QStringLiteral("missing-folder/orlo.ini")));
    ini.writeInteger(QStringLiteral("A"), QStringLiteral("B"), 1);
    EXPECT_FALSE(ini.save());
    EXPECT_FALSE(ini.errorString().isEmpty());
    EXPECT_TRUE(ini.isDirty());
}

// Values the code page cannot hold: the whole file goes to UTF-8 behind a byte-order
// mark, and back to the code page once nothing needs UTF-8 any more.
TEST_F(IniFileTest, ValuesBeyondTheCodePageSurviveAsUtf8WithMark) {
    const QString o = QStringLiteral("Options");
    const struct {
        const char* key;
        const char* value;  // UTF-8
    } cases[] = {
        {"DefDir", "/home/ana/Dise\xC3\xB1o"},
        {"COM", "Nov\xC3\xA1 slo\xC5\xBEka"},  // within the code page
        {"DefFileName", "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1"},
        {"Emoji", "run \xF0\x9F\x9A\x81"},  // outside the BMP
    };
    {
        IniFile ini(path());
        for (const auto& c : cases)
            ini.writeString(o, QString::fromLatin1(c.key), QString::fromUtf8(c.value));
        ASSERT_TRUE(ini.save());
    }
    const QByteArray bytes = readAll(path());
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF[Options]\r\nDefDir=/home/ana/Dise\xC3\xB1o\r\n"))
        << bytes.toStdString();
    EXPECT_FALSE(bytes.contains('?'));
    {
        IniFile ini(path());
        for (const auto& c : cases) {
            SCOPED_TRACE(c.key);
            EXPECT_EQ(ini.readString(o, QString::fromLatin1(c.key), QStringLiteral("default")),
                      QString::fromUtf8(c.value));
        }
    }

    // With every such value gone the file is the code page's bytes again.
    {
        IniFile ini(path());
        for (const char* key : {"DefDir", "DefFileName", "Emoji"})
            ini.writeString(o, QString::fromLatin1(key), QStringLiteral("-"));
        ASSERT_TRUE(ini.save());
    }
    EXPECT_EQ(readAll(path()), QByteArray("[Options]\r\nDefDir=-\r\nCOM=Nov\xE1 slo\x9Eka\r\n"
                                          "DefFileName=-\r\nEmoji=-\r\n"));
}

TEST_F(IniFileTest, SectionAndKeyNamesBeyondTheCodePageSurvive) {
    const QString section = QString::fromUtf8("Dise\xC3\xB1o");
    const QString key = QString::fromUtf8("\xCE\xBA\xCE\xBB\xCE\xB5\xCE\xB9\xCE\xB4\xCE\xAF");
    {
        IniFile ini(path());
        ini.writeInteger(section, key, 7);
        ASSERT_TRUE(ini.save());
    }
    EXPECT_TRUE(readAll(path()).startsWith("\xEF\xBB\xBF[Dise\xC3\xB1o]\r\n"));
    EXPECT_EQ(IniFile(path()).readInteger(section, key, -1), 7);
}

// A file without the mark is the code page's bytes, even when they happen to form
// UTF-8; changing one key leaves every other byte as it was.
TEST_F(IniFileTest, FileWithoutMarkReadsAsCodePageBytes) {
    const QByteArray original(
        "[Options]\r\nDefDir=C:\\Nov\xE1 slo\x9Eka\r\nLike=\xC3\xB1\r\n"
        "Odd=\x81\x83\x98\r\nCOM=COM1\r\n");
    writeAll(path(), original);
    {
        IniFile ini(path());
        const QString o = QStringLiteral("Options");
        EXPECT_EQ(ini.readString(o, QStringLiteral("DefDir"), {}),
                  QString::fromUtf8("C:\\Nov\xC3\xA1 slo\xC5\xBEka"));
        EXPECT_EQ(ini.readString(o, QStringLiteral("Like"), {}),
                  QString::fromUtf8("\xC4\x82\xC2\xB1"));  // "Ă±"
        ini.writeString(o, QStringLiteral("COM"), QStringLiteral("COM3"));
        ASSERT_TRUE(ini.save());
    }
    QByteArray expected = original;
    expected.replace("COM=COM1", "COM=COM3");
    EXPECT_EQ(readAll(path()), expected);
}

// With the mark the rest is UTF-8; the mark is not part of the first line.
TEST_F(IniFileTest, FileWithMarkReadsAsUtf8) {
    writeAll(path(),
             "\xEF\xBB\xBF[Options]\r\nDefDir=/home/ana/Dise\xC3\xB1o\r\n"
             "COM=Nov\xC3\xA1\r\n");
    IniFile ini(path());
    const QString o = QStringLiteral("Options");
    EXPECT_EQ(ini.readString(o, QStringLiteral("DefDir"), {}),
              QString::fromUtf8("/home/ana/Dise\xC3\xB1o"));
    EXPECT_EQ(ini.readString(o, QStringLiteral("COM"), {}), QString::fromUtf8("Nov\xC3\xA1"));
    ini.writeInteger(o, QStringLiteral("Count"), 3);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readAll(path()), QByteArray("\xEF\xBB\xBF[Options]\r\nDefDir=/home/ana/Dise\xC3\xB1o"
                                          "\r\nCOM=Nov\xC3\xA1\r\nCount=3\r\n"));
}

}  // namespace
}  // namespace platform
