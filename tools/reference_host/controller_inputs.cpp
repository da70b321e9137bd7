#include "reference_host/controller_inputs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/hex_digits.h"
#include "common/utf8.h"
#include "model/platform.h"
#include "reference_host/byte_text.h"
#include "reference_host/controller_setup.h"

namespace reference_host {

namespace {
void write_text(std::uint8_t* field, std::size_t limit, const std::string& text) {
    // The record is zeroed, so a text within the limit stays terminated.
    // NOLINTNEXTLINE(bugprone-not-null-terminated-result): limit is one short of the field
    std::memcpy(field, text.data(), std::min(text.size(), limit));
}

std::string hex(std::uint32_t value, int digits) {
    char text[16];
    (void)std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}
} // namespace

std::array<std::uint8_t, INPUT_RECORD_SIZE> controller_inputs::to_record() const {
    std::array<std::uint8_t, INPUT_RECORD_SIZE> record{};
    record[INPUT_DIGI8_1_LEVEL] = digi8[0];
    record[INPUT_DIGI8_2_LEVEL] = digi8[1];
    platform::write_be16(&record[INPUT_DIGI16_1_LEVEL], digi16[0]);
    platform::write_be16(&record[INPUT_DIGI16_2_LEVEL], digi16[1]);
    platform::write_be32(&record[INPUT_DIGI32_LEVEL], digi32);
    write_text(&record[INPUT_SERIAL1_TEXT], SERIAL1_TEXT_LIMIT, serial1);
    write_text(&record[INPUT_SERIAL2_TEXT], SERIAL2_TEXT_LIMIT, serial2);
    return record;
}

std::uint32_t controller_inputs::level(std::uint32_t mode) const {
    switch (mode) {
    case INPUT_DIGI8_1:
        return digi8[0];
    case INPUT_DIGI8_2:
        return digi8[1];
    case INPUT_DIGI16_1:
        return digi16[0];
    case INPUT_DIGI16_2:
        return digi16[1];
    default:
        return digi32;
    }
}

void controller_inputs::set_level(std::uint32_t mode, std::uint32_t level) {
    switch (mode) {
    case INPUT_DIGI8_1:
    case INPUT_DIGI8_2:
        digi8[mode == INPUT_DIGI8_2] = static_cast<std::uint8_t>(level);
        break;
    case INPUT_DIGI16_1:
    case INPUT_DIGI16_2:
        digi16[mode == INPUT_DIGI16_2] = static_cast<std::uint16_t>(level);
        break;
    default:
        digi32 = level;
    }
}

std::string quote_text(const std::string& text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        // Characters of other scripts show as they are; stray 8-bit bytes
        // (a Latin-1 text, say) as \xNN.
        std::size_t length = 0;
        if (common::code_point_at(text, at, length) && length > 1) {
            out.append(text, at, length);
            at += length;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[at++]);
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (c < 0x20 || c >= 0x7F)
                out += common::escaped_byte(c);
            else
                out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string controller_inputs::describe() const {
    std::string text;
    auto add = [&text](const std::string& field) { text += (text.empty() ? "" : " ") + field; };
    for (const input_name& port : input_names())
        if (port.width > 0 && level(port.mode) != 0)
            add(port.key + "=" + hex(level(port.mode), port.width / 4));
    if (!serial1.empty())
        add("serial_1=" + quote_text(serial1));
    if (!serial2.empty())
        add("serial_2=" + quote_text(serial2));
    return text.empty() ? "all inputs 0" : text;
}

} // namespace reference_host
