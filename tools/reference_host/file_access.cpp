#include "reference_host/file_access.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "reference_host/json_reading.h"

namespace reference_host {

namespace {

struct file_closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using file_handle = std::unique_ptr<std::FILE, file_closer>;

// A directory opens for reading on some systems and then reads as nothing.
bool is_directory(const std::string& file) {
    std::error_code ignored;
    return std::filesystem::is_directory(std::filesystem::path(file), ignored);
}

} // namespace

std::string system_reason(int error) {
    return std::strerror(error);
}

std::string read_whole_file(const std::string& file) {
    if (is_directory(file))
        throw input_error(file + ": cannot be opened: " + system_reason(EISDIR));
    errno = 0;
    const file_handle in(std::fopen(file.c_str(), "rb"));
    if (!in)
        throw input_error(file + ": cannot be opened: " + system_reason(errno));
    std::string bytes;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
        bytes.append(buffer, n);
    if (std::ferror(in.get()))
        throw input_error(file + ": cannot be read: " + system_reason(errno));
    return bytes;
}

void write_whole_file(const std::string& file, const std::string& bytes) {
    if (is_directory(file))
        throw input_error(file + ": cannot be written: " + system_reason(EISDIR));
    errno = 0;
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr)
        throw input_error(file + ": cannot be written: " + system_reason(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const int write_error = errno;
    // A full disk may only show when the buffered rest goes out.
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed)
        throw input_error(file +
                          ": cannot be written: " + system_reason(written ? errno : write_error));
}

growing_file::growing_file(const std::string& file) : name_(file) {
    if (is_directory(file))
        throw input_error(file + ": cannot be written: " + system_reason(EISDIR));
    errno = 0;
    file_ = std::fopen(file.c_str(), "wb");
    if (file_ == nullptr)
        throw input_error(file + ": cannot be written: " + system_reason(errno));
}

growing_file::~growing_file() {
    std::fclose(file_);
}

bool growing_file::write(const char* bytes, std::size_t size) {
    if (!problem_.empty())
        return false;
    errno = 0;
    if (std::fwrite(bytes, 1, size, file_) != size || std::fflush(file_) != 0)
        problem_ = name_ + ": cannot be written: " + system_reason(errno);
    return problem_.empty();
}

} // namespace reference_host
