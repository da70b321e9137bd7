// Real serial input: lines cut as a controller delivers them, read raw from a
// device (a pseudo-terminal pair stands in for a USB serial adapter,
// test_support/pseudo_serial.h; on Windows two COM ports joined back to back,
// windows/com_port_pair.h), and fed through the run into a Custom Input
// element.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "reference_host/plugin_session.h"
#include "reference_host/project_runner.h"
#include "reference_host/serial_port.h"
#include "test_support/save_records.h"
#include "test_support/test_host.h"
#ifdef _WIN32
#include "windows/com_port_pair.h"
using serial_pair = com_port_pair;
#else
#include <termios.h>
#include <unistd.h>

#include "test_support/pseudo_serial.h"
using serial_pair = pseudo_terminal;
#endif

using namespace reference_host;

namespace {

using lines = std::vector<std::string>;

// The device cases need a pair of joined devices, which a Windows test run
// has only when it is given one.
class SerialDevice : public testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = serial_pair::missing(); !why.empty())
            GTEST_SKIP() << why;
    }
};

// Polls as the program does until `count` lines came or five seconds passed
// (a busy machine may hold the bytes back a while).
lines receive(serial_bridge& bridge, std::size_t count) {
    lines received;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (received.size() < count && std::chrono::steady_clock::now() < until) {
        for (auto& line : bridge.poll())
            received.push_back(line);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return received;
}

} // namespace

TEST(SerialLines, EndAtCrOrLfAndKeepTheEnding) {
    serial_line_splitter splitter(200);
    EXPECT_EQ(splitter.feed("A-4711\r\nB\nC\r"), (lines{"A-4711\r\n", "B\n"}));
    // A CR alone ends its line once the next byte shows no LF follows...
    EXPECT_EQ(splitter.feed("D"), (lines{"C\r"}));
    // ... or once the data pauses.
    EXPECT_EQ(splitter.feed("\r"), lines{});
    EXPECT_EQ(splitter.pause(), (lines{"D\r"}));
    EXPECT_EQ(splitter.pause(), lines{});
}

TEST(SerialLines, SurviveSplitReadsAndStrayBytes) {
    serial_line_splitter splitter(200);
    EXPECT_EQ(splitter.feed("AB\r"), lines{});
    EXPECT_EQ(splitter.feed("\nC"), (lines{"AB\r\n"}));
    // A line without an ending waits for it, also over a pause.
    EXPECT_EQ(splitter.pause(), lines{});
    // Zero bytes cannot travel in the record's texts.
    EXPECT_EQ(splitter.feed(std::string("D\0E\n", 4)), (lines{"CDE\n"}));
}

TEST(SerialLines, OverlongLinesAreCutAtTheRecordsRoom) {
    serial_line_splitter splitter(4);
    EXPECT_EQ(splitter.feed("ABCDEFG\n"), (lines{"ABCD", "EFG\n"}));
    // A CR that fills the room cannot wait for an LF.
    EXPECT_EQ(splitter.feed("ABC\r\n"), (lines{"ABC\r", "\n"}));
}

TEST_F(SerialDevice, ReadsRawLinesFromAPseudoTerminal) {
    serial_pair pty;
    serial_bridge bridge(pty.slave, 9600, SERIAL1_TEXT_LIMIT);
    // A terminal in its default mode would turn this CR into LF.
    pty.send("PART 4711-AB\r\nNEXT\r");
    EXPECT_EQ(receive(bridge, 2), (lines{"PART 4711-AB\r\n", "NEXT\r"}));
}

TEST_F(SerialDevice, TheFormatReachesTheLine) {
    const auto seven = parse_serial_format("7o1");
    ASSERT_TRUE(seven);
    EXPECT_EQ(seven->text(), "7O1");
    for (const char* wrong : {"8N", "9N1", "4N1", "8X1", "8N3", "8N1 ", "81N"})
        EXPECT_FALSE(parse_serial_format(wrong)) << wrong;

    // A pseudo-terminal always carries 8 bits without parity (and the port
    // says so rather than reading in another format); stop bits and speed it
    // keeps.
    serial_pair pty;
    {
        serial_port port(pty.slave, 19200, *parse_serial_format("8N2"));
#ifndef _WIN32
        termios line{};
        ASSERT_EQ(tcgetattr(pty.master, &line), 0); // the slave's settings
        EXPECT_TRUE(line.c_cflag & CSTOPB);
        EXPECT_EQ(cfgetispeed(&line), static_cast<speed_t>(B19200));
        EXPECT_FALSE(line.c_iflag & (ICRNL | IXON));
#endif
    } // closed: Windows opens a COM port once at a time
    EXPECT_THROW(serial_port(pty.slave, 9600, *seven), serial_error);
}

TEST_F(SerialDevice, RefusalsNameTheDevice) {
    try {
        serial_port port("/nonexistent/ttyUSB9", 9600);
        ADD_FAILURE() << "opened a missing device";
    } catch (const serial_error& e) {
        EXPECT_NE(std::string(e.what()).find(
                      "/nonexistent/ttyUSB9: cannot open: No such file or directory"),
                  std::string::npos)
            << e.what();
    }
#ifdef _WIN32
    const std::string null_device = "NUL";
#else
    const std::string null_device = "/dev/null";
#endif
    try {
        serial_port port(null_device, 9600);
        ADD_FAILURE() << "took " << null_device << " for a serial device";
    } catch (const serial_error& e) {
        EXPECT_NE(std::string(e.what()).find(null_device + ": not a serial device"),
                  std::string::npos)
            << e.what();
    }
    serial_pair pty;
    EXPECT_THROW(serial_port(pty.slave, 9601), serial_error);
}

TEST_F(SerialDevice, LineMeetsASubstringConditionAndForwardsARangeToIn2) {
    // Serial interface 1, "(sub)string" "4711", characters 5..8 forwarded to IN2.
    const auto record = saved_record([](input_config& c) {
        c.input_mode = INPUT_SERIAL_1;
        c.flags = FLAG_SERIAL1_SUBSTRING | FLAG_FORWARD_IN2;
        std::strcpy(c.compare_text1, "4711");
        c.substr_from = 5;
        c.substr_to = 8;
    });
    plugin_session session(plugin(), nullptr);
    session.describe_controllers(default_controllers());
    session.open(project{{{"Scan part", 1, element_kind::custom_input, record},
                          {"Engrave", 2, element_kind::placeholder, {}}}});
    std::vector<std::string> log;
    project_runner runner(session, [&log](const std::string& line) { log.push_back(line); });
    runner.start();

    serial_pair pty;
    serial_bridge bridge(pty.slave, 115200, SERIAL1_TEXT_LIMIT);
    pty.send("PART 4711-AB\r\n");
    const lines received = receive(bridge, 1);
    ASSERT_EQ(received.size(), 1u);
    controller_inputs inputs;
    inputs.serial1 = received[0];
    runner.deliver(inputs, 0);

    EXPECT_EQ(outcome_name(runner.state()), "completed");
    EXPECT_EQ(runner.character_inputs()[0], "4711");
    const std::vector<std::string> expected = {
        "host: run 1 starts",
        "vexa_continuous_stream(\"Scan part\") -> false, controller 0",
        "vexa_check_input_value(\"Scan part\", controller 0: serial_1=\"PART 4711-AB\\r\\n\") -> "
        "RES_CUSTOM_OPERATION",
        "vexa_get_custom_operation(\"Scan part\") -> RES_OK: op 0x10, forward \"4711\" (4 "
        "characters) to IN2",
        "host: marks \"Engrave\"",
        "host: run 1 completed",
    };
    EXPECT_EQ(log, expected);
}
