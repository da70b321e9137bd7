#include "common/file_access.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
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

write_fault active_fault = nullptr;

// A test's failure for `step`, or 0.
int injected(write_step step) {
    return active_fault != nullptr ? active_fault(step) : 0;
}

// The C runtime's descriptor calls under each system's names. On Windows
// every file is opened binary: the bytes are the same as on Linux, with no
// CR added before a LF and no Ctrl-Z taken for the end. Names are UTF-8
// inside the programs and reach Windows through its wide-character calls,
// so that no name is cut to the ANSI code page.
#ifdef _WIN32
using file_status = struct _stat64;
std::wstring wide(const std::string& text) {
    if (text.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}
int open_file(const std::string& path, int flags) {
    return ::_wopen(wide(path).c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
constexpr int OPEN_TO_READ = O_RDONLY;
constexpr int EXCLUSIVE_CREATION = O_WRONLY | O_CREAT | O_EXCL;
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
void remove_file(const std::string& path) {
    ::_wunlink(wide(path).c_str());
}
// The runtime's stat does not find a folder whose name ends in a separator
// (C:\Temp\): it is asked without, a drive's root (C:\) aside.
std::string without_end_separators(std::string path) {
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') &&
           path[path.size() - 2] != ':')
        path.pop_back();
    return path;
}
int status_of_path(const std::string& path, file_status& status) {
    return ::_wstat64(wide(without_end_separators(path)).c_str(), &status);
}
// Links are rare on Windows and need rights to make: a name is taken as the
// file itself.
int final_target(const std::string& path, std::string& target) {
    target = path;
    return 0;
}
bool is_separator(char c) {
    return c == '/' || c == '\\';
}
unsigned long process_id() {
    return GetCurrentProcessId();
}
int flush_to_disk(int fd) {
    return ::_commit(fd) == 0 ? 0 : errno;
}
// The new file gets the permissions its folder hands on, as any new file.
int keep_permissions(int, const file_status&) {
    return 0;
}
int errno_of_last_error() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    default:
        return EIO;
    }
}
// rename() does not replace an existing file on Windows; MoveFileEx does,
// and with WRITE_THROUGH returns once the move is on the disk: Windows has
// no flush of a folder.
int rename_over(const std::string& from, const std::string& to) {
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : errno_of_last_error();
}
int link_file(const std::string& existing, const std::string& name) {
    return CreateHardLinkW(wide(name).c_str(), wide(existing).c_str(), nullptr)
               ? 0
               : errno_of_last_error();
}
int flush_folder(const std::string&) {
    return 0;
}
#else
using file_status = struct stat;
int open_file(const std::string& path, int flags) {
    return ::open(path.c_str(), flags | O_CLOEXEC, 0666);
}
// Non-blocking, so that a pipe opens at once and is then refused.
constexpr int OPEN_TO_READ = O_RDONLY | O_NONBLOCK;
// Never through a link at that name, never a file that is already there.
constexpr int EXCLUSIVE_CREATION = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
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
void remove_file(const std::string& path) {
    ::unlink(path.c_str());
}
int status_of_path(const std::string& path, file_status& status) {
    return ::stat(path.c_str(), &status);
}
bool is_separator(char c) {
    return c == '/';
}
unsigned long process_id() {
    return static_cast<unsigned long>(::getpid());
}
// The file a chain of links ends at (it need not exist yet), so that the
// file is replaced and the links stay.
int final_target(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat status {};
        if (::lstat(target.c_str(), &status) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(status.st_mode))
            return 0;
        if (hops == 40)
            return ELOOP;
        std::string points_to(static_cast<std::size_t>(status.st_size) + 256, '\0');
        const ssize_t n = ::readlink(target.c_str(), points_to.data(), points_to.size());
        if (n < 0)
            return errno;
        points_to.resize(static_cast<std::size_t>(n));
        const std::size_t slash = target.rfind('/');
        target = points_to.front() == '/' || slash == std::string::npos
                     ? points_to
                     : target.substr(0, slash + 1) + points_to;
    }
}
int flush_to_disk(int fd) {
    return ::fsync(fd) == 0 ? 0 : errno;
}
int keep_permissions(int fd, const file_status& old) {
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}
int rename_over(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}
int link_file(const std::string& existing, const std::string& name) {
    return ::link(existing.c_str(), name.c_str()) == 0 ? 0 : errno;
}
// A rename is durable only once the folder that holds the name is.
int flush_folder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot flush a folder and say so: nothing to do.
    if (error == EINVAL || error == ENOTSUP)
        error = 0;
    return error;
}
#endif

// Windows does not open a folder as a file and says EACCES: name the real
// reason, as Linux does.
int open_error(const std::string& path) {
    const int error = errno;
#ifdef _WIN32
    file_status status{};
    if (error == EACCES && status_of_path(path, status) == 0 && is_directory(status))
        return EISDIR;
#else
    (void)path;
#endif
    return error;
}

// The folder part of `file` with its separator ("" for a bare name).
std::string folder_part(const std::string& file) {
    std::size_t end = file.size();
    while (end > 0 && !is_separator(file[end - 1]))
        --end;
    return file.substr(0, end);
}

