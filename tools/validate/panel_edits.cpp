// Edits through the panel's controls, live or stale, and their effect on the
// model.
#include "validator.h"

namespace validator {

void session::edit() {
    built_panel* p = live_;
    if (p == nullptr || (random_.chance(0.1) && !panels_.empty()))
        p = panels_.empty() ? nullptr : panels_[random_.below(panels_.size())].get();
    if (p == nullptr)
        return select();
    std::vector<wxWindow*> usable;
    for (wxWindow* control : p->controls.operable())
        if (control->IsThisEnabled())
            usable.push_back(control);
    if (usable.empty())
        return select();
    wxWindow* control = random_.pick(usable);
    if (auto* choice = dynamic_cast<wxComboBox*>(control))
        edit_choice(*p, choice);
    else if (auto* radio = dynamic_cast<wxRadioButton*>(control))
        edit_radio(*p, radio);
    else if (auto* box = dynamic_cast<wxCheckBox*>(control))
        edit_check(*p, box);
    else if (auto* spin = dynamic_cast<wxSpinCtrl*>(control))
        edit_spin(*p, spin);
    else if (auto* text = dynamic_cast<wxTextCtrl*>(control))
        edit_text(*p, text);
    else if (auto* button = dynamic_cast<wxButton*>(control))
        edit_bit(*p, button);
}
namespace {
std::string panel_name(const built_panel& p, const built_panel* live) {
    return &p == live ? "panel" : "old panel in W" + std::to_string(p.window->id);
}
} // namespace

void session::after_edit(built_panel& p, bool handled, bool message_edit) {
    std::vector<refresh_call> expected;
    ++(handled ? seen.edits_applied : &p == live_ ? seen.edits_ignored : seen.stale_edits);
    if (handled) {
        element& e = *current_;
        template_ = e.config; // taken before the refresh drops bits
        if (!message_edit) {
            if (e.refresh_set)
                expected.push_back({e.handle->project, e.handle.handle()});
            e.coloured = true;
            e.colour = model::colour_of(e.config);
            model::drop_unoffered_bits(table_, live_->sections, e.config);
            shown_ = &e;
        }
    } else if (&p == live_) {
        shown_ = nullptr; // the control changed without a refresh
    }
    check_refresh_calls(expected, "panel edit");
}

void session::edit_choice(built_panel& p, wxComboBox* choice) {
    const found_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const int count = static_cast<int>(choice->GetCount());
    if (count == 0)
        return;
    const int entry = random_.below(count);
    note(panel_name(p, live_) + ": pick entry " + std::to_string(entry) +
         (choice == k.controller_choice ? " of the controller choice"
          : choice == k.timeout_action  ? " of the timeout action"
                                        : " of the goto list"));
    panel_input::pick(*choice, entry);
    if (handled) {
        input_config& c = current_->config;
        if (choice == k.controller_choice)
            c.controller = static_cast<std::uint8_t>(entry);
        else if (choice == k.timeout_action)
            c.timeout_action = static_cast<std::uint8_t>(entry);
        else if (static_cast<std::size_t>(entry) < current_->element_ids.size())
            c.goto_element = current_->element_ids[entry];
    }
    after_edit(p, handled, false);
}

void session::edit_radio(built_panel& p, wxRadioButton* radio) {
    const found_controls& k = p.controls;
    const bool handled = handled_edit(p);
    note(panel_name(p, live_) + ": choose " + radio->GetLabel().ToStdString());
    panel_input::choose(*radio);
    if (handled) {
        input_config& c = current_->config;
        for (int port = 0; port < model::PORTS; ++port)
            if (radio == k.port_radio[port])
                c.input_mode = model::port_modes[port];
        const std::uint32_t full[] = {FLAG_SERIAL1_FULL, FLAG_SERIAL2_FULL};
        const std::uint32_t sub[] = {FLAG_SERIAL1_SUBSTRING, FLAG_SERIAL2_SUBSTRING};
        for (int s = 0; s < 2; ++s) {
            if (radio == k.serial_radio[s])
                c.input_mode = s == 0 ? INPUT_SERIAL_1 : INPUT_SERIAL_2;
            if (radio == k.full_radio[s])
                c.flags = (c.flags | full[s]) & ~sub[s];
            if (radio == k.sub_radio[s])
                c.flags = (c.flags | sub[s]) & ~full[s];
        }
    }
    after_edit(p, handled, false);
}

void session::edit_check(built_panel& p, wxCheckBox* box) {
    const found_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const bool ticked = random_.chance(0.5);
    note(panel_name(p, live_) + ": " + (ticked ? "tick " : "untick ") +
         box->GetLabel().ToStdString());
    panel_input::tick(*box, ticked);
    if (handled) {
        std::uint32_t flag = 0;
        if (box == k.message_check)
            flag = FLAG_SHOW_MESSAGE;
        else if (box == k.timeout_check)
            flag = FLAG_TIMEOUT;
        for (int i = 0; i < 4; ++i)
            if (box == k.forward_checks[i])
                flag = FLAG_FORWARD_IN2 << i;
        input_config& c = current_->config;
        c.flags = box->GetValue() ? (c.flags | flag) : (c.flags & ~flag);
    }
    after_edit(p, handled, false);
}

// The toolkit's ways of ending a text or spin edit: Enter, or the focus leaving.
void session::send_text_event(built_panel& p, wxWindow* control) {
    if (random_.chance(0.5)) {
        panel_input::press_enter(*control);
        return;
    }
    const bool skipped = panel_input::lose_focus(*control);
    if (&p == live_)
        expect(skipped == !ignoring_,
               "a focus loss must go on to the toolkit exactly when events are not ignored");
}

void session::edit_text(built_panel& p, wxTextCtrl* text) {
    const found_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const bool message = text == k.message_text;
    const wxString value = message ? random_message() : random_compare_text();
    note(panel_name(p, live_) + ": type " + (message ? "message" : "comparison text") + " \"" +
         value.ToStdString(wxConvUTF8) + "\"");
    text->ChangeValue(value);
    send_text_event(p, text);
    if (handled) {
        input_config& c = current_->config;
        const wxString shown = text->GetValue();
        if (message)
            lumo_unicode_stringToCharUTF16BE(shown, reinterpret_cast<char*>(c.wait_message),
                                             WAIT_MESSAGE_CAPACITY);
        else
            lumo_unicode_stringToCharASCII(
                shown, text == k.compare_text[0] ? c.compare_text1 : c.compare_text2,
                COMPARE_TEXT_CAPACITY);
    }
    after_edit(p, handled, message);
}

void session::edit_spin(built_panel& p, wxSpinCtrl* spin) {
    const found_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const int value = random_.between(spin->GetMin(), spin->GetMax());
    const char* name = spin == k.timeout_spin ? "timeout" : spin == k.forward_from ? "From" : "to";
    note(panel_name(p, live_) + ": set " + name + " spin to " + std::to_string(value));
    const int way = random_.below(3);
    if (way == 0) {
        panel_input::spin_to(*spin, value);
    } else {
        spin->SetValue(value);
        send_text_event(p, spin);
    }
    if (handled) {
        input_config& c = current_->config;
        if (spin == k.timeout_spin) {
            c.timeout_sec = static_cast<std::uint32_t>(value);
        } else if (spin == k.forward_from) {
            c.substr_from = static_cast<std::uint8_t>(value);
            if (c.substr_from >= c.substr_to)
                c.substr_from = static_cast<std::uint8_t>(c.substr_to - 1);
            // Loaded bounds may lie beyond what the spin can show.
            expect_equal(spin->GetValue(), std::clamp<int>(c.substr_from, 0, 198),
                         "From spin after the edit");
        } else {
            c.substr_to = static_cast<std::uint8_t>(value);
            if (c.substr_from >= c.substr_to) {
                // A loaded From of 255 leaves no room above it: it moves down.
                if (c.substr_from == 255)
                    c.substr_from = 254;
                c.substr_to = static_cast<std::uint8_t>(c.substr_from + 1);
            }
            expect_equal(spin->GetValue(), std::clamp<int>(c.substr_to, 1, 199),
                         "to spin after the edit");
        }
        if (spin != k.timeout_spin) // loaded bounds may be out of order until edited
            expect(c.substr_from < c.substr_to, "substr_from < substr_to after a bound's edit");
    }
    after_edit(p, handled, false);
}

namespace {
// A click on a bit button as a table of states, not as bit operations, so
// that a wrong cycle in the panel cannot also be the validator's: the label
// the button showed and the bit's stored mask and value before, then the mask
// and value after. The click goes by the label alone, which after a selection
// that did not fill the panel may belong to another element than the stored
// bits, so every stored pair is listed under each label.
struct bit_click {
    const char* label;
    int mask_before, value_before, mask_after, value_after;
};
constexpr bit_click bit_clicks[] = {
    // "X" becomes "0": compared, and must be 0.
    {"X", 0, 0, 1, 0},
    {"X", 0, 1, 1, 0},
    {"X", 1, 0, 1, 0},
    {"X", 1, 1, 1, 0},
    // "0" becomes "1": the value bit is set, the mask bit kept.
    {"0", 0, 0, 0, 1},
    {"0", 0, 1, 0, 1},
    {"0", 1, 0, 1, 1},
    {"0", 1, 1, 1, 1},
    // "1" becomes "X": no longer compared; the value bit stays as it was.
    {"1", 0, 0, 0, 0},
    {"1", 0, 1, 0, 1},
    {"1", 1, 0, 0, 0},
    {"1", 1, 1, 0, 1},
};
// Any other label (the translated "X" a new panel shows before its first
// refresh) changes nothing.
} // namespace

void session::edit_bit(built_panel& p, wxButton* button) {
    const found_controls& k = p.controls;
    const bool handled = handled_edit(p);
    const wxString label = button->GetLabel();
    int port = -1, index = -1;
    for (int q = 0; q < model::PORTS && port < 0; ++q)
        for (std::size_t i = 0; i < k.bit_buttons[q].size(); ++i)
            if (k.bit_buttons[q][i] == button) {
                port = q;
                index = static_cast<int>(i);
            }
    note(panel_name(p, live_) + ": click bit button " + std::to_string(index) + " of port " +
         std::to_string(port) + " showing " + label.ToStdString());
    panel_input::click(*button);
    if (handled) {
        input_config& c = current_->config;
        const std::uint32_t bit = model::button_bit(port, index);
        std::uint32_t value = model::port_value(c, port), mask = model::port_mask(c, port);
        const int mask_before = (mask & bit) != 0, value_before = (value & bit) != 0;
        const bit_click* row = nullptr;
        for (const bit_click& r : bit_clicks)
            if (label == r.label && r.mask_before == mask_before && r.value_before == value_before)
                row = &r;
        ++seen.bit_clicks[row == nullptr ? 3 : (row - bit_clicks) / 4]; // four rows per label
        if (row != nullptr) {
            mask = row->mask_after != 0 ? mask | bit : mask & ~bit;
            value = row->value_after != 0 ? value | bit : value & ~bit;
        }
        model::set_port(c, port, value, mask);
    }
    after_edit(p, handled, false);
}
} // namespace validator
