#include "common/file_access.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/input_error.h"

namespace common {

std::string system_reason(int error) {
    return std::strerror(error);
}

std::string file_problem(const std::string& name, const char* step, int error) {
    return name + ": " + step + system_reason(error);
}

void refuse_file(const std::string& name, const char* step, int error) {
    throw input_error(file_problem(name, step, error));
}

descriptor::~descriptor() {
    close();
}

int descriptor::close() {
    if (!owned_ || fd_ < 0)
        return 0;
    owned_ = false;
    return ::close(fd_) == 0 ? 0 : errno;
}

descriptor open_to_read(const std::string& path, const file_wording& wording) {
    descriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC), true);
    if (in.fd() < 0)
        refuse_file(path, wording.opening, errno);
    return in;
}

descriptor open_to_write(const std::string& path, const file_wording& wording) {
    descriptor out(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666), true);
    if (out.fd() < 0)
        refuse_file(path, wording.writing, errno);
    return out;
}

std::string read_up_to(const descriptor& in, const std::string& name, std::size_t limit,
                       bool count_rest, std::size_t& size, const file_wording& wording) {
    struct stat status {};
    if (::fstat(in.fd(), &status) != 0)
        refuse_file(name, wording.opening, errno);
    if (S_ISDIR(status.st_mode))
        refuse_file(name, wording.opening, EISDIR);
    std::string bytes;
    size = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in.fd(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            refuse_file(name, wording.reading, errno);
        if (n == 0)
            break;
        const auto got = static_cast<std::size_t>(n);
        bytes.append(buffer, std::min(got, limit - bytes.size()));
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

int write_all(int fd, const char* bytes, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0)
            return EIO;
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

std::string read_whole_file(const std::string& path, const file_wording& wording) {
    std::size_t size = 0;
    return read_up_to(open_to_read(path, wording), path, std::numeric_limits<std::size_t>::max(),
                      false, size, wording);
}

void write_whole_file(const std::string& path, const std::string& bytes,
                      const file_wording& wording) {
    descriptor out = open_to_write(path, wording);
    struct stat status {};
    const bool regular = ::fstat(out.fd(), &status) == 0 && S_ISREG(status.st_mode);
    int error = write_all(out.fd(), bytes.data(), bytes.size());
    // A full disk may only show when the file is closed.
    const int close_error = out.close();
    if (error == 0)
        error = close_error;
    if (error != 0) {
        // Never remove what is not a plain file (a device such as /dev/full).
        if (regular)
            ::unlink(path.c_str());
        refuse_file(path, wording.writing, error);
    }
}

void replace_whole_file(const std::string& path, const std::string& bytes,
                        const file_wording& wording) {
    const std::string temporary = path + ".tmp";
    descriptor out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666), true);
    if (out.fd() < 0)
        refuse_file(path, wording.writing, errno);
    int error = write_all(out.fd(), bytes.data(), bytes.size());
    // On the disk before the name points at it, so a power cut leaves the
    // old bytes rather than an empty file.
    if (error == 0 && ::fsync(out.fd()) != 0)
        error = errno;
    const int close_error = out.close();
    if (error == 0)
        error = close_error;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        refuse_file(path, wording.writing, error);
    }
}

} // namespace common
