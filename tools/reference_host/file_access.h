// Whole files in and out, and the system's reason when that fails ("No such
// file or directory", "Is a directory", "Permission denied", ...).
#pragma once

#include <cstdio>
#include <string>

namespace reference_host {

// The system's words for an errno value.
std::string system_reason(int error);

// The bytes of FILE. Throws input_error "FILE: cannot be opened: REASON" (or
// "cannot be read").
std::string read_whole_file(const std::string& file);

// Replaces FILE with `bytes`. Throws input_error "FILE: cannot be written:
// REASON".
void write_whole_file(const std::string& file, const std::string& bytes);

// A file written as things happen (the run log): each write reaches the
// system at once, so the file holds everything up to a crash.
class growing_file {
public:
    // Creates or empties FILE. Throws input_error "FILE: cannot be written:
    // REASON".
    explicit growing_file(const std::string& file);
    ~growing_file();
    growing_file(const growing_file&) = delete;
    growing_file& operator=(const growing_file&) = delete;

    // False once a write failed; problem() then says why ("FILE: cannot be
    // written: No space left on device"), and later writes are dropped.
    bool write(const char* bytes, std::size_t size);
    bool write(const std::string& bytes) { return write(bytes.data(), bytes.size()); }
    const std::string& problem() const { return problem_; }

private:
    std::string name_;
    std::FILE* file_;
    std::string problem_;
};

} // namespace reference_host
