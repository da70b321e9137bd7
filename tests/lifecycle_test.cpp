// Element kind and element life, through the exported functions.
#include <cstdio>
#include <set>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/frame.h>

#include "abi/ui_parameters.h"
#include "test_support/save_records.h"
#include "test_support/test_host.h"

TEST(Exports, LibraryExportsExactlyTheFourteenEntryPoints) {
#if defined(_WIN32)
    GTEST_SKIP() << "reads the ELF symbol table; the DLL's export table is checked on the build "
                    "machine (test windows.plugin_exports_exactly_the_entry_points)";
#else
    const std::string command = std::string("nm -D --defined-only ") + ZAVUD_PLUGIN_PATH;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        char address[64], kind[8], name[900];
        if (std::sscanf(line, "%63s %7s %899s", address, kind, name) == 3)
            exported.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    std::set<std::string> expected;
#define VEXA_NAME(name) expected.insert(#name);
    VEXA_ENTRY_POINTS(VEXA_NAME)
#undef VEXA_NAME
    EXPECT_EQ(exported, expected);
    EXPECT_TRUE(plugin().ok()) << plugin().error();
#endif
}

TEST(Creation, NewElementCopiesTheFactoryTemplate) {
    created_element e;
    const input_config& c = e.record().config;
    EXPECT_EQ(c.input_mode, 0u);
    EXPECT_EQ(c.flags, 9u);
    EXPECT_EQ(c.timeout_sec, 10u);
    EXPECT_EQ(c.flags & FLAG_TIMEOUT, 0u);
    EXPECT_EQ(c.substr_from, 0);
    EXPECT_EQ(c.substr_to, 199);
    EXPECT_EQ(c.compare_text1[0], 0);
    EXPECT_EQ(c.compare_text2[0], 0);
    EXPECT_EQ(c.wait_message[0] | c.wait_message[1], 0);
    EXPECT_EQ(c.digi8_mask[0] | c.digi8_mask[1] | c.digi16_mask[0] | c.digi16_mask[1], 0);
    EXPECT_EQ(c.digi32_mask, 0u);
    EXPECT_EQ(c.controller, 0);
}

TEST(Creation, RunTimeFieldsStartFreshAndCreationRecordIsKept) {
    creation_record options(true);
    created_element e(&options);
    const instance_data& r = e.record();
    EXPECT_EQ(r.refresh, nullptr);
    EXPECT_EQ(r.bin_data, nullptr);
    EXPECT_EQ(r.deadline, 0);
    EXPECT_EQ(r.start_timer, 0);
    EXPECT_EQ(r.host_context, &options);
    EXPECT_TRUE(r.element_ids.empty());
    EXPECT_EQ(r.pending_operation, PENDING_NONE);
    EXPECT_TRUE(r.last_received.empty());
}

TEST(Creation, WithoutWindowBuildsNoPanelAndIntoOccupiedWindowLeavesItAlone) {
    created_element no_window;
    EXPECT_EQ(no_window.handle()->parent_window, nullptr);

    auto* frame = new wxFrame(nullptr, wxID_ANY, "host");
    auto* occupied = new wxWindow(frame, wxID_ANY);
    new wxWindow(occupied, wxID_ANY);
    host_element element;
    element->parent_window = occupied;
    EXPECT_EQ(plugin().vexa_create_instance(element.handle(), nullptr), RES_OK);
    EXPECT_EQ(occupied->GetChildren().size(), 1u);
    EXPECT_EQ(occupied->GetSizer(), nullptr);
    plugin().vexa_delete_instance(element.handle());
    plugin().vexa_reset_gui();
    frame->Destroy();
}

TEST(UiParameters, FilledTheSameEveryTimeWithNewBitmaps) {
    ui_parameters first{}, second{};
    ASSERT_EQ(plugin().vexa_get_ui_parameters(&first), RES_OK);
    ASSERT_EQ(plugin().vexa_get_ui_parameters(&second), RES_OK);
    for (ui_parameters* p : {&first, &second}) {
        EXPECT_EQ(p->name, "Custom Input");
        EXPECT_EQ(p->description, "Wait for input data from the scanner controller");
        EXPECT_EQ(p->value_128, 15);
        EXPECT_EQ(p->value_132, 128);
        EXPECT_EQ(p->value_176, 11007);
        ASSERT_NE(p->large_icon, nullptr);
        ASSERT_NE(p->small_icon, nullptr);
        EXPECT_TRUE(p->large_icon->IsOk());
        EXPECT_EQ(p->large_icon->GetSize(), wxSize(25, 25));
        EXPECT_EQ(p->small_icon->GetSize(), wxSize(15, 15));
    }
    EXPECT_NE(first.large_icon, second.large_icon);
    EXPECT_NE(first.small_icon, second.small_icon);
    for (ui_parameters* p : {&first, &second}) {
        delete p->large_icon;
        delete p->small_icon;
    }
}

