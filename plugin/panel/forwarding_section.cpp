#include "panel/forwarding_section.h"

#include <wx/checkbox.h>
#include <wx/gbsizer.h>
#include <wx/panel.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include "panel/panel_builder.h"

namespace {

constexpr int SUB_PANEL_GAP = 2;
constexpr int FORWARD_FROM_MAX = SUBSTR_LAST - 1;
constexpr int FORWARD_TO_MIN = 1;

// Box i forwards to target i.
constexpr std::uint32_t target_flags[FORWARD_TARGET_COUNT] = {FLAG_FORWARD_IN2, FLAG_FORWARD_IN3,
                                                              FLAG_FORWARD_IN4, FLAG_FORWARD_IN5};

// The edited bound gives way so that substr_from < substr_to always holds;
// the spin then shows the bound as stored.
void apply_substring_from(wxSpinCtrl* spin, input_config& c) {
    c.substr_from = static_cast<std::uint8_t>(spin->GetValue());
    if (c.substr_from >= c.substr_to)
        c.substr_from = static_cast<std::uint8_t>(c.substr_to - 1);
    spin->SetValue(c.substr_from);
}

void apply_substring_to(wxSpinCtrl* spin, input_config& c) {
    c.substr_to = static_cast<std::uint8_t>(spin->GetValue());
    if (c.substr_from >= c.substr_to) {
        // Loaded data may hold From 255, with no bound above it: From then
        // gives way by one, or To would wrap to 0 and come before From.
        if (c.substr_from == UINT8_MAX)
            c.substr_from = UINT8_MAX - 1;
        c.substr_to = static_cast<std::uint8_t>(c.substr_from + 1);
    }
    spin->SetValue(c.substr_to);
}

} // namespace

void build_forwarding_section(panel_builder& b, forwarding_section_controls& f) {
    if ((b.capabilities & INPUT_SERIAL_ANY) == 0)
        return;
    const int r = b.row;
    b.separator(r);

    f.label = new wxStaticText(b.parent, wxID_ANY, b.translate("Forward substring"));
    b.place(f.label, r + 1, 0, 1, 3, wxEXPAND);

    auto* range = new wxPanel(b.parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxTAB_TRAVERSAL | wxBORDER_NONE);
    auto* range_sizer = new wxGridBagSizer(SUB_PANEL_GAP, SUB_PANEL_GAP);
    range->SetSizer(range_sizer);
    f.from_label = new wxStaticText(range, wxID_ANY, b.translate("From"));
    f.from_spin = new_spin(range, 0, FORWARD_FROM_MAX, 0);
    f.to_label = new wxStaticText(range, wxID_ANY, b.translate("to"));
    f.to_spin = new_spin(range, FORWARD_TO_MIN, SUBSTR_LAST, SUBSTR_LAST);
    const wxGBSpan one(1, 1);
    range_sizer->Add(f.from_label, wxGBPosition(0, 0), one, wxALIGN_CENTER_VERTICAL);
    range_sizer->Add(f.from_spin, wxGBPosition(0, 1), one, wxALIGN_CENTER_VERTICAL);
    range_sizer->Add(f.to_label, wxGBPosition(0, 2), one, wxALIGN_CENTER_VERTICAL);
    range_sizer->Add(f.to_spin, wxGBPosition(0, 3), one, wxEXPAND);
    b.connect(f.from_spin, wiring::forward_spin);
    b.connect(f.to_spin, wiring::forward_spin);
    b.place(range, r + 2, 1, 1, 3, wxEXPAND);

    const char* const targets[FORWARD_TARGET_COUNT] = {
        TRANSLATABLE("Character Input IN2"), TRANSLATABLE("Character Input IN3"),
        TRANSLATABLE("Character Input IN4"), TRANSLATABLE("Character Input IN5")};
    for (int i = 0; i < FORWARD_TARGET_COUNT; ++i) {
        f.targets[i] = new wxCheckBox(b.parent, wxID_ANY, b.translate(targets[i]));
        b.place(f.targets[i], r + 3 + i, 1, 1, 2, wxEXPAND);
        b.connect(f.targets[i], wiring::check_box);
    }
    b.row += 7;
}

void fill_forwarding_section(forwarding_section_controls& f, const input_config& c) {
    if (f.from_spin == nullptr)
        return;
    f.from_spin->SetValue(c.substr_from);
    f.to_spin->SetValue(c.substr_to);
    for (int i = 0; i < FORWARD_TARGET_COUNT; ++i)
        f.targets[i]->SetValue((c.flags & target_flags[i]) != 0);
}

void refresh_forwarding_section(forwarding_section_controls& f, const input_config& c) {
    if (f.label == nullptr)
        return;
    const bool serial_mode = c.input_mode == INPUT_SERIAL_1 || c.input_mode == INPUT_SERIAL_2;
    wxWindow* const controls[] = {f.label,      f.from_spin,  f.to_spin,
                                  f.from_label, f.to_label,   f.targets[0],
                                  f.targets[1], f.targets[2], f.targets[3]};
    for (wxWindow* control : controls)
        control->Enable(serial_mode);
}

edit_result edit_forwarding_section(const forwarding_section_controls& f, input_config& edited,
                                    int id) {
    if (sent_by(f.from_spin, id)) {
        apply_substring_from(f.from_spin, edited);
        return edit_result::edited;
    }
    if (sent_by(f.to_spin, id)) {
        apply_substring_to(f.to_spin, edited);
        return edit_result::edited;
    }
    for (int i = 0; i < FORWARD_TARGET_COUNT; ++i) {
        if (sent_by(f.targets[i], id)) {
            set_flag(edited, target_flags[i], f.targets[i]->GetValue());
            return edit_result::edited;
        }
    }
    return edit_result::not_sent;
}
