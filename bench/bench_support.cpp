#include "bench_support.h"

#include <dlfcn.h>

#include <algorithm>
#include <ctime>

// The clock of the plug-in and of the baselines alike: the C library's own
// time(), as in a host. Defined here, it keeps the tests' virtual clock (whose
// time() asks clock_gettime, several times slower) out of this program; the
// program exports it, so the plug-in's calls come here too, and go on to the
// C library with one jump.
namespace {
using time_function = time_t (*)(time_t*);
const time_function library_time = reinterpret_cast<time_function>(dlsym(RTLD_NEXT, "time"));
} // namespace

extern "C" time_t time(time_t* out) noexcept {
    return library_time(out);
}

namespace bench {

benchmark::IterationCount fixed_iterations = 0;

void paired(benchmark::internal::Benchmark* b) {
    b->UseManualTime();
    if (fixed_iterations > 0)
        b->Iterations(fixed_iterations);
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    return values[middle];
}

void report_pair(benchmark::State& state, const std::vector<double>& measured,
                 const std::vector<double>& baseline, const std::vector<double>& scale,
                 double target, int calls) {
    state.counters["calls"] = static_cast<double>(measured.size()) * calls;
    const double ns = median(measured);
    const double base_ns = median(baseline);
    state.counters["ns"] = ns;
    state.counters["base_ns"] = base_ns;
    state.counters["ratio"] = base_ns > 0 ? ns / base_ns : 0;
    if (target > 0)
        state.counters["target"] = target;
    if (!scale.empty())
        state.counters["scale_ns"] = median(scale);
}

void report_ms(benchmark::State& state, const std::vector<double>& ms, double limit_ms) {
    state.counters["ms"] = median(ms);
    state.counters["limit_ms"] = limit_ms;
}

void message_sink::receive_event(wxCommandEvent& event) {
    delete static_cast<wxString*>(event.GetClientData());
    event.SetClientData(nullptr);
    ++received;
}

run_element::run_element() {
    element->sink = &sink;
    plugin().vexa_create_instance(handle(), nullptr);
}

run_element::~run_element() {
    plugin().vexa_delete_instance(handle());
}

std::string comparison_text(std::size_t length, bool markers) {
    const std::string line_end = markers ? "[CR][LF]" : "";
    std::string text;
    for (std::size_t i = 0; text.size() + line_end.size() < length; ++i)
        text += static_cast<char>('A' + i % 26);
    return text + line_end;
}

std::string with_line_ends(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, 4, "[CR]") == 0) {
            out += '\r';
            at += 4;
        } else if (text.compare(at, 4, "[LF]") == 0) {
            out += '\n';
            at += 4;
        } else {
            out += text[at++];
        }
    }
    return out;
}

} // namespace bench
