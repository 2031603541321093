#pragma once
// Writes the little-endian archive of project files: numbers, length-prefixed
// strings, counts and object references with their class records.
//
// Into memory (take the result with bytes()) or through a buffer into a device;
// large blocks such as sample arrays go to the device without a copy.

#include "voltaro/model/ArchiveError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

class QIODevice;

namespace voltaro {

class ArchiveWriter {
public:
    ArchiveWriter();
    explicit ArchiveWriter(QIODevice* device);

    ArchiveWriter(const ArchiveWriter&) = delete;
    ArchiveWriter& operator=(const ArchiveWriter&) = delete;

    void writeByte(std::uint8_t value);
    void writeWord(std::uint16_t value);
    void writeDword(std::uint32_t value);
    void writeInt32(std::int32_t value) { writeDword(static_cast<std::uint32_t>(value)); }
    void writeDouble(double value);
    void writeBytes(const void* data, std::size_t size);

    // Length prefix (one byte below 255, 0xFF + WORD up to 65533, else
    // 0xFF 0xFFFF + DWORD), then the bytes without terminator.
    void writeString(std::string_view text);
    // WORD below 0xFFFF, else 0xFFFF + DWORD.
    void writeCount(std::uint64_t count);

    // Writes a reference to `object`. Returns true when the object is new to this
    // archive: its data must follow at once. A null object writes the null tag.
    bool writeObjectRef(const void* object, std::string_view className, std::uint16_t schema = 0);

    // Pushes buffered bytes to the device (no-op in memory). Throws on failure.
    void flush();

    // The bytes written so far when writing into memory.
    const std::string& bytes() const { return buffer_; }

private:
    void put(const void* data, std::size_t size);
    void writeIndexTag(std::uint32_t index, bool isClass);

    QIODevice* device_ = nullptr;
    std::string buffer_;
    std::unordered_map<const void*, std::uint32_t> objects_;
    std::unordered_map<std::string, std::uint32_t> classes_;
    std::uint32_t nextIndex_ = 1;  // 0 is the null reference
};

}  // namespace voltaro
