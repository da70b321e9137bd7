// The suite's driver: starts the toolkit when a display is there, runs every
// benchmark three times (unless told otherwise), shows the medians and ends
// with a summary of each figure against its target.
//
// With --cycles=N it runs only the leak check's workload, N element lives
// without the toolkit and without timing, for a run under valgrind. With
// --iterations=N every paired benchmark runs N batches exactly.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include <wx/app.h>
#include <wx/init.h>

#include "bench_support.h"

namespace bench {
namespace {

bool toolkit = false;

using run_report = benchmark::BenchmarkReporter::Run;

std::string key_of(const run_report& run) {
    return run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
}

// Shows the median of repeated runs (or the single run) and keeps it.
class median_reporter : public benchmark::ConsoleReporter {
public:
    median_reporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<run_report>& runs) override {
        std::vector<run_report> shown;
        for (const run_report& run : runs) {
            const bool single = run.run_type == run_report::RT_Iteration && run.repetitions <= 1;
            const bool median =
                run.run_type == run_report::RT_Aggregate && run.aggregate_name == "median";
            const bool first_error = run.error_occurred && run.repetition_index <= 0;
            if (single || median || first_error)
                shown.push_back(run);
            if ((single || median) && !run.error_occurred)
                results[key_of(run)] = run;
        }
        if (!shown.empty())
            ConsoleReporter::ReportRuns(shown);
    }

    std::map<std::string, run_report> results;
};

double counter(const run_report& run, const char* name) {
    const auto found = run.counters.find(name);
    return found == run.counters.end() ? NAN : found->second.value;
}

const run_report* find(const std::map<std::string, run_report>& results, const std::string& key) {
    const auto found = results.find(key);
    return found == results.end() ? nullptr : &found->second;
}

std::string verdict(double value, double limit) {
    if (std::isnan(value))
        return "not run";
    if (value <= limit)
        return "met";
    char text[64];
    std::snprintf(text, sizeof text, "MISSED by %.0f%%", (value / limit - 1) * 100);
    return text;
}

void print_ratios(const std::map<std::string, run_report>& results) {
    std::printf("\n%-32s %10s %10s %7s %7s  %s\n", "Against the baseline", "plug-in", "baseline",
                "ratio", "target", "");
    for (const auto& [name, run] : results) {
        const double ratio = counter(run, "ratio");
        if (std::isnan(ratio) || name.rfind("scaling/", 0) == 0)
            continue;
        const double target = counter(run, "target");
        std::printf("%-32s %7.1f ns %7.1f ns %7.2f", name.c_str(), counter(run, "ns"),
                    counter(run, "base_ns"), ratio);
        if (std::isnan(target))
            std::printf(" %7s  %s", "-", "(figure only)");
        else
            std::printf(" %7.2f  %s", target, verdict(ratio, target).c_str());
        const double scale = counter(run, "scale_ns");
        if (!std::isnan(scale))
            std::printf(" (inline compare %.1f ns)", scale);
        std::printf("\n");
    }
}

void print_panel(const std::map<std::string, run_report>& results) {
    std::printf("\n%-32s %10s %10s\n", "Panel", "median", "limit");
    for (const auto& [name, run] : results) {
        const double limit = counter(run, "limit_ms");
        if (std::isnan(limit) || limit <= 0)
            continue;
        const double ms = counter(run, "ms");
        std::printf("%-32s %7.2f ms %7.1f ms  %s\n", name.c_str(), ms, limit,
                    verdict(ms, limit).c_str());
    }
}

// Evaluation must not grow with the element count: within 25% of the
// figure with one other element, the margin of this machine's noise.
void print_scaling(const std::map<std::string, run_report>& results) {
    std::printf("\nScaling\n");
    const run_report* one = find(results, "scaling/evaluation/1");
    if (one != nullptr) {
        double worst = 1;
        std::printf("  evaluation with 1 / 100 / 10000 other elements alive:");
        for (const char* count : {"1", "100", "10000"})
            if (const run_report* run = find(results, std::string("scaling/evaluation/") + count)) {
                std::printf(" %.2f", counter(*run, "ns"));
                worst = std::max(worst, counter(*run, "ns") / counter(*one, "ns"));
            }
        std::printf(" ns; worst / first %.2f (target <= 1.25): %s\n", worst,
                    verdict(worst, 1.25).c_str());
    }
    // At most linear: ten times the elements may cost at most ten times as much.
    for (const char* family :
         {"panel/select", "panel/select_renamed", "panel/select_other_project"}) {
        const std::string base = family;
        const run_report* runs[] = {find(results, base + "/20"), find(results, base + "/200"),
                                    find(results, base + "/2000")};
        if (!runs[0] || !runs[1] || !runs[2])
            continue;
        const double ms[] = {counter(*runs[0], "ms"), counter(*runs[1], "ms"),
                             counter(*runs[2], "ms")};
        const double growth = std::max(ms[1] / ms[0], ms[2] / ms[1]);
        std::printf("  %s with 20 / 200 / 2000 elements: %.2f / %.2f / %.2f ms; largest growth "
                    "per tenfold count %.1f (target <= 10): %s\n",
                    family, ms[0], ms[1], ms[2], growth, verdict(growth, 10).c_str());
    }
}

void print_other(const std::map<std::string, run_report>& results) {
    std::printf("\nOther figures\n");
    if (const run_report* run = find(results, "wait_with_message"))
        std::printf("  wait with message: %.0f records per second\n",
                    counter(*run, "records_per_s"));
    if (const run_report* run = find(results, "memory/bytes_per_element"))
        std::printf("  bytes per element: %.0f created (record %.0f), %.0f holding a 200-character "
                    "received text\n",
                    counter(*run, "created_bytes"), counter(*run, "record_bytes"),
                    counter(*run, "with_text_bytes"));
    if (const run_report* run = find(results, "memory/cycles"))
        std::printf("  100000 create/load/evaluate/delete cycles: heap grew by %.0f bytes "
                    "(%.1f us per cycle): %s\n",
                    counter(*run, "leaked_bytes"), counter(*run, "us_per_cycle"),
                    counter(*run, "leaked_bytes") == 0 ? "nothing left behind" : "LEAK");
}

int run_cycles(const char* count) {
    const long cycles = std::strtol(count, nullptr, 10);
    const cycle_result result = element_cycles(cycles);
    std::printf("%ld cycles: heap grew by %ld bytes, %llu wait messages, answers %s\n", cycles,
                result.heap_growth, static_cast<unsigned long long>(result.messages),
                result.as_expected ? "as expected" : "NOT as expected");
    return result.as_expected && result.heap_growth == 0 ? 0 : 1;
}

} // namespace

