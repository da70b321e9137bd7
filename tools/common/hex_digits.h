// Hex digits as the host programs read and write them: records in JSON, byte
// texts in scenarios and logs, save records in project files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace common {

// The value of one hex digit of either case; -1 for any other character.
inline int hex_digit_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Which digits a file or log uses: each keeps the case it always had.
enum class hex_case { lower, upper };

// Two digits for `byte`.
inline void append_hex_byte(std::string& out, unsigned byte, hex_case digits) {
    const char* const set = digits == hex_case::upper ? "0123456789ABCDEF" : "0123456789abcdef";
    out += set[(byte >> 4) & 0x0F];
    out += set[byte & 0x0F];
}

// Two digits per byte, no separators.
inline std::string to_hex(const std::uint8_t* bytes, std::size_t size, hex_case digits) {
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i)
        append_hex_byte(text, bytes[i], digits);
    return text;
}

// "\xNN", as logs and scenario texts show a byte.
inline std::string escaped_byte(unsigned byte) {
    std::string text = "\\x";
    append_hex_byte(text, byte, hex_case::upper);
    return text;
}

} // namespace common
