// The panel as built into the host's window: which sections exist, where each
// control sits on the grid-bag sizer, and what its labels, styles and ranges
// are. Labels come through the marking translator ("T(...)").
#include <algorithm>

#include <gtest/gtest.h>
#include <wx/statline.h>

#include "test_support/panel_host.h"

namespace {

constexpr int EXPAND = wxEXPAND;
constexpr int CENTRED = wxALIGN_CENTER_VERTICAL;
constexpr int RIGHT_CENTRED = wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL;

int last_row(const panel_host& host) {
    int last = 0;
    for (wxSizerItem* item : host.sizer()->GetChildren()) {
        auto* gb = static_cast<wxGBSizerItem*>(item);
        last = std::max(last, gb->GetPos().GetRow() + gb->GetSpan().GetRowspan() - 1);
    }
    return last;
}

void expect_separator(const panel_host& host, int row) {
    SCOPED_TRACE(testing::Message() << "separator at row " << row);
    auto* line = expect_cell<wxStaticLine>(host, row, 0, 1, 4, EXPAND);
    if (line) {
        EXPECT_TRUE(line->HasFlag(wxLI_HORIZONTAL));
    }
}

// The message rows at r and the timeout rows after them.
void expect_message_section(const panel_host& host, int r) {
    SCOPED_TRACE(testing::Message() << "message section at row " << r);
    expect_separator(host, r);
    auto* check = expect_cell<wxCheckBox>(host, r + 1, 0, 1, 3, EXPAND);
    if (check) {
        EXPECT_EQ(check->GetLabel(), "T(Display message during wait):");
    }
    auto* text = expect_cell<wxTextCtrl>(host, r + 2, 0, 3, 3, EXPAND);
    if (text) {
        EXPECT_TRUE(text->HasFlag(wxTE_MULTILINE) && text->HasFlag(wxTE_PROCESS_ENTER));
    }
}

void expect_timeout_section(const panel_host& host, int r) {
    SCOPED_TRACE(testing::Message() << "timeout section at row " << r);
    expect_separator(host, r);
    auto* check = expect_cell<wxCheckBox>(host, r + 1, 0, 1, 1, EXPAND);
    if (check) {
        EXPECT_EQ(check->GetLabel(), "T(Timeout):");
    }
    auto* spin = expect_cell<wxSpinCtrl>(host, r + 1, 1, 1, 1, EXPAND);
    if (spin) {
        EXPECT_EQ(spin->GetMin(), 3);
        EXPECT_EQ(spin->GetMax(), 3600);
        EXPECT_TRUE(spin->HasFlag(wxSP_ARROW_KEYS) && spin->HasFlag(wxTE_PROCESS_ENTER));
    }
    auto* unit = expect_cell<wxStaticText>(host, r + 1, 2, 1, 1, CENTRED);
    if (unit) {
        EXPECT_EQ(unit->GetLabel(), "T(sec)");
    }
    auto* action = expect_cell<wxComboBox>(host, r + 2, 1, 1, 3, EXPAND);
    if (action) {
        ASSERT_EQ(action->GetCount(), 4u);
        EXPECT_EQ(action->GetString(0), "T(Continue marking)");
        EXPECT_EQ(action->GetString(1), "T(Restart project)");
        EXPECT_EQ(action->GetString(2), "T(Stop marking)");
        EXPECT_EQ(action->GetString(3), "T(Go to element):");
        EXPECT_EQ(action->GetSelection(), 0);
        EXPECT_TRUE(action->HasFlag(wxCB_READONLY));
    }
    auto* goto_choice = expect_cell<wxComboBox>(host, r + 3, 1, 1, 3, EXPAND);
    if (goto_choice) {
        EXPECT_EQ(goto_choice->GetCount(), 0u);
    }
}

void expect_serial_section(const panel_host& host, int r, int number, const char* substring) {
    SCOPED_TRACE(testing::Message() << "serial " << number << " at row " << r);
    expect_separator(host, r);
    auto* radio = expect_cell<wxRadioButton>(host, r + 1, 0, 1, 3, EXPAND);
    if (radio) {
        EXPECT_EQ(radio->GetLabel(), wxString::Format("T(Serial Interface) %d", number));
        EXPECT_FALSE(radio->GetValue());
    }
    auto* text = expect_cell<wxTextCtrl>(host, r + 2, 0, 1, 3, EXPAND);
    if (text) {
        EXPECT_TRUE(text->HasFlag(wxTE_PROCESS_ENTER));
        // At most 200 characters: a 201st does not go in.
        text->ChangeValue(wxString('a', 200));
        text->AppendText("b");
        EXPECT_EQ(text->GetValue(), wxString('a', 200));
        text->ChangeValue("");
    }
    auto* full = expect_cell<wxRadioButton>(host, r + 3, 1, 1, 2, 0);
    if (full) {
        EXPECT_EQ(full->GetLabel(), "T(Compare full string)");
    }
    auto* sub = expect_cell<wxRadioButton>(host, r + 4, 1, 1, 2, 0);
    if (sub) {
        EXPECT_EQ(sub->GetLabel(), substring);
    }
}

void expect_forwarding_section(const panel_host& host, int r) {
    SCOPED_TRACE(testing::Message() << "forwarding at row " << r);
    expect_separator(host, r);
    auto* label = expect_cell<wxStaticText>(host, r + 1, 0, 1, 3, EXPAND);
    if (label) {
        EXPECT_EQ(label->GetLabel(), "T(Forward substring)");
    }
    auto* range = expect_cell<wxPanel>(host, r + 2, 1, 1, 3, EXPAND);
    ASSERT_NE(range, nullptr);
    EXPECT_TRUE(range->HasFlag(wxTAB_TRAVERSAL));
    auto* sub = dynamic_cast<wxGridBagSizer*>(range->GetSizer());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->GetVGap(), 2);
    EXPECT_EQ(sub->GetHGap(), 2);
    const int flags[] = {CENTRED, CENTRED, CENTRED, EXPAND};
    for (int column = 0; column < 4; ++column) {
        wxGBSizerItem* item = sub->FindItemAtPosition(wxGBPosition(0, column));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetSpan(), wxGBSpan(1, 1));
        EXPECT_EQ(item->GetFlag(), flags[column]);
        EXPECT_EQ(item->GetWindow()->GetParent(), range);
    }
    auto window_at = [&](int column) { return sub->FindItemAtPosition({0, column})->GetWindow(); };
    EXPECT_EQ(static_cast<wxStaticText*>(window_at(0))->GetLabel(), "T(From)");
    EXPECT_EQ(static_cast<wxStaticText*>(window_at(2))->GetLabel(), "T(to)");
    auto* from = dynamic_cast<wxSpinCtrl*>(window_at(1));
    auto* to = dynamic_cast<wxSpinCtrl*>(window_at(3));
    ASSERT_TRUE(from && to);
    EXPECT_EQ(from->GetMin(), 0);
    EXPECT_EQ(from->GetMax(), 198);
    EXPECT_EQ(from->GetValue(), 0);
    EXPECT_EQ(to->GetMin(), 1);
    EXPECT_EQ(to->GetMax(), 199);
    EXPECT_EQ(to->GetValue(), 199);
    for (int i = 0; i < 4; ++i) {
        auto* check = expect_cell<wxCheckBox>(host, r + 3 + i, 1, 1, 2, EXPAND);
        if (check) {
            EXPECT_EQ(check->GetLabel(), wxString::Format("T(Character Input IN%d)", i + 2));
        }
    }
}