TEST(NullInput, EntryPointsRefuseNullHandlesAndEmptySlots) {
    plugin_library& p = plugin();
    host_element empty; // never created: slot is null
    for (element_handle* h : {static_cast<element_handle*>(nullptr), empty.handle()}) {
        std::uint32_t length = 77;
        EXPECT_EQ(p.vexa_get_save_data(h, &length), nullptr);
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(p.vexa_delete_instance(h), RES_OK);
        p.vexa_set_refresh_callback(h, recording_refresh);
        char data[956] = {};
        EXPECT_EQ(p.vexa_set_loaded_data(h, sizeof data, data), RES_INVALID);
        input_record record;
        EXPECT_EQ(p.vexa_check_input_value(h, record.data(), 0), RES_INVALID);
        std::int32_t controller = 55, second = 55;
        EXPECT_FALSE(p.vexa_continuous_stream(h, &controller, &second));
        EXPECT_EQ(controller, 55);
        std::uint32_t io = 0;
        void* block = nullptr;
        EXPECT_EQ(p.vexa_get_bin_value(h, &io, &block, &controller, &second), RES_INVALID);
        EXPECT_EQ(block, nullptr);
        p.vexa_release_bin_data(h);
        operation_record op(40);
        EXPECT_EQ(p.vexa_get_custom_operation(h, op.data()), RES_INVALID);
    }
    EXPECT_EQ(p.vexa_create_instance(nullptr, nullptr), RES_INVALID);
    EXPECT_EQ(p.vexa_get_ui_parameters(nullptr), RES_INVALID);
    p.vexa_set_config_info(nullptr);
    p.vexa_select(nullptr, 0, 1);
    EXPECT_EQ(p.vexa_reset_gui(), RES_INVALID);
}

TEST(NullInput, NullOutPointersAreSkipped) {
    created_element e;
    EXPECT_NE(plugin().vexa_get_save_data(e.handle(), nullptr), nullptr);
    plugin().vexa_continuous_stream(e.handle(), nullptr, nullptr);
    e.record().config.input_mode = INPUT_DIGI8_1;
    EXPECT_EQ(plugin().vexa_get_bin_value(e.handle(), nullptr, nullptr, nullptr, nullptr), RES_OK);
    EXPECT_NE(e.record().bin_data, nullptr); // held all the same, and given back below
    plugin().vexa_release_bin_data(e.handle());
}

TEST(Deletion, DeletingTheCurrentElementLeavesNoDanglingSelection) {
    host_element other;
    ASSERT_EQ(plugin().vexa_create_instance(other.handle(), nullptr), RES_OK);
    // The current element, handle and all, goes away.
    delete new created_element;
    // Loading another element colours only that element's own handle, never
    // the freed one; with a sanitizer any touch of freed memory fails here.
    const std::vector<std::uint8_t> restart = record_with({
        {0, "0005"},      // version
        {44, "00000020"}, // flags FLAG_TIMEOUT
        {952, "01"},      // timeout_action ACTION_RESTART
    });
    EXPECT_EQ(load_bytes(other.handle(), restart), RES_OK);
    EXPECT_EQ(other->colour, wxColour(185, 255, 185));
    plugin().vexa_select(nullptr, 0, 0);
    EXPECT_EQ(load_bytes(other.handle(), record_with({{0, "0005"}})), RES_OK);
    EXPECT_EQ(other->colour, *wxWHITE);
    plugin().vexa_delete_instance(other.handle());
    plugin().vexa_reset_gui();
}

TEST(Lifecycle, ManyCreateDeleteCyclesKeepWorking) {
    for (int i = 0; i < 1000; ++i) {
        created_element e;
        plugin().vexa_set_refresh_callback(e.handle(), recording_refresh);
        EXPECT_EQ(e.record().refresh, &recording_refresh);
    }
    plugin().vexa_reset_gui();
}
