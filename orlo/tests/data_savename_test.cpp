// Folder, name stem and numbering of batch-saved blocks.
#include "orlo/data/TDataBlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* defaultName;
    const char* base;
    int number;
    const char* firstFile;  // name of the first batch file
};

const NameCase kNames[] = {
    {"", "Block", 0, "Block000.orl"},
    {"Blok", "Blok", 0, "Blok000.orl"},
    {"Blok.orl", "Blok", 0, "Blok000.orl"},
    {"Blok007.orl", "Blok", 7, "Blok007.orl"},
    {"Blok007", "Blok007", 0, "Blok007000.orl"},  // no extension: no number is taken
    {"ab.orl", "ab", 0, "ab000.orl"},             // too short for a number
    {"abc.orl", "abc", 0, "abc000.orl"},
    {"123.orl", "", 123, "123.orl"},
    {"x12a.orl", "x12a", 0, "x12a000.orl"},
    {"Run-01.orl", "Run-01", 0, "Run-01000.orl"},  // "-01" is not three digits
    {"Run 99.orl", "Run 99", 0, "Run 99000.orl"},
    {"flight.2026.orl", "flight", 0, "flight000.orl"},
    {"old/place/Run042.orl", "Run", 42, "Run042.orl"},  // only the file-name part counts
    {".orl", "", 0, "000.orl"},
};

TEST(MakeSaveName, StemAndNumberFromTheDefaultName) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(c.defaultName);
        const auto r = orlo::MakeSaveName(folder, QString::fromLatin1(c.defaultName));
        ASSERT_TRUE(r.Ok) << r.Error.toStdString();
        EXPECT_EQ(r.Folder, folder + QLatin1Char('/'));
        EXPECT_EQ(r.BaseName, QString::fromLatin1(c.base));
        EXPECT_EQ(r.Number, c.number);
        EXPECT_EQ(orlo::BatchFileName(r.Folder, r.BaseName, r.Number),
                  folder + QLatin1Char('/') + QString::fromLatin1(c.firstFile));
    }
}

TEST(MakeSaveName, NumbersGrowPastThreeDigits) {
    EXPECT_EQ(orlo::BatchFileName(QStringLiteral("d/"), QStringLiteral("Blok"), 8),
              QStringLiteral("d/Blok008.orl"));
    EXPECT_EQ(orlo::BatchFileName(QStringLiteral("d/"), QStringLiteral("Blok"), 999),
              QStringLiteral("d/Blok999.orl"));
    EXPECT_EQ(orlo::BatchFileName(QStringLiteral("d/"), QStringLiteral("Blok"), 1000),
              QStringLiteral("d/Blok1000.orl"));
}

TEST(MakeSaveName, CreatesAMissingFolderAndKeepsATrailingDelimiter) {
    QTemporaryDir dir;
    const QString nested = dir.filePath(QStringLiteral("new/deeper"));
    auto r = orlo::MakeSaveName(nested, QStringLiteral("Blok"));
    ASSERT_TRUE(r.Ok);
    EXPECT_TRUE(QFileInfo(nested).isDir());
    EXPECT_EQ(r.Folder, nested + QLatin1Char('/'));

    r = orlo::MakeSaveName(nested + QLatin1Char('/'), QStringLiteral("Blok"));
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(r.Folder, nested + QLatin1Char('/'));
}

TEST(MakeSaveName, EmptyFolderMeansDataBesideTheCurrentFolder) {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const auto r = orlo::MakeSaveName(QString(), QStringLiteral("Blok"));
    QDir::setCurrent(before);
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(r.Folder, QStringLiteral("./Data/"));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("Data"))).isDir());
}

TEST(MakeSaveName, FolderThatCannotBeCreatedFails) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain-file"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString folder = file + QStringLiteral("/sub");
    const auto r = orlo::MakeSaveName(folder, QStringLiteral("Blok"));
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Error, QStringLiteral("Cannot create directory") + folder + QLatin1Char('/'));
}

}  // namespace
