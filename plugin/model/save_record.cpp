// The save record codec: every field by offset, and what loading makes of older
// and short records, once for the plug-in and the host-side tools alike.
#include "model/save_record.h"

#include <cstddef>
#include <cstring>

#include "model/input_config.h"
#include "model/platform.h"

static_assert(SAVE_RECORD_SIZE == INPUT_CONFIG_SIZE);
static_assert(SAVE_COMPARE_TEXT_SIZE == COMPARE_TEXT_CAPACITY);
static_assert(SAVE_WAIT_MESSAGE_SIZE * 2 == WAIT_MESSAGE_SIZE);
static_assert(sizeof(input_config::spare_words) / 2 == SAVE_SPARE_WORD_COUNT);

// The in-memory record keeps the saved order and widths field by field.
#define SAME_OFFSET(field, offset) static_assert(offsetof(input_config, field) == offset)
SAME_OFFSET(version, SAVE_VERSION);
SAME_OFFSET(length, SAVE_LENGTH);
SAME_OFFSET(input_mode, SAVE_INPUT_MODE);
SAME_OFFSET(spare_bytes, SAVE_SPARE_BYTES);
SAME_OFFSET(spare_words, SAVE_SPARE_WORDS);
SAME_OFFSET(digi8_value, SAVE_DIGI8_VALUE);
SAME_OFFSET(digi8_mask, SAVE_DIGI8_MASK);
SAME_OFFSET(digi16_value, SAVE_DIGI16_VALUE);
SAME_OFFSET(digi16_mask, SAVE_DIGI16_MASK);
SAME_OFFSET(flags, SAVE_FLAGS);
SAME_OFFSET(digi32_value, SAVE_DIGI32_VALUE);
SAME_OFFSET(digi32_mask, SAVE_DIGI32_MASK);
SAME_OFFSET(controller, SAVE_CONTROLLER);
SAME_OFFSET(compare_text1, SAVE_COMPARE_TEXT1);
SAME_OFFSET(wait_message, SAVE_WAIT_MESSAGE);
SAME_OFFSET(compare_text2, SAVE_COMPARE_TEXT2);
SAME_OFFSET(timeout_sec, SAVE_TIMEOUT_SEC);
SAME_OFFSET(goto_element, SAVE_GOTO_ELEMENT);
SAME_OFFSET(timeout_action, SAVE_TIMEOUT_ACTION);
SAME_OFFSET(reserved3, SAVE_RESERVED3);
SAME_OFFSET(substr_from, SAVE_SUBSTR_FROM);
SAME_OFFSET(substr_to, SAVE_SUBSTR_TO);
#undef SAME_OFFSET

namespace {

// Characters up to the first zero byte, at most `size`, the rest zero-filled:
// a text that fills the field carries no zero byte. Block copies, not a loop
// per byte: every save and load copies two 200-byte fields.
void copy_text(char* to, const char* from, std::size_t size) {
    const std::size_t n = strnlen(from, size);
    std::memcpy(to, from, n);
    std::memset(to + n, 0, size - n);
}

// The default message as the whole in-memory field holds it: one block copy
// that also clears whatever message was there.
struct message_field {
    std::uint8_t bytes[WAIT_MESSAGE_SIZE];
};

constexpr message_field default_message_field() {
    message_field field{};
    for (std::size_t i = 0; LOADED_DEFAULT_WAIT_MESSAGE[i] != 0; ++i)
        field.bytes[2 * i + 1] = static_cast<std::uint8_t>(LOADED_DEFAULT_WAIT_MESSAGE[i]);
    return field;
}

constexpr message_field DEFAULT_MESSAGE_FIELD = default_message_field();

void write_default_wait_message(std::uint8_t* to) {
    std::memcpy(to, DEFAULT_MESSAGE_FIELD.bytes, WAIT_MESSAGE_SIZE);
}

char* text_at(std::uint8_t* record, std::size_t offset) {
    return reinterpret_cast<char*>(record + offset);
}

const char* text_at(const std::uint8_t* record, std::size_t offset) {
    return reinterpret_cast<const char*>(record + offset);
}

} // namespace

