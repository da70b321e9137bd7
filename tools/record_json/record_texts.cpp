#include "record_json/record_texts.h"

#include <cstdio>
#include <cstring>

#include "common/hex_digits.h"
#include "model/platform.h"
#include "model/save_record.h"
#include "record_json/record_reading.h"

namespace {

constexpr std::size_t WAIT_MESSAGE_UNITS = SAVE_WAIT_MESSAGE_SIZE / 2;

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool next_code_point(const std::string& s, std::size_t& i, char32_t& c) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t extra;
    char32_t min;
    if (lead < 0x80) {
        c = lead;
        ++i;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, c = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, c = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, c = lead & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (s.size() - i <= extra)
        return false;
    for (std::size_t k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    i += extra + 1;
    return true;
}

std::string code_point_name(char32_t c) {
    char name[16];
    (void)std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

} // namespace

std::string compare_text_json(const char* field) {
    std::string text;
    for (std::size_t i = 0; i < SAVE_COMPARE_TEXT_SIZE && field[i] != 0; ++i)
        append_utf8(text, static_cast<unsigned char>(field[i]));
    return text;
}

std::string wait_message_json(const std::uint8_t* field) {
    std::string text;
    for (std::size_t i = 0; i < WAIT_MESSAGE_UNITS; ++i) {
        const char32_t unit = platform::read_be16(field + 2 * i);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < WAIT_MESSAGE_UNITS) {
            const char32_t low = platform::read_be16(field + 2 * i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                append_utf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        append_utf8(text, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
    return text;
}

std::string to_hex(const std::uint8_t* bytes, std::size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

std::vector<char32_t> code_points(const nlohmann::json& v, const std::string& key) {
    const std::string& text = string_of(v, key);
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        if (!next_code_point(text, i, c))
            refuse(key, "is not valid UTF-8");
        if (c == 0)
            refuse(key, "contains U+0000, which would end the text early");
        points.push_back(c);
    }
    return points;
}

void write_compare_text(char* field, const std::vector<char32_t>& text, const std::string& key) {
    if (text.size() > SAVE_COMPARE_TEXT_SIZE)
        refuse(key, "has " + std::to_string(text.size()) + " characters, more than the " +
                        std::to_string(SAVE_COMPARE_TEXT_SIZE) + " the record keeps");
    std::memset(field, 0, SAVE_COMPARE_TEXT_SIZE);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] > 0xFF)
            refuse(key, "character " + code_point_name(text[i]) +
                            " has no 8-bit form (texts hold U+0001..U+00FF)");
        field[i] = static_cast<char>(text[i]);
    }
}

void write_wait_message(std::uint8_t* field, const std::vector<char32_t>& text,
                        const std::string& key) {
    std::vector<std::uint16_t> units;
    for (char32_t c : text) {
        if (c >= 0x10000) {
            units.push_back(static_cast<std::uint16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(c));
        }
    }
    if (units.size() > WAIT_MESSAGE_UNITS)
        refuse(key, "needs " + std::to_string(units.size()) + " UTF-16 units, more than the " +
                        std::to_string(WAIT_MESSAGE_UNITS) + " the record keeps");
    std::memset(field, 0, SAVE_WAIT_MESSAGE_SIZE);
    for (std::size_t i = 0; i < units.size(); ++i)
        platform::write_be16(field + 2 * i, units[i]);
}

void write_hex(std::uint8_t* field, const nlohmann::json& v, const std::string& key,
               std::size_t size) {
    const std::string& hex = string_of(v, key);
    if (hex.size() != 2 * size)
        refuse(key, "must hold " + std::to_string(2 * size) + " hex digits");
    const auto digit = [&](char c) {
        const int value = common::hex_digit_value(c);
        if (value < 0)
            refuse(key, "must hold hex digits only");
        return value;
    };
    for (std::size_t i = 0; i < size; ++i)
        field[i] = static_cast<std::uint8_t>(digit(hex[2 * i]) << 4 | digit(hex[2 * i + 1]));
}
