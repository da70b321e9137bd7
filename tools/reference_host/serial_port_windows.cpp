// Serial devices through the Windows communications API: COM ports opened
// raw, without flow control, and read without waiting.
#include "reference_host/serial_port.h"

#include <cerrno>
#include <cstring>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace reference_host {

namespace {

// The system's words for an error code, as one line.
std::string system_text(DWORD error) {
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return std::strerror(ENOENT); // as Linux says it
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    return reason;
}

BYTE parity_of(char letter) {
    switch (letter) {
    case 'E':
        return EVENPARITY;
    case 'O':
        return ODDPARITY;
    case 'M':
        return MARKPARITY;
    case 'S':
        return SPACEPARITY;
    default:
        return NOPARITY;
    }
}

// "COM3" as the device namespace names it: the plain name reaches COM1 to
// COM9 only.
std::string device_path(const std::string& name) {
    return name.rfind("\\\\", 0) == 0 ? name : "\\\\.\\" + name;
}

} // namespace

std::vector<serial_port_info> list_serial_ports() {
    // The system lists its serial ports under this key: the value's data is
    // the port's name, the value's name the driver's device.
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0,
                                      KEY_QUERY_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return {}; // no serial port at all
    if (opened != ERROR_SUCCESS)
        throw serial_error("cannot list the serial ports: " +
                           system_text(static_cast<DWORD>(opened)));
    std::vector<serial_port_info> found;
    for (DWORD i = 0;; ++i) {
        char value_name[256];
        BYTE data[256];
        DWORD name_size = sizeof value_name;
        DWORD data_size = sizeof data - 1;
        DWORD type = 0;
        const LONG read =
            RegEnumValueA(key, i, value_name, &name_size, nullptr, &type, data, &data_size);
        if (read == ERROR_NO_MORE_ITEMS)
            break;
        if (read != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[data_size] = 0;
        found.push_back({reinterpret_cast<const char*>(data), value_name});
    }
    RegCloseKey(key);
    return found;
}

struct serial_port::device {
    HANDLE handle = INVALID_HANDLE_VALUE;
    device() = default;
    device(const device&) = delete;
    device& operator=(const device&) = delete;
    ~device() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

serial_port::serial_port(const std::string& device_name, int baud, const serial_format& format)
    : device_(device_name), port_(std::make_unique<device>()) {
    if (!is_supported_baud(baud))
        throw serial_error(device_ + ": unsupported baud rate " + std::to_string(baud));
    port_->handle = CreateFileA(device_path(device_).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (port_->handle == INVALID_HANDLE_VALUE)
        throw serial_error(device_ + ": cannot open: " + system_text(GetLastError()));
    // Only a communications device has line settings.
    DCB line{};
    line.DCBlength = sizeof line;
    if (GetFileType(port_->handle) != FILE_TYPE_CHAR || !GetCommState(port_->handle, &line))
        throw serial_error(
            device_ + ": not a serial device: " +
            system_text(GetLastError() != 0 ? GetLastError() : ERROR_INVALID_FUNCTION));
    // Raw: every byte as sent (no CR-to-LF, no XON/XOFF, no stop at a
    // framing error), no flow control, the control lines up.
    line.BaudRate = static_cast<DWORD>(baud);
    line.ByteSize = static_cast<BYTE>(format.data_bits);
    line.Parity = parity_of(format.parity);
    line.StopBits = format.stop_bits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = format.parity != 'N';
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fDsrSensitivity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fAbortOnError = FALSE;
    if (!SetCommState(port_->handle, &line))
        throw serial_error(device_ +
                           ": cannot set the baud rate and format: " + system_text(GetLastError()));
    // A driver may take settings it cannot carry and keep others: read them
    // back, and refuse as Linux does what did not take.
    DCB taken{};
    taken.DCBlength = sizeof taken;
    if (!GetCommState(port_->handle, &taken))
        throw serial_error(device_ +
                           ": cannot read the line settings back: " + system_text(GetLastError()));
    const char* refused = taken.BaudRate != line.BaudRate   ? "the baud rate"
                          : taken.ByteSize != line.ByteSize ? "the data bits"
                          : taken.Parity != line.Parity     ? "the parity"
                          : taken.StopBits != line.StopBits ? "the stop bits"
                                                            : nullptr;
    if (refused != nullptr)
        throw serial_error(device_ + ": cannot set " + refused + ": not supported by the device");
    // A read returns at once with what has arrived, also nothing.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(port_->handle, &timeouts))
        throw serial_error(device_ +
                           ": cannot set reads without waiting: " + system_text(GetLastError()));
}

serial_port::~serial_port() = default;

std::string serial_port::read_available() {
    std::string received;
    char buffer[256];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(port_->handle, buffer, sizeof buffer, &n, nullptr))
            throw serial_error(device_ + ": read failed: " + system_text(GetLastError()));
        received.append(buffer, n);
        if (n < sizeof buffer)
            return received;
    }
}

} // namespace reference_host
