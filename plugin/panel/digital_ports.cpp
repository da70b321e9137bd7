#include "panel/digital_ports.h"

const digital_port digital_ports[DIGITAL_PORT_COUNT] = {
    {INPUT_DIGI8_1, 8, 1},   {INPUT_DIGI8_2, 8, 2}, {INPUT_DIGI16_1, 16, 1},
    {INPUT_DIGI16_2, 16, 2}, {INPUT_DIGI32, 32, 1},
};

std::uint32_t button_bit(int port, int index) {
    const std::uint32_t top = std::uint32_t{1} << (digital_ports[port].width - 1);
    return top >> index;
}

std::uint32_t port_value(const input_config& config, int port) {
    switch (port) {
    case 0:
    case 1:
        return config.digi8_value[port];
    case 2:
    case 3:
        return config.digi16_value[port - 2];
    default:
        return config.digi32_value;
    }
}

std::uint32_t port_mask(const input_config& config, int port) {
    switch (port) {
    case 0:
    case 1:
        return config.digi8_mask[port];
    case 2:
    case 3:
        return config.digi16_mask[port - 2];
    default:
        return config.digi32_mask;
    }
}

void set_port_bits(input_config& config, int port, std::uint32_t value, std::uint32_t mask) {
    switch (port) {
    case 0:
    case 1:
        config.digi8_value[port] = static_cast<std::uint8_t>(value);
        config.digi8_mask[port] = static_cast<std::uint8_t>(mask);
        break;
    case 2:
    case 3:
        config.digi16_value[port - 2] = static_cast<std::uint16_t>(value);
        config.digi16_mask[port - 2] = static_cast<std::uint16_t>(mask);
        break;
    default:
        config.digi32_value = value;
        config.digi32_mask = mask;
        break;
    }
}

wxString bit_state(std::uint32_t value, std::uint32_t mask, std::uint32_t bit) {
    if ((mask & bit) == 0)
        return "X";
    return (value & bit) != 0 ? "1" : "0";
}

bool cycle_bit_state(const wxString& label, std::uint32_t bit, std::uint32_t& value,
                     std::uint32_t& mask) {
    if (label == "X") {
        value &= ~bit;
        mask |= bit;
    } else if (label == "0") {
        value |= bit;
    } else if (label == "1") {
        mask &= ~bit;
    } else {
        return false;
    }
    return true;
}
