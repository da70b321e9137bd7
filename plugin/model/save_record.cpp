// The save record codec: every line of SAVE_RECORD_FIELDS written and read by
// its kind, and the loading rules for older and short records, once for the
// plug-in and the host-side tools alike.
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

// The one reserved byte saving writes, as zero; the others it leaves as they are.
constexpr bool only_reserved3_is_written() {
    for (const save_span& span : SAVE_SPANS)
        if ((span.use == save_span_use::ZERO) != (span.offset == SAVE_RESERVED3 && span.size == 1))
            return false;
    return true;
}
static_assert(only_reserved3_is_written(), "encode_save_record zeroes reserved3 alone");

// Characters up to the first zero byte, at most `size`, the rest zero-filled:
// a text that fills the field carries no zero byte. Block copies, not a loop
// per byte: every save and load copies two 200-byte fields.
void copy_text(char* to, const char* from, std::size_t size) {
    const std::size_t n = strnlen(from, size);
    std::memcpy(to, from, n);
    std::memset(to + n, 0, size - n);
}

// input_config holds every field at the record's offset and width (checked
// above), in host byte order, so one loop over SAVE_FIELDS converts each
// field between the two places; only the order of a number's bytes differs.
// `kept` reads, `stored` writes; a TEXT8 field keeps its in-memory zero end.
// The loops over the table are unrolled, so each field's kind and offset are
// constants and the switch folds away: saving runs about 335 instructions
// instead of 770 (callgrind), loading about 515 instead of 1,015.
static_assert(std::size(SAVE_FIELDS) <= 32, "the unrolled loops below cover every field");
void write_field(const save_field_info& field, const std::uint8_t* kept, std::uint8_t* stored) {
    switch (field.kind) {
    case save_kind::U8:
    case save_kind::BYTES:
        // One or two bytes: a library call would cost more than the copy.
        for (std::size_t i = 0; i < field.count; ++i)
            stored[i] = kept[i];
        return;
    case save_kind::TEXT16:
        std::memcpy(stored, kept, field.size());
        return;
    case save_kind::TEXT8:
        copy_text(reinterpret_cast<char*>(stored), reinterpret_cast<const char*>(kept),
                  field.count);
        return;
    case save_kind::BE16:
        for (std::size_t i = 0; i < field.count; ++i)
            platform::write_be16(stored + 2 * i, platform::read_host<std::uint16_t>(kept + 2 * i));
        return;
    case save_kind::BE32:
        for (std::size_t i = 0; i < field.count; ++i)
            platform::write_be32(stored + 4 * i, platform::read_host<std::uint32_t>(kept + 4 * i));
        return;
    }
}

void read_field(const save_field_info& field, const std::uint8_t* stored, std::uint8_t* kept) {
    switch (field.kind) {
    case save_kind::U8:
    case save_kind::BYTES:
        for (std::size_t i = 0; i < field.count; ++i)
            kept[i] = stored[i];
        return;
    case save_kind::TEXT16:
        std::memcpy(kept, stored, field.size());
        return;
    case save_kind::TEXT8:
        copy_text(reinterpret_cast<char*>(kept), reinterpret_cast<const char*>(stored),
                  field.count);
        return;
    case save_kind::BE16:
        for (std::size_t i = 0; i < field.count; ++i)
            platform::write_host(kept + 2 * i, platform::read_be16(stored + 2 * i));
        return;
    case save_kind::BE32:
        for (std::size_t i = 0; i < field.count; ++i)
            platform::write_host(kept + 4 * i, platform::read_be32(stored + 4 * i));
        return;
    }
}

// GCC's and Clang's word for it; other compilers loop.
#if defined(__GNUC__)
#define UNROLL_EVERY_FIELD _Pragma("GCC unroll 32")
#else
#define UNROLL_EVERY_FIELD
#endif

// Every field of `r` as stored, but those of the versions in `unread`
// (LOAD_DEFAULT_* bits) stay zero: loading writes their defaults anyway.
void read_fields(const std::uint8_t* r, input_config& c, unsigned unread) {
    c = input_config{};
    auto* kept = reinterpret_cast<std::uint8_t*>(&c);
    UNROLL_EVERY_FIELD
    for (const save_field_info& field : SAVE_FIELDS)
        if (!load_defaulted(unread, field.since))
            read_field(field, r + field.offset, kept + field.offset);
}

} // namespace

// Version and length name this format, whatever record the configuration was
// loaded from.
void encode_save_record(const input_config& c, std::uint8_t* r) {
    const auto* kept = reinterpret_cast<const std::uint8_t*>(&c);
    UNROLL_EVERY_FIELD
    for (const save_field_info& field : SAVE_FIELDS)
        write_field(field, kept + field.offset, r + field.offset);
    platform::write_be16(r + SAVE_VERSION, static_cast<std::uint16_t>(SAVE_FORMAT_VERSION));
    platform::write_be16(r + SAVE_LENGTH, static_cast<std::uint16_t>(SAVE_RECORD_SIZE));
    r[SAVE_RESERVED3] = 0;
}

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
unsigned fields_lacking(std::int16_t version) {
    const auto after = static_cast<std::int16_t>(save_layout_version(version) + 1);
    constexpr unsigned every_version = load_default_bit(SAVE_FORMAT_VERSION + 1) - 1;
    return every_version & ~(load_default_bit(after) - 1);
}

// apply_load_rules with the fields c.version lacks worked out already.
unsigned apply_rules(input_config& c, unsigned lacking) {
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
