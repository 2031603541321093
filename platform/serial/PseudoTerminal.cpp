#include "platform/serial/PseudoTerminal.h"

// Pseudo-terminals exist on POSIX systems only; elsewhere the class is not built.
#ifndef _WIN32

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

PseudoTerminal::~PseudoTerminal() {
    hangUp();
}

bool PseudoTerminal::create() {
    hangUp();
    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        hangUp();
        return false;
    }
    const char* name = ::ptsname(fd_);
    if (!name) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        hangUp();
        return false;
    }
    path_ = QString::fromLocal8Bit(name);
    termios t{};
    if (::tcgetattr(fd_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    return true;
}

void PseudoTerminal::holdLineOpen() {
    if (fd_ < 0)
        return;
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    if (heldLine_ < 0)
        heldLine_ = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
}

bool PseudoTerminal::writeAll(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                pollfd p{fd_, POLLOUT, 0};
                ::poll(&p, 1, 100);
                continue;
            }
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        done += std::size_t(n);
    }
    return fd_ >= 0;
}

std::ptrdiff_t PseudoTerminal::writeSome(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0)
        return -1;
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n >= 0)
        return n;
    if (errno == EAGAIN || errno == EINTR || errno == EIO)
        return 0;  // the reader is slow or not there yet
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    return -1;
}

void PseudoTerminal::drain() {
    if (fd_ >= 0)
        ::tcdrain(fd_);
}

std::vector<std::uint8_t> PseudoTerminal::read(int timeoutMs, bool orRoomToWrite) {
    std::vector<std::uint8_t> out;
    if (fd_ < 0)
        return out;
    pollfd p{fd_, short(POLLIN | (orRoomToWrite ? POLLOUT : 0)), 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r <= 0 || !(p.revents & POLLIN))
        return out;
    std::uint8_t buf[4096];
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n > 0)
        out.assign(buf, buf + n);
    return out;
}

void PseudoTerminal::hangUp() {
    if (heldLine_ >= 0)
        ::close(heldLine_);
    heldLine_ = -1;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

}  // namespace platform

#endif  // _WIN32
