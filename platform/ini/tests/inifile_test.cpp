#include "platform/ini/IniFile.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace platform {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
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

}  // namespace
}  // namespace platform
