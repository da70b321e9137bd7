// A pseudo-terminal pair standing in for a USB serial adapter. Include in
// one source file of a test program: it defines C library functions.
//
// libserialport (0.1.1) opens only what the system lists as a serial port:
// it looks the device up under /sys/class/tty and reads its modem lines.
// A pseudo-terminal has neither. These stand-ins, which the test program
// exports in place of the C library's, give a pseudo-terminal the answers of
// an adapter without modem lines; everything else the library does to the
// device (raw mode, speed, format, non-blocking reads) happens for real.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pseudo_serial_detail {
inline bool is_pts_entry(const char* path) {
    const char pts[] = "/sys/class/tty/pts/";
    return std::strncmp(path, pts, sizeof pts - 1) == 0;
}
} // namespace pseudo_serial_detail

// The entry is a link, as those of real ports are.
extern "C" int lstat(const char* path, struct stat* status) noexcept {
    static const auto real =
        reinterpret_cast<int (*)(const char*, struct stat*)>(dlsym(RTLD_NEXT, "lstat"));
    if (!pseudo_serial_detail::is_pts_entry(path))
        return real(path, status);
    *status = {};
    status->st_mode = S_IFLNK | 0777;
    return 0;
}

// lstat() under its older name, which libraries built against an older C
// library call (Debian 12's libserialport does).
extern "C" int __lxstat(int, const char* path, struct stat* status) noexcept {
    return lstat(path, status);
}

extern "C" ssize_t readlink(const char* path, char* target, size_t size) noexcept {
    static const auto real =
        reinterpret_cast<ssize_t (*)(const char*, char*, size_t)>(dlsym(RTLD_NEXT, "readlink"));
    if (!pseudo_serial_detail::is_pts_entry(path))
        return real(path, target, size);
    const char device[] = "../../devices/virtual/tty/pts";
    const std::size_t n = std::min(size, sizeof device - 1);
    std::memcpy(target, device, n);
    return static_cast<ssize_t>(n);
}

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    static const auto real =
        reinterpret_cast<int (*)(int, unsigned long, void*)>(dlsym(RTLD_NEXT, "ioctl"));
    va_list rest;
    va_start(rest, request);
    void* argument = va_arg(rest, void*);
    va_end(rest);
    const int result = real(fd, request, argument);
    const bool modem_lines =
        request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
    if (result == 0 || !modem_lines || (errno != ENOTTY && errno != EINVAL))
        return result;
    if (request == TIOCMGET)
        *static_cast<int*>(argument) = 0;
    return 0;
}

// The master side of a pseudo-terminal; the program opens the slave by name.
struct pseudo_terminal {
    int master = -1;
    std::string slave;
    pseudo_terminal() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        EXPECT_EQ(grantpt(master), 0);
        EXPECT_EQ(unlockpt(master), 0);
        slave = ptsname(master);
    }
    ~pseudo_terminal() { close(master); }
    // Why no pair can be made here, or "" when one can: a root without
    // /dev/pts (a chroot) has the master side but no slave to open.
    static std::string missing() {
        const int probe = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (probe < 0)
            return std::string("no pseudo-terminals here: posix_openpt: ") + std::strerror(errno);
        std::string why;
        const char* slave_name = nullptr;
        if (grantpt(probe) != 0 || unlockpt(probe) != 0 ||
            (slave_name = ptsname(probe)) == nullptr) {
            why = std::string("no pseudo-terminals here: ") + std::strerror(errno);
        } else if (const int slave = open(slave_name, O_RDWR | O_NOCTTY | O_CLOEXEC); slave < 0) {
            why = std::string("no pseudo-terminals here: ") + slave_name + ": " +
                  std::strerror(errno);
        } else {
            close(slave);
        }
        close(probe);
        return why;
    }
    pseudo_terminal(const pseudo_terminal&) = delete;
    pseudo_terminal& operator=(const pseudo_terminal&) = delete;
    void send(const std::string& bytes) const {
        EXPECT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
};
