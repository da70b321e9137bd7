// The five digital ports of the panel, in panel order, with the bit fields
// they edit and the bit cycle of their buttons: the one table the digital
// sections are built, refreshed and edited from.
#pragma once

#include <cstdint>

#include <wx/string.h>

#include "model/input_config.h"

constexpr int DIGITAL_PORT_COUNT = 5;
constexpr int MAX_PORT_WIDTH = 32;

struct digital_port {
    std::uint32_t mode; // INPUT_DIGI* value, also the capability bit
    int width;          // 8, 16 or 32 bits, one button each
    int number;         // the number in the radio label
};

// 8-bit port 1 and 2, 16-bit port 1 and 2, the 32-bit input.
extern const digital_port digital_ports[DIGITAL_PORT_COUNT];

// The bit that button `index` of `port` stands for: the top bit for index 0,
// logical shifts to the right after it.
std::uint32_t button_bit(int port, int index);

// The port's value and mask fields of `config`, widened to 32 bits.
std::uint32_t port_value(const input_config& config, int port);
std::uint32_t port_mask(const input_config& config, int port);
void set_port_bits(input_config& config, int port, std::uint32_t value, std::uint32_t mask);

// The label of a bit: "X" when not compared, else "0" or "1" (never translated).
wxString bit_state(std::uint32_t value, std::uint32_t mask, std::uint32_t bit);

// One click on a button labelled `label`: X -> 0 -> 1 -> X. A 1 going back to
// X keeps its value bit. Any other label changes nothing; returns whether it
// was one of the three.
bool cycle_bit_state(const wxString& label, std::uint32_t bit, std::uint32_t& value,
                     std::uint32_t& mask);