// A digital section at r: its radio, then one bit panel per 8 bits, with the
// bits counted down from width-1.
void expect_digital_section(const panel_host& host, int r, int width, int number) {
    SCOPED_TRACE(testing::Message() << width << "-bit port " << number << " at row " << r);
    auto* radio = expect_cell<wxRadioButton>(host, r, 0, 1, 3, EXPAND);
    if (radio) {
        EXPECT_EQ(radio->GetLabel(), wxString::Format("T(Digital %%d (%d Bit))", width)
                                         .Format("T(Digital %d (%d Bit))", number, width));
        EXPECT_FALSE(radio->GetValue());
    }
    int bit = width - 1;
    for (int k = 0; k < width / 8; ++k) {
        auto* panel = expect_cell<wxPanel>(host, r + 1 + k, 0, 1, 3, RIGHT_CENTRED);
        ASSERT_NE(panel, nullptr);
        EXPECT_TRUE(panel->HasFlag(wxTAB_TRAVERSAL));
        auto* grid = dynamic_cast<wxGridSizer*>(panel->GetSizer());
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->GetRows(), 1);
        EXPECT_EQ(grid->GetCols(), 8);
        EXPECT_EQ(grid->GetVGap(), 2);
        EXPECT_EQ(grid->GetHGap(), 2);
        const std::vector<wxButton*> buttons = host.bit_buttons(r + 1 + k);
        ASSERT_EQ(buttons.size(), 8u);
        for (wxButton* button : buttons) {
            EXPECT_EQ(button->GetLabel(), "T(X)");
            EXPECT_TRUE(button->HasFlag(wxBU_EXACTFIT));
            EXPECT_EQ(button->GetToolTipText(), wxString::Format("T(Bit %d)", bit--));
            wxSizerItem* item = grid->GetItem(button);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->GetProportion(), 1);
            EXPECT_EQ(item->GetFlag(), EXPAND);
        }
    }
}

