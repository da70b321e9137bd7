// The follow-up operation: the timeout action or the forwarded substring.
#include "runtime/custom_operation.h"

#include <algorithm>
#include <cstring>

#include <wx/string.h>

#include "abi/result_codes.h"
#include "abi/run_records.h"
#include "element/instance_data.h"
#include "lumo.h"
#include "model/input_config.h"
#include "model/platform.h"

std::uint32_t forward_op_code(std::uint32_t flags) {
    std::uint32_t op_code = 0;
    if (flags & FLAG_FORWARD_IN2)
        op_code |= OP_FORWARD_IN2;
    if (flags & FLAG_FORWARD_IN3)
        op_code |= OP_FORWARD_IN3;
    if (flags & FLAG_FORWARD_IN4)
        op_code |= OP_FORWARD_IN4;
    if (flags & FLAG_FORWARD_IN5)
        op_code |= OP_FORWARD_IN5;
    return op_code;
}

char_span forwarded_span(std::size_t length, std::uint8_t from, std::uint8_t to) {
    if (from >= length || to < from)
        return {from, 0};
    const std::size_t last = std::min<std::size_t>(to, length - 1);
    return {from, last - from + 1};
}

char_span whole_characters(const wxString& text, char_span span) {
    // Only where wxString holds UTF-16 (Windows) is a character two units.
    if constexpr (sizeof(wchar_t) == 2) {
        if (span.count == 0)
            return span;
        const wchar_t* units = text.wc_str();
        const std::size_t length = text.length();
        const auto low_half = [&](std::size_t at) {
            return at < length && units[at] >= 0xDC00 && units[at] <= 0xDFFF;
        };
        if (span.first > 0 && low_half(span.first)) {
            --span.first;
            ++span.count;
        }
        if (low_half(span.first + span.count))
            ++span.count;
    }
    return span;
}

namespace {

// The record is the host's, in host byte order.
void write_u32(std::uint8_t* record, std::size_t offset, std::uint32_t value) {
    platform::write_host(record + offset, value);
}

std::int32_t read_i32(const std::uint8_t* record, std::size_t offset) {
    return platform::read_host<std::int32_t>(record + offset);
}

std::int32_t write_timeout_operation(const input_config& config, std::uint8_t* record) {
    switch (config.timeout_action) {
    case ACTION_RESTART:
        write_u32(record, OPERATION_CODE, OP_RESTART);
        return RES_OK;
    case ACTION_STOP:
        write_u32(record, OPERATION_CODE, OP_STOP);
        return RES_OK;
    case ACTION_GOTO:
        write_u32(record, OPERATION_CODE, OP_GOTO);
        write_u32(record, OPERATION_VALUE, static_cast<std::uint32_t>(config.goto_element));
        return RES_OK;
    default:
        return RES_INVALID;
    }
}

std::int32_t write_forward_operation(const instance_data& instance, std::uint8_t* record) {
    const input_config& config = instance.config;
    write_u32(record, OPERATION_CODE, forward_op_code(config.flags));
    const char_span span = whole_characters(
        instance.last_received,
        forwarded_span(instance.last_received.length(), config.substr_from, config.substr_to));
    write_u32(record, OPERATION_VALUE, static_cast<std::uint32_t>(span.count));
    const int limit = forward_text_limit(read_i32(record, OPERATION_TEXT_CAPACITY));
    if (limit > 0) {
        char* text = reinterpret_cast<char*>(record + OPERATION_TEXT);
        // The whole text (the factory range 0..199 forwards all of it) goes
        // as it is; only a part needs a copy of its own.
        if (span.count == instance.last_received.length())
            lumo_unicode_stringToCharUTF8(instance.last_received, text, limit);
        else
            lumo_unicode_stringToCharUTF8(instance.last_received.Mid(span.first, span.count), text,
                                          limit);
    }
    return RES_OK;
}

} // namespace

std::int32_t get_custom_operation(element_handle* element, void* custom_operation) {
    const instance_data* instance = instance_of(element);
    if (instance == nullptr)
        return RES_INVALID;
    auto* record = static_cast<std::uint8_t*>(custom_operation);
    if (record == nullptr || record[OPERATION_KIND] != OPERATION_KIND_VALUE ||
        record[OPERATION_SUBKIND] != OPERATION_SUBKIND_VALUE)
        return RES_UNSUPPORTED;
    // pending_operation stays: a repeated call gives the same answer.
    switch (instance->pending_operation) {
    case PENDING_TIMEOUT:
        return write_timeout_operation(instance->config, record);
    case PENDING_FORWARD:
        return write_forward_operation(*instance, record);
    default:
        return RES_UNSUPPORTED;
    }
}
