// Bad input and awkward call orders that other tests do not already try:
// stale panels, a current element that is gone, a GUI that was reset, a
// callback taken back, a host calling in from its own callback. Each must
// change nothing it should not and touch no freed memory (the sanitizer
// build runs these too).
#include <cstring>

#include <gtest/gtest.h>

#include "test_support/panel_host.h"

namespace {

input_config template_now() {
    created_element probe;
    return probe.record().config;
}

bool same_config(const input_config& a, const input_config& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Operates one control of every kind on `panel`.
void operate_everything(full_panel& panel) {
    pick(panel.controller, 3);
    choose(panel.digi16_radio[1]);
    click(panel.digi8_bits[0][0]);
    tick(panel.timeout_check, true);
    pick(panel.timeout_action, 2);
    spin_to(panel.timeout_spin, 77);
    spin_to(panel.to_spin, 40);
    enter_text(panel.compare_text[0], "stale");
    enter_text(panel.message_text, "stale");
    lose_focus(panel.compare_text[1]);
    lose_focus(panel.from_spin);
}

} // namespace

TEST(StalePanel, ControlsOfAReplacedPanelReachNothing) {
    panel_host first_window;
    first_window.describe(0, ALL_INPUTS);
    host_element& a = first_window.create();
    first_window.select(a);
    full_panel old_panel(first_window);

    // A second property window gets a panel of its own; the first one's
    // handler is replaced and its controls must go nowhere.
    panel_host second_window;
    host_element& b = second_window.create();
    const input_config template_before = template_now();
    second_window.select(b); // the new panel is live and shows b
    const input_config a_before = record_of(a).config;
    const input_config b_before = record_of(b).config;
    refresh_log().clear();

    operate_everything(old_panel);
    EXPECT_TRUE(same_config(record_of(a).config, a_before));
    EXPECT_TRUE(same_config(record_of(b).config, b_before));
    EXPECT_TRUE(same_config(template_now(), template_before));
    EXPECT_TRUE(refresh_log().empty());
}

TEST(AfterDeletion, EditsOnThePanelChangeNothingOnceTheCurrentElementIsGone) {
    panel_host host;
    host.describe(0, ALL_INPUTS);
    host_element& kept = host.create();
    full_panel panel(host);
    // The current element, handle and all, goes away while its panel stays.
    {
        host_element doomed;
        doomed->parent_window = host.window();
        doomed->project = host.project.record();
        ASSERT_EQ(plugin().vexa_create_instance(doomed.handle(), nullptr), RES_OK);
        plugin().vexa_set_refresh_callback(doomed.handle(), recording_refresh);
        host.select(doomed);
        plugin().vexa_delete_instance(doomed.handle());
    }
    const input_config kept_before = record_of(kept).config;
    const input_config template_before = template_now();
    refresh_log().clear();

    operate_everything(panel); // any touch of the freed element fails under the sanitizer
    EXPECT_TRUE(same_config(record_of(kept).config, kept_before));
    EXPECT_TRUE(same_config(template_now(), template_before));
    EXPECT_TRUE(refresh_log().empty());

    // The next selection brings the panel back to work.
    host.select(kept);
    pick(panel.controller, 5);
    EXPECT_EQ(record_of(kept).config.controller, 5);
}

TEST(AfterReset, ElementsKeepWorkingWithoutAPanel) {
    panel_host host;
    host.describe(0, ALL_INPUTS);
    host_element& element = host.create();
    EXPECT_EQ(plugin().vexa_reset_gui(), RES_INVALID);
    EXPECT_EQ(plugin().vexa_reset_gui(), RES_INVALID); // twice: nothing left to destroy

    // Saving, loading, running and result data need no panel.
    const std::vector<std::uint8_t> saved = save_bytes(element.handle());
    ASSERT_EQ(saved.size(), 956u);
    EXPECT_EQ(plugin().vexa_set_loaded_data(element.handle(), 956,
                                            reinterpret_cast<const char*>(saved.data())),
              RES_OK);
    record_of(element).config.input_mode = INPUT_DIGI8_1;
    EXPECT_EQ(plugin().vexa_check_input_value(element.handle(), input_record().data(), 0), RES_OK);
    std::uint32_t io = 0;
    void* block = nullptr;
    std::int32_t controller = 0, second = 0;
    EXPECT_EQ(plugin().vexa_get_bin_value(element.handle(), &io, &block, &controller, &second),
              RES_OK);
    plugin().vexa_release_bin_data(element.handle());
    // A selection without show builds nothing and the old controls stay dead.
    wxComboBox* old_choice = host.control<wxComboBox>(0, 0);
    host.select(element, 0, 0);
    pick(old_choice, 4);
    EXPECT_EQ(record_of(element).config.controller, 0);
}

TEST(RefreshCallback, ClearedWithNullIsNoLongerCalled) {
    panel_host host;
    host_element& element = host.create(); // the host installs recording_refresh
    host.select(element);
    EXPECT_EQ(refresh_log().size(), 1u);
    plugin().vexa_set_refresh_callback(element.handle(), nullptr);
    refresh_log().clear();
    host.select(element);
    tick(host.control<wxCheckBox>(2, 0), true); // the message check box
    EXPECT_TRUE(refresh_log().empty());
    EXPECT_NE(record_of(element).config.flags & FLAG_SHOW_MESSAGE, 0u);
}

namespace {

element_handle* calling_back = nullptr;

// A host that saves the element and deselects everything from inside its
// refresh notification.
void saving_and_deselecting_refresh(host_project*, element_handle* element) {
    calling_back = element;
    std::uint32_t length = 0;
    EXPECT_NE(plugin().vexa_get_save_data(element, &length), nullptr);
    EXPECT_EQ(length, 956u);
    plugin().vexa_select(nullptr, 0, 0);
}

} // namespace

TEST(RefreshCallback, HostMayCallBackIntoThePlugInFromIt) {
    panel_host host;
    host.describe(0, ALL_INPUTS);
    host_element& element = host.create();
    full_panel panel(host);

    // From the selection's notification: the selection ends, deselected.
    plugin().vexa_set_refresh_callback(element.handle(), saving_and_deselecting_refresh);
    host.select(element);
    EXPECT_EQ(calling_back, element.handle());
    pick(panel.controller, 6);
    EXPECT_EQ(record_of(element).config.controller, 0);

    // From an edit's notification: the edit is kept, the next one ignored.
    plugin().vexa_set_refresh_callback(element.handle(), recording_refresh);
    host.select(element);
    plugin().vexa_set_refresh_callback(element.handle(), saving_and_deselecting_refresh);
    calling_back = nullptr;
    pick(panel.controller, 2);
    EXPECT_EQ(calling_back, element.handle());
    EXPECT_EQ(record_of(element).config.controller, 2);
    pick(panel.controller, 4);
    EXPECT_EQ(record_of(element).config.controller, 2);
}

TEST(OddArguments, ShowOtherThanOneAndUnknownHostFlagBitsAskForNothing) {
    panel_host host;
    host.describe(0, ALL_INPUTS);
    host_element& first = host.create();
    host_element& second = host.create();
    host.select(first);
    full_panel panel(host);
    refresh_log().clear();

    // show 2 is no request to show: only the current element changes.
    record_of(second).config.controller = 7;
    host.select(second, 0, 2);
    EXPECT_TRUE(refresh_log().empty());
    EXPECT_EQ(panel.controller->GetSelection(), 0);
    pick(panel.controller, 3);
    EXPECT_EQ(record_of(second).config.controller, 3);
    EXPECT_EQ(record_of(first).config.controller, 0);

    // Of the host's flags only 0x4 (controller fixed) means something.
    host.select(second, ~0x4u, 1);
    EXPECT_TRUE(panel.controller->IsEnabled());
    host.select(second, 0xFFFFFFFFu, 1);
    EXPECT_FALSE(panel.controller->IsEnabled());
}
