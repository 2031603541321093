#pragma once
// The controlling side of a pseudo-terminal (POSIX only): device simulators and
// tests stand on it while the program opens the device path as its serial port.

#include <QString>

#include <cstddef>
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

    // For a simulator serving the line: writes no longer block, and the device is
    // held open on this side too, which keeps the line up between the program's
    // opens and closes, so its reads never see a hang-up of their own.
    void holdLineOpen();

    // Writes every byte (blocking); false when the other side is gone.
    bool writeAll(std::span<const std::uint8_t> bytes);
    // Writes what the line takes now: the number of bytes written, 0 while the
    // reader is slow or not there yet, -1 when the line is gone.
    std::ptrdiff_t writeSome(std::span<const std::uint8_t> bytes);
    // Waits until everything written has gone out.
    void drain();
    // Reads what is there, waiting up to timeoutMs for the first byte (or, with
    // orRoomToWrite, until a write would go through); an empty result after a
    // time-out or while nobody has the device open.
    std::vector<std::uint8_t> read(int timeoutMs, bool orRoomToWrite = false);
    // Drops the controlling side (and a held line): the program sees a hang-up.
    void hangUp();
    QString errorText() const { return error_; }

private:
    int fd_ = -1;
    int heldLine_ = -1;  // the device opened by holdLineOpen()
    QString path_;
    QString error_;
};

}  // namespace platform
