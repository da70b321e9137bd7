// Selecting an element: the panel fills from its configuration, lists the
// project's elements, offers only what the element's controller offers and
// drops the bits it cannot use.
#include <cstring>

#include <gtest/gtest.h>

#include "test_support/panel_host.h"

namespace {

void write_message(input_config& c, const char* ascii) {
    std::memset(c.wait_message, 0, WAIT_MESSAGE_SIZE);
    for (std::size_t i = 0; ascii[i] != 0; ++i)
        c.wait_message[2 * i + 1] = static_cast<std::uint8_t>(ascii[i]);
}

} // namespace

TEST(Selection, FillsEveryControlFromTheConfiguration) {
    panel_host host;
    host.describe(0, ALL_INPUTS);
    host.describe(2, ALL_INPUTS);
    host_element& element = host.create();
    full_panel panel(host);
    input_config& c = record_of(element).config;
    c.controller = 2;
    c.input_mode = INPUT_SERIAL_1;
    c.flags = FLAG_SERIAL1_SUBSTRING | FLAG_SERIAL2_FULL | FLAG_SHOW_MESSAGE | FLAG_TIMEOUT |
              FLAG_FORWARD_IN3 | FLAG_FORWARD_IN5;
    std::strcpy(c.compare_text1, "START[CR]");
    std::strcpy(c.compare_text2, "other");
    write_message(c, "Waiting");
    c.substr_from = 4;
    c.substr_to = 9;
    c.timeout_sec = 25;
    c.timeout_action = ACTION_RESTART;

    host.select(element);
    EXPECT_EQ(panel.controller->GetSelection(), 2);
    EXPECT_TRUE(panel.controller->IsEnabled());
    EXPECT_EQ(panel.compare_text[0]->GetValue(), "START[CR]");
    EXPECT_EQ(panel.compare_text[1]->GetValue(), "other");
    EXPECT_EQ(panel.message_text->GetValue(), "Waiting");
    EXPECT_EQ(panel.from_spin->GetValue(), 4);
    EXPECT_EQ(panel.to_spin->GetValue(), 9);
    const bool forward[] = {false, true, false, true};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(panel.forward_in[i]->GetValue(), forward[i]) << i;
    EXPECT_TRUE(panel.message_check->GetValue());
    EXPECT_TRUE(panel.timeout_check->GetValue());
    EXPECT_EQ(panel.timeout_spin->GetValue(), 25);
    EXPECT_EQ(panel.timeout_action->GetSelection(), ACTION_RESTART);
    // Serial 1 chosen with substring comparison; serial 2's radios untouched.
    EXPECT_EQ(panel.radio_states(), "00000100100");

    // Enable states follow the configuration.
    EXPECT_TRUE(panel.compare_text[0]->IsEnabled());
    EXPECT_FALSE(panel.compare_text[1]->IsEnabled());
    EXPECT_FALSE(panel.full_radio[1]->IsEnabled());
    const wxWindow* forwarding[] = {panel.forward_label, panel.from_label, panel.from_spin,
                                    panel.to_label,      panel.to_spin,    panel.forward_in[3]};
    for (const wxWindow* w : forwarding)
        EXPECT_TRUE(w->IsEnabled());
    EXPECT_TRUE(panel.message_text->IsEnabled());
    EXPECT_TRUE(panel.timeout_spin->IsEnabled() && panel.timeout_unit->IsEnabled());
    EXPECT_FALSE(panel.goto_choice->IsEnabled());
    EXPECT_EQ(labels_of(panel.digi8_bits[0]), "XXXXXXXX");
    EXPECT_FALSE(panel.digi8_bits[0][0]->IsEnabled());

    // The controller can be locked by the host.
    host.select(element, 0x4);
    EXPECT_FALSE(panel.controller->IsEnabled());
    c.input_mode = INPUT_DIGI8_1;
    host.select(element, 0x3);
    EXPECT_TRUE(panel.controller->IsEnabled());
    EXPECT_EQ(panel.radio_states(), "10000000100");
    EXPECT_FALSE(panel.compare_text[0]->IsEnabled());
    EXPECT_FALSE(panel.forward_label->IsEnabled());
}

