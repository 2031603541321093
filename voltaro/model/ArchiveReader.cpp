#include "voltaro/model/ArchiveReader.h"

#include "voltaro/model/ArchiveFormat.h"

#include <QIODevice>

#include <algorithm>
#include <bit>
#include <cstring>

namespace voltaro {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

}  // namespace

using namespace archive;

ArchiveReader::ArchiveReader(std::string_view bytes) : data_(bytes) {}

ArchiveReader::ArchiveReader(QIODevice* device) : device_(device) {
    storage_.reserve(kBufferSize);
}

void ArchiveReader::endOfFile() const {
    throw ArchiveError(ArchiveError::Cause::EndOfFile,
                       QStringLiteral("The file ends before the data it announces."));
}

bool ArchiveReader::fill(std::size_t wanted) {
    if (data_.size() - pos_ >= wanted) {
        return true;
    }
    if (!device_) {
        return false;
    }
    // Keep the unread tail, then top the buffer up from the device.
    storage_.erase(0, pos_);
    pos_ = 0;
    const std::size_t target = std::max(wanted, kBufferSize);
    while (storage_.size() < wanted) {
        const std::size_t old = storage_.size();
        storage_.resize(target);
        const qint64 got = device_->read(storage_.data() + old, static_cast<qint64>(target - old));
        if (got < 0) {
            storage_.resize(old);
            data_ = storage_;
            throw ArchiveError(ArchiveError::Cause::Io, device_->errorString());
        }
        storage_.resize(old + static_cast<std::size_t>(got));
        if (got == 0) {
            break;
        }
    }
    data_ = storage_;
    return storage_.size() >= wanted;
}

const char* ArchiveReader::take(std::size_t size) {
    if (!fill(size)) {
        endOfFile();
    }
    const char* p = data_.data() + pos_;
    pos_ += size;
    return p;
}

std::uint8_t ArchiveReader::readByte() {
    return static_cast<std::uint8_t>(*take(1));
}

