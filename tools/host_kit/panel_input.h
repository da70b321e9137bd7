// Input to the plug-in's panel as the toolkit delivers it: the control's
// state changes first, then its event goes to the control. For hosts that
// drive the panel without a user (the tests, zavud_validate).
#pragma once

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

namespace panel_input {

void click(wxButton& button);
void choose(wxRadioButton& radio);
void tick(wxCheckBox& box, bool ticked);
void pick(wxComboBox& choice, int entry);
void enter_text(wxTextCtrl& text, const wxString& value);
void spin_to(wxSpinCtrl& spin, int value);
void press_enter(wxWindow& control);
// Returns whether the focus event was left skipped for the toolkit.
bool lose_focus(wxWindow& control);

// True in a Windows program that Wine runs: for Wine's own limits in showing
// and driving controls, which Windows does not share.
bool running_under_wine();

} // namespace panel_input
