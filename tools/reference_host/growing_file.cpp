#include "reference_host/growing_file.h"

namespace reference_host {

growing_file::growing_file(const std::string& file)
    : name_(file), file_(common::open_to_write(file, common::STEP_REASONS)) {}

bool growing_file::write(const char* bytes, std::size_t size) {
    if (!problem_.empty())
        return false;
    if (const int error = common::write_all(file_.fd(), bytes, size))
        problem_ = common::file_problem(name_, common::STEP_REASONS.writing, error);
    return problem_.empty();
}

} // namespace reference_host
