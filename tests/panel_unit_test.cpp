// The panel's small rules, white-box: the bit cycle and labels, the number
// formats, the radio that can be cleared, and the goto list's row changes.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include "panel/digital_ports.h"
#include "panel/list_update.h"
#include "panel/panel_builder.h"
#include "panel/panel_radio.h"

TEST(BitState, ClicksCycleXZeroOneAndBack) {
    std::uint32_t value = 0, mask = 0;
    const std::uint32_t bit = 0x10;
    const char* expected[] = {"0", "1", "X", "0"};
    for (const char* label : expected) {
        ASSERT_TRUE(cycle_bit_state(bit_state(value, mask, bit), bit, value, mask));
        EXPECT_EQ(bit_state(value, mask, bit), label);
    }
    // Back at "0" through "X": the value bit left set at "1" -> "X" is cleared again.
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(mask, bit);
}

TEST(BitState, OnlyTheLiteralLabelsCount) {
    std::uint32_t value = 0x3, mask = 0x1;
    for (const char* label : {"T(X)", "x", "", "10"})
        EXPECT_FALSE(cycle_bit_state(label, 0x2, value, mask)) << label;
    EXPECT_EQ(value, 0x3u);
    EXPECT_EQ(mask, 0x1u);
    // A value bit under a clear mask bit shows "X".
    EXPECT_EQ(bit_state(0x2, 0x1, 0x2), "X");
}

TEST(FormatNumber, FillsEveryDecimalConversionAndKeepsAllElse) {
    EXPECT_EQ(format_number("Bit %d", 31), "Bit 31");
    EXPECT_EQ(format_number("Digital %d (8 Bit)", 2), "Digital 2 (8 Bit)");
    EXPECT_EQ(format_number("%d. Eingang %d", 1), "1. Eingang 1");
    EXPECT_EQ(format_number("100%% %s %n %", 5), "100% %s %n %");
    EXPECT_EQ(format_number("", 5), "");
}

TEST(PanelRadio, StartsClearedAndCanBeClearedAgainAloneInItsParent) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "radios");
    auto* first = new panel_radio(frame, "first");
    auto* second = new panel_radio(frame, "second");
    EXPECT_FALSE(first->GetValue());
    EXPECT_FALSE(second->GetValue());
    first->SetValue(true);
    second->SetValue(true);
    EXPECT_TRUE(first->GetValue()); // no grouping between them
    first->SetValue(false);
    EXPECT_FALSE(first->GetValue());
    EXPECT_TRUE(second->GetValue());
    first->SetValue(false);
    EXPECT_FALSE(first->GetValue());
    frame->Destroy();
}

TEST(ListUpdate, ReplacesOnlyTheRowsBetweenTheSharedStartAndEnd) {
    const std::vector<wxString> shown{"a", "b", "c", "d"};
    auto plan = [&](std::vector<wxString> names) {
        const list_update u = plan_list_update(shown, names.data(), names.size());
        return std::vector<std::size_t>{u.first, u.removed, u.inserted};
    };
    using rows = std::vector<std::size_t>;
    EXPECT_EQ(plan({"a", "b", "c", "d"}), (rows{4, 0, 0}));
    EXPECT_EQ(plan({"a", "B", "c", "d"}), (rows{1, 1, 1}));      // renamed
    EXPECT_EQ(plan({"a", "b", "x", "c", "d"}), (rows{2, 0, 1})); // inserted
    EXPECT_EQ(plan({"a", "c", "d"}), (rows{1, 1, 0}));           // removed
    EXPECT_EQ(plan({"w", "x", "y", "z"}), (rows{0, 4, 4}));      // another project
    EXPECT_EQ(plan({}), (rows{0, 4, 0}));
    // Repeated names: the shared end never reaches back into the shared start.
    const std::vector<wxString> twice{"a", "a"};
    const std::vector<wxString> thrice{"a", "a", "a"};
    const list_update grown = plan_list_update(twice, thrice.data(), thrice.size());
    EXPECT_EQ(grown.first, 2u);
    EXPECT_EQ(grown.removed, 0u);
    EXPECT_EQ(grown.inserted, 1u);
}
