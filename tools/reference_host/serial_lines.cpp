#include "reference_host/serial_lines.h"

namespace reference_host {

std::vector<std::string> serial_line_splitter::feed(const std::string& bytes) {
    std::vector<std::string> lines;
    auto finish = [&] {
        lines.push_back(partial_);
        partial_.clear();
        after_cr_ = false;
    };
    for (char c : bytes) {
        if (after_cr_) {
            if (c == '\n') {
                partial_ += c;
                finish();
                continue;
            }
            finish();
        }
        if (c == '\0')
            continue;
        partial_ += c;
        if (c == '\r' && partial_.size() < max_length_)
            after_cr_ = true;
        else if (c == '\n' || partial_.size() >= max_length_)
            finish();
    }
    return lines;
}

std::vector<std::string> serial_line_splitter::pause() {
    if (!after_cr_)
        return {};
    std::vector<std::string> lines{partial_};
    partial_.clear();
    after_cr_ = false;
    return lines;
}

} // namespace reference_host
