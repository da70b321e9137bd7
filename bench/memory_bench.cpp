// Memory: what one element instance costs on the heap, and whether whole
// element lives (create, load, evaluate, delete) leave anything behind.
#include <malloc.h>

#include <cstring>
#include <memory>

#include "bench_support.h"

namespace bench {
namespace {

constexpr int ELEMENTS = 10000;
constexpr long CYCLES = 100000;
constexpr long WARM_UP_CYCLES = 1000;

long heap_in_use() {
    return static_cast<long>(mallinfo2().uordblks);
}

// Heap bytes per element: created, then holding a received text of 200
// characters (the one allocation an element makes after its creation).
void bytes_per_element(benchmark::State& state) {
    std::vector<std::unique_ptr<host_element>> elements;
    for (int i = 0; i < ELEMENTS; ++i)
        elements.push_back(std::make_unique<host_element>());
    input_record record;
    record.serial(1, comparison_text(200, false));
    // What lasts as long as the library (the panel object, the converter's
    // tables) is made by a first element, not counted.
    {
        run_element first;
        first.config().input_mode = INPUT_SERIAL_1;
        plugin().vexa_check_input_value(first.handle(), record.data(), 0);
    }
    for (auto _ : state) {
        const long before = heap_in_use();
        for (auto& e : elements)
            plugin().vexa_create_instance(e->handle(), nullptr);
        const long created = heap_in_use();
        for (auto& e : elements) {
            record_of(*e).config.input_mode = INPUT_SERIAL_1;
            plugin().vexa_check_input_value(e->handle(), record.data(), 0);
        }
        const long with_text = heap_in_use();
        for (auto& e : elements)
            plugin().vexa_delete_instance(e->handle());
        state.counters["created_bytes"] = static_cast<double>(created - before) / ELEMENTS;
        state.counters["with_text_bytes"] = static_cast<double>(with_text - before) / ELEMENTS;
        state.counters["record_bytes"] = sizeof(instance_data);
    }
}

void cycles(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = steady::now();
        const cycle_result result = element_cycles(CYCLES);
        state.counters["us_per_cycle"] = ms_since(start) * 1000 / CYCLES;
        state.counters["leaked_bytes"] = static_cast<double>(result.heap_growth);
        if (!result.as_expected)
            state.SkipWithError("a cycle answered otherwise than expected");
    }
}

} // namespace

cycle_result element_cycles(long cycles) {
    // One configuration touching every allocation: a serial wait with a
    // message (a new string per wait), a timeout, forwarding (a block of
    // text) and the result-data block.
    host_element element;
    message_sink sink;
    element->sink = &sink;
    plugin().vexa_create_instance(element.handle(), nullptr);
    input_config& c = record_of(element).config;
    c.input_mode = INPUT_SERIAL_1;
    c.flags = FLAG_SERIAL1_FULL | FLAG_SHOW_MESSAGE | FLAG_TIMEOUT | FLAG_FORWARD_IN3;
    c.timeout_sec = 60;
    c.timeout_action = ACTION_STOP;
    std::strcpy(c.compare_text1, comparison_text(100, true).c_str());
    const std::vector<std::uint8_t> saved = save_bytes(element.handle());
    plugin().vexa_delete_instance(element.handle());

    input_record waiting;
    waiting.serial(1, "not yet");
    input_record matching;
    matching.serial(1, with_line_ends(comparison_text(100, true)));
    operation_record operation(4 * 201, 4 * 201);
    const plugin_library& p = plugin();
    auto one_cycle = [&] {
        element_handle* h = element.handle();
        p.vexa_create_instance(h, nullptr);
        p.vexa_set_loaded_data(h, static_cast<std::uint32_t>(saved.size()),
                               reinterpret_cast<const char*>(saved.data()));
        std::int32_t controller = 0, second = 0;
        p.vexa_continuous_stream(h, &controller, &second);
        bool as_expected = p.vexa_check_input_value(h, waiting.data(), 0) == RES_WAIT;
        as_expected &= p.vexa_check_input_value(h, matching.data(), 0) == RES_CUSTOM_OPERATION;
        as_expected &= p.vexa_get_custom_operation(h, operation.data()) == RES_OK;
        std::uint32_t io = 0;
        void* block = nullptr;
        as_expected &= p.vexa_get_bin_value(h, &io, &block, &controller, &second) == RES_OK;
        p.vexa_release_bin_data(h);
        p.vexa_delete_instance(h);
        return as_expected;
    };
    // The first lives make what lasts as long as the library (the panel
    // object, the toolkit's stock colours); they are not the elements'.
    cycle_result result;
    for (long i = 0; i < WARM_UP_CYCLES; ++i)
        result.as_expected &= one_cycle();
    const long before = heap_in_use();
    for (long i = 0; i < cycles; ++i)
        result.as_expected &= one_cycle();
    result.heap_growth = heap_in_use() - before;
    result.messages = sink.received;
    return result;
}

void register_memory_benchmarks() {
    benchmark::RegisterBenchmark("memory/bytes_per_element", bytes_per_element)->Iterations(1);
    benchmark::RegisterBenchmark("memory/cycles", cycles)->Iterations(1);
}

} // namespace bench
