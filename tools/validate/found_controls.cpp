#include "found_controls.h"

#include <map>

#include <wx/gbsizer.h>
#include <wx/panel.h>

namespace {

// The main sizer's windows by (row, column) of their top-left cell.
using grid = std::map<std::pair<int, int>, wxWindow*>;

grid cells_of(wxSizer* sizer) {
    grid cells;
    auto* bag = dynamic_cast<wxGridBagSizer*>(sizer);
    if (bag == nullptr)
        return cells;
    for (wxSizerItem* item : bag->GetChildren()) {
        auto* cell = static_cast<wxGBSizerItem*>(item);
        if (cell->GetWindow() != nullptr)
            cells[{cell->GetPos().GetRow(), cell->GetPos().GetCol()}] = cell->GetWindow();
    }
    return cells;
}

template <class T> T* at(const grid& cells, int row, int column) {
    const auto found = cells.find({row, column});
    return found == cells.end() ? nullptr : dynamic_cast<T*>(found->second);
}

// The buttons of the bit panel at (row, 0), in their sizer's order.
std::vector<wxButton*> bit_row(const grid& cells, int row) {
    std::vector<wxButton*> buttons;
    auto* panel = at<wxPanel>(cells, row, 0);
    if (panel == nullptr || panel->GetSizer() == nullptr)
        return buttons;
    for (wxSizerItem* item : panel->GetSizer()->GetChildren())
        if (auto* button = dynamic_cast<wxButton*>(item->GetWindow()))
            buttons.push_back(button);
    return buttons;
}

// The port of a digital radio's label ("...Digital 2 (16 Bit)..."), or -1.
int port_of_label(const wxString& label) {
    const int at = label.Find("Digital ");
    if (at == wxNOT_FOUND || static_cast<std::size_t>(at) + 8 >= label.length())
        return -1;
    const int number = static_cast<int>(label[at + 8].GetValue()) - '1';
    if (number != 0 && number != 1)
        return -1;
    if (label.Contains("(8 Bit)"))
        return number;
    if (label.Contains("(16 Bit)"))
        return 2 + number;
    if (label.Contains("(32 Bit)"))
        return 4;
    return -1;
}

} // namespace

model::panel_sections found_controls::sections() const {
    model::panel_sections s;
    for (int port = 0; port < model::PORTS; ++port)
        s.port[port] = port_radio[port] != nullptr;
    s.serial1 = serial_radio[0] != nullptr;
    s.serial2 = serial_radio[1] != nullptr;
    s.forwarding = forward_from != nullptr;
    s.timeout = timeout_check != nullptr;
    return s;
}

std::vector<wxWindow*> found_controls::operable() const {
    std::vector<wxWindow*> all{controller_choice, message_check, message_text,
                               timeout_check,     timeout_spin,  timeout_action,
                               goto_choice,       forward_from,  forward_to};
    for (int port = 0; port < model::PORTS; ++port) {
        all.push_back(port_radio[port]);
        all.insert(all.end(), bit_buttons[port].begin(), bit_buttons[port].end());
    }
    for (int k = 0; k < 2; ++k)
        all.insert(all.end(), {serial_radio[k], compare_text[k], full_radio[k], sub_radio[k]});
    all.insert(all.end(), forward_checks, forward_checks + 4);
    std::vector<wxWindow*> present;
    for (wxWindow* control : all)
        if (control != nullptr)
            present.push_back(control);
    return present;
}

bool find_panel(wxWindow* window, found_controls& p, std::string& error) {
    p.window = window;
    const grid cells = cells_of(window->GetSizer());
    if (cells.empty()) {
        error = "the window has no grid-bag sizer with controls";
        return false;
    }
    p.controller_choice = at<wxComboBox>(cells, 0, 0);
    for (const auto& [place, control] : cells) {
        const int row = place.first;
        if (place.second != 0)
            continue;
        if (auto* radio = dynamic_cast<wxRadioButton*>(control)) {
            const wxString label = radio->GetLabel();
            const int port = port_of_label(label);
            if (port >= 0) {
                p.port_radio[port] = radio;
                for (int k = 0; k < model::port_widths[port] / 8; ++k)
                    for (wxButton* button : bit_row(cells, row + 1 + k))
                        p.bit_buttons[port].push_back(button);
                if (p.bit_buttons[port].size() !=
                    static_cast<std::size_t>(model::port_widths[port])) {
                    error = "the bit buttons of " + label.ToStdString() + " are not all there";
                    return false;
                }
            } else if (label.Contains("Serial Interface")) {
                const int k = label.EndsWith(" 2") ? 1 : 0;
                p.serial_radio[k] = radio;
                p.compare_text[k] = at<wxTextCtrl>(cells, row + 1, 0);
                p.full_radio[k] = at<wxRadioButton>(cells, row + 2, 1);
                p.sub_radio[k] = at<wxRadioButton>(cells, row + 3, 1);
                if (!p.compare_text[k] || !p.full_radio[k] || !p.sub_radio[k]) {
                    error = "serial interface rows incomplete";
                    return false;
                }
            }
        } else if (auto* label = dynamic_cast<wxStaticText*>(control)) {
            if (!label->GetLabel().Contains("Forward substring"))
                continue;
            p.forward_label = label;
            auto* sub = at<wxPanel>(cells, row + 1, 1);
            const grid inner = sub ? cells_of(sub->GetSizer()) : grid{};
            p.forward_from_label = at<wxStaticText>(inner, 0, 0);
            p.forward_from = at<wxSpinCtrl>(inner, 0, 1);
            p.forward_to_label = at<wxStaticText>(inner, 0, 2);
            p.forward_to = at<wxSpinCtrl>(inner, 0, 3);
            for (int i = 0; i < 4; ++i)
                p.forward_checks[i] = at<wxCheckBox>(cells, row + 2 + i, 1);
            if (!p.forward_from || !p.forward_to || !p.forward_from_label || !p.forward_to_label ||
                !p.forward_checks[3]) {
                error = "forwarding rows incomplete";
                return false;
            }
        } else if (auto* box = dynamic_cast<wxCheckBox*>(control)) {
            if (box->GetLabel().Contains("Display message during wait")) {
                p.message_check = box;
                p.message_text = at<wxTextCtrl>(cells, row + 1, 0);
            } else if (box->GetLabel().Contains("Timeout")) {
                p.timeout_check = box;
                p.timeout_spin = at<wxSpinCtrl>(cells, row, 1);
                p.timeout_unit = at<wxStaticText>(cells, row, 2);
                p.timeout_action = at<wxComboBox>(cells, row + 1, 1);
                p.goto_choice = at<wxComboBox>(cells, row + 2, 1);
                if (!p.timeout_spin || !p.timeout_unit || !p.timeout_action || !p.goto_choice) {
                    error = "timeout rows incomplete";
                    return false;
                }
            }
        }
    }
    if (p.controller_choice == nullptr || p.message_check == nullptr || p.message_text == nullptr) {
        error = "controller row or message section missing";
        return false;
    }
    if ((p.serial_radio[0] || p.serial_radio[1]) != (p.forward_from != nullptr)) {
        error = "forwarding section present without serial interface, or missing with one";
        return false;
    }
    return true;
}
