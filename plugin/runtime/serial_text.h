// The 8-bit texts of the serial interfaces: decoding stored and received
// bytes the same way, the line-end markers of comparison texts, and the
// comparison itself. Pure functions; evaluation and result data share them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "abi/input_record.h"
#include "model/input_config.h"

// Room for the longest field decoded here (serial interface 2) and a
// terminator; a field of n bytes never decodes to more than n characters.
constexpr std::size_t DECODED_TEXT_ROOM = INPUT_SERIAL2_TEXT_SIZE + 1;
static_assert(INPUT_SERIAL1_TEXT_SIZE < DECODED_TEXT_ROOM);
static_assert(COMPARE_TEXT_CAPACITY < DECODED_TEXT_ROOM);

// A decoded text on the stack: an evaluation rebuilds its texts on every call
// without allocating for them.
struct decoded_text {
    wchar_t chars[DECODED_TEXT_ROOM];
    std::size_t length = 0;

    std::wstring_view view() const { return {chars, length}; }
};

// Decodes the text at `bytes`, up to its zero byte and never past `room`
// bytes, with the current locale's converter (wxConvLibc). A text that the
// locale cannot decode is taken as Latin-1 instead, so a non-empty text never
// decodes to an empty one (two different such texts would then compare equal).
void decode_text(const char* bytes, std::size_t room, decoded_text& out);

// Replaces every "[CR]" by a carriage return, then every "[LF]" by a line
// feed (case-sensitive). One pass does both: a replacement can never form
// or break the other marker.
void replace_line_end_markers(decoded_text& text);

// A stored comparison text (compare_text1 or compare_text2) as it is compared
// and handed to the host: decoded, markers replaced.
void decode_comparison_text(const char* stored, decoded_text& out);

enum class text_compare { full, substring, any };

// The interface's compare mode from its two flags; FULL wins over SUBSTRING.
inline text_compare compare_mode(std::uint32_t flags, std::uint32_t full_flag,
                                 std::uint32_t substring_flag) {
    if (flags & full_flag)
        return text_compare::full;
    return (flags & substring_flag) ? text_compare::substring : text_compare::any;
}

inline bool text_matches(std::wstring_view received, std::wstring_view comparison,
                         text_compare mode) {
    switch (mode) {
    case text_compare::full:
        return received == comparison;
    case text_compare::substring:
        return received.find(comparison) != std::wstring_view::npos;
    case text_compare::any:
        break;
    }
    return true;
}
