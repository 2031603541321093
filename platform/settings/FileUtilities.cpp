#include "platform/settings/FileUtilities.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cstdint>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <vector>
#endif

namespace platform {

namespace {

// The program's fixed version record, laid out as Windows' fixed file info
// begins (signature, structure version, most and least significant version
// words). It sits in a section of its own, so that the version of any of our
// executables can be looked up by section name, the way a version resource is.
struct FixedVersionRecord {
    std::uint32_t signature;
    std::uint32_t structVersion;
    std::uint32_t fileVersionMS;
    std::uint32_t fileVersionLS;
};

constexpr std::uint32_t kVersionSignature = 0xFEEF04BDu;

[[gnu::used, gnu::section(".fileversion")]] const FixedVersionRecord kProgramVersion = {
    kVersionSignature,
    0x00010000u,
    (static_cast<std::uint32_t>(PROGRAM_VERSION_MAJOR) << 16) | PROGRAM_VERSION_MINOR,
    (static_cast<std::uint32_t>(PROGRAM_VERSION_PATCH) << 16) | PROGRAM_VERSION_TWEAK,
};

QString formatVersion(std::uint32_t ms, std::uint32_t ls) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(ms >> 16)
        .arg(ms & 0xFFFF)
        .arg(ls >> 16)
        .arg(ls & 0xFFFF);
}

std::uint64_t readLE(const QByteArray& bytes, qsizetype offset, int size) {
    std::uint64_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return v;
}

QByteArray readAt(QFile& file, std::uint64_t offset, std::uint64_t size) {
    if (size > (1u << 24) || offset > static_cast<std::uint64_t>(file.size()) ||
        !file.seek(static_cast<qint64>(offset)))
        return {};
    QByteArray bytes = file.read(static_cast<qint64>(size));
    return static_cast<std::uint64_t>(bytes.size()) == size ? bytes : QByteArray();
}

// The contents of the named section of a 64-bit little-endian ELF file.
QByteArray elfSection(QFile& file, const QByteArray& name) {
    const QByteArray header = readAt(file, 0, 64);
    if (header.size() != 64 ||
        !header.startsWith("\x7F"
                           "ELF") ||
        header[4] != 2 || header[5] != 1)
        return {};
    const std::uint64_t shoff = readLE(header, 40, 8);
    const std::uint64_t shentsize = readLE(header, 58, 2);
    const std::uint64_t shnum = readLE(header, 60, 2);
    const std::uint64_t shstrndx = readLE(header, 62, 2);
    if (shentsize < 64 || shnum == 0 || shstrndx >= shnum)
        return {};
    const QByteArray sections = readAt(file, shoff, shentsize * shnum);
    if (sections.isEmpty())
        return {};
    auto field = [&](std::uint64_t index, int offset, int size) {
        return readLE(sections, static_cast<qsizetype>(index * shentsize) + offset, size);
    };
    const QByteArray names = readAt(file, field(shstrndx, 24, 8), field(shstrndx, 32, 8));
    for (std::uint64_t i = 0; i < shnum; ++i) {
        const std::uint64_t nameOffset = field(i, 0, 4);
        if (nameOffset >= static_cast<std::uint64_t>(names.size()))
            continue;
        const char* sectionName = names.constData() + nameOffset;
        const auto length = qstrnlen(sectionName, static_cast<size_t>(names.size() - nameOffset));
        if (QByteArrayView(sectionName, static_cast<qsizetype>(length)) == name)
            return readAt(file, field(i, 24, 8), field(i, 32, 8));
    }
    return {};
}

#ifdef _WIN32
// Windows files carry their fixed version in a version resource.
QString versionResourceText(const QString& path) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &unused);
    if (size == 0)
        return {};
    std::vector<char> info(size);
    if (!GetFileVersionInfoW(name.c_str(), 0, size, info.data()))
        return {};
    void* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\", &fixed, &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    const auto* version = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    return formatVersion(version->dwFileVersionMS, version->dwFileVersionLS);
}
#endif

}  // namespace

QString GetFileVersionText(const QString& path) {
    if (path.isEmpty())
        return formatVersion(kProgramVersion.fileVersionMS, kProgramVersion.fileVersionLS);
#ifdef _WIN32
    if (const QString text = versionResourceText(path); !text.isEmpty())
        return text;
#endif
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray record = elfSection(file, QByteArrayLiteral(".fileversion"));
    if (record.size() < static_cast<qsizetype>(sizeof(FixedVersionRecord)) ||
        readLE(record, 0, 4) != kVersionSignature)
        return {};
    return formatVersion(static_cast<std::uint32_t>(readLE(record, 8, 4)),
                         static_cast<std::uint32_t>(readLE(record, 12, 4)));
}

QString MakeTempFileName(const QString& prefix) {
    QTemporaryFile file(QDir::tempPath() + QLatin1Char('/') + prefix.left(3) +
                        QStringLiteral("XXXXXX.tmp"));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    return file.fileName();
}

bool WriteResourceToFile(const QString& path, const QString& resourcePath, QString* error) {
    QFile resource(resourcePath);
    if (!resource.open(QIODevice::ReadOnly)) {
        if (error)
            *error = resource.errorString();
        return false;
    }
    const QByteArray bytes = resource.readAll();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace platform
