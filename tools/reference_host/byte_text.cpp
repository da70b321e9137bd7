#include "reference_host/byte_text.h"

#include "common/hex_digits.h"
#include "common/utf8.h"

namespace reference_host {

namespace {

unsigned byte_at(const std::string& text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

} // namespace

std::string printable_utf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 0;
        if (!common::code_point_at(text, at, length)) {
            out += common::escaped_byte(byte_at(text, at++));
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
        std::size_t length = 0;
        const std::optional<char32_t> point = common::code_point_at(utf8, at, length);
        if (!point) {
            error = "not valid UTF-8";
            return std::nullopt;
        }
        const char32_t c = *point;
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
            error = "\"" + utf8.substr(at - length, length) + "\" (" + common::code_point_name(c) +
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
            text += common::escaped_byte(byte);
    }
    return text;
}

} // namespace reference_host
