// What the benchmarks share: timing a plug-in call against its baseline in
// the same run, millisecond figures for the panel, and the host's side.
//
// The machine these run on is shared, so no figure is a plain mean: calls
// are timed in batches, the batches of the plug-in and of its baseline
// alternate, and each figure is the median over batches. A batch that the
// scheduler interrupted is an outlier and drops out of the median.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include <benchmark/benchmark.h>

#include "host_kit/host_records.h"
#include "test_support/test_host.h"

namespace bench {

using steady = std::chrono::steady_clock;

double median(std::vector<double> values);

// Nanoseconds per call over `calls` calls of `op`.
template <class Op> [[gnu::noinline]] double ns_per_call(Op& op, int calls) {
    const auto start = steady::now();
    for (int i = 0; i < calls; ++i)
        op();
    return std::chrono::duration<double, std::nano>(steady::now() - start).count() / calls;
}

// Counters of a compared pair: "ns" (plug-in, per call), "base_ns", "ratio"
// (ns / base_ns) and "target" (the largest acceptable ratio); "scale_ns"
// when a third operation was timed for scale; "calls" made of each.
void report_pair(benchmark::State& state, const std::vector<double>& measured,
                 const std::vector<double>& baseline, const std::vector<double>& scale,
                 double target, int calls);

struct no_scale {
    void operator()() const {}
};

// Times `measured` (one plug-in call) against `baseline` (the least work the
// call's semantics require, done by hand), and optionally `scale`, in
// alternating batches of `calls` calls. The benchmark's time is the plug-in's.
// Register it with Apply(paired).
template <class Measured, class Baseline, class Scale = no_scale>
void compare(benchmark::State& state, Measured measured, Baseline baseline, double target,
             int calls, Scale scale = {}) {
    constexpr bool has_scale = !std::is_same_v<Scale, no_scale>;
    std::vector<double> m, b, s;
    bool measured_first = true;
    for (auto _ : state) {
        double tm = 0, tb = 0;
        if (measured_first) {
            tm = ns_per_call(measured, calls);
            tb = ns_per_call(baseline, calls);
        } else {
            tb = ns_per_call(baseline, calls);
            tm = ns_per_call(measured, calls);
        }
        measured_first = !measured_first;
        if constexpr (has_scale)
            s.push_back(ns_per_call(scale, calls));
        m.push_back(tm);
        b.push_back(tb);
        state.SetIterationTime(tm * calls * 1e-9);
    }
    report_pair(state, m, b, s, target, calls);
}

// Set by --iterations=N: every paired benchmark then runs exactly N batches
// (for counting instructions per call under callgrind).
extern benchmark::IterationCount fixed_iterations;
// Registration of a paired benchmark: manual time, fixed batches when asked.
void paired(benchmark::internal::Benchmark* b);

// Counters of a panel figure: "ms" (median per operation) and "limit_ms".
void report_ms(benchmark::State& state, const std::vector<double>& ms, double limit_ms);

// Milliseconds since `start`.
inline double ms_since(steady::time_point start) {
    return std::chrono::duration<double, std::milli>(steady::now() - start).count();
}

// Takes over the wait messages it receives and frees them, as a host does.
class message_sink final : public host_sink {
public:
    void receive_event(wxCommandEvent& event) override;
    std::uint64_t received = 0;
    ~message_sink() = default;
};

// An element created through the plug-in, without a panel, its events going
// to a message sink. Its configuration is set in the element's record, as a
// panel edit or a load would leave it.
struct run_element {
    host_element element;
    message_sink sink;

    run_element();
    ~run_element();
    run_element(const run_element&) = delete;
    run_element& operator=(const run_element&) = delete;
    element_handle* handle() { return element.handle(); }
    instance_data& record() { return record_of(element); }
    input_config& config() { return record().config; }
};

// A comparison text of `length` stored characters: letters, ending in
// "[CR][LF]" when `markers` is set.
std::string comparison_text(std::size_t length, bool markers);
// `text` with its markers replaced, as the received bytes that match it.
std::string with_line_ends(const std::string& text);

// Registration, one function per file.
void register_run_benchmarks();
void register_save_benchmarks();
void register_panel_benchmarks();
void register_memory_benchmarks();

// Whether the toolkit started (the panel benchmarks need a display).
bool toolkit_running();

// Create / load / evaluate / delete cycles of one element, as the leak check
// runs them, after a warm-up.
struct cycle_result {
    long heap_growth = 0;    // bytes in use after the cycles minus before
    bool as_expected = true; // every call answered as the configuration says
    std::uint64_t messages = 0;
};
cycle_result element_cycles(long cycles);

} // namespace bench
