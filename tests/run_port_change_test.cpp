// The digital condition follows every change of the configuration at once,
// whoever makes it (a direct write, a load), whichever way the call runs
// (plain, timed, with a message), and reads no bit beside its port.
#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#if defined(__linux__)
#include <linux/hw_breakpoint.h>
#include <linux/perf_event.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "test_support/machine_facilities.h"
#include "test_support/run_element.h"
#include "test_support/save_records.h"

namespace {

constexpr std::uint32_t DIGITAL_MODES[] = {INPUT_DIGI8_1, INPUT_DIGI8_2, INPUT_DIGI16_1,
                                           INPUT_DIGI16_2, INPUT_DIGI32};

std::uint32_t be(const input_record& r, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | r.bytes[at + i];
    return v;
}

// The condition straight from the field table, port by port.
std::int32_t expected(const input_config& c, const input_record& r) {
    std::uint32_t level = 0, value = 0, mask = 0;
    switch (c.input_mode) {
    case INPUT_DIGI8_1:
        level = r.bytes[6], value = c.digi8_value[0], mask = c.digi8_mask[0];
        break;
    case INPUT_DIGI8_2:
        level = r.bytes[7], value = c.digi8_value[1], mask = c.digi8_mask[1];
        break;
    case INPUT_DIGI16_1:
        level = be(r, 10, 2), value = c.digi16_value[0], mask = c.digi16_mask[0];
        break;
    case INPUT_DIGI16_2:
        level = be(r, 12, 2), value = c.digi16_value[1], mask = c.digi16_mask[1];
        break;
    case INPUT_DIGI32:
        level = be(r, 48, 4), value = c.digi32_value, mask = c.digi32_mask;
        break;
    default:
        return RES_INVALID;
    }
    return ((level ^ value) & mask) == 0 ? RES_OK : RES_WAIT;
}

// Few set bits, so that random levels meet random patterns often enough.
template <class T> T sparse(std::mt19937& random) {
    return static_cast<T>(random() & random() & random());
}

void randomise_ports(input_config& c, std::mt19937& random) {
    for (int p : {0, 1}) {
        c.digi8_value[p] = sparse<std::uint8_t>(random);
        c.digi8_mask[p] = sparse<std::uint8_t>(random);
        c.digi16_value[p] = sparse<std::uint16_t>(random);
        c.digi16_mask[p] = sparse<std::uint16_t>(random);
    }
    c.digi32_value = sparse<std::uint32_t>(random);
    c.digi32_mask = sparse<std::uint32_t>(random);
}

#if defined(__linux__)
// Counts this thread's accesses to one byte, through a debug register.
class byte_watch {
public:
    explicit byte_watch(const volatile void* at) {
        perf_event_attr attr{};
        attr.type = PERF_TYPE_BREAKPOINT;
        attr.size = sizeof attr;
        attr.bp_type = HW_BREAKPOINT_RW;
        attr.bp_addr = reinterpret_cast<std::uintptr_t>(at);
        attr.bp_len = HW_BREAKPOINT_LEN_1;
        attr.exclude_kernel = 1;
        attr.exclude_hv = 1;
        fd_ = static_cast<int>(syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
        refusal_ = fd_ >= 0 ? 0 : errno;
    }
    ~byte_watch() {
        if (fd_ >= 0)
            close(fd_);
    }
    byte_watch(const byte_watch&) = delete;
    byte_watch& operator=(const byte_watch&) = delete;
    bool armed() const { return fd_ >= 0; }
    int refusal() const { return refusal_; }
    std::uint64_t accesses() const {
        std::uint64_t n = 0;
        return read(fd_, &n, sizeof n) == sizeof n ? n : ~std::uint64_t{0};
    }

private:
    int fd_;
    int refusal_;
};

// Whether the watches work here as the test uses them: armed before, on and
// after a byte of the test's own, one read of that byte counts once, on its
// own watch. Some virtual machines arm them and count nothing.
std::string byte_watches_missing() {
    volatile std::uint8_t bytes[3] = {};
    const byte_watch before(&bytes[0]);
    const byte_watch own(&bytes[1]);
    const byte_watch after(&bytes[2]);
    for (const byte_watch* watch : {&before, &own, &after})
        if (!watch->armed())
            return std::string("no data watchpoints here: perf_event_open: ") +
                   std::strerror(watch->refusal());
    [[maybe_unused]] const std::uint8_t read_once = bytes[1]; // volatile: a real load
    const std::uint64_t counted[] = {before.accesses(), own.accesses(), after.accesses()};
    if (counted[1] == 0)
        return "data watchpoints are armed here but count nothing";
    if (counted[0] != 0 || counted[1] != 1 || counted[2] != 0)
        return "data watchpoints miscount here: one read of a byte counted " +
               std::to_string(counted[0]) + "/" + std::to_string(counted[1]) + "/" +
               std::to_string(counted[2]) + " (before/on/after it), not 0/1/0";
    return "";
}
#endif

} // namespace

TEST(DigitalCondition, FollowsEveryChangeOfModePatternAndOptions) {
    virtual_clock::set(50000);
    std::mt19937 random(7);
    run_element e(INPUT_DIGI8_1);
    run_element other; // a configuration to be saved and loaded into e
    for (int step = 0; step < 4000; ++step) {
        SCOPED_TRACE(step);
        input_config& c = e.config();
        switch (random() % 8) {
        case 0:
        case 1:
            c.input_mode = DIGITAL_MODES[random() % 5];
            break;
        case 2: // no input, or two at once from a damaged record
            c.input_mode = random() % 2 ? 0 : INPUT_DIGI8_2 | INPUT_DIGI16_1;
            break;
        case 3:
            randomise_ports(c, random);
            break;
        case 4: { // a load replaces the whole configuration
            other.config().input_mode = DIGITAL_MODES[random() % 5];
            randomise_ports(other.config(), random);
            ASSERT_EQ(load_bytes(e.handle(), save_bytes(other.handle())), RES_OK);
            break;
        }
        case 5: // the timed and the full call see the same condition
            c.flags = (random() % 2 ? FLAG_TIMEOUT : 0) | (random() % 2 ? FLAG_SHOW_MESSAGE : 0);
            e.record().deadline = 60000;
            break;
        case 6:
            e.arm();
            break;
        default: { // a serial text test in between (no compare flag: any text meets it)
            const std::uint32_t mode = c.input_mode;
            c.input_mode = INPUT_SERIAL_1;
            EXPECT_EQ(e.check(input_record().serial(1, "in between")), RES_OK);
            EXPECT_EQ(e.record().last_received, "in between");
            c.input_mode = mode;
            break;
        }
        }
        input_record r;
        for (std::uint8_t& b : r.bytes)
            b = static_cast<std::uint8_t>(random() % 3 ? sparse<std::uint8_t>(random) : random());
        ASSERT_EQ(e.check(r), expected(e.config(), r));
    }
}

TEST(DigitalCondition, NoBitBesideThePortCounts) {
    for (std::uint32_t mode : DIGITAL_MODES) {
        SCOPED_TRACE(mode);
        for (std::uint8_t around : {0x00, 0xFF}) {
            run_element e(mode);
            // Every other port compares every bit against the opposite level.
            input_config& c = e.config();
            const std::uint32_t opposite = around ? 0 : 0xFFFFFFFF;
            for (int p : {0, 1}) {
                c.digi8_mask[p] = 0xFF, c.digi8_value[p] = static_cast<std::uint8_t>(opposite);
                c.digi16_mask[p] = 0xFFFF, c.digi16_value[p] = static_cast<std::uint16_t>(opposite);
            }
            c.digi32_mask = 0xFFFFFFFF, c.digi32_value = opposite;
            // This port: all bits, a pattern unlike either neighbour level.
            input_record r;
            r.bytes.fill(around);
            const std::uint32_t pattern = 0xA5C3E187;
            switch (mode) {
            case INPUT_DIGI8_1:
                c.digi8_value[0] = 0x87, r.digi8(1, 0x87);
                break;
            case INPUT_DIGI8_2:
                c.digi8_value[1] = 0x87, r.digi8(2, 0x87);
                break;
            case INPUT_DIGI16_1:
                c.digi16_value[0] = 0xE187, r.digi16(1, 0xE187);
                break;
            case INPUT_DIGI16_2:
                c.digi16_value[1] = 0xE187, r.digi16(2, 0xE187);
                break;
            default:
                c.digi32_value = pattern, r.digi32(pattern);
            }
            EXPECT_EQ(e.check(r), RES_OK);
            // Any one bit of the port's own field turns it into a wait.
            const input_record met = r;
            for (std::size_t at = 0; at < r.bytes.size(); ++at) {
                for (int bit = 0; bit < 8; ++bit) {
                    r = met;
                    r.bytes[at] ^= static_cast<std::uint8_t>(1 << bit);
                    ASSERT_EQ(e.check(r), expected(c, r)) << "byte " << at << " bit " << bit;
                }
            }
        }
    }
}

// A host may write a port's level just before the call: a read that reaches
// past the port's field would wait for that store. Any such read touches one
// of the two bytes beside the field.
TEST(DigitalCondition, ReadsOnlyThePortsOwnBytes) {
#if defined(__linux__)
    REQUIRE_FACILITY(byte_watches_missing());
    struct port {
        std::uint32_t mode;
        std::size_t at, width;
    };
    for (const port p :
         {port{INPUT_DIGI8_1, 6, 1}, port{INPUT_DIGI8_2, 7, 1}, port{INPUT_DIGI16_1, 10, 2},
          port{INPUT_DIGI16_2, 12, 2}, port{INPUT_DIGI32, 48, 4}}) {
        SCOPED_TRACE(p.mode);
        run_element e(p.mode);
        input_record r;
        const byte_watch own(&r.bytes[p.at]);
        const byte_watch before(&r.bytes[p.at - 1]);
        const byte_watch after(&r.bytes[p.at + p.width]);
        ASSERT_TRUE(own.armed() && before.armed() && after.armed())
            << "armed in the probe but not here";
        EXPECT_EQ(e.check(r), RES_OK);
        EXPECT_GT(own.accesses(), 0u); // the watch sees the plug-in's reads
        EXPECT_EQ(before.accesses(), 0u);
        EXPECT_EQ(after.accesses(), 0u);
    }
#else
    GTEST_SKIP() << "data watchpoints through perf events: Linux only";
#endif
}
