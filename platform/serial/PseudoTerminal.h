#pragma once
// The controlling side of a pseudo-terminal (POSIX only): device simulators and
// tests stand on it while the program opens the device path as its serial port.

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates the pair in raw mode; false with errorText() on failure.
    bool create();
    // The path the program opens, e.g. /dev/pts/7.
    QString devicePath() const { return path_; }
    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }

    // Writes every byte (blocking); false when the other side is gone.
    bool writeAll(std::span<const std::uint8_t> bytes);
    // Reads what is there, waiting up to timeoutMs for the first byte; an empty
    // result after a time-out or while nobody has the device open.
    std::vector<std::uint8_t> read(int timeoutMs);
    // Drops the controlling side: the program sees a hang-up.
    void hangUp();
    QString errorText() const { return error_; }

private:
    int fd_ = -1;
    QString path_;
    QString error_;
};

}  // namespace platform
