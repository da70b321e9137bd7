// Saving and loading an element's configuration against copying and
// byte-swapping the same fields by hand.
#include <cstring>

#include "baselines.h"
#include "bench_support.h"
#include "test_support/save_records.h"

namespace bench {
namespace {

constexpr double SAVE_TARGET = 2.0;
constexpr int SAVE_CALLS = 500;

// Every saved field set; with `long_texts`, both comparison texts fill their
// 200 characters and the message its 120.
input_config saved_config(bool long_texts) {
    input_config c = every_field_config();
    std::strcpy(c.compare_text2, "ABC");
    if (long_texts) {
        std::strcpy(c.compare_text1, comparison_text(COMPARE_TEXT_CAPACITY, true).c_str());
        std::strcpy(c.compare_text2, comparison_text(COMPARE_TEXT_CAPACITY, false).c_str());
        for (std::size_t i = 0; i < SAVE_WAIT_MESSAGE_SIZE; i += 2)
            c.wait_message[i + 1] = static_cast<std::uint8_t>('a' + i / 2 % 26);
    }
    return c;
}

void save(benchmark::State& state, bool long_texts) {
    run_element e;
    e.config() = saved_config(long_texts);
    element_handle* handle = e.handle();
    const auto get = plugin().vexa_get_save_data;
    std::uint32_t length = 0, hand_length = 0;
    const char* saved = get(handle, &length);
    const char* by_hand = hand_save(handle, &hand_length);
    if (length != hand_length || std::memcmp(saved, by_hand, length) != 0) {
        state.SkipWithError("the baseline writes another record");
        return;
    }
    compare(
        state, [&] { benchmark::DoNotOptimize(get(handle, &length)); },
        [&] { benchmark::DoNotOptimize(hand_save(handle, &hand_length)); }, SAVE_TARGET,
        SAVE_CALLS);
}

void load(benchmark::State& state, std::int16_t version, bool long_texts) {
    run_element e;
    e.config() = saved_config(long_texts);
    std::vector<std::uint8_t> record = save_bytes(e.handle());
    platform::write_be16(record.data() + SAVE_VERSION, static_cast<std::uint16_t>(version));
    const char* data = reinterpret_cast<const char*>(record.data());
    const auto size = static_cast<std::uint32_t>(record.size());

    element_handle* handle = e.handle();
    const auto set = plugin().vexa_set_loaded_data;
    set(handle, size, data);
    const input_config loaded = e.config();
    hand_load(handle, size, data);
    if (std::memcmp(&loaded, &e.config(), sizeof loaded) != 0) {
        state.SkipWithError("the baseline loads another configuration");
        return;
    }
    compare(
        state, [&] { benchmark::DoNotOptimize(set(handle, size, data)); },
        [&] { benchmark::DoNotOptimize(hand_load(handle, size, data)); }, SAVE_TARGET, SAVE_CALLS);
}

} // namespace

void register_save_benchmarks() {
    for (bool long_texts : {false, true}) {
        const std::string texts = long_texts ? "+long_texts" : "";
        benchmark::RegisterBenchmark(("save/v5" + texts).c_str(), save, long_texts)->Apply(paired);
        for (std::int16_t version : {5, 1})
            benchmark::RegisterBenchmark(("load/v" + std::to_string(version) + texts).c_str(), load,
                                         version, long_texts)
                ->Apply(paired);
    }
}

} // namespace bench