TEST(Selection, ColoursTheElementAndCallsTheHostOnce) {
    panel_host host;
    host_element& element = host.create();
    input_config& c = record_of(element).config;
    c.flags |= FLAG_TIMEOUT;
    c.timeout_action = ACTION_STOP;
    refresh_log().clear();
    host.select(element);
    EXPECT_EQ(element->colour, wxColour(255, 185, 185));
    ASSERT_EQ(refresh_log().size(), 1u);
    EXPECT_EQ(refresh_log()[0].element, element.handle());
    EXPECT_EQ(refresh_log()[0].project, host.project.record());

    c.flags &= ~FLAG_TIMEOUT;
    host.select(element);
    EXPECT_EQ(element->colour, *wxWHITE);
    EXPECT_EQ(refresh_log().size(), 2u);
}

TEST(Selection, AnElementWithoutRefreshCallbackIsStillShown) {
    panel_host host;
    host_element& element = host.create();
    plugin().vexa_set_refresh_callback(element.handle(), nullptr);
    record_of(element).config.flags |= FLAG_TIMEOUT;
    record_of(element).config.timeout_action = ACTION_GOTO;
    refresh_log().clear();
    host.select(element);
    EXPECT_EQ(element->colour, wxColour(210, 210, 210));
    EXPECT_TRUE(refresh_log().empty());
}

TEST(Selection, PortEntryMaskingSomeBitsDisablesThemAndDropsThemFromTheElement) {
    panel_host host;
    host.describe(controller_description(0, INPUT_DIGI8_1).port(3, INPUT_DIGI8_1, 0x0F));
    host_element& element = host.create();
    input_config& c = record_of(element).config;
    c.input_mode = INPUT_DIGI8_1;
    c.digi8_mask[0] = 0xFF;
    c.digi8_value[0] = 0xA5;
    host.select(element);
    const std::vector<wxButton*> bits = host.bit_buttons(2);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(bits[i]->IsEnabled(), i < 4) << "button " << i;
    EXPECT_EQ(labels_of(bits), "1010XXXX");
    EXPECT_EQ(c.digi8_mask[0], 0xF0);
    EXPECT_EQ(c.digi8_value[0], 0xA5); // value bits are left alone
    EXPECT_TRUE(host.control<wxRadioButton>(1, 0)->IsEnabled());
}

TEST(Selection, PortEntryMaskingTheWholePortDisablesItsRadioAndEveryBit) {
    panel_host host;
    host.describe(controller_description(0, INPUT_DIGI8_1).port(11, INPUT_DIGI8_1, 0xFF));
    host_element& element = host.create();
    input_config& c = record_of(element).config;
    c.input_mode = INPUT_DIGI8_1;
    c.digi8_mask[0] = 0x81;
    host.select(element);
    EXPECT_FALSE(host.control<wxRadioButton>(1, 0)->IsEnabled());
    for (wxButton* bit : host.bit_buttons(2))
        EXPECT_FALSE(bit->IsEnabled());
    EXPECT_EQ(c.digi8_mask[0], 0);
}

TEST(Selection, OnlyTheActivePortKeepsItsBitsAndTheTemplateIsUntouched) {
    panel_host host;
    host.describe(0,
                  INPUT_DIGI8_1 | INPUT_DIGI8_2 | INPUT_DIGI16_1 | INPUT_DIGI16_2 | INPUT_DIGI32);
    host_element& element = host.create();
    input_config& c = record_of(element).config;
    c.input_mode = INPUT_DIGI16_2;
    c.digi8_mask[0] = c.digi8_mask[1] = 0x11;
    c.digi16_mask[0] = c.digi16_mask[1] = 0x1111;
    c.digi32_mask = 0x11111111;
    host.select(element);
    EXPECT_EQ(c.digi8_mask[0] | c.digi8_mask[1] | c.digi16_mask[0], 0);
    EXPECT_EQ(c.digi32_mask, 0u);
    EXPECT_EQ(c.digi16_mask[1], 0x1111);
    EXPECT_EQ(labels_of(host.bit_buttons(9)) + labels_of(host.bit_buttons(10)), "XXX0XXX0XXX0XXX0");

    created_element next;
    EXPECT_EQ(next.record().config.digi16_mask[1], 0);
}

