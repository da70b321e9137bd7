#include "record_json/record_texts.h"

#include <cstring>

#include "common/hex_digits.h"
#include "common/utf8.h"
#include "model/platform.h"
#include "model/save_record.h"
#include "record_json/record_reading.h"

namespace {

constexpr std::size_t WAIT_MESSAGE_UNITS = SAVE_WAIT_MESSAGE_SIZE / 2;

} // namespace

std::string compare_text_json(const char* field) {
    std::string text;
    for (std::size_t i = 0; i < SAVE_COMPARE_TEXT_SIZE && field[i] != 0; ++i)
        common::append_utf8(text, static_cast<unsigned char>(field[i]));
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
                common::append_utf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        common::append_utf8(text, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
    return text;
}

std::string to_hex(const std::uint8_t* bytes, std::size_t size) {
    return common::to_hex(bytes, size, common::hex_case::upper);
}

std::vector<char32_t> code_points(const nlohmann::json& v, const std::string& key) {
    const std::string& text = string_of(v, key);
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        const std::optional<char32_t> c = common::code_point_at(text, i, length);
        if (!c)
            refuse(key, "is not valid UTF-8");
        i += length;
        if (*c == 0)
            refuse(key, "contains U+0000, which would end the text early");
        points.push_back(*c);
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
            refuse(key, "character " + common::code_point_name(text[i]) +
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
