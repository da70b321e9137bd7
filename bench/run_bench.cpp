// The run time: evaluation of input records, the wait message, result data
// and forwarding, each against its hand-written baseline.
#include <cstring>
#include <memory>

#include "baselines.h"
#include "bench_support.h"
#include "test_support/save_records.h"

namespace bench {
namespace {

// Plain or timed, a wait is a few checks on the way to its floor: a masked
// compare, with the timeout the clock as well.
constexpr double DIGITAL_TARGET = 2.0;
constexpr double SERIAL_TARGET = 1.5;
constexpr int DIGITAL_CALLS = 2000;
constexpr int SERIAL_CALLS = 200;

// Runs vexa_continuous_stream and the first check, which starts the clock.
void start_timeout_clock(run_element& e, const input_record& record) {
    std::int32_t controller = 0, second = 0;
    plugin().vexa_continuous_stream(e.handle(), &controller, &second);
    plugin().vexa_check_input_value(e.handle(), record.data(), 0);
}

// The port's level as a host writes it into the record just before a call:
// one store of the field's width, in the record's byte order, as a host does
// that copies a driver's status word in.
template <std::uint32_t Mode> void write_level(std::uint8_t* record) {
    if constexpr (Mode == INPUT_DIGI8_1)
        record[INPUT_DIGI8_1_LEVEL] = 0x81;
    else if constexpr (Mode == INPUT_DIGI8_2)
        record[INPUT_DIGI8_2_LEVEL] = 0x42;
    else if constexpr (Mode == INPUT_DIGI16_1)
        platform::write_be16(record + INPUT_DIGI16_1_LEVEL, 0x1234);
    else if constexpr (Mode == INPUT_DIGI16_2)
        platform::write_be16(record + INPUT_DIGI16_2_LEVEL, 0xABCD);
    else
        platform::write_be32(record + INPUT_DIGI32_LEVEL, 0xDEADBEEF);
}

// Written: the host writes the port's level before each call, on both sides.
template <std::uint32_t Mode, bool Written = false>
void digital(benchmark::State& state, bool timeout) {
    run_element e;
    input_config& c = e.config();
    compare_every_port(c);
    input_record record = levels_meeting_every_port();
    c.input_mode = Mode;
    if (timeout) {
        // An hour away: every call reads the clock and keeps waiting on the pattern.
        c.flags |= FLAG_TIMEOUT;
        c.timeout_sec = 3600;
        start_timeout_clock(e, record);
    }
    element_handle* handle = e.handle();
    std::uint8_t* levels = record.bytes.data();
    const void* bytes = levels;
    const auto check = plugin().vexa_check_input_value;
    const check_function floor = digital_floor(Mode, timeout);
    if (check(handle, bytes, 0) != RES_OK || floor(handle, bytes, 0) != RES_OK) {
        state.SkipWithError("the record does not meet the condition");
        return;
    }
    // The timing loop names the plug-in's call lambda #1 and its baseline's #2
    // (instruction_ratios.sh).
    compare(
        state,
        [&] {
            if constexpr (Written)
                write_level<Mode>(levels);
            benchmark::DoNotOptimize(check(handle, bytes, 0));
        },
        [&] {
            if constexpr (Written)
                write_level<Mode>(levels);
            benchmark::DoNotOptimize(floor(handle, bytes, 0));
        },
        DIGITAL_TARGET, DIGITAL_CALLS,
        [&] {
            if constexpr (Written)
                write_level<Mode>(levels);
            const input_config* config = &c;
            const std::uint8_t* read = levels;
            benchmark::DoNotOptimize(config);
            benchmark::DoNotOptimize(read);
            benchmark::DoNotOptimize(port_met<Mode>(*config, read));
        });
}

// A comparison text of `length` stored characters on serial interface 1 and
// a received text that meets it: the same text, or (substring) the same text
// at the end of 200 received characters.
void serial(benchmark::State& state, bool substring, std::size_t length, bool markers) {
    run_element e;
    input_config& c = e.config();
    c.input_mode = INPUT_SERIAL_1;
    c.flags = substring ? FLAG_SERIAL1_SUBSTRING : FLAG_SERIAL1_FULL;
    const std::string text = comparison_text(length, markers);
    std::strcpy(c.compare_text1, text.c_str());
    std::string received = with_line_ends(text);
    if (substring)
        received = std::string(200 - received.size(), 'x') + received;
    input_record record;
    record.serial(1, received);

    element_handle* handle = e.handle();
    const void* bytes = record.data();
    const auto check = plugin().vexa_check_input_value;
    const check_function floor = serial_floor(substring);
    if (check(handle, bytes, 0) != RES_OK || floor(handle, bytes, 0) != RES_OK) {
        state.SkipWithError("the record does not meet the condition");
        return;
    }
    compare(
        state, [&] { benchmark::DoNotOptimize(check(handle, bytes, 0)); },
        [&] { benchmark::DoNotOptimize(floor(handle, bytes, 0)); }, SERIAL_TARGET, SERIAL_CALLS);
}

void set_wait_message(input_config& c, const char* message) {
    std::memset(c.wait_message, 0, sizeof c.wait_message);
    for (std::size_t i = 0; message[i] != 0; ++i)
        c.wait_message[2 * i + 1] = static_cast<std::uint8_t>(message[i]);
}

// Every record keeps the element waiting and sends the message anew.
void wait_with_message(benchmark::State& state) {
    run_element e;
    input_config& c = e.config();
    c.input_mode = INPUT_DIGI8_1;
    c.digi8_mask[0] = 0x01;
    c.digi8_value[0] = 0x01;
    c.flags = FLAG_SHOW_MESSAGE;
    set_wait_message(c, "Waiting for inputs...");
    input_record record; // bit 0 clear: not met
    element_handle* handle = e.handle();
    const void* bytes = record.data();
    const auto check = plugin().vexa_check_input_value;
    if (check(handle, bytes, 0) != RES_WAIT || e.sink.received != 1) {
        state.SkipWithError("no wait with a message");
        return;
    }
    compare(
        state, [&] { benchmark::DoNotOptimize(check(handle, bytes, 0)); },
        [&] { benchmark::DoNotOptimize(floor_wait_with_message(handle, bytes, 0)); }, 0, 1000);
    state.counters["records_per_s"] = 1e9 / state.counters["ns"];
}

void result_data(benchmark::State& state) {
    run_element e;
    input_config& c = e.config();
    compare_every_port(c);
    c.input_mode = INPUT_DIGI16_1;
    std::strcpy(c.compare_text1, comparison_text(100, true).c_str());
    std::strcpy(c.compare_text2, comparison_text(100, true).c_str());
    element_handle* handle = e.handle();
    const auto get = plugin().vexa_get_bin_value;
    const auto release = plugin().vexa_release_bin_data;
    std::uint32_t io = 0;
    void* block = nullptr;
    std::int32_t controller = 0, second = 0;
    compare(
        state,
        [&] {
            benchmark::DoNotOptimize(get(handle, &io, &block, &controller, &second));
            release(handle);
        },
        [&] {
            benchmark::DoNotOptimize(hand_bin_value(handle, &io, &block, &controller, &second));
            hand_release(block);
        },
        0, 200);
}

// The whole of a 200-character received text forwarded to IN2 and IN5.
void forwarding(benchmark::State& state) {
    run_element e;
    input_config& c = e.config();
    c.input_mode = INPUT_SERIAL_1;
    c.flags = FLAG_FORWARD_IN2 | FLAG_FORWARD_IN5; // any text meets the condition
    input_record record;
    record.serial(1, comparison_text(200, false));
    element_handle* handle = e.handle();
    if (plugin().vexa_check_input_value(handle, record.data(), 0) != RES_CUSTOM_OPERATION) {
        state.SkipWithError("nothing to forward");
        return;
    }
    constexpr std::int32_t capacity = 4 * 201;
    operation_record op(capacity, capacity);
    operation_record hand_op(capacity, capacity);
    const auto get = plugin().vexa_get_custom_operation;
    compare(
        state, [&] { benchmark::DoNotOptimize(get(handle, op.data())); },
        [&] { benchmark::DoNotOptimize(hand_forward(handle, hand_op.data())); }, 0, 200);
    if (op.bytes != hand_op.bytes)
        state.SkipWithError("the baseline forwards something else");
}

// One element evaluated while `others` more are alive.
void evaluation_scaling(benchmark::State& state) {
    std::vector<std::unique_ptr<run_element>> others;
    for (std::int64_t i = 0; i < state.range(0); ++i)
        others.push_back(std::make_unique<run_element>());
    state.counters["others"] = static_cast<double>(state.range(0));
    digital<INPUT_DIGI8_1>(state, false);
}

template <std::uint32_t Mode> void register_digital(const char* name) {
    benchmark::RegisterBenchmark((std::string("digital/") + name).c_str(), digital<Mode>, false)
        ->Apply(paired);
    benchmark::RegisterBenchmark((std::string("digital/") + name + "+written").c_str(),
                                 digital<Mode, true>, false)
        ->Apply(paired);
    benchmark::RegisterBenchmark((std::string("digital/") + name + "+timeout").c_str(),
                                 digital<Mode>, true)
        ->Apply(paired);
}

} // namespace

void register_run_benchmarks() {
    register_digital<INPUT_DIGI8_1>("digi8_1");
    register_digital<INPUT_DIGI8_2>("digi8_2");
    register_digital<INPUT_DIGI16_1>("digi16_1");
    register_digital<INPUT_DIGI16_2>("digi16_2");
    register_digital<INPUT_DIGI32>("digi32");
    for (bool substring : {false, true})
        for (std::size_t length : {10, 100, 200})
            for (bool markers : {false, true}) {
                const std::string name = std::string("serial/") +
                                         (substring ? "substring/" : "full/") +
                                         std::to_string(length) + (markers ? "+markers" : "");
                benchmark::RegisterBenchmark(name.c_str(), serial, substring, length, markers)
                    ->Apply(paired);
            }
    benchmark::RegisterBenchmark("wait_with_message", wait_with_message)->Apply(paired);
    benchmark::RegisterBenchmark("result_data", result_data)->Apply(paired);
    benchmark::RegisterBenchmark("forwarding", forwarding)->Apply(paired);
    benchmark::RegisterBenchmark("scaling/evaluation", evaluation_scaling)
        ->Arg(1)
        ->Arg(100)
        ->Arg(10000)
        ->Apply(paired);
}

} // namespace bench