void expect_controller_row(const panel_host& host) {
    auto* choice = expect_cell<wxComboBox>(host, 0, 0, 1, 4, EXPAND);
    ASSERT_NE(choice, nullptr);
    EXPECT_TRUE(choice->HasFlag(wxCB_READONLY));
    ASSERT_EQ(choice->GetCount(), 9u);
    for (unsigned n = 1; n <= 9; ++n) {
        EXPECT_EQ(choice->GetString(n - 1), wxString::Format("T(Scanner Controller) %u", n));
    }
    EXPECT_EQ(choice->GetSelection(), 0);
}

} // namespace

TEST(PanelLayout, WithoutCapabilitiesOnlyControllerMessageAndTimeout) {
    panel_host host;
    host.create();
    ASSERT_NE(host.sizer(), nullptr);
    EXPECT_EQ(host.sizer()->GetVGap(), 2);
    EXPECT_EQ(host.sizer()->GetHGap(), 2);
    expect_controller_row(host);
    expect_message_section(host, 1);
    expect_timeout_section(host, 6);
    EXPECT_EQ(last_row(host), 9);
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(host.sizer()->IsColGrowable(column), column == 1 || column == 2) << column;
    }
    // Separators, controller, message (2), timeout (5): nothing else is shown.
    EXPECT_EQ(host.shown_children().size(), 1u + 2 + 2 + 5);
}

TEST(PanelLayout, OnlyEightBitPortTwo) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_2);
    host.create();
    expect_controller_row(host);
    expect_digital_section(host, 1, 8, 2);
    expect_message_section(host, 3);
    expect_timeout_section(host, 8);
    // The only radio in the panel is port 2's.
    int radios = 0;
    for (wxWindow* child : host.shown_children())
        radios += dynamic_cast<wxRadioButton*>(child) != nullptr;
    EXPECT_EQ(radios, 1);
}

TEST(PanelLayout, AllFiveDigitalSectionsAreCompactAndCountBitsDown) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_1 | INPUT_DIGI16_1 | INPUT_DIGI32);
    host.describe(1, INPUT_DIGI8_2 | INPUT_DIGI16_2);
    host.create();
    expect_digital_section(host, 1, 8, 1);
    expect_digital_section(host, 3, 8, 2);
    expect_digital_section(host, 5, 16, 1);
    expect_digital_section(host, 8, 16, 2);
    expect_digital_section(host, 11, 32, 1);
    expect_message_section(host, 16);
    expect_timeout_section(host, 21);
}

TEST(PanelLayout, SerialInterfaceOneAloneWithForwarding) {
    panel_host host;
    host.describe(0, INPUT_SERIAL_1);
    host.create();
    expect_serial_section(host, 1, 1, "T(Compare (sub)string)");
    expect_forwarding_section(host, 6);
    expect_message_section(host, 13);
    expect_timeout_section(host, 18);
}

TEST(PanelLayout, SerialInterfaceTwoAloneHasItsOwnSubstringLabel) {
    panel_host host;
    host.describe(3, INPUT_SERIAL_2);
    host.create();
    expect_serial_section(host, 1, 2, "T(Compare substring)");
    expect_forwarding_section(host, 6);
    expect_message_section(host, 13);
}

TEST(PanelLayout, BothSerialInterfacesShareOneForwardingSection) {
    panel_host host;
    host.describe(0, INPUT_SERIAL_1 | INPUT_SERIAL_2 | INPUT_DIGI8_1);
    host.create();
    expect_digital_section(host, 1, 8, 1);
    expect_serial_section(host, 3, 1, "T(Compare (sub)string)");
    expect_serial_section(host, 8, 2, "T(Compare substring)");
    expect_forwarding_section(host, 13);
    expect_message_section(host, 20);
    expect_timeout_section(host, 25);
    EXPECT_EQ(last_row(host), 28);
}

TEST(PanelLayout, NoTimeoutSectionEndsWithTheMessageText) {
    panel_host host;
    host.describe(0, INPUT_SERIAL_1);
    creation_record options(true);
    host.create(&options);
    expect_message_section(host, 13);
    EXPECT_EQ(last_row(host), 17);
    EXPECT_EQ(host.at(18, 0), nullptr);
}

TEST(PanelLayout, LabelsPassWholeThroughTheTranslator) {
    panel_host host;
    host.describe(0,
                  INPUT_DIGI8_1 | INPUT_DIGI16_1 | INPUT_DIGI32 | INPUT_SERIAL_1 | INPUT_SERIAL_2);
    host.create();
    const std::vector<wxString>& asked = host.translator.translated;
    for (const char* text : {"Scanner Controller",
                             "Digital %d (8 Bit)",
                             "Digital %d (16 Bit)",
                             "Digital %d (32 Bit)",
                             "Bit %d",
                             "X",
                             "Serial Interface",
                             "Compare full string",
                             "Compare (sub)string",
                             "Compare substring",
                             "Forward substring",
                             "From",
                             "to",
                             "Character Input IN2",
                             "Character Input IN5",
                             "Display message during wait",
                             "Timeout",
                             "sec",
                             "Continue marking",
                             "Restart project",
                             "Stop marking",
                             "Go to element"})
        EXPECT_NE(std::find(asked.begin(), asked.end(), text), asked.end()) << text;
    // Numbers and suffixes are never sent.
    for (const wxString& text : asked) {
        EXPECT_FALSE(text.EndsWith(":") || text.EndsWith(" 1") || text.Contains("Bit 7")) << text;
    }
}

