// A real serial device (a barcode reader on a USB serial adapter, say),
// opened raw and read without blocking, and the bridge
// that turns what it receives into lines for a serial interface of the
// simulator.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "reference_host/serial_lines.h"

namespace reference_host {

class serial_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr int DEFAULT_BAUD = 9600;
bool is_supported_baud(int baud);

// Data bits, parity and stop bits, written as "8N1", "7E1", "8O2", ...
struct serial_format {
    int data_bits = 8; // 5..8
    char parity = 'N'; // N(one), E(ven), O(dd), M(ark), S(pace)
    int stop_bits = 1; // 1 or 2
    std::string text() const;
};
// Null when `text` is not of that form; the parity letter may be lower case.
std::optional<serial_format> parse_serial_format(const std::string& text);

struct serial_port_info {
    std::string name;        // what --serial takes: /dev/ttyUSB0, COM3
    std::string description; // the adapter's product name, when the system knows it
};
// The serial ports the system lists. Throws serial_error when it cannot.
std::vector<serial_port_info> list_serial_ports();

class serial_port {
public:
    // Opens `device` raw, without flow control, at `baud` in `format`.
    // Throws serial_error saying why it cannot.
    serial_port(const std::string& device, int baud, const serial_format& format = {});
    ~serial_port();
    serial_port(const serial_port&) = delete;
    serial_port& operator=(const serial_port&) = delete;

    // What has arrived; empty when nothing has. Throws serial_error when the
    // device fails (unplugged, say).
    std::string read_available();

    // The open device, in the system's own terms: libserialport's port on
    // Linux, a handle on Windows (serial_port_<system>.cpp).
    struct device;

private:
    std::string device_;
    std::unique_ptr<device> port_;
};

class serial_bridge {
public:
    // `max_length`: the longest text the target interface carries.
    serial_bridge(const std::string& device, int baud, std::size_t max_length,
                  const serial_format& format = {})
        : port_(device, baud, format), lines_(max_length) {}
    // Call often (the program polls every few milliseconds); returns the
    // lines completed since the last call. A poll that finds nothing counts
    // as a pause.
    std::vector<std::string> poll();

private:
    serial_port port_;
    serial_line_splitter lines_;
};

} // namespace reference_host
