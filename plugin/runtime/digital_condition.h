// The digital condition as one masked compare of 32-bit words: where each
// port's level, value and mask lie (port_fields, worked out from input_mode)
// and the compare itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "abi/config_flags.h"
#include "abi/input_record.h"
#include "element/instance_data.h"
#include "model/input_config.h"
#include "model/platform.h"

namespace digital_condition {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool HOST_LITTLE_ENDIAN = false;
#else
constexpr bool HOST_LITTLE_ENDIAN = true;
#endif

constexpr std::size_t WORD_BYTES = 4;

// A field of `width` bytes at `level`, `value`, `mask`, read as the 32-bit
// words that end with it: the record is big-endian, the configuration in host
// order. No port lies in the first three bytes of either, so no word starts
// before its record.
constexpr port_fields fields(std::uint32_t mode, std::size_t level, std::size_t value,
                             std::size_t mask, std::size_t width) {
    const std::size_t back = WORD_BYTES - width;
    port_fields f;
    f.mode = mode;
    f.width_mask = width == WORD_BYTES ? ~std::uint32_t{0} : (std::uint32_t{1} << (8 * width)) - 1;
    f.level_at = static_cast<std::uint8_t>(level - back);
    f.value_at = static_cast<std::uint8_t>(HOST_LITTLE_ENDIAN ? value : value - back);
    f.mask_at = static_cast<std::uint8_t>(HOST_LITTLE_ENDIAN ? mask : mask - back);
    return f;
}

// The fields of a digital input_mode; mode stays "none" for any other.
constexpr port_fields fields_of(std::uint32_t mode) {
    constexpr std::size_t v8 = offsetof(input_config, digi8_value);
    constexpr std::size_t m8 = offsetof(input_config, digi8_mask);
    constexpr std::size_t v16 = offsetof(input_config, digi16_value);
    constexpr std::size_t m16 = offsetof(input_config, digi16_mask);
    switch (mode) {
    case INPUT_DIGI8_1:
        return fields(mode, INPUT_DIGI8_1_LEVEL, v8, m8, 1);
    case INPUT_DIGI8_2:
        return fields(mode, INPUT_DIGI8_2_LEVEL, v8 + 1, m8 + 1, 1);
    case INPUT_DIGI16_1:
        return fields(mode, INPUT_DIGI16_1_LEVEL, v16, m16, 2);
    case INPUT_DIGI16_2:
        return fields(mode, INPUT_DIGI16_2_LEVEL, v16 + 2, m16 + 2, 2);
    case INPUT_DIGI32:
        return fields(mode, INPUT_DIGI32_LEVEL, offsetof(input_config, digi32_value),
                      offsetof(input_config, digi32_mask), 4);
    default:
        return port_fields{};
    }
}

constexpr bool is_digital(const port_fields& f) {
    return f.width_mask != 0;
}

// Every word read lies inside its record.
constexpr bool words_inside(std::uint32_t mode) {
    const port_fields f = fields_of(mode);
    return f.level_at + WORD_BYTES <= INPUT_RECORD_SIZE &&
           f.value_at + WORD_BYTES <= INPUT_CONFIG_SIZE &&
           f.mask_at + WORD_BYTES <= INPUT_CONFIG_SIZE;
}
static_assert(words_inside(INPUT_DIGI8_1) && words_inside(INPUT_DIGI8_2) &&
              words_inside(INPUT_DIGI16_1) && words_inside(INPUT_DIGI16_2) &&
              words_inside(INPUT_DIGI32));
static_assert(!is_digital(fields_of(0)) && !is_digital(fields_of(INPUT_SERIAL_1)));

inline std::uint32_t host_word(const input_config& config, std::size_t at) {
    std::uint32_t word;
    std::memcpy(&word, reinterpret_cast<const unsigned char*>(&config) + at, WORD_BYTES);
    return word;
}

// A clear mask bit lets the line have either level, whatever the value bit.
PLATFORM_ALWAYS_INLINE bool met(const port_fields& f, const input_config& config,
                                const std::uint8_t* record) {
    const std::uint32_t level = platform::read_be32(record + f.level_at);
    return ((level ^ host_word(config, f.value_at)) & host_word(config, f.mask_at) &
            f.width_mask) == 0;
}

} // namespace digital_condition
