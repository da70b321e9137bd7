// Edits in the panel, driven as the toolkit drives them: each control's
// change reaches the element's configuration, the template copies it, and
// every edit but the message's recolours the element and calls the host.
#include <cstring>

#include <gtest/gtest.h>

#include "test_support/panel_host.h"

namespace {

// A project of three elements with every input offered; `element` is shown.
struct editing : testing::Test {
    panel_host host;
    host_element* element = nullptr;
    std::unique_ptr<full_panel> panel;

    void SetUp() override {
        host.describe(0, ALL_INPUTS);
        host.project.set_elements({"Start", "Mark", "End"}, {101, 202, 303});
        element = &host.create();
        host.select(*element);
        panel = std::make_unique<full_panel>(host);
        refresh_log().clear();
    }
    input_config& config() { return record_of(*element).config; }

    // The template as the next new element receives it. The probe element
    // becomes current while it lives, so the shown element is selected again.
    input_config template_now() {
        input_config copy;
        {
            created_element probe;
            copy = probe.record().config;
        }
        host.select(*element);
        refresh_log().clear();
        return copy;
    }
};

bool same_config(const input_config& a, const input_config& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST_F(editing, ModeRadiosSetTheInputModeAndOnlyTheChosenOneReadsSelected) {
    EXPECT_EQ(panel->radio_states(), "00000000000");
    const std::uint32_t modes[] = {INPUT_DIGI8_1, INPUT_DIGI8_2,  INPUT_DIGI16_1, INPUT_DIGI16_2,
                                   INPUT_DIGI32,  INPUT_SERIAL_1, INPUT_SERIAL_2};
    // The compare radios show the interface's choice only while it is the mode
    // and keep showing it afterwards; flags 9 choose "full" for both.
    const char* expected[] = {"10000000000", "01000000000", "00100000000", "00010000000",
                              "00001000000", "00000101000", "00000011010"};
    for (int i = 0; i < 7; ++i) {
        const std::uint32_t flags = config().flags;
        choose(panel->radios()[i]);
        EXPECT_EQ(config().input_mode, modes[i]);
        EXPECT_EQ(config().flags, flags);
        EXPECT_EQ(panel->radio_states(), expected[i]) << "after radio " << i;
    }
    EXPECT_EQ(template_now().input_mode, INPUT_SERIAL_2);
}

TEST_F(editing, CompareRadiosKeepExactlyOneFlagOfTheirPair) {
    choose(panel->serial_radio[0]);
    choose(panel->sub_radio[0]);
    EXPECT_EQ(config().flags & 0x3u, FLAG_SERIAL1_SUBSTRING);
    EXPECT_EQ(panel->radio_states(), "00000100100");
    choose(panel->full_radio[0]);
    EXPECT_EQ(config().flags & 0x3u, FLAG_SERIAL1_FULL);

    choose(panel->serial_radio[1]);
    choose(panel->sub_radio[1]);
    EXPECT_EQ(config().flags & 0x18u, FLAG_SERIAL2_SUBSTRING);
    EXPECT_EQ(config().flags & 0x3u, FLAG_SERIAL1_FULL);
    EXPECT_EQ(panel->radio_states(), "00000011001");
    choose(panel->full_radio[1]);
    EXPECT_EQ(config().flags & 0x18u, FLAG_SERIAL2_FULL);
}

TEST_F(editing, ControllerChoiceStoresTheEntryIndex) {
    pick(panel->controller, 4);
    EXPECT_EQ(config().controller, 4);
    EXPECT_EQ(template_now().controller, 4);
}

TEST_F(editing, ComparisonTextsAreStoredOnEnterAndOnFocusLoss) {
    choose(panel->serial_radio[0]);
    enter_text(panel->compare_text[0], "OK[CR][LF]");
    EXPECT_STREQ(config().compare_text1, "OK[CR][LF]");
    EXPECT_STREQ(config().compare_text2, "");

    choose(panel->serial_radio[1]);
    panel->compare_text[1]->ChangeValue(wxString('z', 200));
    EXPECT_TRUE(lose_focus(panel->compare_text[1])); // the toolkit's handling goes on
    EXPECT_EQ(std::string(config().compare_text2), std::string(200, 'z'));
    EXPECT_EQ(config().compare_text2[200], 0);
    EXPECT_EQ(std::string(template_now().compare_text2), std::string(200, 'z'));
}

TEST_F(editing, MessageEditIsStoredAndCopiedButNeitherRecoloursNorRefreshes) {
    tick(panel->timeout_check, true);
    refresh_log().clear();
    (*element)->colour = wxColour(1, 2, 3);

    enter_text(panel->message_text, wxString::FromUTF8("Bitte warten…"));
    const std::uint8_t expected[] = {0, 'B', 0, 'i', 0, 't', 0, 't', 0, 'e', 0,    ' ',  0, 'w',
                                     0, 'a', 0, 'r', 0, 't', 0, 'e', 0, 'n', 0x20, 0x26, 0, 0};
    EXPECT_EQ(std::memcmp(config().wait_message, expected, sizeof expected), 0);
    EXPECT_EQ((*element)->colour, wxColour(1, 2, 3));
    EXPECT_TRUE(refresh_log().empty());

    const input_config copy = template_now();
    EXPECT_EQ(std::memcmp(copy.wait_message, config().wait_message, WAIT_MESSAGE_SIZE), 0);
}

TEST_F(editing, CheckBoxesSwitchTheirFlags) {
    struct box {
        wxCheckBox* check;
        std::uint32_t flag;
    } boxes[] = {
        {panel->message_check, FLAG_SHOW_MESSAGE}, {panel->timeout_check, FLAG_TIMEOUT},
        {panel->forward_in[0], FLAG_FORWARD_IN2},  {panel->forward_in[1], FLAG_FORWARD_IN3},
        {panel->forward_in[2], FLAG_FORWARD_IN4},  {panel->forward_in[3], FLAG_FORWARD_IN5},
    };
    for (const box& b : boxes) {
        const std::uint32_t others = config().flags & ~b.flag;
        tick(b.check, true);
        EXPECT_EQ(config().flags, others | b.flag);
        tick(b.check, false);
        EXPECT_EQ(config().flags, others);
    }
    tick(panel->message_check, true);
    EXPECT_TRUE(panel->message_text->IsEnabled());
    tick(panel->message_check, false);
    EXPECT_FALSE(panel->message_text->IsEnabled());
}

TEST_F(editing, TimeoutRowsSetSecondsActionColourAndCallTheHost) {
    tick(panel->timeout_check, true);
    EXPECT_TRUE(panel->timeout_spin->IsEnabled());
    spin_to(panel->timeout_spin, 42);
    EXPECT_EQ(config().timeout_sec, 42u);
    panel->timeout_spin->SetValue(77);
    press_enter(panel->timeout_spin);
    EXPECT_EQ(config().timeout_sec, 77u);
    panel->timeout_spin->SetValue(3600);
    EXPECT_TRUE(lose_focus(panel->timeout_spin));
    EXPECT_EQ(config().timeout_sec, 3600u);

    refresh_log().clear();
    pick(panel->timeout_action, ACTION_STOP);
    EXPECT_EQ(config().timeout_action, ACTION_STOP);
    EXPECT_EQ((*element)->colour, wxColour(255, 185, 185));
    ASSERT_EQ(refresh_log().size(), 1u);
    EXPECT_EQ(refresh_log()[0].element, element->handle());
    EXPECT_EQ(refresh_log()[0].project, host.project.record());
    EXPECT_FALSE(panel->goto_choice->IsEnabled());

    pick(panel->timeout_action, ACTION_GOTO);
    EXPECT_EQ((*element)->colour, wxColour(210, 210, 210));
    EXPECT_TRUE(panel->goto_choice->IsEnabled());
    tick(panel->timeout_check, false);
    EXPECT_EQ((*element)->colour, *wxWHITE);
    EXPECT_FALSE(panel->timeout_action->IsEnabled());
    EXPECT_TRUE(panel->goto_choice->IsEnabled());
}

TEST_F(editing, GotoChoiceStoresTheIdAtTheChosenPositionNotThePosition) {
    ASSERT_EQ(panel->goto_choice->GetCount(), 3u);
    pick(panel->goto_choice, 1);
    EXPECT_EQ(config().goto_element, 202);
    pick(panel->goto_choice, 2);
    EXPECT_EQ(config().goto_element, 303);
    EXPECT_EQ(template_now().goto_element, 303);
}

TEST_F(editing, GotoChoiceOutsideTheElementsIdsChangesNothing) {
    // A second element made current without a fill has no id list of its own,
    // while the list still shows the first element's project.
    host_element& other = host.create();
    host.select(other, 0, 1);
    host.select(*element, 0, 1);
    record_of(other).config.goto_element = 5;
    plugin().vexa_select(other.handle(), 0, 0);
    record_of(other).element_ids.clear();
    host.select(other, 0, 0);
    // ignore_events kept its state (clear), so the pick is an edit of `other`.
    pick(panel->goto_choice, 2);
    EXPECT_EQ(record_of(other).config.goto_element, 5);
}

TEST_F(editing, BitButtonsCycleThroughXZeroOneAndBackKeepingTheValueBit) {
    choose(panel->digi8_radio[0]);
    wxButton* bit5 = panel->digi8_bits[0][2];
    EXPECT_EQ(bit5->GetLabel(), "X");
    const char* labels[] = {"0", "1", "X"};
    const std::uint8_t masks[] = {0x20, 0x20, 0x00};
    const std::uint8_t values[] = {0x00, 0x20, 0x20};
    for (int click_no = 0; click_no < 3; ++click_no) {
        click(bit5);
        EXPECT_EQ(bit5->GetLabel(), labels[click_no]);
        EXPECT_EQ(config().digi8_mask[0], masks[click_no]);
        EXPECT_EQ(config().digi8_value[0], values[click_no]);
    }
    EXPECT_EQ(labels_of(panel->digi8_bits[0]), "XXXXXXXX");
}

TEST_F(editing, EachButtonOfEveryRowStandsForOneBitMostSignificantFirst) {
    choose(panel->digi32_radio);
    click(panel->digi32_bits[0]);
    click(panel->digi32_bits[0]);
    click(panel->digi32_bits[1]); // logical shift: 0x40000000, not a sign copy
    EXPECT_EQ(config().digi32_mask, 0xC0000000u);
    EXPECT_EQ(config().digi32_value, 0x80000000u);
    click(panel->digi32_bits[31]);
    EXPECT_EQ(config().digi32_mask, 0xC0000001u);
    EXPECT_EQ(labels_of(panel->digi32_bits).substr(0, 2) + labels_of(panel->digi32_bits).back(),
              "100");

    choose(panel->digi16_radio[1]);
    click(panel->digi16_bits[1][0]);
    click(panel->digi16_bits[1][15]);
    click(panel->digi16_bits[1][15]);
    EXPECT_EQ(config().digi16_mask[1], 0x8001);
    EXPECT_EQ(config().digi16_value[1], 0x0001);
    EXPECT_EQ(labels_of(panel->digi16_bits[1]), "0XXXXXXXXXXXXXX1");

    choose(panel->digi8_radio[1]);
    click(panel->digi8_bits[1][7]);
    EXPECT_EQ(config().digi8_mask[1], 0x01);
}

TEST_F(editing, ChoosingAnotherPortDropsTheOldPortsBitsFromTheElementNotTheTemplate) {
    choose(panel->digi8_radio[0]);
    click(panel->digi8_bits[0][0]);
    click(panel->digi8_bits[0][7]);
    ASSERT_EQ(config().digi8_mask[0], 0x81);
    choose(panel->digi16_radio[0]);
    EXPECT_EQ(config().digi8_mask[0], 0);
    EXPECT_EQ(labels_of(panel->digi8_bits[0]), "XXXXXXXX");
    EXPECT_FALSE(panel->digi8_bits[0][0]->IsEnabled());
    EXPECT_TRUE(panel->digi16_bits[0][0]->IsEnabled());
    EXPECT_EQ(template_now().digi8_mask[0], 0x81);
}

TEST_F(editing, SubstringBoundsStayOrderedTheEditedBoundGivingWay) {
    choose(panel->serial_radio[0]);
    spin_to(panel->to_spin, 150);
    EXPECT_EQ(config().substr_to, 150);
    spin_to(panel->from_spin, 180);
    EXPECT_EQ(config().substr_from, 149);
    EXPECT_EQ(panel->from_spin->GetValue(), 149);
    EXPECT_EQ(config().substr_to, 150);

    spin_to(panel->from_spin, 20);
    panel->to_spin->SetValue(5);
    press_enter(panel->to_spin);
    EXPECT_EQ(config().substr_to, 21);
    EXPECT_EQ(panel->to_spin->GetValue(), 21);
    EXPECT_EQ(config().substr_from, 20);

    panel->from_spin->SetValue(7);
    EXPECT_TRUE(lose_focus(panel->from_spin));
    EXPECT_EQ(config().substr_from, 7);
}

TEST_F(editing, ToBelowALoadedFromOf255KeepsTheBoundsOrderedWithoutWrapping) {
    choose(panel->serial_radio[0]);
    // As a load leaves them: From as stored, To repaired to 199.
    config().substr_from = 255;
    config().substr_to = 199;
    spin_to(panel->to_spin, 46);
    EXPECT_EQ(config().substr_from, 254);
    EXPECT_EQ(config().substr_to, 255);
    config().substr_from = 230;
    spin_to(panel->to_spin, 46);
    EXPECT_EQ(config().substr_from, 230);
    EXPECT_EQ(config().substr_to, 231);
}

TEST_F(editing, FocusLossWhileEventsAreIgnoredChangesNothingAndIsNotSkipped) {
    // A deselection sets ignore_events; selecting without showing keeps it.
    plugin().vexa_select(nullptr, 0, 1);
    host.select(*element, 0, 0);
    const input_config before = config();
    panel->compare_text[0]->ChangeValue("typed");
    panel->message_text->ChangeValue("typed");
    panel->timeout_spin->SetValue(99);
    for (wxWindow* control :
         {static_cast<wxWindow*>(panel->compare_text[0]),
          static_cast<wxWindow*>(panel->message_text), static_cast<wxWindow*>(panel->timeout_spin)})
        EXPECT_FALSE(lose_focus(control));
    spin_to(panel->timeout_spin, 55);
    click(panel->digi8_bits[0][0]);
    EXPECT_TRUE(same_config(config(), before));
    EXPECT_TRUE(refresh_log().empty());
}

TEST_F(editing, NextElementCopiesTheEditedConfigurationWithFreshRunTimeFields) {
    config().spare_bytes[1] = 0x5A; // kept as they are, copied like every field
    config().version = 3;
    choose(panel->serial_radio[1]);
    enter_text(panel->compare_text[1], "READY");
    tick(panel->timeout_check, true);
    pick(panel->timeout_action, ACTION_RESTART);
    record_of(*element).start_timer = 1;
    record_of(*element).pending_operation = PENDING_FORWARD;

    created_element next;
    EXPECT_TRUE(same_config(next.record().config, config()));
    EXPECT_EQ(next.record().refresh, nullptr);
    EXPECT_EQ(next.record().start_timer, 0);
    EXPECT_EQ(next.record().pending_operation, PENDING_NONE);
    EXPECT_TRUE(next.record().element_ids.empty());
    EXPECT_TRUE(next.record().last_received.empty());
    EXPECT_FALSE(record_of(*element).element_ids.empty());
}
