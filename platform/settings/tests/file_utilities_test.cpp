#include "platform/settings/FileUtilities.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace platform {
namespace {

QByteArray versionRecord(quint16 a, quint16 b, quint16 c, quint16 d) {
    const quint32 words[4] = {0xFEEF04BDu, 0x00010000u, (quint32(a) << 16) | b,
                              (quint32(c) << 16) | d};
    QByteArray bytes(16, '\0');
    for (int w = 0; w < 4; ++w) {
        for (int i = 0; i < 4; ++i)
            bytes[w * 4 + i] = static_cast<char>((words[w] >> (8 * i)) & 0xFF);
    }
    return bytes;
}

void putLE(QByteArray& bytes, qsizetype offset, quint64 value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A minimal 64-bit little-endian ELF file with one named section besides the
// section-name table.
QByteArray elfWithSection(const QByteArray& sectionName, const QByteArray& contents) {
    const QByteArray names = QByteArray("\0.shstrtab\0", 11) + sectionName + '\0';
    const qsizetype namesOffset = 64;
    const qsizetype contentsOffset = namesOffset + names.size();
    const qsizetype sectionsOffset = (contentsOffset + contents.size() + 7) / 8 * 8;
    QByteArray elf(64, '\0');
    elf[0] = '\x7F';
    elf[1] = 'E';
    elf[2] = 'L';
    elf[3] = 'F';
    elf[4] = 2;  // 64-bit
    elf[5] = 1;  // little-endian
    elf[6] = 1;
    putLE(elf, 40, static_cast<quint64>(sectionsOffset), 8);
    putLE(elf, 52, 64, 2);  // header size
    putLE(elf, 58, 64, 2);  // section header size
    putLE(elf, 60, 3, 2);   // sections
    putLE(elf, 62, 1, 2);   // the name table's index
    elf += names;
    elf += contents;
    elf.append(sectionsOffset - elf.size(), '\0');
    QByteArray sections(3 * 64, '\0');
    putLE(sections, 64 + 0, 1, 4);  // ".shstrtab"
    putLE(sections, 64 + 4, 3, 4);  // string table
    putLE(sections, 64 + 24, static_cast<quint64>(namesOffset), 8);
    putLE(sections, 64 + 32, static_cast<quint64>(names.size()), 8);
    putLE(sections, 128 + 0, 11, 4);  // the named section
    putLE(sections, 128 + 4, 1, 4);   // program data
    putLE(sections, 128 + 24, static_cast<quint64>(contentsOffset), 8);
    putLE(sections, 128 + 32, static_cast<quint64>(contents.size()), 8);
    return elf + sections;
}

QString writeTemp(QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST(FileVersion, TheProgramReportsItsOwnVersion) {
    EXPECT_EQ(GetFileVersionText().toStdString(), EXPECTED_PROGRAM_VERSION);
    // The same record is found in the executable file, also under another name.
    EXPECT_EQ(GetFileVersionText(QCoreApplication::applicationFilePath()).toStdString(),
              EXPECTED_PROGRAM_VERSION);
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy"));
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), copy));
    EXPECT_EQ(GetFileVersionText(copy).toStdString(), EXPECTED_PROGRAM_VERSION);
}

TEST(FileVersion, IsReadFromTheVersionSectionOfAnExecutable) {
    QTemporaryDir dir;
    QByteArray badSignature = versionRecord(1, 2, 3, 4);
    badSignature[0] = 0;
    const QByteArray good = elfWithSection(".fileversion", versionRecord(1, 2, 3, 4));
    const struct {
        const char* name;
        QByteArray bytes;
        const char* text;
    } cases[] = {
        {"versioned", good, "1.2.3.4"},
        {"wide", elfWithSection(".fileversion", versionRecord(65535, 0, 300, 7)), "65535.0.300.7"},
        {"other-section", elfWithSection(".data", versionRecord(1, 2, 3, 4)), ""},
        {"bad-signature", elfWithSection(".fileversion", badSignature), ""},
        {"short-record", elfWithSection(".fileversion", versionRecord(1, 2, 3, 4).left(12)), ""},
        {"cut-off", good.left(good.size() - 10), ""},
        // The record's bytes alone, outside an executable, are no version.
        {"plain.bin", QByteArray("xx") + versionRecord(1, 2, 3, 4), ""},
        {"plain.txt", QByteArray("no version here"), ""},
        {"empty", QByteArray(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetFileVersionText(writeTemp(dir, c.name, c.bytes)).toStdString(), c.text)
            << c.name;
    EXPECT_EQ(GetFileVersionText(dir.filePath(QStringLiteral("missing"))), QString());
}

TEST(TempFileName, EachCallMakesANewEmptyFileInTheTemporaryFolder) {
    std::set<QString> names;
    for (int i = 0; i < 5; ++i) {
        const QString name = MakeTempFileName(QStringLiteral("vtrx"));
        ASSERT_FALSE(name.isEmpty());
        const QFileInfo info(name);
        EXPECT_TRUE(info.exists());
        EXPECT_EQ(info.size(), 0);
        EXPECT_EQ(info.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        // Three letters of the prefix, then six random characters (which may
        // well begin with an "x") and ".tmp".
        EXPECT_TRUE(info.fileName().startsWith(QLatin1String("vtr"))) << name.toStdString();
        EXPECT_TRUE(info.fileName().endsWith(QLatin1String(".tmp"))) << name.toStdString();
        EXPECT_EQ(info.fileName().size(), 3 + 6 + 4) << name.toStdString();
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 5u);
    for (const QString& name : names)
        QFile::remove(name);
}

TEST(ResourceToFile, CopiesTheResourceBytes) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("payload.bin"));
    QString error;
    ASSERT_TRUE(WriteResourceToFile(target, QStringLiteral(":/settings_tests/resource_payload.bin"),
                                    &error))
        << error.toStdString();
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("line one\r\nline two\r\n\x00\x01\xFE\xFF", 24));
}

TEST(ResourceToFile, FailuresLeaveNoFileBehind) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out.bin"));
    QString error;
    EXPECT_FALSE(WriteResourceToFile(target, QStringLiteral(":/settings_tests/no_such"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(target));

    const QString inMissingFolder = dir.filePath(QStringLiteral("no/such/folder/out.bin"));
    EXPECT_FALSE(WriteResourceToFile(inMissingFolder,
                                     QStringLiteral(":/settings_tests/resource_payload.bin")));
    EXPECT_FALSE(QFile::exists(inMissingFolder));
}

}  // namespace
}  // namespace platform