void encode_save_record(const input_config& c, std::uint8_t* r) {
    platform::write_be16(r + SAVE_VERSION, static_cast<std::uint16_t>(SAVE_FORMAT_VERSION));
    platform::write_be16(r + SAVE_LENGTH, static_cast<std::uint16_t>(SAVE_RECORD_SIZE));
    platform::write_be32(r + SAVE_INPUT_MODE, c.input_mode);
    for (int i = 0; i < 2; ++i)
        r[SAVE_SPARE_BYTES + i] = c.spare_bytes[i];
    for (std::size_t i = 0; i < SAVE_SPARE_WORD_COUNT; ++i)
        platform::write_be16(r + SAVE_SPARE_WORDS + 2 * i, c.spare_words[i]);
    for (int i = 0; i < 2; ++i) {
        r[SAVE_DIGI8_VALUE + i] = c.digi8_value[i];
        r[SAVE_DIGI8_MASK + i] = c.digi8_mask[i];
        platform::write_be16(r + SAVE_DIGI16_VALUE + 2 * i, c.digi16_value[i]);
        platform::write_be16(r + SAVE_DIGI16_MASK + 2 * i, c.digi16_mask[i]);
    }
    platform::write_be32(r + SAVE_FLAGS, c.flags);
    platform::write_be32(r + SAVE_DIGI32_VALUE, c.digi32_value);
    platform::write_be32(r + SAVE_DIGI32_MASK, c.digi32_mask);
    r[SAVE_CONTROLLER] = c.controller;
    copy_text(text_at(r, SAVE_COMPARE_TEXT1), c.compare_text1, SAVE_COMPARE_TEXT_SIZE);
    std::memcpy(r + SAVE_WAIT_MESSAGE, c.wait_message, SAVE_WAIT_MESSAGE_SIZE);
    copy_text(text_at(r, SAVE_COMPARE_TEXT2), c.compare_text2, SAVE_COMPARE_TEXT_SIZE);
    platform::write_be32(r + SAVE_TIMEOUT_SEC, c.timeout_sec);
    platform::write_be32(r + SAVE_GOTO_ELEMENT, static_cast<std::uint32_t>(c.goto_element));
    r[SAVE_TIMEOUT_ACTION] = c.timeout_action;
    r[SAVE_RESERVED3] = 0;
    r[SAVE_SUBSTR_FROM] = c.substr_from;
    r[SAVE_SUBSTR_TO] = c.substr_to;
}

std::int16_t save_layout_version(std::int16_t version) {
    // Versions compare signed: 0 and negative versions count as the oldest.
    if (version < SAVE_SINCE_COMPARE_TEXT1)
        return 1;
    return version > SAVE_FORMAT_VERSION ? SAVE_FORMAT_VERSION : version;
}

void take_stored_record(const void* data, std::size_t length, std::uint8_t* record) {
    if (data == nullptr)
        length = 0;
    const std::size_t n = length < SAVE_RECORD_SIZE ? length : SAVE_RECORD_SIZE;
    // Never the rest of a record saved or loaded before.
    if (n != 0)
        std::memcpy(record, data, n);
    std::memset(record + n, 0, SAVE_RECORD_SIZE - n);
}

