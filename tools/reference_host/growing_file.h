// The run log's file, written as things happen.
#pragma once

#include <cstddef>
#include <string>

#include "common/file_access.h"

namespace reference_host {

// A file written as things happen (the run log): each write reaches the
// system at once, so the file holds everything up to a crash.
class growing_file {
public:
    // Creates or empties FILE. Throws input_error "FILE: cannot be written:
    // REASON".
    explicit growing_file(const std::string& file);

    // False once a write failed; problem() then says why ("FILE: cannot be
    // written: No space left on device"), and later writes are dropped.
    bool write(const char* bytes, std::size_t size);
    bool write(const std::string& bytes) { return write(bytes.data(), bytes.size()); }
    const std::string& problem() const { return problem_; }

private:
    std::string name_;
    common::descriptor file_;
    std::string problem_;
};

} // namespace reference_host
