// The reference host's window: the plug-in's panel in the property window,
// selection through the project list, colours redrawn by the refresh
// callback, and a run driven from the simulator.
#include <gtest/gtest.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>

#include "reference_host/main_frame.h"
#include "reference_host/simulator_panel.h"
#include "test_support/save_records.h"
#include "test_support/test_host.h"

using namespace reference_host;

namespace {

// Top-level windows go through Destroy(), not delete.
struct window {
    main_frame* frame;
    explicit window(main_frame::log_copy copy = {})
        : frame(new main_frame(plugin(), default_controllers(), options{}, std::move(copy))) {
        frame->Show();
    }
    ~window() { frame->Destroy(); }
    main_frame* operator->() { return frame; }
};

// "#RRGGBB", readable in a failure.
std::string row_colour(main_frame* frame, long row) {
    return frame->project_list()
        ->GetItemBackgroundColour(row)
        .GetAsString(wxC2S_HTML_SYNTAX)
        .ToStdString();
}

wxListBox* run_log(wxWindow* parent) {
    for (wxWindow* child : parent->GetChildren()) {
        if (auto* list = dynamic_cast<wxListBox*>(child))
            return list;
        if (wxListBox* found = run_log(child))
            return found;
    }
    return nullptr;
}

std::string write_project(const project& p) {
    const std::string file = testing::TempDir() + "window_project.json";
    write_project_file(file, p);
    return file;
}

} // namespace

TEST(Window, AddingACustomInputBuildsThePanelIntoThePropertyWindow) {
    window w;
    EXPECT_TRUE(w->property_window()->GetChildren().empty());
    w->add_element(element_kind::placeholder);
    w->add_element(element_kind::custom_input);
    EXPECT_EQ(w->project_list()->GetItemCount(), 2);
    EXPECT_EQ(w->project_list()->GetItemText(1), "Custom Input 2");
    EXPECT_EQ(w->session().selected(), 1u);
    EXPECT_FALSE(w->property_window()->GetChildren().empty());
    EXPECT_TRUE(w->property_window()->IsEnabled());
}

TEST(Window, SelectingARowRecoloursItThroughTheRefreshCallback) {
    const auto stops = saved_record([](input_config& c) {
        c.input_mode = INPUT_DIGI8_1;
        c.flags |= FLAG_TIMEOUT;
        c.timeout_action = ACTION_STOP;
    });
    window w;
    ASSERT_TRUE(
        w->open_project(write_project(project{{{"Plain", 1, element_kind::placeholder, {}},
                                               {"Wait", 2, element_kind::custom_input, stops}}})));
    EXPECT_EQ(row_colour(w.frame, 1), "#FFB9B9"); // light red: stop marking

    // Changed behind the panel's back: only the selection's recolour and
    // the refresh callback can bring it to the list.
    auto* record = static_cast<instance_data*>(w->session().at(1).host->handle()->instance_data);
    record->config.timeout_action = ACTION_RESTART;
    w->project_list()->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_EQ(w->session().selected(), 1u);
    EXPECT_EQ(row_colour(w.frame, 1), "#B9FFB9"); // light green: restart
}

TEST(Window, ARunReactsToTheSimulatorAndShowsTheFollowUp) {
    const auto reads = saved_record([](input_config& c) {
        c.input_mode = INPUT_SERIAL_1;
        c.flags = FLAG_SERIAL1_SUBSTRING | FLAG_FORWARD_IN4;
        std::strcpy(c.compare_text1, "LOT");
        c.substr_from = 4;
        c.substr_to = 7;
    });
    window w;
    ASSERT_TRUE(w->open_project(
        write_project(project{{{"Read lot", 1, element_kind::custom_input, reads}}})));
    w->start_run();
    EXPECT_EQ(outcome_name(w->runner().state()), "waiting");
    EXPECT_FALSE(w->property_window()->IsEnabled());
    w->simulator()->receive_serial_line(1, "LOT 0815\r\n");
    EXPECT_EQ(outcome_name(w->runner().state()), "completed");
    EXPECT_EQ(w->runner().character_inputs()[2], "0815");
}

TEST(Window, LogRowsShowBytesThatAreNotUtf8AsEscapesAndGoToTheCopy) {
    const auto reads = saved_record([](input_config& c) {
        c.input_mode = INPUT_SERIAL_1;
        c.flags = FLAG_SERIAL1_SUBSTRING;
        std::strcpy(c.compare_text1, "OK");
    });
    std::vector<std::string> copied;
    window w([&copied](const std::string& line) { copied.push_back(line); });
    ASSERT_TRUE(w->open_project(
        write_project(project{{{"Read \xC3\xA4", 1, element_kind::custom_input, reads}}})));
    w->start_run();
    w->simulator()->receive_serial_line(1, "Caf\xE9\r\n");
    const std::string expected =
        "vexa_check_input_value(\"Read \xC3\xA4\", controller 0: serial_1=\"Caf\\xE9\\r\\n\") "
        "-> RES_WAIT";
    wxListBox* log = run_log(w.frame);
    ASSERT_NE(log, nullptr);
    ASSERT_GT(log->GetCount(), 0u);
    EXPECT_TRUE(log->GetString(log->GetCount() - 1).ToStdString(wxConvUTF8).find(expected) !=
                std::string::npos)
        << log->GetString(log->GetCount() - 1);
    // The file's line: the time (HH:MM:SS), two spaces, the entry.
    ASSERT_FALSE(copied.empty());
    EXPECT_EQ(copied.back().substr(8), "  " + expected);
}
