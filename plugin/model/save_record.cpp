// The save record codec: every line of SAVE_RECORD_FIELDS written and read by
// its kind, and the loading rules for older and short records, once for the
// plug-in and the host-side tools alike. The expansions are straight-line
// code: saving and loading cost what hand-written field copies do.
#include "model/save_record.h"

#include <cstddef>
#include <cstring>
#include <iterator>
#include <type_traits>

#include "model/input_config.h"
#include "model/platform.h"

static_assert(SAVE_RECORD_SIZE == INPUT_CONFIG_SIZE);
static_assert(SAVE_COMPARE_TEXT_SIZE == COMPARE_TEXT_CAPACITY);
static_assert(SAVE_WAIT_MESSAGE_SIZE * 2 == WAIT_MESSAGE_SIZE);

namespace {

// What a field of input_config must be to hold `count` units of `kind`: as
// many integers of the unit's width or bytes; an 8-bit text one byte more,
// for the zero that always ends it; a UTF-16 text at least the stored units.
template <typename Field> constexpr bool holds(save_kind kind, std::size_t count) {
    const std::size_t stored = count * save_unit_size(kind);
    if (kind == save_kind::TEXT8)
        return sizeof(Field) == stored + 1;
    if (kind == save_kind::TEXT16)
        return sizeof(Field) >= stored;
    return sizeof(Field) == stored &&
           sizeof(std::remove_all_extents_t<Field>) == save_unit_size(kind) &&
           std::is_array_v<Field> == (count != 1);
}

} // namespace