// A name no other writer picks: the program's id, a counter and the clock.
std::string unique_suffix() {
    static unsigned counter = 0;
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char text[40];
    (void)std::snprintf(text, sizeof text, "%lx%x%llx", process_id(), ++counter,
                        stamp & 0xFFFFFFFFULL);
    return text;
}

// The file a replacement of `path` writes: a plain file (or none yet) at
// the end of its links, with its status in `old` when it exists.
struct replacement_target {
    std::string file;
    bool exists = false;
    file_status old{};
};

replacement_target target_of(const std::string& path, const file_wording& wording) {
    replacement_target t;
    if (const int error = final_target(path, t.file))
        refuse_file(path, wording.writing, error);
    if (status_of_path(t.file, t.old) == 0) {
        t.exists = true;
        if (is_directory(t.old))
            refuse_file(path, wording.writing, EISDIR);
        // Renaming over a device or a pipe would replace it.
        if (!is_regular(t.old))
            throw input_error(path + ": " + wording.writing + "not a plain file");
    } else if (errno != ENOENT) {
        refuse_file(path, wording.writing, errno);
    }
    return t;
}

// A new file beside `target`, hidden, whose name ends in `ending`; its
// descriptor, or the errno of the failure.
// A new hidden file `name` beside `target`, never one that was there; a
// failure is refused in the words for writing `path`.
descriptor create_beside(const std::string& target, const std::string& path,
                         const file_wording& wording, std::string& name) {
    const std::string folder = folder_part(target);
    // Short enough that the longest name a folder takes still has room.
    const std::string base = target.substr(folder.size(), 200);
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        name = folder + "." + base + "." + unique_suffix() + ".tmp";
        error = injected(write_step::create);
        descriptor out(error == 0 ? open_file(name, EXCLUSIVE_CREATION) : -1, true);
        if (out.fd() >= 0)
            return out;
        if (error == 0)
            error = open_error(name);
    }
    refuse_file(path, wording.writing, error != 0 ? error : EEXIST);
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
    descriptor in(open_file(path, OPEN_TO_READ), true);
    if (in.fd() < 0)
        refuse_file(path, wording.opening, open_error(path));
    file_status status{};
    if (status_of(in.fd(), status) != 0)
        refuse_file(path, wording.opening, errno);
    if (is_directory(status))
        refuse_file(path, wording.opening, EISDIR);
    if (!is_regular(status))
        throw input_error(path + ": " + wording.opening + "not a plain file");
#ifndef _WIN32
    // Read as any file: a read that must wait (a slow disk) waits.
    (void)::fcntl(in.fd(), F_SETFL, ::fcntl(in.fd(), F_GETFL) & ~O_NONBLOCK);
#endif
    return in;
}

descriptor open_to_write(const std::string& path, const file_wording& wording) {
    descriptor out(open_file(path, O_WRONLY | O_CREAT | O_TRUNC), true);
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

void replace_whole_file(const std::string& path, const std::string& bytes,
                        const file_wording& wording) {
    const replacement_target target = target_of(path, wording);
    std::string temporary;
    descriptor out = create_beside(target.file, path, wording, temporary);
    int error = 0;
    if (target.exists)
        error = keep_permissions(out.fd(), target.old);
    if (error == 0)
        error = injected(write_step::write);
    if (error == 0)
        error = write_all(out.fd(), bytes.data(), bytes.size());
    // On the disk before the name points at it, so a power cut leaves the
    // old bytes rather than an empty file.
    if (error == 0)
        error = injected(write_step::sync);
    if (error == 0)
        error = flush_to_disk(out.fd());
    // A full disk may only show when the file is closed.
    const int close_error = out.close();
    if (error == 0)
        error = close_error;
    // A second name for the old file until the new one is surely in its
    // place: a failure after the rename puts the old one back. A file
    // system without such names replaces without that net.
    std::string kept;
    if (error == 0 && target.exists) {
        kept = temporary.substr(0, temporary.size() - 4) + ".old";
        if (link_file(target.file, kept) != 0)
            kept.clear();
    }
    if (error == 0)
        error = injected(write_step::rename);
    if (error == 0)
        error = rename_over(temporary, target.file);
    if (error != 0) {
        remove_file(temporary);
        if (!kept.empty())
            remove_file(kept);
        refuse_file(path, wording.writing, error);
    }
    error = injected(write_step::folder_sync);
    if (error == 0)
        error = flush_folder(folder_part(target.file).empty() ? "." : folder_part(target.file));
    if (error != 0) {
        if (!kept.empty())
            (void)rename_over(kept, target.file);
        else if (!target.exists)
            remove_file(target.file);
        refuse_file(path, wording.writing, error);
    }
    if (!kept.empty())
        remove_file(kept);
}

void check_replaceable(const std::string& path, const file_wording& wording) {
    const replacement_target target = target_of(path, wording);
    // Whether a file can be made beside it is known only by making one.
    std::string probe;
    descriptor made = create_beside(target.file, path, wording, probe);
    (void)made.close();
    remove_file(probe);
}

bool names_a_stream(const std::string& path) {
    file_status status{};
    return status_of_path(path, status) == 0 && !is_regular(status) && !is_directory(status);
}

void set_write_fault(write_fault fault) {
    active_fault = fault;
}

} // namespace common
