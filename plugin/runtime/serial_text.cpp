#include "runtime/serial_text.h"

#include <cstring>

#include <wx/strconv.h>

void decode_text(const char* bytes, std::size_t room, decoded_text& out) {
    const std::size_t size = strnlen(bytes, room);
    out.length = 0;
    if (size == 0)
        return;
    // The converter reads up to a zero byte; a field that the host filled to
    // its end has none, so only such a field is decoded from a copy.
    char terminated[DECODED_TEXT_ROOM];
    const char* source = bytes;
    if (size == room) {
        std::memcpy(terminated, bytes, size);
        terminated[size] = '\0';
        source = terminated;
    }
    // MB2WC is one pass of the C library's conversion (ToWChar makes two: one
    // to measure, one to convert). n bytes never decode to more than n
    // characters, so the room always suffices.
    const std::size_t written = wxConvLibc.MB2WC(out.chars, source, DECODED_TEXT_ROOM);
    // A stateful encoding could turn bytes into no character at all; that
    // counts as undecodable too.
    if (written != wxCONV_FAILED && written > 0) {
        out.length = written;
        return;
    }
    for (std::size_t i = 0; i < size; ++i)
        out.chars[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    out.length = size;
}

namespace {

// The character a marker at `at` stands for, or 0 when none starts there.
wchar_t marker_at(const wchar_t* chars, std::size_t at, std::size_t length) {
    if (length - at < 4 || chars[at] != L'[' || chars[at + 3] != L']')
        return 0;
    if (chars[at + 1] == L'C' && chars[at + 2] == L'R')
        return L'\r';
    if (chars[at + 1] == L'L' && chars[at + 2] == L'F')
        return L'\n';
    return 0;
}

} // namespace

void replace_line_end_markers(decoded_text& text) {
    std::size_t kept = 0;
    for (std::size_t at = 0; at < text.length;) {
        if (const wchar_t line_end = marker_at(text.chars, at, text.length)) {
            text.chars[kept++] = line_end;
            at += 4;
        } else {
            text.chars[kept++] = text.chars[at++];
        }
    }
    text.length = kept;
}

void decode_comparison_text(const char* stored, decoded_text& out) {
    decode_text(stored, COMPARE_TEXT_CAPACITY, out);
    replace_line_end_markers(out);
}
