// Plays a host that makes long random sequences of legal calls on several
// elements and checks, after every step, what the plug-in shows against the
// validator's own model (model.h). A failure names the seed and the step, so
//   validator --seed N --steps M
// replays it exactly.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/app.h>
#include <wx/init.h>

#include "test_support/machine_facilities.h"
#include "validator.h"

extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

using namespace validator;

namespace {

void on_sanitizer_death() {
    report_context();
}

bool parse(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seed" && i + 1 < argc)
            info.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--steps" && i + 1 < argc)
            info.steps = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--trace")
            info.trace = true;
        else
            return false;
    }
    return info.steps > 0;
}

} // namespace

int main(int argc, char** argv) {
    if (!parse(argc, argv)) {
        std::fprintf(stderr, "usage: validator [--seed N] [--steps N] [--trace]\n");
        return 2;
    }
    int toolkit_argc = 1;
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(toolkit_argc, argv)) {
        std::fprintf(stderr, "skipped: the toolkit cannot start here: no display could be "
                             "opened (run under xvfb-run)\n");
        return MISSING_FACILITY_EXIT_CODE;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(on_toolkit_assert);
    if (__sanitizer_set_death_callback != nullptr)
        __sanitizer_set_death_callback(on_sanitizer_death);

    std::printf("validator: seed %llu, %ld steps\n", static_cast<unsigned long long>(info.seed),
                info.steps);
    {
        session host(info.seed);
        host.start();
        for (info.step = 1; info.step <= info.steps; ++info.step)
            host.step();
        info.step = info.steps;
        host.finish();
    }
    std::printf("validator: %ld steps clean\n", info.steps);
    std::printf("  panels built %ld, selections filling the panel %ld, GUI resets %ld\n"
                "  edits applied %ld, ignored %ld, on old panels %ld\n"
                "  bit clicks on X %ld, on 0 %ld, on 1 %ld, on another label %ld\n"
                "  loads %ld (older versions %ld, short %ld), save round trips %ld\n"
                "  evaluations: wait %ld, met %ld, ignored %ld, invalid %ld, follow-up %ld\n"
                "  follow-ups fetched %ld, result-data blocks %ld\n",
                seen.panels_built, seen.fills, seen.resets, seen.edits_applied, seen.edits_ignored,
                seen.stale_edits, seen.bit_clicks[0], seen.bit_clicks[1], seen.bit_clicks[2],
                seen.bit_clicks[3], seen.loads, seen.old_version_loads, seen.short_loads,
                seen.saves, seen.waits, seen.met, seen.ignored, seen.invalid, seen.custom,
                seen.follow_ups, seen.result_blocks);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