TEST(Selection, UndescribedControllerOffersNoPortAndOutOfRangeOneNotEvenABit) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_1 | INPUT_DIGI32);
    host_element& element = host.create();
    input_config& c = record_of(element).config;
    c.input_mode = INPUT_DIGI32;
    c.digi8_mask[0] = 0x01;
    c.digi32_mask = 0xFFFFFFFF;

    // Never described: no capability, so no 8-bit port; the 32-bit input has
    // no port rule and no port entry takes its bits.
    c.controller = 5;
    host.select(element);
    EXPECT_FALSE(host.control<wxRadioButton>(1, 0)->IsEnabled());
    EXPECT_TRUE(host.control<wxRadioButton>(3, 0)->IsEnabled());
    EXPECT_TRUE(host.bit_buttons(4)[0]->IsEnabled());
    EXPECT_EQ(c.digi32_mask, 0xFFFFFFFFu);
    EXPECT_EQ(c.digi8_mask[0], 0);

    // A number past the table (only loaded data has one) offers nothing.
    c.controller = 200;
    host.select(element);
    EXPECT_TRUE(host.control<wxRadioButton>(3, 0)->IsEnabled());
    for (int row = 4; row <= 7; ++row)
        for (wxButton* bit : host.bit_buttons(row))
            EXPECT_FALSE(bit->IsEnabled());
    EXPECT_EQ(c.digi32_mask, 0u);
    EXPECT_EQ(labels_of(host.bit_buttons(4)), "XXXXXXXX");
    // The list has no such number: no entry is selected.
    EXPECT_EQ(host.control<wxComboBox>(0, 0)->GetSelection(), wxNOT_FOUND);
}

