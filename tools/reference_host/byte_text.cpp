#include "reference_host/byte_text.h"

#include <cstdio>

#include "common/hex_digits.h"

namespace reference_host {

namespace {

unsigned byte_at(const std::string& text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

std::string escaped(unsigned byte) {
    char text[8];
    (void)std::snprintf(text, sizeof text, "\\x%02X", byte);
    return text;
}

// The code point of the well-formed sequence of `length` bytes at `at`.
char32_t code_point_at(const std::string& text, std::size_t at, std::size_t length) {
    static const unsigned lead_bits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = byte_at(text, at) & lead_bits[length];
    for (std::size_t k = 1; k < length; ++k)
        c = (c << 6) | (byte_at(text, at + k) & 0x3F);
    return c;
}

} // namespace

std::size_t utf8_sequence_at(const std::string& text, std::size_t at) {
    const unsigned lead = byte_at(text, at);
    std::size_t length;
    char32_t lowest;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, lowest = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, lowest = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, lowest = 0x10000;
    else
        return 0;
    if (text.size() - at < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte_at(text, at + k) & 0xC0) != 0x80)
            return 0;
    const char32_t c = code_point_at(text, at, length);
    if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

std::string printable_utf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8_sequence_at(text, at);
        if (length == 0) {
            out += escaped(byte_at(text, at++));
            continue;
        }
        out.append(text, at, length);
        at += length;
    }
    return out;
}

std::optional<std::string> bytes_from_scenario_text(const std::string& utf8, std::string& error) {
    std::string bytes;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = utf8_sequence_at(utf8, at);
        if (length == 0) {
            error = "not valid UTF-8";
            return std::nullopt;
        }
        const char32_t c = code_point_at(utf8, at, length);
        at += length;
        unsigned byte = static_cast<unsigned>(c);
        if (c == '\\') {
            if (at < utf8.size() && utf8[at] == '\\') {
                ++at;
            } else if (at + 2 < utf8.size() && utf8[at] == 'x' &&
                       common::hex_digit_value(utf8[at + 1]) >= 0 &&
                       common::hex_digit_value(utf8[at + 2]) >= 0) {
                byte = static_cast<unsigned>(common::hex_digit_value(utf8[at + 1]) * 16 +
                                             common::hex_digit_value(utf8[at + 2]));
                at += 3;
            } else {
                error = "a backslash starts \\xNN (the byte NN) or \\\\ (a backslash)";
                return std::nullopt;
            }
        } else if (c > 0xFF) {
            char code[16];
            (void)std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            error = "\"" + utf8.substr(at - length, length) + "\" (" + code +
                    ") is not an 8-bit character; give its bytes as \\xNN";
            return std::nullopt;
        }
        if (byte == 0) {
            error = "a zero byte would end the text early";
            return std::nullopt;
        }
        bytes += static_cast<char>(byte);
    }
    return bytes;
}

std::string scenario_text_from_bytes(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const unsigned byte = byte_at(bytes, at);
        if (byte == '\\')
            text += "\\\\";
        else if ((byte >= 0x20 && byte < 0x7F) || byte == '\r' || byte == '\n' || byte == '\t')
            text += static_cast<char>(byte);
        else
            text += escaped(byte);
    }
    return text;
}

} // namespace reference_host
