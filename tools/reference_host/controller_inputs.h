// What one controller delivers at a moment: the levels of its digital ports
// and the last text of each serial interface. The simulator edits it, the
// serial bridge and the replay fill it; to_record() builds the input record
// the plug-in reads.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "abi/config_flags.h"
#include "abi/input_record.h"

namespace reference_host {

// The longest text each serial field carries with its terminating zero byte.
constexpr std::size_t SERIAL1_TEXT_LIMIT = INPUT_SERIAL1_TEXT_SIZE - 1;
constexpr std::size_t SERIAL2_TEXT_LIMIT = INPUT_SERIAL2_TEXT_SIZE - 1;

struct controller_inputs {
    std::uint8_t digi8[2] = {};
    std::uint16_t digi16[2] = {};
    std::uint32_t digi32 = 0;
    std::string serial1; // 8-bit text; cut to SERIAL1_TEXT_LIMIT in the record
    std::string serial2;

    // The level of the digital port INPUT_DIGI8_1 ... INPUT_DIGI32.
    std::uint32_t level(std::uint32_t mode) const;
    void set_level(std::uint32_t mode, std::uint32_t level);

    std::array<std::uint8_t, INPUT_RECORD_SIZE> to_record() const;
    // The fields that are not zero or empty, e.g. `digi8_1=0x80 serial_1="A\r\n"`;
    // "all inputs 0" when there are none.
    std::string describe() const;
};

// A text as the logs show it: in double quotes, with \r, \n and other control
// characters escaped, and bytes that are not part of UTF-8 characters as \xNN
// (so a Latin-1 "Caf\xE9" shows which bytes it is).
std::string quote_text(const std::string& text);

} // namespace reference_host
