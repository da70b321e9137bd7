// The panel under real input: mouse clicks and key presses that the toolkit
// itself turns into events, on a shown window under Xvfb.
#include <functional>

#include <gtest/gtest.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "test_support/panel_host.h"

namespace {

// Lets the toolkit deliver what is pending until `done` holds or five seconds
// pass (a busy machine's display may be slow).
bool settle_until(const std::function<bool()>& done) {
    for (int i = 0; i < 500; ++i) {
        wxYield();
        if (done())
            return true;
        wxMilliSleep(10);
    }
    return false;
}

void click_at(wxUIActionSimulator& sim, wxWindow* control) {
    ASSERT_NE(control, nullptr);
    sim.MouseMove(control->GetScreenRect().GetPosition() + control->GetSize() / 2);
    wxYield();
    sim.MouseClick();
}

struct shown_panel : testing::Test {
    panel_host host;
    host_element* element = nullptr;

    void SetUp() override {
        // Wine moves the pointer but delivers no simulated button presses to
        // windows on a bare X display; Windows itself does.
        if (running_under_wine())
            GTEST_SKIP() << "under Wine, simulated mouse buttons never reach the window";
        host.describe(0, INPUT_DIGI8_1 | INPUT_SERIAL_1);
        creation_record options(true);
        element = &host.create(&options);
        host.select(*element);
        host.frame()->SetSize(0, 0, 420, 460);
        host.frame()->Show();
        host.window()->Layout();
        ASSERT_TRUE(settle_until([&] { return host.window()->IsShownOnScreen(); }));
        settle_for_a_moment();
        // The display must take simulated input (X: the XTest extension):
        // the pointer sent to the screen's far corner, away from the panel,
        // must be found there.
        const wxSize screen = wxGetDisplaySize();
        const wxPoint corner(screen.x - 1, screen.y - 1);
        wxUIActionSimulator().MouseMove(corner);
        if (!settle_until([&] { return wxGetMousePosition() == corner; }))
            GTEST_SKIP() << "this display takes no simulated input: the pointer did not move";
    }
    void settle_for_a_moment() {
        for (int i = 0; i < 20; ++i) {
            wxYield();
            wxMilliSleep(10);
        }
    }
    input_config& config() { return record_of(*element).config; }
};

} // namespace

TEST_F(shown_panel, ClicksOnRadioAndBitButtonReachTheElement) {
    wxUIActionSimulator sim;
    click_at(sim, host.control<wxRadioButton>(1, 0));
    ASSERT_TRUE(settle_until([&] { return config().input_mode == INPUT_DIGI8_1; }));
    EXPECT_TRUE(host.control<wxRadioButton>(1, 0)->GetValue());

    wxButton* bit7 = host.bit_buttons(2)[0];
    ASSERT_TRUE(bit7->IsEnabled());
    click_at(sim, bit7);
    ASSERT_TRUE(settle_until([&] { return config().digi8_mask[0] == 0x80; }));
    EXPECT_EQ(bit7->GetLabel(), "0");
    sim.MouseClick();
    ASSERT_TRUE(settle_until([&] { return config().digi8_value[0] == 0x80; }));
    EXPECT_EQ(bit7->GetLabel(), "1");
    EXPECT_GE(refresh_log().size(), 3u);
}

TEST_F(shown_panel, TypedComparisonTextIsStoredWhenEnterIsPressed) {
    wxUIActionSimulator sim;
    click_at(sim, host.control<wxRadioButton>(4, 0));
    ASSERT_TRUE(settle_until([&] { return config().input_mode == INPUT_SERIAL_1; }));
    auto* text = host.control<wxTextCtrl>(5, 0);
    ASSERT_TRUE(text->IsEnabled());
    click_at(sim, text);
    ASSERT_TRUE(settle_until([&] { return text->HasFocus(); }));
    sim.Text("ok42");
    ASSERT_TRUE(settle_until([&] { return text->GetValue() == "ok42"; }));
    EXPECT_STREQ(config().compare_text1, ""); // no per-keystroke edits
    sim.Char(WXK_RETURN);
    EXPECT_TRUE(settle_until([&] { return std::string(config().compare_text1) == "ok42"; }));

    // Leaving the field stores it too.
    sim.Text("x");
    ASSERT_TRUE(settle_until([&] { return text->GetValue() == "ok42x"; }));
    click_at(sim, host.control<wxRadioButton>(4, 0));
    EXPECT_TRUE(settle_until([&] { return std::string(config().compare_text1) == "ok42x"; }));
}
