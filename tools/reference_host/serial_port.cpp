#include "reference_host/serial_port.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <libserialport.h>

namespace reference_host {

namespace {

const int rates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};

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
#ifdef _WIN32
    (void)error;
    return false;
#else
    return error == ENOTTY;
#endif
}

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

serial_port::serial_port(const std::string& device, int baud, const serial_format& format)
    : device_(device) {
    if (!is_supported_baud(baud))
        throw serial_error(device + ": unsupported baud rate " + std::to_string(baud));
    if (sp_get_port_by_name(device.c_str(), &port_) != SP_OK) {
        // The library knows only the devices the system lists as serial ports.
        port_ = nullptr;
        std::error_code ignored;
        if (!std::filesystem::exists(std::filesystem::path(device), ignored))
            throw serial_error(device + ": cannot open: " + std::strerror(ENOENT));
        throw serial_error(device + ": not a serial device (the system does not list it as a "
                                    "serial port; --list-serial shows those it does)");
    }
    const sp_return opened = sp_open(port_, SP_MODE_READ_WRITE);
    if (opened != SP_OK) {
        const int error = sp_last_error_code();
        const std::string reason = why(opened);
        sp_free_port(port_);
        port_ = nullptr;
        throw serial_error(
            device + (not_a_serial_line(error) ? ": not a serial device: " : ": cannot open: ") +
            reason);
    }
    // sp_open makes the line raw: no echo, no line editing, and above all no
    // CR-to-LF translation, so line endings reach the element as sent.
    auto set = [&](sp_return result, const char* what) {
        if (result == SP_OK)
            return;
        const std::string reason = why(result);
        sp_close(port_);
        sp_free_port(port_);
        port_ = nullptr;
        throw serial_error(device + ": cannot set " + what + ": " + reason);
    };
    set(sp_set_baudrate(port_, baud), "the baud rate");
    set(sp_set_bits(port_, format.data_bits), "the data bits");
    set(sp_set_parity(port_, parity_of(format.parity)), "the parity");
    set(sp_set_stopbits(port_, format.stop_bits), "the stop bits");
    set(sp_set_flowcontrol(port_, SP_FLOWCONTROL_NONE), "no flow control");
}

serial_port::~serial_port() {
    if (port_ != nullptr) {
        sp_close(port_);
        sp_free_port(port_);
    }
}

std::string serial_port::read_available() {
    std::string received;
    char buffer[256];
    for (;;) {
        const int n = sp_nonblocking_read(port_, buffer, sizeof buffer);
        if (n < 0)
            throw serial_error(device_ + ": read failed: " + why(static_cast<sp_return>(n)));
        received.append(buffer, static_cast<std::size_t>(n));
        if (static_cast<std::size_t>(n) < sizeof buffer)
            return received;
    }
}

std::vector<std::string> serial_bridge::poll() {
    const std::string received = port_.read_available();
    return received.empty() ? lines_.pause() : lines_.feed(received);
}

} // namespace reference_host