TEST(Selection, GotoListNamesTheProjectAndSelectsTheLastMatchingId) {
    panel_host host;
    host.project.set_elements({"Start", "Loop", "Again", "End"}, {11, 7, 7, 40});
    host_element& element = host.create();
    record_of(element).config.goto_element = 7;
    record_of(element).config.flags |= FLAG_TIMEOUT;
    record_of(element).config.timeout_action = ACTION_GOTO;
    host.select(element);
    auto* list = host.control<wxComboBox>(9, 1);
    ASSERT_EQ(list->GetCount(), 4u);
    EXPECT_EQ(list->GetString(0), "Start");
    EXPECT_EQ(list->GetString(3), "End");
    EXPECT_EQ(list->GetSelection(), 2);
    EXPECT_TRUE(list->IsEnabled());
    EXPECT_EQ(record_of(element).element_ids, (std::vector<std::int32_t>{11, 7, 7, 40}));

    // No id matches: no entry selected, goto_element kept.
    record_of(element).config.goto_element = 99;
    host.project.set_elements({"Only"}, {1});
    host.select(element);
    EXPECT_EQ(list->GetCount(), 1u);
    EXPECT_EQ(list->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(record_of(element).config.goto_element, 99);
}

TEST(Selection, GotoListFollowsEveryChangeOfTheProjectsNames) {
    panel_host host;
    host_element& element = host.create();
    auto* list = host.control<wxComboBox>(9, 1);
    auto listed = [&] {
        std::vector<std::string> names;
        for (unsigned k = 0; k < list->GetCount(); ++k)
            names.push_back(list->GetString(k).ToStdString());
        return names;
    };
    using names = std::vector<std::string>;
    // Renamed, inserted, removed, replaced, repeated, emptied; then large
    // projects that differ in most rows and in one.
    std::vector<std::vector<wxString>> projects = {{"Start", "Mark", "Wait", "End"},
                                                   {"Start", "Mark 2", "Wait", "End"},
                                                   {"Start", "Load", "Mark 2", "Wait", "End"},
                                                   {"Start", "Wait", "End"},
                                                   {"Go", "Stop"},
                                                   {"Go", "Stop", "Go", "Stop", "Go"},
                                                   {},
                                                   {},
                                                   {},
                                                   {}};
    for (int k = 0; k < 300; ++k) {
        projects[7].push_back(wxString::Format("Step %d", k));
        projects[8].push_back(wxString::Format("Element %d", k));
    }
    projects[9] = projects[8];
    projects[9][150] = "Renamed";
    for (const auto& project : projects) {
        host.project.set_elements(project, std::vector<std::int32_t>(project.size(), 1));
        host.select(element);
        EXPECT_EQ(listed(), names(project.begin(), project.end()));
    }
}

TEST(Selection, GotoListHasOnlyPositionsWithNameAndId) {
    panel_host host;
    host_element& element = host.create();
    auto* list = host.control<wxComboBox>(9, 1);

    host.project.set_elements({"a", "b", "c"}, {1, 2});
    host.select(element);
    EXPECT_EQ(list->GetCount(), 2u);

    host.project.set_elements({"a"}, {1, 2, 3});
    host.select(element);
    EXPECT_EQ(list->GetCount(), 1u);
    EXPECT_EQ(record_of(element).element_ids.size(), 3u);

    host.project.clear_lists();
    host.select(element);
    EXPECT_EQ(list->GetCount(), 0u);
    EXPECT_TRUE(record_of(element).element_ids.empty());

    element->project = nullptr;
    host.select(element);
    EXPECT_EQ(list->GetCount(), 0u);
}

TEST(Selection, LoadedValuesOutsideThePanelsRangesShowNoFalseChoice) {
    panel_host host;
    host_element& element = host.create();
    input_config& c = record_of(element).config;
    c.timeout_action = 7;
    c.timeout_sec = 0;
    host.select(element);
    EXPECT_EQ(host.control<wxComboBox>(8, 1)->GetSelection(), wxNOT_FOUND);
    EXPECT_FALSE(host.control<wxComboBox>(9, 1)->IsEnabled());
    EXPECT_EQ(host.control<wxSpinCtrl>(7, 1)->GetValue(), 3);
    EXPECT_EQ(c.timeout_sec, 0u); // the fill changes nothing
}

TEST(Selection, WithoutShowOnlyTheCurrentElementChanges) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_1);
    host_element& first = host.create();
    host_element& second = host.create();
    record_of(first).config.controller = 3;
    host.select(first);
    refresh_log().clear();

    record_of(second).config.controller = 6;
    record_of(second).config.input_mode = INPUT_DIGI8_1;
    host.select(second, 0, 0);
    auto* controller = host.control<wxComboBox>(0, 0);
    EXPECT_EQ(controller->GetSelection(), 3); // still the first element's
    EXPECT_TRUE(refresh_log().empty());
    EXPECT_EQ(second->colour, wxColour());

    // ignore_events kept its state (clear): edits now reach the second element.
    pick(controller, 1);
    EXPECT_EQ(record_of(second).config.controller, 1);
    EXPECT_EQ(record_of(first).config.controller, 3);
}

TEST(Selection, DeselectionStopsEditsUntilTheNextSelection) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_1);
    host_element& element = host.create();
    host.select(element);
    plugin().vexa_select(nullptr, 0, 1);
    choose(host.control<wxRadioButton>(1, 0));
    EXPECT_EQ(record_of(element).config.input_mode, 0u);
    host.select(element);
    choose(host.control<wxRadioButton>(1, 0));
    EXPECT_EQ(record_of(element).config.input_mode, INPUT_DIGI8_1);
}

