#include "save_record_tool/tool_files.h"

#include "common/file_access.h"

namespace save_record_tool {

using common::BARE_REASONS;

std::string input_name(const std::string& path) {
    return path == "-" ? "standard input" : path;
}

std::string read_input(const std::string& path, std::size_t limit, std::size_t& size) {
    const common::descriptor in =
        path == "-" ? common::standard_input() : common::open_to_read(path, BARE_REASONS);
    return common::read_up_to(in, input_name(path), limit, false, size, BARE_REASONS);
}

void write_output(const std::string& path, const std::string& bytes) {
    if (!path.empty() && path != "-" && !common::names_a_stream(path))
        return common::replace_whole_file(path, bytes, BARE_REASONS);
    const bool to_standard_output = path.empty() || path == "-";
    const common::descriptor out =
        to_standard_output ? common::standard_output() : common::open_to_write(path, BARE_REASONS);
    if (const int error = common::write_all(out.fd(), bytes.data(), bytes.size()))
        common::refuse_file(to_standard_output ? "standard output" : path, BARE_REASONS.writing,
                            error);
}

} // namespace save_record_tool
