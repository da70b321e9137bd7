// Cuts the bytes of a serial device into the texts a controller delivers:
// a line ends at LF, or at CR; CR followed by LF is one ending. The ending
// stays in the text, so "[CR][LF]" conditions see it as the reader sent it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace reference_host {

class serial_line_splitter {
public:
    // A line longer than `max_length` bytes (ending included) is handed on
    // cut at that length, as it would not fit the input record.
    explicit serial_line_splitter(std::size_t max_length) : max_length_(max_length) {}

    // The lines that `bytes` complete, oldest first. Zero bytes are dropped:
    // the record's texts end at the first one.
    std::vector<std::string> feed(const std::string& bytes);
    // After a pause in the data: a line that ended with CR is complete (no
    // LF followed it). A line without ending stays pending.
    std::vector<std::string> pause();

private:
    std::size_t max_length_;
    std::string partial_;
    bool after_cr_ = false;
};

} // namespace reference_host
