// Hand-written counterparts of the measured entry points. They know the
// element's record and the record layouts, and do nothing beyond what the
// answer needs: no null checks, no dispatch on a mode known in advance.
#include "baselines.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string_view>

#include <wx/event.h>
#include <wx/strconv.h>

#include "abi/input_record.h"
#include "abi/result_codes.h"
#include "abi/run_records.h"
#include "element/instance_data.h"
#include "lumo.h"
#include "model/platform.h"
#include "model/save_record.h"

namespace bench {
namespace {

const instance_data& instance(const element_handle* element) {
    return *static_cast<const instance_data*>(element->instance_data);
}

template <std::uint32_t Mode, bool Timeout>
[[gnu::noinline]] std::int32_t floor_digital(element_handle* element, const void* input_record,
                                             std::int32_t) {
    const instance_data& i = instance(element);
    if (Timeout && platform::now_seconds() > i.deadline)
        return RES_CUSTOM_OPERATION;
    return port_met<Mode>(i.config, static_cast<const std::uint8_t*>(input_record)) ? RES_OK
                                                                                    : RES_WAIT;
}

template <bool Timeout> check_function digital_floor_of(std::uint32_t mode) {
    switch (mode) {
    case INPUT_DIGI8_1:
        return floor_digital<INPUT_DIGI8_1, Timeout>;
    case INPUT_DIGI8_2:
        return floor_digital<INPUT_DIGI8_2, Timeout>;
    case INPUT_DIGI16_1:
        return floor_digital<INPUT_DIGI16_1, Timeout>;
    case INPUT_DIGI16_2:
        return floor_digital<INPUT_DIGI16_2, Timeout>;
    default:
        return floor_digital<INPUT_DIGI32, Timeout>;
    }
}

constexpr std::size_t TEXT_ROOM = 256;

// One pass of mbstowcs, the converter's own work, into a buffer that cannot
// overflow (n bytes never decode to more than n characters).
std::size_t decode(const char* bytes, wchar_t* out) {
    const std::size_t n = wxConvLibc.MB2WC(out, bytes, TEXT_ROOM);
    return n == wxCONV_FAILED ? 0 : n;
}

std::size_t replace_markers(wchar_t* text, std::size_t length) {
    std::size_t kept = 0;
    for (std::size_t at = 0; at < length;) {
        if (text[at] == L'[' && length - at >= 4 && text[at + 3] == L']') {
            if (text[at + 1] == L'C' && text[at + 2] == L'R') {
                text[kept++] = L'\r';
                at += 4;
                continue;
            }
            if (text[at + 1] == L'L' && text[at + 2] == L'F') {
                text[kept++] = L'\n';
                at += 4;
                continue;
            }
        }
        text[kept++] = text[at++];
    }
    return kept;
}

template <bool Substring>
[[gnu::noinline]] std::int32_t floor_serial(element_handle* element, const void* input_record,
                                            std::int32_t) {
    const input_config& c = instance(element).config;
    wchar_t comparison[TEXT_ROOM];
    wchar_t received[TEXT_ROOM];
    const std::size_t stored = decode(c.compare_text1, comparison);
    const std::size_t nr =
        decode(static_cast<const char*>(input_record) + INPUT_SERIAL1_TEXT, received);
    const std::size_t nc = replace_markers(comparison, stored);
    bool met;
    if (Substring)
        met = std::wstring_view(received, nr).find(std::wstring_view(comparison, nc)) !=
              std::wstring_view::npos;
    else
        met = nr == nc && std::wmemcmp(received, comparison, nc) == 0;
    return met ? RES_OK : RES_WAIT;
}

void put16(std::uint8_t* at, std::uint16_t v) {
    v = __builtin_bswap16(v);
    std::memcpy(at, &v, 2);
}
void put32(std::uint8_t* at, std::uint32_t v) {
    v = __builtin_bswap32(v);
    std::memcpy(at, &v, 4);
}
std::uint16_t get16(const std::uint8_t* at) {
    std::uint16_t v;
    std::memcpy(&v, at, 2);
    return __builtin_bswap16(v);
}
std::uint32_t get32(const std::uint8_t* at) {
    std::uint32_t v;
    std::memcpy(&v, at, 4);
    return __builtin_bswap32(v);
}

std::uint8_t hand_buffer[SAVE_RECORD_SIZE];

// strncpy's work: up to the zero byte, at most `size`, the rest zero-filled.
void bounded_copy(void* to, const char* from, std::size_t size) {
    const std::size_t n = strnlen(from, size);
    std::memcpy(to, from, n);
    std::memset(static_cast<char*>(to) + n, 0, size - n);
}

// "Waiting for inputs..." in UTF-16 big-endian, the rest of the saved half zero.
struct default_message {
    std::uint8_t bytes[SAVE_WAIT_MESSAGE_SIZE] = {};
    default_message() {
        for (std::size_t i = 0; LOADED_DEFAULT_WAIT_MESSAGE[i] != 0; ++i)
            bytes[2 * i + 1] = static_cast<std::uint8_t>(LOADED_DEFAULT_WAIT_MESSAGE[i]);
    }
};
const default_message loaded_default_message;

void hand_comparison_text(const char* stored, std::uint8_t* at) {
    wchar_t text[TEXT_ROOM];
    const std::size_t n = replace_markers(text, decode(stored, text));
    lumo_unicode_stringToCharASCII(wxString(text, n), reinterpret_cast<char*>(at),
                                   RESULT_TEXT_CAPACITY);
}

} // namespace

check_function digital_floor(std::uint32_t input_mode, bool timeout) {
    return timeout ? digital_floor_of<true>(input_mode) : digital_floor_of<false>(input_mode);
}

check_function serial_floor(bool substring) {
    return substring ? floor_serial<true> : floor_serial<false>;
}

std::int32_t floor_wait_with_message(element_handle* element, const void* record,
                                     std::int32_t controller) {
    const std::int32_t result = floor_digital<INPUT_DIGI8_1, false>(element, record, controller);
    if (result == RES_WAIT) {
        auto* message = new wxString;
        lumo_unicode_charToStringUTF16BE(
            reinterpret_cast<const char*>(instance(element).config.wait_message),
            WAIT_MESSAGE_CAPACITY, *message);
        wxCommandEvent event(wxEVT_MENU, EVENT_SHOW_MESSAGE);
        event.SetClientData(message);
        element->sink->receive_event(event);
    }
    return result;
}

char* hand_save(element_handle* element, std::uint32_t* length) {
    const input_config& c = instance(element).config;
    std::uint8_t* r = hand_buffer;
    *length = SAVE_RECORD_SIZE;
    put16(r + SAVE_VERSION, SAVE_FORMAT_VERSION);
    put16(r + SAVE_LENGTH, SAVE_RECORD_SIZE);
    put32(r + SAVE_INPUT_MODE, c.input_mode);
    std::memcpy(r + SAVE_SPARE_BYTES, c.spare_bytes, 2);
    for (std::size_t i = 0; i < SAVE_SPARE_WORD_COUNT; ++i)
        put16(r + SAVE_SPARE_WORDS + 2 * i, c.spare_words[i]);
    std::memcpy(r + SAVE_DIGI8_VALUE, c.digi8_value, 2);
    std::memcpy(r + SAVE_DIGI8_MASK, c.digi8_mask, 2);
    for (int i = 0; i < 2; ++i) {
        put16(r + SAVE_DIGI16_VALUE + 2 * i, c.digi16_value[i]);
        put16(r + SAVE_DIGI16_MASK + 2 * i, c.digi16_mask[i]);
    }
    put32(r + SAVE_FLAGS, c.flags);
    put32(r + SAVE_DIGI32_VALUE, c.digi32_value);
    put32(r + SAVE_DIGI32_MASK, c.digi32_mask);
    r[SAVE_CONTROLLER] = c.controller;
    bounded_copy(r + SAVE_COMPARE_TEXT1, c.compare_text1, SAVE_COMPARE_TEXT_SIZE);
    std::memcpy(r + SAVE_WAIT_MESSAGE, c.wait_message, SAVE_WAIT_MESSAGE_SIZE);
    bounded_copy(r + SAVE_COMPARE_TEXT2, c.compare_text2, SAVE_COMPARE_TEXT_SIZE);
    put32(r + SAVE_TIMEOUT_SEC, c.timeout_sec);
    put32(r + SAVE_GOTO_ELEMENT, static_cast<std::uint32_t>(c.goto_element));
    r[SAVE_TIMEOUT_ACTION] = c.timeout_action;
    r[SAVE_RESERVED3] = 0;
    r[SAVE_SUBSTR_FROM] = c.substr_from;
    r[SAVE_SUBSTR_TO] = c.substr_to;
    return reinterpret_cast<char*>(r);
}

std::int32_t hand_load(element_handle* element, std::uint32_t length, const char* data) {
    input_config& c = static_cast<instance_data*>(element->instance_data)->config;
    const std::size_t n = length < SAVE_RECORD_SIZE ? length : SAVE_RECORD_SIZE;
    std::memcpy(hand_buffer, data, n);
    if (n < SAVE_RECORD_SIZE)
        std::memset(hand_buffer + n, 0, SAVE_RECORD_SIZE - n);
    const std::uint8_t* r = hand_buffer;
    c.version = static_cast<std::int16_t>(get16(r + SAVE_VERSION));
    c.length = static_cast<std::int16_t>(get16(r + SAVE_LENGTH));
    c.input_mode = get32(r + SAVE_INPUT_MODE);
    c.reserved0 = 0;
    std::memcpy(c.spare_bytes, r + SAVE_SPARE_BYTES, 2);
    for (std::size_t i = 0; i < SAVE_SPARE_WORD_COUNT; ++i)
        c.spare_words[i] = get16(r + SAVE_SPARE_WORDS + 2 * i);
    std::memcpy(c.digi8_value, r + SAVE_DIGI8_VALUE, 2);
    std::memcpy(c.digi8_mask, r + SAVE_DIGI8_MASK, 2);
    for (int i = 0; i < 2; ++i) {
        c.digi16_value[i] = get16(r + SAVE_DIGI16_VALUE + 2 * i);
        c.digi16_mask[i] = get16(r + SAVE_DIGI16_MASK + 2 * i);
    }
    c.flags = get32(r + SAVE_FLAGS);
    c.reserved1 = 0;
    c.digi32_value = get32(r + SAVE_DIGI32_VALUE);
    c.digi32_mask = get32(r + SAVE_DIGI32_MASK);
    c.controller = r[SAVE_CONTROLLER];
    const char* text1 = c.version >= SAVE_SINCE_COMPARE_TEXT1
                            ? reinterpret_cast<const char*>(r + SAVE_COMPARE_TEXT1)
                            : LOADED_DEFAULT_COMPARE_TEXT;
    bounded_copy(c.compare_text1, text1, SAVE_COMPARE_TEXT_SIZE);
    c.compare_text1[SAVE_COMPARE_TEXT_SIZE] = 0;
    std::memcpy(c.wait_message,
                c.version >= SAVE_SINCE_WAIT_MESSAGE ? r + SAVE_WAIT_MESSAGE
                                                     : loaded_default_message.bytes,
                SAVE_WAIT_MESSAGE_SIZE);
    std::memset(c.wait_message + SAVE_WAIT_MESSAGE_SIZE, 0, SAVE_WAIT_MESSAGE_SIZE);
    const char* text2 = c.version >= SAVE_SINCE_COMPARE_TEXT2
                            ? reinterpret_cast<const char*>(r + SAVE_COMPARE_TEXT2)
                            : LOADED_DEFAULT_COMPARE_TEXT;
    bounded_copy(c.compare_text2, text2, SAVE_COMPARE_TEXT_SIZE);
    c.compare_text2[SAVE_COMPARE_TEXT_SIZE] = 0;
    if (c.version >= SAVE_SINCE_TIMEOUT) {
        c.timeout_sec = get32(r + SAVE_TIMEOUT_SEC);
        c.goto_element = static_cast<std::int32_t>(get32(r + SAVE_GOTO_ELEMENT));
        c.timeout_action = r[SAVE_TIMEOUT_ACTION];
    } else {
        c.flags &= ~FLAG_TIMEOUT;
        c.timeout_sec = 0;
        c.goto_element = 0;
        c.timeout_action = ACTION_CONTINUE;
    }
    c.reserved3 = 0;
    c.substr_from = r[SAVE_SUBSTR_FROM];
    c.substr_to = r[SAVE_SUBSTR_TO];
    if (c.substr_to <= c.substr_from)
        c.substr_to = LOADED_DEFAULT_SUBSTR_TO;
    return RES_OK;
}

std::int32_t hand_bin_value(element_handle* element, std::uint32_t* io_out, void** block_out,
                            std::int32_t* controller_out, std::int32_t* second_out) {
    const input_config& c = instance(element).config;
    *controller_out = c.controller;
    *second_out = RESULT_SECOND_VALUE;
    void* block = lumo_util_alloc_bin_data(RESULT_DATA_TYPE, RESULT_DATA_SUBTYPE, 0,
                                           RESULT_DATA_PAYLOAD_SIZE);
    auto* p = static_cast<std::uint8_t*>(block) + RESULT_DATA_HEADER_SIZE;
    put32(p + RESULT_INPUT_MODE, c.input_mode);
    p[INPUT_DIGI8_1_LEVEL] = c.digi8_value[0] & c.digi8_mask[0];
    p[INPUT_DIGI8_2_LEVEL] = c.digi8_value[1] & c.digi8_mask[1];
    p[RESULT_DIGI8_1_MASK] = c.digi8_mask[0];
    p[RESULT_DIGI8_2_MASK] = c.digi8_mask[1];
    put16(p + INPUT_DIGI16_1_LEVEL, c.digi16_value[0] & c.digi16_mask[0]);
    put16(p + INPUT_DIGI16_2_LEVEL, c.digi16_value[1] & c.digi16_mask[1]);
    put16(p + RESULT_DIGI16_1_MASK, c.digi16_mask[0]);
    put16(p + RESULT_DIGI16_2_MASK, c.digi16_mask[1]);
    put32(p + INPUT_DIGI32_LEVEL, c.digi32_value);
    put32(p + RESULT_DIGI32_MASK, c.digi32_mask);
    hand_comparison_text(c.compare_text1, p + INPUT_SERIAL1_TEXT);
    hand_comparison_text(c.compare_text2, p + INPUT_SERIAL2_TEXT);
    *io_out = RESULT_DATA_IO;
    *block_out = block;
    return RES_OK;
}

void hand_release(void* block) {
    std::free(block);
}

std::int32_t hand_forward(element_handle* element, void* custom_operation) {
    const instance_data& i = instance(element);
    const input_config& c = i.config;
    auto* r = static_cast<std::uint8_t*>(custom_operation);
    const std::uint32_t op_code = ((c.flags & FLAG_FORWARD_ANY) >> 2);
    std::memcpy(r + OPERATION_CODE, &op_code, 4);
    const std::size_t length = i.last_received.length();
    const std::size_t first = c.substr_from;
    const std::size_t count = first < length && c.substr_to >= first
                                  ? std::min<std::size_t>(c.substr_to, length - 1) - first + 1
                                  : 0;
    const std::uint32_t value = static_cast<std::uint32_t>(count);
    std::memcpy(r + OPERATION_VALUE, &value, 4);
    std::int32_t capacity;
    std::memcpy(&capacity, r + OPERATION_TEXT_CAPACITY, 4);
    char* text = reinterpret_cast<char*>(r + OPERATION_TEXT);
    // The whole text goes as it is; only a part needs a string of its own.
    if (count == length)
        lumo_unicode_stringToCharUTF8(i.last_received, text, capacity / 4);
    else
        lumo_unicode_stringToCharUTF8(i.last_received.Mid(first, count), text, capacity / 4);
    return RES_OK;
}

} // namespace bench
