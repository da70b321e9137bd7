// The pictures of the reference host's guide (docs/reference_host.md), made
// by doing what the guide tells an operator: a Custom Input that waits for a
// lot label on serial interface 1 and forwards the lot number to IN2, set in
// the panel, run, and fed from the simulator. It fails (exit 1) when the
// window no longer does what the guide says, so the guide stays true.
//   for p in walk_panel walk_wait walk_run areas; do
//     xvfb-run -a -s "-screen 0 1600x1200x24" build/tests/window_tour docs $p; done
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/tglbtn.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "found_controls.h"
#include "host_kit/panel_input.h"
#include "reference_host/main_frame.h"
#include "reference_host/project_runner.h"
#include "reference_host/simulator_panel.h"

using namespace reference_host;

namespace {

constexpr int WIDTH = 1560, HEIGHT = 1180;

// Runs the event loop for a while: the toolkit draws in its loop, and a
// picture shows only what it has drawn.
void settle(int milliseconds = 400) {
    const wxLongLong end = wxGetLocalTimeMillis() + milliseconds;
    while (wxGetLocalTimeMillis() < end) {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
}

// Every window below `parent` of type T whose label is `label` (any label
// when empty), in the order of the window tree.
template <class T> void find_all(wxWindow* parent, const wxString& label, std::vector<T*>& found) {
    for (wxWindow* child : parent->GetChildren()) {
        if (auto* match = dynamic_cast<T*>(child))
            if (label.empty() || match->GetLabel() == label)
                found.push_back(match);
        find_all(child, label, found);
    }
}

template <class T> T* find(wxWindow* parent, const wxString& label = {}) {
    std::vector<T*> found;
    find_all(parent, label, found);
    return found.empty() ? nullptr : found.front();
}

struct failure {
    std::string what;
};

template <class T> T& need(T* window, const char* what) {
    if (window == nullptr)
        throw failure{std::string("the window has no ") + what};
    return *window;
}

void expect(bool holds, const std::string& what) {
    if (!holds)
        throw failure{what};
}

// A numbered mark, as the guide's lists refer to it: its centre in screen
// coordinates, beside a control or in the corner of an area.
struct mark {
    int number;
    wxPoint at;
};

constexpr int RADIUS = 14;

wxPoint after(wxWindow* part) {
    const wxRect r = need(part, "part to mark").GetScreenRect();
    return {r.GetRight() + RADIUS + 4, r.y + r.height / 2};
}

wxPoint inside(wxWindow* part) {
    const wxRect r = need(part, "part to mark").GetScreenRect();
    return {r.GetRight() - RADIUS - 6, r.y + RADIUS + 6};
}

void save(main_frame& frame, const std::vector<mark>& marks, const std::string& file) {
    frame.Refresh();
    settle();
    wxBitmap shot = frame.picture();
    expect(shot.IsOk(), "the window is not on the screen");
    {
        wxMemoryDC dc(shot);
        const wxPoint origin = frame.GetScreenPosition();
        wxFont font = frame.GetFont();
        font.SetPointSize(12);
        font.MakeBold();
        dc.SetFont(font);
        for (const mark& m : marks) {
            const wxPoint at = m.at - origin;
            dc.SetPen(wxPen(*wxWHITE, 2));
            dc.SetBrush(wxBrush(wxColour(200, 0, 0)));
            dc.DrawCircle(at, RADIUS);
            const wxString number = wxString::Format("%d", m.number);
            const wxSize size = dc.GetTextExtent(number);
            dc.SetTextForeground(*wxWHITE);
            dc.DrawText(number, at.x - size.x / 2, at.y - size.y / 2);
        }
    }
    expect(shot.ConvertToImage().SaveFile(file, wxBITMAP_TYPE_PNG), file + ": cannot be written");
    std::printf("%s\n", file.c_str());
}

// Types into a text field and leaves it, as an operator does.
void type(wxTextCtrl& field, const wxString& text) {
    panel_input::enter_text(field, text);
    panel_input::lose_focus(field);
}

void send_serial_1(main_frame& frame, const wxString& text) {
    wxWindow& simulator = need(static_cast<wxWindow*>(frame.simulator()), "simulator");
    std::vector<wxTextCtrl*> fields;
    find_all(&simulator, {}, fields);
    expect(!fields.empty(), "the simulator has no text field for Serial 1");
    panel_input::enter_text(*fields.front(), text);
    panel_input::click(need(find<wxButton>(&simulator, "Send"), "Send button"));
    settle();
}

std::string log_line(main_frame& frame, int from_end) {
    auto& log = need(find<wxListBox>(&frame), "run log");
    const int count = static_cast<int>(log.GetCount());
    return count > from_end ? log.GetString(count - 1 - from_end).utf8_string() : std::string();
}

// From an empty project to the forwarded lot number, as the guide walks
// it; `picture` says where to stop and take the picture. One picture a
// process: once the screen has been read, the toolkit here draws no more.
void walk_through(main_frame& frame, const std::string& folder, const std::string& picture) {
    frame.add_element(element_kind::custom_input);
    settle();
    found_controls panel;
    std::string missing;
    expect(find_panel(frame.property_window(), panel, missing), "the panel: " + missing);
    panel_input::choose(*panel.serial_radio[0]);
    type(*panel.compare_text[0], "LOT");
    panel_input::choose(*panel.sub_radio[0]);
    // "LOT 0815": the lot number is characters 4 to 7.
    panel_input::spin_to(*panel.forward_from, 4);
    panel_input::spin_to(*panel.forward_to, 7);
    panel_input::tick(*panel.forward_checks[0], true);
    panel_input::tick(*panel.message_check, true);
    type(*panel.message_text, "Scan the lot label");
    if (picture == "walk_panel") {
        save(frame,
             {{1, after(panel.serial_radio[0])},
              {2, after(panel.compare_text[0])},
              {3, after(panel.sub_radio[0])},
              {4, after(panel.forward_label)},
              {5, after(panel.forward_checks[0])},
              {6, after(panel.message_check)}},
             folder + "/reference_host_walk_panel.png");
        return;
    }

    std::vector<wxTextCtrl*> fields;
    find_all(frame.simulator(), {}, fields);
    expect(fields.size() >= 6, "the simulator lacks Serial 1, Serial 2 or IN2 to IN5");
    auto* send = find<wxButton>(frame.simulator(), "Send");
    frame.start_run();
    expect(outcome_name(frame.runner().state()) == "waiting", "the run does not wait");
    send_serial_1(frame, "PART 12");
    expect(outcome_name(frame.runner().state()) == "waiting", "a text without LOT ends the wait");
    expect(frame.project_list()->GetItemText(0, 2) == "waiting",
           "the project list does not mark the waiting element");
    if (picture == "walk_wait") {
        save(frame,
             {{1, inside(frame.project_list())},
              {2, after(find<wxStaticText>(frame.simulator(), "Scan the lot label"))},
              {3, inside(find<wxListBox>(&frame))}},
             folder + "/reference_host_walk_wait.png");
        return;
    }
    send_serial_1(frame, "LOT 0815");
    expect(outcome_name(frame.runner().state()) == "completed",
           "\"LOT 0815\" does not end the wait");
    expect(frame.runner().character_inputs()[0] == "0815",
           "IN2 holds \"" + frame.runner().character_inputs()[0] + "\", not \"0815\"");
    expect(fields[2]->GetValue() == "0815", "the simulator's IN2 does not show 0815");
    expect(log_line(frame, 0).find("run 1 completed") != std::string::npos,
           "the log's last line is not the completed run: " + log_line(frame, 0));
    save(frame,
         {{1, after(fields.front())},
          {2, after(send)},
          {3, inside(fields[2])},
          {4, inside(find<wxListBox>(&frame))}},
         folder + "/reference_host_walk_run.png");
}

// The demo project, waiting for its lot label: every area numbered.
void areas(main_frame& frame, const std::string& folder) {
    expect(frame.open_project(ZAVUD_DEMO_PROJECT), "the demo project does not open");
    frame.select_first_custom_input();
    std::vector<wxTextCtrl*> fields;
    find_all(frame.simulator(), {}, fields);
    std::vector<wxChoice*> choices;
    find_all(frame.simulator(), {}, choices);
    std::vector<wxToggleButton*> bits;
    find_all(frame.simulator(), "0", bits);
    expect(fields.size() >= 6 && !choices.empty() && !bits.empty(),
           "the simulator lacks its controller choice, bit 0 or its text fields");
    const wxRect menus = frame.GetMenuBar()->GetScreenRect();
    save(frame,
         {{1, {menus.x + 100, menus.y + menus.height / 2}},
          {2, inside(frame.project_list())},
          {3, after(find<wxButton>(&frame, "Delete"))},
          {4, inside(find<wxStaticBox>(&frame, "Properties"))},
          {5, inside(choices.front())},
          {6, after(bits.front())},
          {7, inside(fields.front())},
          {8, inside(fields[2])},
          {9, inside(find<wxStaticBox>(&frame, "Run"))},
          {10, inside(find<wxListBox>(&frame))}},
         folder + "/reference_host_areas.png");
}

const char* const PICTURES[] = {"walk_panel", "walk_wait", "walk_run", "areas"};

int tour(const std::string& folder, const std::string& picture) {
    plugin_library plugin(ZAVUD_PLUGIN_PATH);
    if (!plugin.ok()) {
        std::fprintf(stderr, "%s\n", plugin.error().c_str());
        return 2;
    }
    auto* frame = new main_frame(plugin, default_controllers(), options{}, {});
    frame->SetSize(WIDTH, HEIGHT);
    frame->Move(0, 0);
    frame->Show();
    settle();
    int result = 0;
    try {
        if (picture == "areas")
            areas(*frame, folder);
        else
            walk_through(*frame, folder, picture);
    } catch (const failure& f) {
        std::fprintf(stderr, "window_tour: %s\n", f.what.c_str());
        result = 1;
    }
    frame->stop_run();
    frame->Destroy();
    settle(100);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    const std::string picture = argc > 2 ? argv[2] : "";
    if (std::find(std::begin(PICTURES), std::end(PICTURES), picture) == std::end(PICTURES)) {
        std::fprintf(stderr, "usage: window_tour FOLDER walk_panel|walk_wait|walk_run|areas\n");
        return 2;
    }
    wxApp::SetInstance(new wxApp);
    int toolkit_argc = 1; // the folder is ours, not the toolkit's
    if (!wxEntryStart(toolkit_argc, argv)) {
        std::fprintf(stderr, "window_tour: no display (run it under xvfb-run)\n");
        return 77;
    }
    wxTheApp->CallOnInit();
    wxInitAllImageHandlers();
    const int result = tour(folder, picture);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
