// The save-record tool's input and output: files by name, "-" for standard
// input or output, failures with the system's reason alone
// ("element.rec: No such file or directory").
#pragma once

#include <cstddef>
#include <string>

namespace save_record_tool {

// How messages name `path`: "standard input" for "-".
std::string input_name(const std::string& path);

// Up to `limit` bytes of the file `path` ("-": standard input), and in
// `size` the input's whole size, or a size just above `limit` where the input
// does not say (a pipe, a device): it is never read on past the limit.
// Throws input_error.
std::string read_input(const std::string& path, std::size_t limit, std::size_t& size);

// Writes `bytes` to the file `path` ("" or "-": standard output), replacing
// it whole or not at all: a cut record would still load, as a short one. A
// device or a pipe given as the output is written as a stream. Throws
// input_error.
void write_output(const std::string& path, const std::string& bytes);

} // namespace save_record_tool
