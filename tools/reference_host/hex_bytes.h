// Save records travel in project and scenario files as hex text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reference_host {

// Lower-case hex, two digits per byte, no separators.
std::string to_hex(const std::vector<std::uint8_t>& bytes);

// Reads hex digits of either case; white space between digits is allowed so
// that long records can be wrapped. Null on any other character or an odd
// number of digits.
std::optional<std::vector<std::uint8_t>> from_hex(const std::string& text);

} // namespace reference_host
