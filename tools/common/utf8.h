// Strict UTF-8, as the programs read their own texts and JSON strings: no
// overlong forms, no surrogates, nothing above U+10FFFF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace common {

// The code point of the well-formed sequence at `at` and, in `length`, its
// bytes (1 to 4); nothing when the bytes there are not one.
std::optional<char32_t> code_point_at(const std::string& text, std::size_t at, std::size_t& length);

// Appends `c` (at most U+10FFFF) encoded.
void append_utf8(std::string& out, char32_t c);

// "U+00E9", as messages name a character.
std::string code_point_name(char32_t c);

} // namespace common
