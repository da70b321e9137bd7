// zavud_validate: checks a build of the plug-in against the behaviour of
// ours. It loads the plug-in as a host does, plays a host that makes long
// random sequences of legal calls on several elements and checks, after every
// step, what the plug-in shows against its own model (model.h); then it loads
// stored records of every version and reads them back. A divergence names
// the seed and the step, so
//   zavud_validate PLUGIN --seed N --steps M
// replays it exactly.
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/cmdline.h>
#include <wx/init.h>
#include <wx/log.h>

#include "common/command_line.h"
#include "common/program_arguments.h"
#include "validator.h"

#if defined(_WIN32)
#include <windows.h>
#endif

// NOLINTNEXTLINE(bugprone-reserved-identifier): the sanitizer runtime's own name
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

using common::bytes;
using namespace validator;

namespace {

const wxCmdLineEntryDesc OPTIONS[] = {
    {wxCMD_LINE_OPTION, nullptr, "steps", "random host calls to make (default 20000)",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_OPTION, nullptr, "seed",
     "seed of the random calls (default 1); another seed makes other sequences",
     wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_SWITCH, nullptr, "trace", "print every call on standard error as it is made",
     wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, "h", "help", "show this text", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_SWITCH, nullptr, "version", "show the program's version", wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_USAGE_TEXT, nullptr, nullptr,
     "PLUGIN is the plug-in library to check, any build of it (a name without a folder is "
     "taken from the current folder). It is loaded as a host loads it and driven through its "
     "14 entry points; its panel needs a display (xvfb-run without one).\nExit status: 0 the "
     "plug-in behaves like ours, 1 it does not (the first divergence is shown with the calls "
     "that led to it and the command that replays them), 2 it cannot be checked (bad "
     "arguments, a library that does not load or lacks an entry point, no display).",
     wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_PARAM, nullptr, nullptr, "PLUGIN", wxCMD_LINE_VAL_STRING, 0},
    {wxCMD_LINE_NONE, nullptr, nullptr, nullptr, wxCMD_LINE_VAL_NONE, 0}};

std::string usage_text() {
    wxCmdLineParser parser(OPTIONS);
    common::set_arguments(parser, L"zavud_validate", {});
    parser.SetLogo("Checks a build of the Custom Input plug-in against the behaviour of ours.");
    return parser.GetUsageString().utf8_string();
}

// Digits only, at most `most`: "" when it is that, else why not.
std::string read_count(const wxString& text, const char* option, unsigned long long most,
                       unsigned long long& value) {
    const std::string digits = bytes(text);
    value = 0;
    bool ok = !digits.empty() && digits.size() <= 20;
    for (char c : digits) {
        if (!ok || c < '0' || c > '9' || value > (most - static_cast<unsigned>(c - '0')) / 10) {
            ok = false;
            break;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return ok ? std::string()
              : std::string("--") + option + ": \"" + digits + "\" is not a number from 0 to " +
                    std::to_string(most);
}

struct options {
    bool help = false, version = false;
    std::string plugin;
};

// "" or what is wrong with the command line.
std::string parse(const std::vector<std::string>& args, options& out) {
    // Asked alone, before the parser that wants a plug-in.
    if (args.size() == 1 && (args[0] == "--version" || args[0] == "--help" || args[0] == "-h")) {
        (args[0] == "--version" ? out.version : out.help) = true;
        return {};
    }
    wxCmdLineParser parser(OPTIONS);
    common::set_arguments(parser, L"zavud_validate", args);
    std::string refusal = common::parse_quietly(parser);
    if (!refusal.empty())
        return refusal;
    wxString value;
    unsigned long long number = 0;
    if (parser.Found("steps", &value)) {
        std::string error = read_count(value, "steps", LONG_MAX, number);
        if (!error.empty())
            return error;
        info.steps = static_cast<long>(number);
    }
    if (parser.Found("seed", &value)) {
        std::string error = read_count(value, "seed", UINT64_MAX, number);
        if (!error.empty())
            return error;
        info.seed = number;
    }
    info.trace = parser.Found("trace");
    out.help = parser.Found("help");
    out.version = parser.Found("version");
    out.plugin = bytes(parser.GetParam(0));
    if (out.plugin.empty())
        return "PLUGIN is empty";
    return {};
}

// A name without a folder means the file in the current folder, as on any
// command line; the loader would search the system's folders for it.
std::string as_path(const std::string& name) {
#if defined(_WIN32)
    return name.find_first_of("\\/:") == std::string::npos ? ".\\" + name : name;
#else
    return name.find('/') == std::string::npos ? "./" + name : name;
#endif
}

[[noreturn]] void crashed(const char* what) {
    (void)std::fprintf(
        stderr, "zavud_validate: divergence: the process crashed (%s) in the last call\n", what);
    report_context();
    std::_Exit(EXIT_DIVERGENCE);
}

// A crash in the plug-in is the plainest divergence: it is reported with
// the calls that led to it rather than left to the system. Best effort: the
// process is lost anyway. Sanitizer builds report through their own handler.
#if defined(_WIN32)
LONG WINAPI on_crash(EXCEPTION_POINTERS* exception) {
    char what[40];
    (void)std::snprintf(what, sizeof what, "exception 0x%08lX",
                        static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    crashed(what);
}
void report_crashes() {
    SetUnhandledExceptionFilter(on_crash);
}
#else
void on_crash(int signal) {
    crashed(strsignal(signal));
}
void report_crashes() {
    for (int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT})
        (void)std::signal(signal, on_crash);
}
#endif

void on_sanitizer_death() {
    report_context();
}

// Ends the toolkit on every way out once it runs, refusals included: what
// it holds is freed (the sanitizer build checks for leaks).
struct running_toolkit {
    running_toolkit() = default;
    running_toolkit(const running_toolkit&) = delete;
    running_toolkit& operator=(const running_toolkit&) = delete;
    ~running_toolkit() {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
};

int unusable(const std::string& why) {
    (void)std::fprintf(stderr, "zavud_validate: %s\n", why.c_str());
    return EXIT_UNUSABLE;
}

int run(int argc, char** argv) {
    options o;
    const std::string error = parse(common::program_arguments(argc, argv), o);
    if (!error.empty()) {
        (void)std::fprintf(stderr, "zavud_validate: %s\n%s", error.c_str(), usage_text().c_str());
        return EXIT_UNUSABLE;
    }
    if (o.help) {
        (void)std::fputs(usage_text().c_str(), stdout);
        return EXIT_SAME;
    }
    if (o.version) {
        (void)std::printf("zavud_validate %s\n", ZAVUD_VERSION);
        return EXIT_SAME;
    }
    info.plugin = o.plugin;

    // Without a display the toolkit's start fails and logs its own lines;
    // ours says what to do, in one.
    wxLog::EnableLogging(false);
    int toolkit_argc = 1;
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(toolkit_argc, argv))
        return unusable("no display for the plug-in's panel: run it under xvfb-run");
    const running_toolkit toolkit;
    wxLog::EnableLogging(true);
    wxTheApp->CallOnInit();
    wxSetAssertHandler(on_toolkit_assert);

    // Loaded once the toolkit runs, as a host loads its plug-ins.
    plugin_library library(as_path(o.plugin));
    if (!library.ok())
        return unusable(library.error());
    if (!virtual_clock::attach(library.native_handle()))
        return unusable(o.plugin + ": its clock cannot be driven (it imports no _time64)");

    if (__sanitizer_set_death_callback != nullptr)
        __sanitizer_set_death_callback(on_sanitizer_death);
    else
        report_crashes();

    (void)std::printf("zavud_validate: %s, seed %llu, %ld steps\n", o.plugin.c_str(),
                      static_cast<unsigned long long>(info.seed), info.steps);
    (void)std::fflush(stdout);
    session host(library, info.seed);
    host.start();
    for (info.step = 1; info.step <= info.steps; ++info.step)
        host.step();
    info.step = info.steps;
    (void)std::printf("  panels built %ld, selections filling the panel %ld, GUI resets %ld\n"
                      "  edits applied %ld, ignored %ld, on old panels %ld\n"
                      "  bit clicks on X %ld, on 0 %ld, on 1 %ld, on another label %ld\n"
                      "  loads %ld (older versions %ld, short %ld), save round trips %ld\n"
                      "  evaluations: wait %ld, met %ld, ignored %ld, invalid %ld, follow-up %ld\n"
                      "  follow-ups fetched %ld, result-data blocks %ld\n",
                      seen.panels_built, seen.fills, seen.resets, seen.edits_applied,
                      seen.edits_ignored, seen.stale_edits, seen.bit_clicks[0], seen.bit_clicks[1],
                      seen.bit_clicks[2], seen.bit_clicks[3], seen.loads, seen.old_version_loads,
                      seen.short_loads, seen.saves, seen.waits, seen.met, seen.ignored,
                      seen.invalid, seen.custom, seen.follow_ups, seen.result_blocks);
    (void)std::printf("%ld steps, 0 divergences\n", info.steps);
    (void)std::fflush(stdout);
    info.in_records = true;
    const int records = host.check_example_records();
    host.finish();
    (void)std::printf(
        "%d example records of versions 1 to %d loaded and read back, 0 divergences\n", records,
        SAVE_FORMAT_VERSION);
    return EXIT_SAME;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        return unusable(std::string("unexpected failure: ") + e.what());
    } catch (...) {
        return unusable("unexpected failure");
    }
}
