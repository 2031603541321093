#include "voltaro/model/ArchiveWriter.h"

#include "voltaro/model/ArchiveFormat.h"

#include <QIODevice>

#include <bit>
#include <cstring>

namespace voltaro {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

}  // namespace

using namespace archive;

ArchiveWriter::ArchiveWriter() = default;

ArchiveWriter::ArchiveWriter(QIODevice* device) : device_(device) {
    buffer_.reserve(kBufferSize);
}

void ArchiveWriter::put(const void* data, std::size_t size) {
    if (device_ && buffer_.size() + size > kBufferSize) {
        flush();
        if (size >= kBufferSize) {
            const char* p = static_cast<const char*>(data);
            while (size > 0) {
                const qint64 done = device_->write(p, static_cast<qint64>(size));
                if (done <= 0) {
                    throw ArchiveError(ArchiveError::Cause::Io, device_->errorString());
                }
                p += done;
                size -= static_cast<std::size_t>(done);
            }
            return;
        }
    }
    buffer_.append(static_cast<const char*>(data), size);
}

void ArchiveWriter::flush() {
    if (!device_ || buffer_.empty()) {
        return;
    }
    const char* p = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const qint64 done = device_->write(p, static_cast<qint64>(left));
        if (done <= 0) {
            throw ArchiveError(ArchiveError::Cause::Io, device_->errorString());
        }
        p += done;
        left -= static_cast<std::size_t>(done);
    }
    buffer_.clear();
}

void ArchiveWriter::writeByte(std::uint8_t value) {
    put(&value, 1);
}

void ArchiveWriter::writeWord(std::uint16_t value) {
    const unsigned char b[2] = {static_cast<unsigned char>(value),
                                static_cast<unsigned char>(value >> 8)};
    put(b, 2);
}

void ArchiveWriter::writeDword(std::uint32_t value) {
    const unsigned char b[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    put(b, 4);
}

void ArchiveWriter::writeDouble(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    writeDword(static_cast<std::uint32_t>(bits));
    writeDword(static_cast<std::uint32_t>(bits >> 32));
}

void ArchiveWriter::writeBytes(const void* data, std::size_t size) {
    if (size > 0) {
        put(data, size);
    }
}

void ArchiveWriter::writeString(std::string_view text) {
    const std::size_t n = text.size();
    if (n < kWordLength) {
        writeByte(static_cast<std::uint8_t>(n));
    } else if (n < kWideStringMark) {
        writeByte(kWordLength);
        writeWord(static_cast<std::uint16_t>(n));
    } else {
        if (n > 0xFFFFFFFFu) {
            throw ArchiveError(ArchiveError::Cause::TooLarge,
                               QStringLiteral("A text of %1 bytes is too long to be stored.")
                                   .arg(static_cast<qulonglong>(n)));
        }
        writeByte(kWordLength);
        writeWord(kDwordLength);
        writeDword(static_cast<std::uint32_t>(n));
    }
    writeBytes(text.data(), n);
}

void ArchiveWriter::writeCount(std::uint64_t count) {
    if (count < kWordCountLimit) {
        writeWord(static_cast<std::uint16_t>(count));
        return;
    }
    if (count > 0xFFFFFFFFu) {
        throw ArchiveError(ArchiveError::Cause::TooLarge,
                           QStringLiteral("A list of %1 elements is too long to be stored.")
                               .arg(static_cast<qulonglong>(count)));
    }
    writeWord(kWordCountLimit);
    writeDword(static_cast<std::uint32_t>(count));
}

void ArchiveWriter::writeIndexTag(std::uint32_t index, bool isClass) {
    if (index < kBigIndexTag) {
        writeWord(static_cast<std::uint16_t>(isClass ? (kClassTag | index) : index));
    } else {
        writeWord(kBigIndexTag);
        writeDword(isClass ? (kBigClassFlag | index) : index);
    }
}

bool ArchiveWriter::writeObjectRef(const void* object, std::string_view className,
                                   std::uint16_t schema) {
    if (!object) {
        writeWord(kNullTag);
        return false;
    }
    if (const auto it = objects_.find(object); it != objects_.end()) {
        writeIndexTag(it->second, false);
        return false;
    }
    if (nextIndex_ >= kBigClassFlag - 1) {
        throw ArchiveError(ArchiveError::Cause::TooLarge,
                           QStringLiteral("The project has too many items to be stored."));
    }
    const std::string name(className);
    if (const auto it = classes_.find(name); it != classes_.end()) {
        writeIndexTag(it->second, true);
    } else {
        if (name.size() > 0xFFFF) {
            throw ArchiveError(ArchiveError::Cause::TooLarge,
                               QStringLiteral("Class name too long."));
        }
        writeWord(kNewClassTag);
        writeWord(schema);
        writeWord(static_cast<std::uint16_t>(name.size()));
        writeBytes(name.data(), name.size());
        classes_.emplace(name, nextIndex_++);
    }
    objects_.emplace(object, nextIndex_++);
    return true;
}

}  // namespace voltaro
