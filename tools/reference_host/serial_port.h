// A real serial device (a barcode reader on a USB serial adapter, say),
// opened raw through termios and read without blocking, and the bridge that
// turns what it receives into lines for a serial interface of the simulator.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "serial_lines.h"

namespace reference_host {

class serial_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr int DEFAULT_BAUD = 9600;
bool is_supported_baud(int baud);

class serial_port {
public:
    // Opens `device` raw, 8 data bits, no parity, 1 stop bit, no flow
    // control, at `baud`. Throws serial_error saying why it cannot.
    serial_port(const std::string& device, int baud);
    ~serial_port();
    serial_port(const serial_port&) = delete;
    serial_port& operator=(const serial_port&) = delete;

    // What has arrived; empty when nothing has. Throws serial_error when the
    // device fails (unplugged, say).
    std::string read_available();

private:
    std::string device_;
    int fd_ = -1;
};

class serial_bridge {
public:
    // `max_length`: the longest text the target interface carries.
    serial_bridge(const std::string& device, int baud, std::size_t max_length)
        : port_(device, baud), lines_(max_length) {}
    // Call often (the program polls every few milliseconds); returns the
    // lines completed since the last call. A poll that finds nothing counts
    // as a pause.
    std::vector<std::string> poll();

private:
    serial_port port_;
    serial_line_splitter lines_;
};

} // namespace reference_host
