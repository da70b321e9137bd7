// The save record's layout, listed once: the offset constants, the checks of
// input_config against it, the codec (save_record.cpp) and the tools' JSON
// keys are all expanded from SAVE_RECORD_FIELDS. Free of the toolkit.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t SAVE_RECORD_SIZE = 956;
constexpr std::int16_t SAVE_FORMAT_VERSION = 5;

// How a field is stored. Integers are big-endian; whether one is signed is
// the type of its field in input_config.
enum class save_kind {
    U8,     // 1-byte integers
    BE16,   // 2-byte integers
    BE32,   // 4-byte integers
    BYTES,  // bytes copied as they are
    TEXT8,  // 8-bit characters up to the first zero byte, the rest zero
    TEXT16, // UTF-16 big-endian units, copied as they are
};

// The record in offset order, one line per stretch; together they cover every
// byte (checked below).
//   FIELD(field, NAME, offset, kind, count, since)
//     input_config::field, stored as `count` units of `kind` at `offset` by
//     version `since` and later; older records load the field's default
//     (the loading rules in save_record.cpp). NAME gives the constants
//     SAVE_NAME (offset), SAVE_NAME_SIZE (bytes) and SAVE_SINCE_NAME.
//   RESERVED(name, NAME, offset, size, written)
//     Bytes no field is saved in, which the reader never looks at. The writer
//     leaves them as the buffer held them (KEPT) or writes zeros (ZERO).
//     SAVE_NAME and SAVE_NAME_SIZE likewise.
// version and length are written as SAVE_FORMAT_VERSION and SAVE_RECORD_SIZE,
// whatever record the configuration was loaded from.
// clang-format off
#define SAVE_RECORD_FIELDS(FIELD, RESERVED)                                                        \
    FIELD(   version,        VERSION,          0, BE16,     1, 1)                                  \
    FIELD(   length,         LENGTH,           2, BE16,     1, 1)                                  \
    FIELD(   input_mode,     INPUT_MODE,       4, BE32,     1, 1)                                  \
    RESERVED(reserved0,      RESERVED0,        8,           2, KEPT) /* kept in memory only */     \
    FIELD(   spare_bytes,    SPARE_BYTES,     10, BYTES,    2, 1)                                  \
    FIELD(   spare_words,    SPARE_WORDS,     12, BE16,     9, 1)                                  \
    FIELD(   digi8_value,    DIGI8_VALUE,     30, U8,       2, 1) /* port 1, port 2 */             \
    FIELD(   digi8_mask,     DIGI8_MASK,      32, U8,       2, 1)                                  \
    FIELD(   digi16_value,   DIGI16_VALUE,    34, BE16,     2, 1)                                  \
    FIELD(   digi16_mask,    DIGI16_MASK,     38, BE16,     2, 1)                                  \
    RESERVED(reserved_42,    RESERVED_42,     42,           2, KEPT)                               \
    FIELD(   flags,          FLAGS,           44, BE32,     1, 1)                                  \
    RESERVED(reserved1,      RESERVED1,       48,           4, KEPT) /* kept in memory only */     \
    FIELD(   digi32_value,   DIGI32_VALUE,    52, BE32,     1, 1)                                  \
    FIELD(   digi32_mask,    DIGI32_MASK,     56, BE32,     1, 1)                                  \
    FIELD(   controller,     CONTROLLER,      60, U8,       1, 1) /* as stored, even above 8 */    \
    FIELD(   compare_text1,  COMPARE_TEXT1,   61, TEXT8,  200, 2)                                  \
    RESERVED(reserved_261,   RESERVED_261,   261,           1, KEPT) /* compare_text1's end */     \
    FIELD(   wait_message,   WAIT_MESSAGE,   262, TEXT16, 120, 3) /* the first half in memory */   \
    RESERVED(reserved_502,   RESERVED_502,   502,         240, KEPT) /* the unsaved second half */ \
    FIELD(   compare_text2,  COMPARE_TEXT2,  742, TEXT8,  200, 4)                                  \
    RESERVED(reserved_942,   RESERVED_942,   942,           2, KEPT) /* compare_text2's end */     \
    FIELD(   timeout_sec,    TIMEOUT_SEC,    944, BE32,     1, 5)                                  \
    FIELD(   goto_element,   GOTO_ELEMENT,   948, BE32,     1, 5)                                  \
    FIELD(   timeout_action, TIMEOUT_ACTION, 952, U8,       1, 5)                                  \
    RESERVED(reserved3,      RESERVED3,      953,           1, ZERO) /* loads as 0 */              \
    FIELD(   substr_from,    SUBSTR_FROM,    954, U8,       1, 1)                                  \
    FIELD(   substr_to,      SUBSTR_TO,      955, U8,       1, 1) /* repaired on load */
// clang-format on

// For expansions that skip the reserved lines (or the fields).
#define SAVE_RECORD_SKIP(...)

