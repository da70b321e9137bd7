#include "panel/panel_builder.h"

#include <wx/combobox.h>
#include <wx/gbsizer.h>
#include <wx/spinctrl.h>
#include <wx/statline.h>

#include "lumo.h"
#include "panel/event_handler.h"

wxString panel_builder::translate(const wxString& text) const {
    return translator != nullptr ? translator->translate(text) : text;
}

void panel_builder::place(wxWindow* window, int at_row, int column, int rows, int columns,
                          int flags) const {
    sizer->Add(window, wxGBPosition(at_row, column), wxGBSpan(rows, columns), flags, 0);
}

void panel_builder::separator(int at_row) const {
    auto* line =
        new wxStaticLine(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_HORIZONTAL);
    place(line, at_row, 0, 1, PANEL_COLUMNS, wxEXPAND);
}

void panel_builder::connect(wxWindow* control, wiring kind) const {
    auto command = [&](wxEventType type) {
        control->Connect(type, wxCommandEventHandler(EventHandler::handle_control_event), nullptr,
                         handler);
    };
    auto focus_lost = [&] {
        control->Connect(wxEVT_KILL_FOCUS, wxFocusEventHandler(EventHandler::handle_focus_lost),
                         nullptr, handler);
    };
    auto spin_change = [&] {
        control->Connect(wxEVT_SPINCTRL, wxSpinEventHandler(EventHandler::handle_spin_change),
                         nullptr, handler);
    };
    switch (kind) {
    case wiring::choice:
        command(wxEVT_COMBOBOX);
        break;
    case wiring::radio:
        command(wxEVT_RADIOBUTTON);
        break;
    case wiring::bit_button:
        command(wxEVT_BUTTON);
        break;
    case wiring::check_box:
        command(wxEVT_CHECKBOX);
        break;
    case wiring::text:
        command(wxEVT_TEXT_ENTER);
        focus_lost();
        break;
    case wiring::forward_spin:
        command(wxEVT_TEXT_ENTER);
        focus_lost();
        command(wxEVT_SPINCTRL);
        break;
    case wiring::timeout_spin:
        command(wxEVT_TEXT_ENTER);
        focus_lost();
        spin_change();
        break;
    }
}

wxString format_number(const wxString& format, int number) {
    const wxString digits = wxString::Format("%d", number);
    wxString text;
    text.reserve(format.length() + digits.length());
    for (auto it = format.begin(); it != format.end(); ++it) {
        auto next = it + 1;
        if (*it == '%' && next != format.end() && (*next == 'd' || *next == '%')) {
            text += *next == 'd' ? digits : wxString("%");
            it = next;
        } else {
            text += *it;
        }
    }
    return text;
}

lumoTextCtrl* new_text(wxWindow* parent, long style) {
    return new lumoTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            style, false);
}

wxSpinCtrl* new_spin(wxWindow* parent, int min, int max, int initial) {
    return new wxSpinCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                          wxSP_ARROW_KEYS | wxTE_PROCESS_ENTER, min, max, initial);
}

wxComboBox* new_choice(wxWindow* parent) {
    return new wxComboBox(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                          nullptr, wxCB_READONLY | wxCB_DROPDOWN);
}

void set_text(lumoTextCtrl* text, const wxString& value) {
    if (text->GetValue() != value)
        text->ChangeValue(value);
}