TEST(Selection, AHandleWithoutRecordChangesNothing) {
    panel_host host;
    host_element& element = host.create();
    host_element never_created;
    never_created->parent_window = host.window();
    plugin().vexa_select(never_created.handle(), 0, 1);
    // The shown element is still the current one.
    tick(host.control<wxCheckBox>(2, 0), true);
    EXPECT_NE(record_of(element).config.flags & FLAG_SHOW_MESSAGE, 0u);
}

TEST(Selection, ABareHandlerGetsItsPanelOnlyInAnEmptyWindow) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_1);
    // Created without a window: the handler exists but holds no controls.
    created_element windowless;
    windowless.handle()->translator = &host.translator;

    auto* occupied = new wxPanel(host.frame(), wxID_ANY);
    new wxStaticText(occupied, wxID_ANY, "host's own");
    windowless.handle()->parent_window = occupied;
    plugin().vexa_select(windowless.handle(), 0, 1);
    EXPECT_EQ(occupied->GetSizer(), nullptr);
    EXPECT_EQ(occupied->GetChildren().size(), 1u);

    windowless.handle()->parent_window = host.window();
    plugin().vexa_select(windowless.handle(), 0, 0);
    EXPECT_EQ(host.sizer(), nullptr);
    plugin().vexa_select(windowless.handle(), 0, 1);
    ASSERT_NE(host.sizer(), nullptr);
    EXPECT_EQ(host.control<wxRadioButton>(1, 0)->GetLabel(), "T(Digital 1 (8 Bit))");
    EXPECT_EQ(labels_of(host.bit_buttons(2)), "XXXXXXXX"); // filled and refreshed
    choose(host.control<wxRadioButton>(1, 0));
    EXPECT_EQ(windowless.record().config.input_mode, INPUT_DIGI8_1);
    plugin().vexa_reset_gui();
}

TEST(Selection, AfterResetASelectionWithoutShowBuildsNothing) {
    panel_host host;
    host_element& element = host.create();
    EXPECT_EQ(plugin().vexa_reset_gui(), RES_INVALID);
    EXPECT_EQ(plugin().vexa_reset_gui(), RES_INVALID); // nothing left to destroy
    auto* fresh = new wxPanel(host.frame(), wxID_ANY);
    element->parent_window = fresh;
    host.select(element, 0, 0);
    EXPECT_EQ(fresh->GetSizer(), nullptr);
    host.select(element, 0, 1);
    EXPECT_NE(fresh->GetSizer(), nullptr);
}

TEST(Selection, AWindowDestroyedWithoutResetIsNeverTouchedAgain) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_1 | INPUT_SERIAL_1);
    host_element& element = host.create();
    plugin().vexa_reset_gui();
    host.describe(0, INPUT_DIGI8_1 | INPUT_SERIAL_1);
    auto* doomed = new wxPanel(host.frame(), wxID_ANY);
    element->parent_window = doomed;
    host.select(element);
    ASSERT_NE(doomed->GetSizer(), nullptr);

    // The host closes its property window but keeps the plug-in loaded.
    delete doomed;
    element->parent_window = nullptr;
    host.select(element);
    EXPECT_EQ(plugin().vexa_set_loaded_data(element.handle(), 0, nullptr), RES_OK);

    auto* fresh = new wxPanel(host.frame(), wxID_ANY);
    element->parent_window = fresh;
    host.select(element);
    auto* sizer = dynamic_cast<wxGridBagSizer*>(fresh->GetSizer());
    ASSERT_NE(sizer, nullptr); // a new panel in the new window, and it works
    choose(
        dynamic_cast<wxRadioButton*>(sizer->FindItemAtPosition(wxGBPosition(1, 0))->GetWindow()));
    EXPECT_EQ(record_of(element).config.input_mode, INPUT_DIGI8_1);
}