bool toolkit_running() {
    return toolkit;
}

} // namespace bench

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--cycles=", 9) == 0)
            return bench::run_cycles(argv[i] + 9);
    if (!plugin().ok()) {
        std::fprintf(stderr, "%s\n", plugin().error().c_str());
        return 2;
    }

    if (std::getenv("DISPLAY") != nullptr) {
        wxApp::SetInstance(new wxApp);
        int toolkit_argc = 1; // the arguments are the benchmark library's
        bench::toolkit = wxEntryStart(toolkit_argc, argv);
        if (bench::toolkit)
            wxTheApp->CallOnInit();
    }
    if (!bench::toolkit)
        std::fprintf(stderr, "no display: the panel benchmarks are skipped\n");

    // Three repetitions unless the command line says otherwise (a later flag wins).
    std::vector<char*> args{argv[0], const_cast<char*>("--benchmark_repetitions=3")};
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--iterations=", 13) == 0)
            bench::fixed_iterations = std::strtoll(argv[i] + 13, nullptr, 10);
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    bench::register_run_benchmarks();
    bench::register_save_benchmarks();
    bench::register_panel_benchmarks();
    bench::register_memory_benchmarks();
    bench::median_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (!reporter.results.empty()) {
        bench::print_ratios(reporter.results);
        bench::print_panel(reporter.results);
        bench::print_scaling(reporter.results);
        bench::print_other(reporter.results);
    }
    benchmark::Shutdown();

    if (bench::toolkit) {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
    return 0;
}