std::uint16_t ArchiveReader::readWord() {
    const auto* b = reinterpret_cast<const unsigned char*>(take(2));
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t ArchiveReader::readDword() {
    const auto* b = reinterpret_cast<const unsigned char*>(take(4));
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

double ArchiveReader::readDouble() {
    const std::uint64_t low = readDword();
    const std::uint64_t high = readDword();
    return std::bit_cast<double>(low | (high << 32));
}

void ArchiveReader::readBytes(void* data, std::size_t size) {
    auto* out = static_cast<char*>(data);
    const std::size_t buffered = std::min(size, data_.size() - pos_);
    if (buffered > 0) {
        std::memcpy(out, data_.data() + pos_, buffered);
        pos_ += buffered;
        out += buffered;
        size -= buffered;
    }
    if (size == 0) {
        return;
    }
    if (!device_) {
        endOfFile();
    }
    if (size < kBufferSize) {
        std::memcpy(out, take(size), size);
        return;
    }
    // Large blocks (sample arrays) go straight from the device to their place.
    while (size > 0) {
        const qint64 got = device_->read(out, static_cast<qint64>(size));
        if (got < 0) {
            throw ArchiveError(ArchiveError::Cause::Io, device_->errorString());
        }
        if (got == 0) {
            endOfFile();
        }
        out += got;
        size -= static_cast<std::size_t>(got);
    }
}

void ArchiveReader::skip(std::size_t size) {
    while (size > 0) {
        const std::size_t step = std::min(size, kBufferSize);
        take(step);
        size -= step;
    }
}

std::optional<std::uint64_t> ArchiveReader::bytesLeft() const {
    const std::uint64_t buffered = data_.size() - pos_;
    if (!device_) {
        return buffered;
    }
    if (device_->isSequential()) {
        return std::nullopt;
    }
    const qint64 rest = device_->size() - device_->pos();
    return buffered + static_cast<std::uint64_t>(std::max<qint64>(rest, 0));
}

void ArchiveReader::requireBytes(std::uint64_t size) const {
    const auto left = bytesLeft();
    if (left && *left < size) {
        endOfFile();
    }
}

bool ArchiveReader::atEnd() {
    return !fill(1);
}

std::string ArchiveReader::readString() {
    std::uint64_t length = readByte();
    if (length == kWordLength) {
        const std::uint16_t word = readWord();
        if (word == kWideStringMark) {
            throw ArchiveError(ArchiveError::Cause::BadString,
                               QStringLiteral("The file holds a wide-character text, which this "
                                              "program does not read."));
        }
        length = word == kDwordLength ? readDword() : word;
    }
    requireBytes(length);
    std::string text;
    if (length <= kBufferSize || bytesLeft()) {
        text.resize(static_cast<std::size_t>(length));
        readBytes(text.data(), text.size());
    } else {
        // Unknown size: grow in steps so a corrupt length cannot demand gigabytes
        // before the data run out.
        while (text.size() < length) {
            const std::size_t step = static_cast<std::size_t>(
                std::min<std::uint64_t>(length - text.size(), kBufferSize));
            const std::size_t old = text.size();
            text.resize(old + step);
            readBytes(text.data() + old, step);
        }
    }
    return text;
}

std::uint32_t ArchiveReader::readCount() {
    const std::uint16_t word = readWord();
    return word == kWordCountLimit ? readDword() : word;
}

void ArchiveReader::addKnownClass(std::string name, std::uint16_t schema) {
    known_.emplace_back(std::move(name), schema);
}

std::uint32_t ArchiveReader::addObject(std::uint32_t classIndex) {
    Entry entry;
    entry.classIndex = classIndex;
    entries_.push_back(std::move(entry));
    return static_cast<std::uint32_t>(entries_.size() - 1);
}

ArchiveReader::ObjectTag ArchiveReader::readObjectTag() {
    ObjectTag tag;
    const std::uint16_t word = readWord();
    if (word == kNewClassTag) {
        const std::uint16_t schema = readWord();
        const std::uint16_t nameLength = readWord();
        std::string name(nameLength, '\0');
        readBytes(name.data(), name.size());
        const auto known = std::find_if(known_.begin(), known_.end(),
                                        [&](const auto& k) { return k.first == name; });
        if (known == known_.end()) {
            throw ArchiveError(ArchiveError::Cause::BadClass,
                               QStringLiteral("The file holds an object of the unknown class "
                                              "\"%1\".")
                                   .arg(QString::fromLatin1(name.data(), qsizetype(name.size()))));
        }
        if (known->second != schema) {
            throw ArchiveError(ArchiveError::Cause::BadSchema,
                               QStringLiteral("The class %1 is stored with schema %2, which this "
                                              "program does not read.")
                                   .arg(QString::fromLatin1(name.data(), qsizetype(name.size())))
                                   .arg(schema));
        }
        Entry cls;
        cls.isClass = true;
        cls.name = std::move(name);
        entries_.push_back(std::move(cls));
        const auto classIndex = static_cast<std::uint32_t>(entries_.size() - 1);
        tag.kind = ObjectTag::NewObject;
        tag.index = addObject(classIndex);
        tag.className = entries_[classIndex].name;
        return tag;
    }

    std::uint32_t value = 0;
    if (word == kBigIndexTag) {
        value = readDword();
    } else if (word & kClassTag) {
        value = kBigClassFlag | (word & ~kClassTag);
    } else {
        value = word;
    }

    if (value & kBigClassFlag) {
        const std::uint32_t classIndex = value & ~kBigClassFlag;
        if (classIndex == 0 || classIndex >= entries_.size() || !entries_[classIndex].isClass) {
            throw ArchiveError(ArchiveError::Cause::BadIndex,
                               QStringLiteral("The file refers to class number %1, which it has "
                                              "not introduced.")
                                   .arg(classIndex));
        }
        tag.kind = ObjectTag::NewObject;
        tag.index = addObject(classIndex);
        tag.className = entries_[classIndex].name;
        return tag;
    }
    if (value == kNullTag) {
        return tag;
    }
    if (value >= entries_.size() || entries_[value].isClass) {
        throw ArchiveError(ArchiveError::Cause::BadIndex,
                           QStringLiteral("The file refers to object number %1, which has not "
                                          "been read.")
                               .arg(value));
    }
    tag.kind = ObjectTag::Reference;
    tag.index = value;
    tag.className = entries_[entries_[value].classIndex].name;
    tag.object = entries_[value].object;
    return tag;
}

void ArchiveReader::bindObject(std::uint32_t index, void* object) {
    if (index > 0 && index < entries_.size() && !entries_[index].isClass) {
        entries_[index].object = object;
    }
}

}  // namespace voltaro
