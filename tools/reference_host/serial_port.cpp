#include "serial_port.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace reference_host {

namespace {

const struct {
    int baud;
    speed_t speed;
} speeds[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},    {9600, B9600},
              {19200, B19200},   {38400, B38400},   {57600, B57600},  {115200, B115200},
              {230400, B230400}, {460800, B460800}, {921600, B921600}};

std::string why() {
    return std::strerror(errno);
}

} // namespace

bool is_supported_baud(int baud) {
    for (const auto& s : speeds)
        if (s.baud == baud)
            return true;
    return false;
}

serial_port::serial_port(const std::string& device, int baud) : device_(device) {
    speed_t speed = B0;
    for (const auto& s : speeds)
        if (s.baud == baud)
            speed = s.speed;
    if (speed == B0)
        throw serial_error(device + ": unsupported baud rate " + std::to_string(baud));
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        throw serial_error(device + ": cannot open: " + why());
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        const std::string reason = why();
        ::close(fd_);
        throw serial_error(device + ": not a serial device: " + reason);
    }
    // Raw: no echo, no line editing, and above all no CR-to-LF translation,
    // so line endings reach the element as the reader sent them.
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | PARENB);
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        const std::string reason = why();
        ::close(fd_);
        throw serial_error(device + ": cannot be configured: " + reason);
    }
}

serial_port::~serial_port() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string serial_port::read_available() {
    std::string received;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw serial_error(device_ + ": read failed: " + why());
        return received;
    }
}

std::vector<std::string> serial_bridge::poll() {
    const std::string received = port_.read_available();
    return received.empty() ? lines_.pause() : lines_.feed(received);
}

} // namespace reference_host