TEST(PanelLayout, HostWithoutTranslatorGetsTheTextsUnchanged) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_1);
    host_element element;
    element->parent_window = host.window();
    ASSERT_EQ(plugin().vexa_create_instance(element.handle(), nullptr), RES_OK);
    EXPECT_EQ(host.control<wxRadioButton>(1, 0)->GetLabel(), "Digital 1 (8 Bit)");
    EXPECT_EQ(host.bit_buttons(2)[0]->GetToolTipText(), "Bit 7");
    EXPECT_EQ(host.control<wxComboBox>(0, 0)->GetString(8), "Scanner Controller 9");
    plugin().vexa_delete_instance(element.handle());
}

TEST(PanelLayout, TranslatedFormatsNeverMisreadTheirNumber) {
    // A translation with other conversions must not read arguments that are not there.
    class odd_translator final : public translator_base {
    public:
        wxString translate(const wxString& source) override {
            return source == "Bit %d" ? "%s 100%% Bit %d %n" : source;
        }
    } odd;
    panel_host host;
    host.describe(0, INPUT_DIGI8_1);
    host_element element;
    element->parent_window = host.window();
    element->translator = &odd;
    ASSERT_EQ(plugin().vexa_create_instance(element.handle(), nullptr), RES_OK);
    EXPECT_EQ(host.bit_buttons(2)[0]->GetToolTipText(), "%s 100% Bit 7 %n");
    plugin().vexa_delete_instance(element.handle());
}

TEST(PanelCreation, EmptyWindowGetsThePanelOnceAndLaterCreationsOnlyBecomeCurrent) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_1);
    host_element& first = host.create();
    wxGridBagSizer* sizer = host.sizer();
    ASSERT_NE(sizer, nullptr);
    const std::size_t children = host.window()->GetChildren().size();
    host_element& second = host.create();
    EXPECT_EQ(host.sizer(), sizer);
    EXPECT_EQ(host.window()->GetChildren().size(), children);

    // Edits now reach the second element.
    choose(host.control<wxRadioButton>(1, 0));
    EXPECT_EQ(record_of(second).config.input_mode, INPUT_DIGI8_1);
    EXPECT_EQ(record_of(first).config.input_mode, 0u);
}

TEST(PanelCreation, AfterResetTheNextSelectionBuildsANewPanelAndOldControlsAreDead) {
    panel_host host;
    host.describe(0, INPUT_DIGI8_1);
    host_element& element = host.create();
    wxRadioButton* old_radio = host.control<wxRadioButton>(1, 0);
    EXPECT_EQ(plugin().vexa_reset_gui(), RES_INVALID);
    // The reset forgot the capabilities; the host describes its controllers again.
    host.describe(0, INPUT_DIGI8_1 | INPUT_SERIAL_1);
    host.select(element);
    wxRadioButton* new_radio = host.control<wxRadioButton>(1, 0);
    ASSERT_NE(new_radio, nullptr);
    EXPECT_NE(new_radio, old_radio);
    EXPECT_NE(host.control<wxRadioButton>(4, 0), nullptr); // the new panel has serial 1

    record_of(element).config.input_mode = INPUT_SERIAL_1;
    choose(old_radio);
    EXPECT_EQ(record_of(element).config.input_mode, INPUT_SERIAL_1);
    choose(new_radio);
    EXPECT_EQ(record_of(element).config.input_mode, INPUT_DIGI8_1);
}

TEST(PanelCreation, AfterResetTheNextCreationIntoAnEmptyWindowBuildsAgain) {
    panel_host host;
    host.create();
    plugin().vexa_reset_gui();
    host.describe(0, INPUT_SERIAL_2);
    auto* fresh = new wxPanel(host.frame(), wxID_ANY);
    host_element element;
    element->parent_window = fresh;
    ASSERT_EQ(plugin().vexa_create_instance(element.handle(), nullptr), RES_OK);
    auto* sizer = dynamic_cast<wxGridBagSizer*>(fresh->GetSizer());
    ASSERT_NE(sizer, nullptr);
    wxGBSizerItem* radio = sizer->FindItemAtPosition(wxGBPosition(2, 0));
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->GetWindow()->GetLabel(), "Serial Interface 2");
    plugin().vexa_delete_instance(element.handle());
}
