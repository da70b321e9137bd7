#include "reference_host/hex_bytes.h"

#include "common/hex_digits.h"

namespace reference_host {

namespace {
bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
} // namespace

std::string to_hex(const std::vector<std::uint8_t>& bytes) {
    return common::to_hex(bytes.data(), bytes.size(), common::hex_case::lower);
}

std::optional<std::vector<std::uint8_t>> from_hex(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        if (is_space(c))
            continue;
        const int v = common::hex_digit_value(c);
        if (v < 0)
            return std::nullopt;
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;
    return bytes;
}

} // namespace reference_host