namespace {

// The groups of fields a record of `version` does not store, as
// LOAD_DEFAULT_* bits.
PLATFORM_ALWAYS_INLINE unsigned groups_lacking(std::int16_t version) {
    const std::int16_t layout = save_layout_version(version);
    unsigned lacking = 0;
    if (layout < SAVE_SINCE_COMPARE_TEXT1)
        lacking |= LOAD_DEFAULT_COMPARE_TEXT1;
    if (layout < SAVE_SINCE_WAIT_MESSAGE)
        lacking |= LOAD_DEFAULT_WAIT_MESSAGE;
    if (layout < SAVE_SINCE_COMPARE_TEXT2)
        lacking |= LOAD_DEFAULT_COMPARE_TEXT2;
    if (layout < SAVE_SINCE_TIMEOUT)
        lacking |= LOAD_DEFAULT_TIMEOUT;
    return lacking;
}

// Every field of `r` as stored, but the texts of the groups in `unread`
// (LOAD_DEFAULT_* bits) stay zero: loading writes their defaults anyway.
PLATFORM_ALWAYS_INLINE void read_fields(const std::uint8_t* r, input_config& c, unsigned unread) {
    c = input_config{};
    c.version = static_cast<std::int16_t>(platform::read_be16(r + SAVE_VERSION));
    c.length = static_cast<std::int16_t>(platform::read_be16(r + SAVE_LENGTH));
    c.input_mode = platform::read_be32(r + SAVE_INPUT_MODE);
    for (int i = 0; i < 2; ++i)
        c.spare_bytes[i] = r[SAVE_SPARE_BYTES + i];
    for (std::size_t i = 0; i < SAVE_SPARE_WORD_COUNT; ++i)
        c.spare_words[i] = platform::read_be16(r + SAVE_SPARE_WORDS + 2 * i);
    for (int i = 0; i < 2; ++i) {
        c.digi8_value[i] = r[SAVE_DIGI8_VALUE + i];
        c.digi8_mask[i] = r[SAVE_DIGI8_MASK + i];
        c.digi16_value[i] = platform::read_be16(r + SAVE_DIGI16_VALUE + 2 * i);
        c.digi16_mask[i] = platform::read_be16(r + SAVE_DIGI16_MASK + 2 * i);
    }
    c.flags = platform::read_be32(r + SAVE_FLAGS);
    c.digi32_value = platform::read_be32(r + SAVE_DIGI32_VALUE);
    c.digi32_mask = platform::read_be32(r + SAVE_DIGI32_MASK);
    // Taken as stored; lookups in the nine-entry controller table check the range.
    c.controller = r[SAVE_CONTROLLER];
    // The last byte of each in-memory text stays zero, so a full field still ends.
    if ((unread & LOAD_DEFAULT_COMPARE_TEXT1) == 0)
        copy_text(c.compare_text1, text_at(r, SAVE_COMPARE_TEXT1), SAVE_COMPARE_TEXT_SIZE);
    if ((unread & LOAD_DEFAULT_WAIT_MESSAGE) == 0)
        std::memcpy(c.wait_message, r + SAVE_WAIT_MESSAGE, SAVE_WAIT_MESSAGE_SIZE);
    if ((unread & LOAD_DEFAULT_COMPARE_TEXT2) == 0)
        copy_text(c.compare_text2, text_at(r, SAVE_COMPARE_TEXT2), SAVE_COMPARE_TEXT_SIZE);
    c.timeout_sec = platform::read_be32(r + SAVE_TIMEOUT_SEC);
    c.goto_element = static_cast<std::int32_t>(platform::read_be32(r + SAVE_GOTO_ELEMENT));
    c.timeout_action = r[SAVE_TIMEOUT_ACTION];
    c.substr_from = r[SAVE_SUBSTR_FROM];
    c.substr_to = r[SAVE_SUBSTR_TO];
}

// apply_load_rules with the groups c.version lacks worked out already. The
// helpers here are inlined: loading an element costs what one function did.
PLATFORM_ALWAYS_INLINE unsigned apply_rules(input_config& c, unsigned lacking) {
    if (lacking & LOAD_DEFAULT_COMPARE_TEXT1)
        copy_text(c.compare_text1, LOADED_DEFAULT_COMPARE_TEXT, SAVE_COMPARE_TEXT_SIZE);
    if (lacking & LOAD_DEFAULT_WAIT_MESSAGE)
        write_default_wait_message(c.wait_message);
    if (lacking & LOAD_DEFAULT_COMPARE_TEXT2)
        copy_text(c.compare_text2, LOADED_DEFAULT_COMPARE_TEXT, SAVE_COMPARE_TEXT_SIZE);
    if (lacking & LOAD_DEFAULT_TIMEOUT) {
        // Older projects had no timeout: they load with it off and at 0 s.
        c.flags &= ~FLAG_TIMEOUT;
        c.timeout_sec = 0;
        c.goto_element = 0;
        c.timeout_action = ACTION_CONTINUE;
    }
    c.reserved3 = 0;
    unsigned changes = lacking;
    if (c.substr_to <= c.substr_from) {
        c.substr_to = LOADED_DEFAULT_SUBSTR_TO;
        changes |= LOAD_REPAIRED_SUBSTR_TO;
    }
    return changes;
}

} // namespace

void read_stored_fields(const std::uint8_t* record, input_config& config) {
    read_fields(record, config, 0);
}

unsigned apply_load_rules(input_config& config) {
    return apply_rules(config, groups_lacking(config.version));
}

unsigned decode_save_record(const std::uint8_t* record, input_config& config) {
    const auto version = static_cast<std::int16_t>(platform::read_be16(record + SAVE_VERSION));
    const unsigned lacking = groups_lacking(version);
    read_fields(record, config, lacking);
    return apply_rules(config, lacking);
}
