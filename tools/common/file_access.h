// Files in and out, and the system's reason when that fails ("No such file
// or directory", "Is a directory", "No space left on device").
#pragma once

#include <cstddef>
#include <string>

namespace common {

// The system's words for an errno value.
std::string system_reason(int error);

// What a refusal puts between the file's name and the system's reason, by
// step: "shot.png: cannot be written: Permission denied", or with
// BARE_REASONS "shot.png: Permission denied".
struct file_wording {
    const char* opening; // to read
    const char* reading;
    const char* writing; // opening to write as well
};
inline constexpr file_wording STEP_REASONS{
    "cannot be opened: ", "cannot be read: ", "cannot be written: "};
inline constexpr file_wording BARE_REASONS{"", "", ""};

// "NAME: STEP REASON", as input_error carries it.
std::string file_problem(const std::string& name, const char* step, int error);
[[noreturn]] void refuse_file(const std::string& name, const char* step, int error);

// A file descriptor, closed with the object unless it is borrowed (the
// standard streams).
class descriptor {
public:
    descriptor(int fd, bool owned) : fd_(fd), owned_(owned) {}
    descriptor(descriptor&& other) noexcept : fd_(other.fd_), owned_(other.owned_) {
        other.owned_ = false;
    }
    descriptor(const descriptor&) = delete;
    descriptor& operator=(const descriptor&) = delete;
    descriptor& operator=(descriptor&&) = delete;
    ~descriptor();
    int fd() const { return fd_; }
    // Closes it now: 0, or the errno of the failure.
    int close();

private:
    int fd_;
    bool owned_;
};

// Throw input_error "PATH: <step> REASON" when the file does not open.
// Reading takes plain files only: a folder, a pipe or a device is refused at
// once, without waiting for a writer or reading without end.
descriptor open_to_read(const std::string& path, const file_wording& wording);
// Creates or empties the file, for a stream written as it goes (a log).
descriptor open_to_write(const std::string& path, const file_wording& wording);
// Makes the standard streams binary on Windows, so that a program reads and
// writes the same bytes as on Linux: no CR before each LF, no Ctrl-Z as the
// end. Call it before anything is read or written.
void binary_standard_streams();
// The standard input and output, borrowed.
descriptor standard_input();
descriptor standard_output();

// Up to `limit` bytes from `in` (refusals call it `name`), and in `size` the
// input's whole size: past `limit`, a regular file's size is the system's,
// other input is read on to count it only if `count_rest`; otherwise `size`
// is just above `limit`. A directory is refused as not opening (EISDIR): it
// opens on some systems and then reads as nothing.
std::string read_up_to(const descriptor& in, const std::string& name, std::size_t limit,
                       bool count_rest, std::size_t& size, const file_wording& wording);

// Writes all of `bytes`; 0, or the errno of the failure.
int write_all(int fd, const char* bytes, std::size_t size);

// The bytes of the file `path`.
std::string read_whole_file(const std::string& path, const file_wording& wording = STEP_REASONS);

// Replaces the file `path` with `bytes`, whole or not at all: the bytes go
// to a new file of a unique name in the target's folder (created
// exclusively, never through a link), are flushed to the disk and renamed
// over the target, and the folder is flushed, so that after a failure, a
// crash or a power cut `path` holds the old bytes or the new ones. The
// target keeps its permission bits; a target that is a link keeps the link
// and the file it points to is replaced. A target that is not a plain file
// (a folder, a device, a pipe) is refused. On a failure the old file is as
// it was, nothing is left beside it, and the input_error names `path` and
// the system's reason.
void replace_whole_file(const std::string& path, const std::string& bytes,
                        const file_wording& wording = STEP_REASONS);
// Whether `path` names a device or a pipe (/dev/stdout, a FIFO): an output
// that is written as a stream, not replaced.
bool names_a_stream(const std::string& path);

// Refuses, as replace_whole_file would, a `path` it could not replace: a
// folder, something other than a plain file, a folder where no file can be
// made. Checked before work whose result would otherwise be lost.
void check_replaceable(const std::string& path, const file_wording& wording = STEP_REASONS);

// The steps of replace_whole_file that touch the disk, for tests that make
// each one fail in turn.
enum class write_step { create, write, sync, rename, folder_sync };
// A test's hook, asked before each step: an errno makes the step fail with
// it, 0 lets it run. Empty (the default) in the programs.
using write_fault = int (*)(write_step step);
void set_write_fault(write_fault fault);

} // namespace common
