#include "save_record_tool/tool_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const std::string& name, int error) {
    throw file_error{name + ": " + std::strerror(error)};
}

// Closes the file it opened; standard input stays open.
struct input_descriptor {
    int fd;
    bool owned;
    ~input_descriptor() {
        if (owned && fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::string input_name(const std::string& path) {
    return path == "-" ? "standard input" : path;
}

std::vector<std::uint8_t> read_input(const std::string& path, std::size_t limit, bool count_rest,
                                     std::size_t& size) {
    const std::string name = input_name(path);
    const bool from_stdin = path == "-";
    const input_descriptor in{
        from_stdin ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC), !from_stdin};
    if (in.fd < 0)
        fail(name, errno);
    struct stat status {};
    if (::fstat(in.fd, &status) != 0)
        fail(name, errno);
    if (S_ISDIR(status.st_mode))
        fail(name, EISDIR);
    std::vector<std::uint8_t> bytes;
    size = 0;
    std::uint8_t buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail(name, errno);
        if (n == 0)
            break;
        const auto got = static_cast<std::size_t>(n);
        bytes.insert(bytes.end(), buffer, buffer + std::min(got, limit - bytes.size()));
        size += got;
        if (size <= limit)
            continue;
        // A regular file knows its size; anything else is counted to the end.
        if (S_ISREG(status.st_mode)) {
            size = std::max(size, static_cast<std::size_t>(status.st_size));
            break;
        }
        if (!count_rest)
            break;
    }
    return bytes;
}

void write_output(const std::string& path, const std::string& bytes) {
    if (path.empty() || path == "-") {
        errno = 0;
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            fail("standard output", errno != 0 ? errno : EIO);
        return;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(path, errno);
    struct stat status {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    int error = 0;
    for (std::size_t done = 0; done < bytes.size() && error == 0;) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0 || errno != EINTR)
            error = n == 0 ? EIO : errno;
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        // Never remove what is not a plain file (a device such as /dev/full).
        if (regular)
            ::unlink(path.c_str());
        fail(path, error);
    }
}
