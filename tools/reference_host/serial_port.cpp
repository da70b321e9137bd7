#include "reference_host/serial_port.h"

#include <cstring>

// What both systems share; the device itself is in serial_port_<system>.cpp.
namespace reference_host {

namespace {

const int rates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};

} // namespace

bool is_supported_baud(int baud) {
    for (int rate : rates)
        if (rate == baud)
            return true;
    return false;
}

std::string serial_format::text() const {
    return std::to_string(data_bits) + parity + std::to_string(stop_bits);
}

std::optional<serial_format> parse_serial_format(const std::string& text) {
    if (text.size() != 3 || text[0] < '5' || text[0] > '8' || (text[2] != '1' && text[2] != '2'))
        return std::nullopt;
    serial_format format;
    format.data_bits = text[0] - '0';
    format.parity =
        static_cast<char>(text[1] >= 'a' && text[1] <= 'z' ? text[1] - 'a' + 'A' : text[1]);
    format.stop_bits = text[2] - '0';
    if (std::strchr("NEOMS", format.parity) == nullptr)
        return std::nullopt;
    return format;
}

std::vector<std::string> serial_bridge::poll() {
    const std::string received = port_.read_available();
    return received.empty() ? lines_.pause() : lines_.feed(received);
}

} // namespace reference_host
