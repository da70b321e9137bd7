// Serial devices through libserialport, which opens them raw and reads them
// without blocking.
#include "reference_host/serial_port.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <libserialport.h>

namespace reference_host {

namespace {

// Why the library's last call failed, in the system's words where it has them.
std::string why(sp_return result) {
    switch (result) {
    case SP_ERR_FAIL: {
        char* message = sp_last_error_message();
        std::string text = message != nullptr ? message : "failed";
        sp_free_error_message(message);
        return text;
    }
    case SP_ERR_MEM:
        return "out of memory";
    case SP_ERR_SUPP:
        return "not supported on this system";
    default:
        return "refused by the serial library";
    }
}

sp_parity parity_of(char letter) {
    switch (letter) {
    case 'E':
        return SP_PARITY_EVEN;
    case 'O':
        return SP_PARITY_ODD;
    case 'M':
        return SP_PARITY_MARK;
    case 'S':
        return SP_PARITY_SPACE;
    default:
        return SP_PARITY_NONE;
    }
}

// A terminal that is no serial line: it has no line settings or no modem
// lines to read.
bool not_a_serial_line(int error) {
    return error == ENOTTY;
}

} // namespace

std::vector<serial_port_info> list_serial_ports() {
    sp_port** ports = nullptr;
    const sp_return listed = sp_list_ports(&ports);
    if (listed != SP_OK)
        throw serial_error("cannot list the serial ports: " + why(listed));
    std::vector<serial_port_info> found;
    for (std::size_t i = 0; ports[i] != nullptr; ++i) {
        const char* description = sp_get_port_description(ports[i]);
        found.push_back({sp_get_port_name(ports[i]), description != nullptr ? description : ""});
    }
    sp_free_port_list(ports);
    return found;
}

// The port, closed and freed with the object once opened.
struct serial_port::device {
    sp_port* port = nullptr;
    bool open = false;
    device() = default;
    device(const device&) = delete;
    device& operator=(const device&) = delete;
    ~device() {
        if (open)
            sp_close(port);
        sp_free_port(port);
    }
};

serial_port::serial_port(const std::string& device_name, int baud, const serial_format& format)
    : device_(device_name), port_(std::make_unique<device>()) {
    if (!is_supported_baud(baud))
        throw serial_error(device_ + ": unsupported baud rate " + std::to_string(baud));
    if (sp_get_port_by_name(device_.c_str(), &port_->port) != SP_OK) {
        // The library knows only the devices the system lists as serial ports.
        port_->port = nullptr;
        std::error_code ignored;
        if (!std::filesystem::exists(std::filesystem::path(device_), ignored))
            throw serial_error(device_ + ": cannot open: " + std::strerror(ENOENT));
        throw serial_error(device_ + ": not a serial device (the system does not list it as a "
                                     "serial port; --list-serial shows those it does)");
    }
    const sp_return opened = sp_open(port_->port, SP_MODE_READ_WRITE);
    if (opened != SP_OK) {
        const int error = sp_last_error_code();
        throw serial_error(
            device_ + (not_a_serial_line(error) ? ": not a serial device: " : ": cannot open: ") +
            why(opened));
    }
    port_->open = true;
    // sp_open makes the line raw: no echo, no line editing, and above all no
    // CR-to-LF translation, so line endings reach the element as sent.
    auto set = [&](sp_return result, const char* what) {
        if (result != SP_OK)
            throw serial_error(device_ + ": cannot set " + what + ": " + why(result));
    };
    set(sp_set_baudrate(port_->port, baud), "the baud rate");
    set(sp_set_bits(port_->port, format.data_bits), "the data bits");
    set(sp_set_parity(port_->port, parity_of(format.parity)), "the parity");
    set(sp_set_stopbits(port_->port, format.stop_bits), "the stop bits");
    set(sp_set_flowcontrol(port_->port, SP_FLOWCONTROL_NONE), "no flow control");
}

serial_port::~serial_port() = default;

std::string serial_port::read_available() {
    std::string received;
    char buffer[256];
    for (;;) {
        const int n = sp_nonblocking_read(port_->port, buffer, sizeof buffer);
        if (n < 0)
            throw serial_error(device_ + ": read failed: " + why(static_cast<sp_return>(n)));
        received.append(buffer, static_cast<std::size_t>(n));
        if (static_cast<std::size_t>(n) < sizeof buffer)
            return received;
    }
}

} // namespace reference_host
