#pragma once
// Reads the archive written by ArchiveWriter, from memory or through a buffer
// from a device. Every read checks that its bytes exist; a short file, an unknown
// class, a foreign schema or a reference to an object not read yet throws
// ArchiveError instead of handing out garbage.

#include "voltaro/model/ArchiveError.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace voltaro {

class ArchiveReader {
public:
    // The bytes must outlive the reader.
    explicit ArchiveReader(std::string_view bytes);
    ArchiveReader(std::string&&) = delete;
    explicit ArchiveReader(QIODevice* device);

    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    std::uint8_t readByte();
    std::uint16_t readWord();
    std::uint32_t readDword();
    std::int32_t readInt32() { return static_cast<std::int32_t>(readDword()); }
    double readDouble();
    void readBytes(void* data, std::size_t size);
    void skip(std::size_t size);

    std::string readString();
    std::uint32_t readCount();

    // Bytes left when the source knows its size (memory, files); nothing for a
    // sequential device.
    std::optional<std::uint64_t> bytesLeft() const;
    // Throws EndOfFile when the source knows it holds fewer than `size` more
    // bytes; lets a reader refuse an absurd count before allocating for it.
    void requireBytes(std::uint64_t size) const;
    bool atEnd();

    // Classes the archive may introduce, with the schema each must carry.
    void addKnownClass(std::string name, std::uint16_t schema);

    struct ObjectTag {
        enum Kind { Null, Reference, NewObject } kind = Null;
        std::uint32_t index = 0;     // of the object referenced or introduced
        std::string_view className;  // of that object (empty for Null)
        void* object = nullptr;      // Reference: the object bound to the index
    };
    // Reads one object reference. For NewObject the index is taken at once, so
    // that the object's own data may refer back to it; bind the new object with
    // bindObject() before reading its data.
    ObjectTag readObjectTag();
    void bindObject(std::uint32_t index, void* object);

private:
    struct Entry {
        bool isClass = false;
        std::uint32_t classIndex = 0;  // objects: their class's entry
        std::string name;              // classes
        void* object = nullptr;
    };

    const char* take(std::size_t size);  // pointer to `size` bytes, consumed
    bool fill(std::size_t wanted);       // at least `wanted` bytes buffered?
    [[noreturn]] void endOfFile() const;
    std::uint32_t addObject(std::uint32_t classIndex);

    QIODevice* device_ = nullptr;
    std::string storage_;  // device buffer
    std::string_view data_;
    std::size_t pos_ = 0;
    std::vector<Entry> entries_{Entry{}};  // index 0: the null reference
    std::vector<std::pair<std::string, std::uint16_t>> known_;
};

}  // namespace voltaro
