// The configuration panel under a display, in milliseconds: building it,
// selecting an element, one bit-button edit with its refresh.
#include <wx/app.h>
#include <wx/frame.h>

#include "bench_support.h"
#include "test_support/panel_host.h"

namespace bench {
namespace {

constexpr double BUILD_LIMIT_MS = 50;
constexpr double SELECT_LIMIT_MS = 5;
constexpr double EDIT_LIMIT_MS = 2;
constexpr std::int64_t PROJECT_ELEMENTS = 200;

// Lets the toolkit lay out and draw what the last call changed, as the
// host's event loop would, outside the timing.
void settle() {
    wxYield();
}

void set_project(project_context& project, std::int64_t count, const char* prefix) {
    std::vector<wxString> names;
    std::vector<std::int32_t> ids;
    for (std::int64_t k = 0; k < count; ++k) {
        names.push_back(wxString::Format("%s %lld", prefix, static_cast<long long>(k + 1)));
        ids.push_back(static_cast<std::int32_t>(1000 + k));
    }
    project.set_elements(names, ids);
}

bool need_display(benchmark::State& state) {
    if (toolkit_running())
        return true;
    state.SkipWithError("no display: run under xvfb-run");
    return false;
}

// vexa_create_instance into an empty shown window, with every input offered
// and the timeout section: build_panel with every section.
void build(benchmark::State& state) {
    if (!need_display(state))
        return;
    auto* frame = new wxFrame(nullptr, wxID_ANY, "host");
    frame->Show();
    marking_translator translator(false);
    project_context project;
    set_project(project, PROJECT_ELEMENTS, "Element");
    std::vector<double> ms;
    for (auto _ : state) {
        plugin().vexa_reset_gui();
        plugin().vexa_set_config_info(controller_description(0, ALL_INPUTS).data());
        auto* window = new wxPanel(frame, wxID_ANY);
        host_element element;
        element->parent_window = window;
        element->translator = &translator;
        element->project = project.record();
        const auto start = steady::now();
        plugin().vexa_create_instance(element.handle(), nullptr);
        const double t = ms_since(start);
        ms.push_back(t);
        state.SetIterationTime(t / 1000);
        plugin().vexa_delete_instance(element.handle());
        window->Destroy();
        settle();
    }
    plugin().vexa_reset_gui();
    frame->Destroy();
    settle();
    report_ms(state, ms, BUILD_LIMIT_MS);
}

enum class list_change {
    none,    // the project the panel lists
    renamed, // one element renamed since the last selection
    project, // another project: every name differs
};

// vexa_select alternating between a digital element with a timeout that
// jumps and a serial element of a project of range(0) elements, the goto
// list changing between selections as `change` says.
void select(benchmark::State& state, list_change change) {
    if (!need_display(state))
        return;
    const std::int64_t count = state.range(0);
    panel_host host;
    host.describe(0, ALL_INPUTS);
    set_project(host.project, count, "Element");
    project_context other;
    set_project(other, count, "Step");
    host_element& a = host.create();
    host_element& b = host.create();
    if (change == list_change::project)
        b->project = other.record();
    input_config& ca = record_of(a).config;
    ca.input_mode = INPUT_DIGI16_1;
    ca.digi16_mask[0] = 0xC00F;
    ca.flags |= FLAG_TIMEOUT;
    ca.timeout_action = ACTION_GOTO;
    ca.goto_element = static_cast<std::int32_t>(1000 + count / 2);
    record_of(b).config.input_mode = INPUT_SERIAL_1;
    host.frame()->Show();
    host.select(a);
    settle();

    std::vector<wxString> names = *host.project.record()->element_names;
    const std::vector<std::int32_t> ids = *host.project.record()->element_ids;
    std::vector<double> ms;
    bool second = true;
    for (auto _ : state) {
        host_element& element = second ? b : a;
        second = !second;
        if (change == list_change::renamed) {
            wxString& renamed = names[static_cast<std::size_t>(count / 3)];
            renamed = renamed.EndsWith("'") ? renamed.RemoveLast() : renamed + "'";
            host.project.set_elements(names, ids);
        }
        const auto start = steady::now();
        host.select(element);
        const double t = ms_since(start);
        ms.push_back(t);
        state.SetIterationTime(t / 1000);
        refresh_log().clear();
        settle();
    }
    report_ms(state, ms, count == PROJECT_ELEMENTS ? SELECT_LIMIT_MS : 0);
    state.counters["elements"] = static_cast<double>(count);
}

// A click on a bit button of the 32-bit input: the edit, the recolour, the
// host's refresh callback and the refresh of the whole panel.
void edit_bit(benchmark::State& state) {
    if (!need_display(state))
        return;
    panel_host host;
    host.describe(0, ALL_INPUTS);
    set_project(host.project, PROJECT_ELEMENTS, "Element");
    host_element& element = host.create();
    host.select(element);
    full_panel panel(host);
    choose(panel.digi32_radio);
    wxButton* bit = panel.digi32_bits[5];
    host.frame()->Show();
    settle();

    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = steady::now();
        click(bit);
        const double t = ms_since(start);
        ms.push_back(t);
        state.SetIterationTime(t / 1000);
        refresh_log().clear();
        settle();
    }
    report_ms(state, ms, EDIT_LIMIT_MS);
}

} // namespace

void register_panel_benchmarks() {
    benchmark::RegisterBenchmark("panel/build", build)->UseManualTime()->Iterations(20);
    const std::pair<const char*, list_change> selections[] = {
        {"panel/select", list_change::none},
        {"panel/select_renamed", list_change::renamed},
        {"panel/select_other_project", list_change::project}};
    for (const auto& [name, change] : selections)
        benchmark::RegisterBenchmark(name, select, change)
            ->Arg(20)
            ->Arg(PROJECT_ELEMENTS)
            ->Arg(2000)
            ->UseManualTime()
            ->Iterations(change == list_change::project ? 10 : 100);
    benchmark::RegisterBenchmark("panel/edit_bit", edit_bit)->UseManualTime()->Iterations(200);
}

} // namespace bench
