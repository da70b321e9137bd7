// Two COM ports joined back to back, standing in for a USB serial adapter on
// Windows as a pseudo-terminal pair does on Linux. ZAVUD_TEST_COM_PORTS names
// them ("COM41 COM42"); com_port_test.sh links them, under Wine, to the two
// ends of a socat pair. The test writes on the first; the program opens the
// second by name.
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

class com_port_pair {
public:
    std::string slave; // the port the program opens

    // Why the pair cannot be made here, or "" when it can.
    static std::string missing() {
        if (names().second.empty())
            return "needs two COM ports joined back to back in ZAVUD_TEST_COM_PORTS "
                   "(tests/windows/com_port_test.sh)";
        return "";
    }

    com_port_pair() {
        const auto [writer_name, program_port] = names();
        slave = program_port;
        writer_ = CreateFileA(("\\\\.\\" + writer_name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(writer_, INVALID_HANDLE_VALUE) << writer_name << ": error " << GetLastError();
        // Raw, or the device behind the port could turn the CR of "\r\n" into more.
        DCB line{};
        line.DCBlength = sizeof line;
        EXPECT_TRUE(GetCommState(writer_, &line)) << writer_name << ": error " << GetLastError();
        line.BaudRate = CBR_9600;
        line.ByteSize = 8;
        line.Parity = NOPARITY;
        line.StopBits = ONESTOPBIT;
        line.fBinary = TRUE;
        line.fOutX = FALSE;
        line.fInX = FALSE;
        EXPECT_TRUE(SetCommState(writer_, &line)) << writer_name << ": error " << GetLastError();
    }
    ~com_port_pair() { CloseHandle(writer_); }
    com_port_pair(const com_port_pair&) = delete;
    com_port_pair& operator=(const com_port_pair&) = delete;

    void send(const std::string& bytes) const {
        DWORD written = 0;
        EXPECT_TRUE(
            WriteFile(writer_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
            << "error " << GetLastError();
        EXPECT_EQ(written, bytes.size());
    }

private:
    HANDLE writer_ = INVALID_HANDLE_VALUE;

    static std::pair<std::string, std::string> names() {
        const char* listed = std::getenv("ZAVUD_TEST_COM_PORTS");
        std::istringstream in(listed != nullptr ? listed : "");
        std::pair<std::string, std::string> pair;
        in >> pair.first >> pair.second;
        return pair;
    }
};