// The in-memory record keeps the saved order and widths field by field.
#define SAVE_SAME_LAYOUT(field, NAME, offset, kind, count, since)                                  \
    static_assert(offsetof(input_config, field) == SAVE_##NAME,                                    \
                  "input_config::" #field " is not at the record's offset");                       \
    static_assert(holds<decltype(input_config::field)>(save_kind::kind, count),                    \
                  "input_config::" #field " does not have the record's size");
SAVE_RECORD_FIELDS(SAVE_SAME_LAYOUT, SAVE_RECORD_SKIP)
#undef SAVE_SAME_LAYOUT

namespace {

// Characters up to the first zero byte, at most `size`, the rest zero-filled:
// a text that fills the field carries no zero byte. Block copies, not a loop
// per byte: every save and load copies two 200-byte fields.
void copy_text(char* to, const char* from, std::size_t size) {
    const std::size_t n = strnlen(from, size);
    std::memcpy(to, from, n);
    std::memset(to + n, 0, size - n);
}

template <save_kind Kind, typename T>
PLATFORM_ALWAYS_INLINE void write_number(std::uint8_t* at, T value) {
    if constexpr (Kind == save_kind::BE32)
        platform::write_be32(at, static_cast<std::uint32_t>(value));
    else if constexpr (Kind == save_kind::BE16)
        platform::write_be16(at, static_cast<std::uint16_t>(value));
    else
        *at = static_cast<std::uint8_t>(value);
}

template <save_kind Kind, typename T> PLATFORM_ALWAYS_INLINE T read_number(const std::uint8_t* at) {
    if constexpr (Kind == save_kind::BE32)
        return static_cast<T>(platform::read_be32(at));
    else if constexpr (Kind == save_kind::BE16)
        return static_cast<T>(platform::read_be16(at));
    else
        return static_cast<T>(*at);
}

constexpr bool copied_as_is(save_kind kind) {
    return kind == save_kind::BYTES || kind == save_kind::TEXT16;
}

template <save_kind Kind, std::size_t Count, typename T>
PLATFORM_ALWAYS_INLINE void write_field(std::uint8_t* at, const T& value) {
    if constexpr (Kind == save_kind::TEXT8) {
        copy_text(reinterpret_cast<char*>(at), value, Count);
    } else if constexpr (copied_as_is(Kind)) {
        std::memcpy(at, value, Count * save_unit_size(Kind));
    } else if constexpr (std::is_array_v<T>) {
        for (std::size_t i = 0; i < Count; ++i)
            write_number<Kind>(at + i * save_unit_size(Kind), value[i]);
    } else {
        write_number<Kind>(at, value);
    }
}

// Into a field that is zero: an 8-bit text keeps its last byte zero, so a
// full field still ends.
template <save_kind Kind, std::size_t Count, typename T>
PLATFORM_ALWAYS_INLINE void read_field(const std::uint8_t* at, T& field) {
    if constexpr (Kind == save_kind::TEXT8) {
        copy_text(field, reinterpret_cast<const char*>(at), Count);
    } else if constexpr (copied_as_is(Kind)) {
        std::memcpy(field, at, Count * save_unit_size(Kind));
    } else if constexpr (std::is_array_v<T>) {
        for (std::size_t i = 0; i < Count; ++i)
            field[i] = read_number<Kind, std::remove_extent_t<T>>(at + i * save_unit_size(Kind));
    } else {
        field = read_number<Kind, T>(at);
    }
}

template <save_span_use Written, std::size_t Size>
PLATFORM_ALWAYS_INLINE void write_reserved([[maybe_unused]] std::uint8_t* at) {
    if constexpr (Written == save_span_use::ZERO)
        std::memset(at, 0, Size);
}

// What saving stores: the configuration's fields, but version and length name
// this format, whatever record the configuration was loaded from.
template <save_field Field, typename T> constexpr const T& saved(const T& value) {
    return value;
}

constexpr std::int16_t SAVED_LENGTH = static_cast<std::int16_t>(SAVE_RECORD_SIZE);

template <> constexpr const std::int16_t& saved<save_field::version>(const std::int16_t&) {
    return SAVE_FORMAT_VERSION;
}

template <> constexpr const std::int16_t& saved<save_field::length>(const std::int16_t&) {
    return SAVED_LENGTH;
}

} // namespace

void encode_save_record(const input_config& c, std::uint8_t* r) {
#define SAVE_WRITE_FIELD(field, NAME, offset, kind, count, since)                                  \
    write_field<save_kind::kind, count>(r + (offset), saved<save_field::field>(c.field));
#define SAVE_WRITE_RESERVED(name, NAME, offset, size, written)                                     \
    write_reserved<save_span_use::written, size>(r + (offset));
    SAVE_RECORD_FIELDS(SAVE_WRITE_FIELD, SAVE_WRITE_RESERVED)
#undef SAVE_WRITE_FIELD
#undef SAVE_WRITE_RESERVED
}

namespace {

// A field of version 1 is always read: no test at run time, nor a branch
// that can never be taken.
template <save_kind Kind, std::size_t Count, std::int16_t Since, typename T>
PLATFORM_ALWAYS_INLINE void read_field_since(const std::uint8_t* at, T& field,
                                             [[maybe_unused]] unsigned unread) {
    if constexpr (Since > 1) {
        if (load_defaulted(unread, Since))
            return;
    }
    read_field<Kind, Count>(at, field);
}

// Every field of `r` as stored, but those of the versions in `unread`
// (LOAD_DEFAULT_* bits) stay zero: loading writes their defaults anyway.
PLATFORM_ALWAYS_INLINE void read_fields(const std::uint8_t* r, input_config& c, unsigned unread) {
    c = input_config{};
#define SAVE_READ_FIELD(field, NAME, offset, kind, count, since)                                   \
    read_field_since<save_kind::kind, count, since>(r + (offset), c.field, unread);
    SAVE_RECORD_FIELDS(SAVE_READ_FIELD, SAVE_RECORD_SKIP)
#undef SAVE_READ_FIELD
}

} // namespace

// ---------------------------------------------------------------------------
// The loading rules, all of them: short records read as zero-padded, older
// versions give the fields they lack the defaults below (and clear
// FLAG_TIMEOUT before the timeout came), reserved3 loads as 0, substr_to is
// repaired.

namespace {

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

// What loading gives each field a record's version lacks: one line for every
// field of SAVE_RECORD_FIELDS that came after version 1 (checked below).
// Older projects had no timeout: they load with it at 0 s, not the factory 10.
#define SAVE_RECORD_DEFAULTS(X)                                                                    \
    X(compare_text1, LOADED_DEFAULT_COMPARE_TEXT)                                                  \
    X(wait_message, DEFAULT_MESSAGE_FIELD)                                                         \
    X(compare_text2, LOADED_DEFAULT_COMPARE_TEXT)                                                  \
    X(timeout_sec, 0)                                                                              \
    X(goto_element, 0)                                                                             \
    X(timeout_action, ACTION_CONTINUE)

template <std::size_t N> void set_default(char (&field)[N], const char* text) {
    copy_text(field, text, N - 1);
}

void set_default(std::uint8_t (&field)[WAIT_MESSAGE_SIZE], const message_field& value) {
    std::memcpy(field, value.bytes, WAIT_MESSAGE_SIZE);
}

template <typename T, typename V, typename = std::enable_if_t<std::is_integral_v<T>>>
void set_default(T& field, V value) {
    field = static_cast<T>(value);
}

constexpr bool every_later_field_has_one_default() {
    std::size_t defaults[std::size(SAVE_FIELDS)] = {};
#define SAVE_COUNT_DEFAULT(field, value) ++defaults[static_cast<std::size_t>(save_field::field)];
    SAVE_RECORD_DEFAULTS(SAVE_COUNT_DEFAULT)
#undef SAVE_COUNT_DEFAULT
    for (std::size_t i = 0; i < std::size(SAVE_FIELDS); ++i)
        if (defaults[i] != (SAVE_FIELDS[i].since > 1 ? 1u : 0u))
            return false;
    return true;
}
static_assert(every_later_field_has_one_default(),
              "every field after version 1 needs one line in SAVE_RECORD_DEFAULTS");

} // namespace

std::int16_t save_layout_version(std::int16_t version) {
    // Versions compare signed: 0 and negative versions count as the oldest.
    if (version <= 1)
        return 1;
    return version > SAVE_FORMAT_VERSION ? SAVE_FORMAT_VERSION : version;
}

void take_stored_record(const void* data, std::size_t length, std::uint8_t* record) {
    if (data == nullptr)
        length = 0;
    const std::size_t n = length < SAVE_RECORD_SIZE ? length : SAVE_RECORD_SIZE;
    // A host may hand back the buffer a save returned, or a part of it:
    // memmove, as the two may overlap. Never the rest of a record saved or
    // loaded before.
    if (n != 0 && data != record)
        std::memmove(record, data, n);
    std::memset(record + n, 0, SAVE_RECORD_SIZE - n);
}

namespace {

// The LOAD_DEFAULT_* bits of the versions a record of `version` predates.
PLATFORM_ALWAYS_INLINE unsigned fields_lacking(std::int16_t version) {
    const auto after = static_cast<std::int16_t>(save_layout_version(version) + 1);
    constexpr unsigned every_version = load_default_bit(SAVE_FORMAT_VERSION + 1) - 1;
    return every_version & ~(load_default_bit(after) - 1);
}

// apply_load_rules with the fields c.version lacks worked out already. The
// helpers here are inlined: loading an element costs what one function did.
PLATFORM_ALWAYS_INLINE unsigned apply_rules(input_config& c, unsigned lacking) {
#define SAVE_APPLY_DEFAULT(field, value)                                                           \
    if (load_defaulted(lacking, save_field_of(save_field::field).since))                           \
        set_default(c.field, value);
    SAVE_RECORD_DEFAULTS(SAVE_APPLY_DEFAULT)
#undef SAVE_APPLY_DEFAULT
    if (lacking & LOAD_DEFAULT_TIMEOUT)
        c.flags &= ~FLAG_TIMEOUT;
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
    return apply_rules(config, fields_lacking(config.version));
}

unsigned decode_save_record(const std::uint8_t* record, input_config& config) {
    const auto version = static_cast<std::int16_t>(platform::read_be16(record + SAVE_VERSION));
    const unsigned lacking = fields_lacking(version);
    read_fields(record, config, lacking);
    return apply_rules(config, lacking);
}
