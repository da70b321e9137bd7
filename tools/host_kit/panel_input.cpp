#include "host_kit/panel_input.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace panel_input {

namespace {

void send(wxWindow& control, wxEventType type, int int_value = 0) {
    wxCommandEvent event(type, control.GetId());
    event.SetEventObject(&control);
    event.SetInt(int_value);
    control.ProcessWindowEvent(event);
}

} // namespace

void click(wxButton& button) {
    send(button, wxEVT_BUTTON);
}

void choose(wxRadioButton& radio) {
    radio.SetValue(true);
    send(radio, wxEVT_RADIOBUTTON, 1);
}

void tick(wxCheckBox& box, bool ticked) {
    box.SetValue(ticked);
    send(box, wxEVT_CHECKBOX, ticked ? 1 : 0);
}

void pick(wxComboBox& choice, int entry) {
    choice.SetSelection(entry);
    send(choice, wxEVT_COMBOBOX, entry);
}

void enter_text(wxTextCtrl& text, const wxString& value) {
    text.ChangeValue(value);
    send(text, wxEVT_TEXT_ENTER);
}

void spin_to(wxSpinCtrl& spin, int value) {
    spin.SetValue(value);
    wxSpinEvent event(wxEVT_SPINCTRL, spin.GetId());
    event.SetEventObject(&spin);
    event.SetPosition(spin.GetValue());
    spin.ProcessWindowEvent(event);
}

void press_enter(wxWindow& control) {
    send(control, wxEVT_TEXT_ENTER);
}

bool lose_focus(wxWindow& control) {
    wxFocusEvent event(wxEVT_KILL_FOCUS, control.GetId());
    event.SetEventObject(&control);
    control.ProcessWindowEvent(event);
    return event.GetSkipped();
}

bool running_under_wine() {
#if defined(_WIN32)
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

} // namespace panel_input
