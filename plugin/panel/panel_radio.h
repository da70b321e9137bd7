// The panel's radio button: it belongs to no toolkit group, starts cleared,
// and the refresh alone decides whether it is set.
#pragma once

#include <wx/radiobut.h>

// wxGTK keeps one button of every GTK group active, and a wxRB_SINGLE button is
// a group of its own, so SetValue(false) would do nothing there and every radio
// would show as chosen. On wxGTK each panel radio therefore shares a group with
// one hidden partner (outside any sizer) alone, which holds the selection
// while the radio is cleared. Other toolkits clear a wxRB_SINGLE button directly.
class panel_radio : public wxRadioButton {
public:
    panel_radio(wxWindow* parent, const wxString& label);

    void SetValue(bool value) override;

private:
    wxRadioButton* partner_ = nullptr;
};
