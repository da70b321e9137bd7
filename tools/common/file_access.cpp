#include "common/file_access.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
// Without the min and max macros, which would break std::min.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "common/input_error.h"

namespace common {

namespace {

// The C runtime's descriptor calls under each system's names. On Windows
// every file is opened binary: the bytes are the same as on Linux, with no
// CR added before a LF and no Ctrl-Z taken for the end.
#ifdef _WIN32
using file_status = struct _stat64;
int open_file(const char* path, int flags) {
    return ::_open(path, flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
int status_of(int fd, file_status& status) {
    return ::_fstat64(fd, &status);
}
bool is_directory(const file_status& status) {
    return (status.st_mode & _S_IFMT) == _S_IFDIR;
}
bool is_regular(const file_status& status) {
    return (status.st_mode & _S_IFMT) == _S_IFREG;
}
// The runtime's calls take an unsigned int count: ask for at most 1 GiB.
long long read_some(int fd, char* buffer, std::size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1U << 30)));
}
long long write_some(int fd, const char* bytes, std::size_t size) {
    return ::_write(fd, bytes, static_cast<unsigned>(std::min<std::size_t>(size, 1U << 30)));
}
int close_file(int fd) {
    return ::_close(fd);
}
void remove_file(const char* path) {
    ::_unlink(path);
}
// The runtime's stat does not find a folder whose name ends in a separator
// (C:\Temp\): it is asked without, a drive's root (C:\) aside.
std::string without_end_separators(std::string path) {
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') &&
           path[path.size() - 2] != ':')
        path.pop_back();
    return path;
}
int status_of_path(const char* path, file_status& status) {
    return ::_stat64(without_end_separators(path).c_str(), &status);
}
int flush_to_disk(int fd) {
    return ::_commit(fd);
}
// rename() does not replace an existing file on Windows; MoveFileEx does.
int rename_over(const std::string& from, const std::string& to) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}
#else
using file_status = struct stat;
int open_file(const char* path, int flags) {
    return ::open(path, flags | O_CLOEXEC, 0666);
}
int status_of(int fd, file_status& status) {
    return ::fstat(fd, &status);
}
bool is_directory(const file_status& status) {
    return S_ISDIR(status.st_mode);
}
bool is_regular(const file_status& status) {
    return S_ISREG(status.st_mode);
}
long long read_some(int fd, char* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}
long long write_some(int fd, const char* bytes, std::size_t size) {
    return ::write(fd, bytes, size);
}
int close_file(int fd) {
    return ::close(fd);
}
void remove_file(const char* path) {
    ::unlink(path);
}
int status_of_path(const char* path, file_status& status) {
    return ::stat(path, &status);
}
int flush_to_disk(int fd) {
    return ::fsync(fd);
}
int rename_over(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}
#endif

// Windows does not open a folder as a file and says EACCES: name the real
// reason, as Linux does.
int open_error(const std::string& path) {
    const int error = errno;
#ifdef _WIN32
    file_status status{};
    if (error == EACCES && status_of_path(path.c_str(), status) == 0 && is_directory(status))
        return EISDIR;
#else
    (void)path;
#endif
    return error;
}

} // namespace

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
    return close_file(fd_) == 0 ? 0 : errno;
}

descriptor open_to_read(const std::string& path, const file_wording& wording) {
    descriptor in(open_file(path.c_str(), O_RDONLY), true);
    if (in.fd() < 0)
        refuse_file(path, wording.opening, open_error(path));
    return in;
}

descriptor open_to_write(const std::string& path, const file_wording& wording) {
    descriptor out(open_file(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC), true);
    if (out.fd() < 0)
        refuse_file(path, wording.writing, open_error(path));
    return out;
}

void binary_standard_streams() {
#ifdef _WIN32
    for (int fd = 0; fd <= 2; ++fd)
        (void)::_setmode(fd, _O_BINARY);
#endif
}

descriptor standard_input() {
    return {0, false};
}

descriptor standard_output() {
    return {1, false};
}

std::string read_up_to(const descriptor& in, const std::string& name, std::size_t limit,
                       bool count_rest, std::size_t& size, const file_wording& wording) {
    file_status status{};
    if (status_of(in.fd(), status) != 0)
        refuse_file(name, wording.opening, errno);
    if (is_directory(status))
        refuse_file(name, wording.opening, EISDIR);
    std::string bytes;
    size = 0;
    char buffer[1 << 16];
    for (;;) {
        const long long n = read_some(in.fd(), buffer, sizeof buffer);
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
        if (is_regular(status)) {
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
        const long long n = write_some(fd, bytes + done, size - done);
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
    file_status status{};
    const bool regular = status_of(out.fd(), status) == 0 && is_regular(status);
    int error = write_all(out.fd(), bytes.data(), bytes.size());
    // A full disk may only show when the file is closed.
    const int close_error = out.close();
    if (error == 0)
        error = close_error;
    if (error != 0) {
        // Never remove what is not a plain file (a device such as /dev/full).
        if (regular)
            remove_file(path.c_str());
        refuse_file(path, wording.writing, error);
    }
}

void replace_whole_file(const std::string& path, const std::string& bytes,
                        const file_wording& wording) {
    const std::string temporary = path + ".tmp";
    descriptor out(open_file(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC), true);
    if (out.fd() < 0)
        refuse_file(path, wording.writing, open_error(temporary));
    int error = write_all(out.fd(), bytes.data(), bytes.size());
    // On the disk before the name points at it, so a power cut leaves the
    // old bytes rather than an empty file.
    if (error == 0 && flush_to_disk(out.fd()) != 0)
        error = errno;
    const int close_error = out.close();
    if (error == 0)
        error = close_error;
    if (error == 0)
        error = rename_over(temporary, path);
    if (error != 0) {
        remove_file(temporary.c_str());
        refuse_file(path, wording.writing, error);
    }
}

void check_replaceable(const std::string& path, const file_wording& wording) {
    file_status status{};
    if (status_of_path(path.c_str(), status) == 0) {
        if (is_directory(status))
            refuse_file(path, wording.writing, EISDIR);
        // Renaming over a device or a pipe would replace it.
        if (!is_regular(status))
            throw input_error(path + ": " + wording.writing + "not a plain file");
    } else if (errno != ENOENT) {
        refuse_file(path, wording.writing, errno);
    }
    // Whether a file can be made beside it is known only by making one: the
    // temporary file the replacement writes.
    const std::string temporary = path + ".tmp";
    descriptor probe(open_file(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC), true);
    if (probe.fd() < 0)
        refuse_file(path, wording.writing, open_error(temporary));
    (void)probe.close();
    remove_file(temporary.c_str());
}

} // namespace common