constexpr std::size_t save_unit_size(save_kind kind) {
    return kind == save_kind::BE32                                ? 4
           : kind == save_kind::BE16 || kind == save_kind::TEXT16 ? 2
                                                                  : 1;
}

#define SAVE_RECORD_CONSTANTS(field, NAME, offset, kind, count, since)                             \
    constexpr std::size_t SAVE_##NAME = offset;                                                    \
    constexpr std::size_t SAVE_##NAME##_SIZE = save_unit_size(save_kind::kind) * (count);          \
    constexpr std::int16_t SAVE_SINCE_##NAME = since;
#define SAVE_RECORD_RESERVED_CONSTANTS(name, NAME, offset, size, written)                          \
    constexpr std::size_t SAVE_##NAME = offset;                                                    \
    constexpr std::size_t SAVE_##NAME##_SIZE = size;
SAVE_RECORD_FIELDS(SAVE_RECORD_CONSTANTS, SAVE_RECORD_RESERVED_CONSTANTS)
#undef SAVE_RECORD_CONSTANTS
#undef SAVE_RECORD_RESERVED_CONSTANTS

// The fields by name, in record order, for code that handles some of them
// apart (save_field::flags); SAVE_FIELDS[f] describes field f.
enum class save_field : std::size_t {
#define SAVE_RECORD_ENUMERATOR(field, ...) field,
    SAVE_RECORD_FIELDS(SAVE_RECORD_ENUMERATOR, SAVE_RECORD_SKIP)
#undef SAVE_RECORD_ENUMERATOR
};

struct save_field_info {
    const char* name;
    std::size_t offset;
    std::size_t count;
    save_kind kind; // after the sizes, which leaves no padding between them
    std::int16_t since;

    constexpr std::size_t size() const { return count * save_unit_size(kind); }
};

inline constexpr save_field_info SAVE_FIELDS[] = {
#define SAVE_RECORD_FIELD_INFO(field, NAME, offset, kind, count, since)                            \
    {#field, offset, count, save_kind::kind, since},
    SAVE_RECORD_FIELDS(SAVE_RECORD_FIELD_INFO, SAVE_RECORD_SKIP)
#undef SAVE_RECORD_FIELD_INFO
};

constexpr const save_field_info& save_field_of(save_field field) {
    return SAVE_FIELDS[static_cast<std::size_t>(field)];
}

// Every line of the table, fields and reserved bytes alike; KEPT and ZERO
// are the `written` of reserved lines.
enum class save_span_use { FIELD, KEPT, ZERO };

struct save_span {
    const char* name;
    std::size_t offset;
    std::size_t size;
    save_span_use use;
};

inline constexpr save_span SAVE_SPANS[] = {
#define SAVE_RECORD_FIELD_SPAN(field, NAME, offset, kind, count, since)                            \
    {#field, offset, SAVE_##NAME##_SIZE, save_span_use::FIELD},
#define SAVE_RECORD_RESERVED_SPAN(name, NAME, offset, size, written)                               \
    {#name, offset, size, save_span_use::written},
    SAVE_RECORD_FIELDS(SAVE_RECORD_FIELD_SPAN, SAVE_RECORD_RESERVED_SPAN)
#undef SAVE_RECORD_FIELD_SPAN
#undef SAVE_RECORD_RESERVED_SPAN
};

namespace save_record_checks {

constexpr bool spans_cover_the_record() {
    std::size_t at = 0;
    for (const save_span& span : SAVE_SPANS) {
        if (span.offset != at || span.size == 0)
            return false;
        at += span.size;
    }
    return at == SAVE_RECORD_SIZE;
}

constexpr bool versions_in_range() {
    for (const save_field_info& field : SAVE_FIELDS)
        if (field.since < 1 || field.since > SAVE_FORMAT_VERSION)
            return false;
    return true;
}

// A line's two names must be one name in two cases.
constexpr bool same_name(const char* field, const char* constant) {
    for (; *field != 0 || *constant != 0; ++field, ++constant) {
        const char upper =
            *field >= 'a' && *field <= 'z' ? static_cast<char>(*field - 'a' + 'A') : *field;
        if (upper != *constant)
            return false;
    }
    return true;
}

#define SAVE_RECORD_SAME_NAME(name, NAME, ...)                                                     \
    static_assert(same_name(#name, #NAME), #NAME " must be " #name " in capitals");
SAVE_RECORD_FIELDS(SAVE_RECORD_SAME_NAME, SAVE_RECORD_SAME_NAME)
#undef SAVE_RECORD_SAME_NAME

} // namespace save_record_checks

static_assert(save_record_checks::spans_cover_the_record(),
              "the lines of SAVE_RECORD_FIELDS must follow each other without gap or overlap "
              "and end at SAVE_RECORD_SIZE");
static_assert(save_record_checks::versions_in_range(),
              "a field's version must be one from 1 to SAVE_FORMAT_VERSION");
