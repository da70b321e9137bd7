// Hex digits as the host programs read them: records in JSON, byte texts in
// scenarios, save records in project files.
#pragma once

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

} // namespace common
