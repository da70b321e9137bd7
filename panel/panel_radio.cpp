#include "panel/panel_radio.h"

#if defined(__WXGTK__)
constexpr long PANEL_RADIO_STYLE = wxRB_GROUP;
#else
constexpr long PANEL_RADIO_STYLE = wxRB_SINGLE;
#endif

panel_radio::panel_radio(wxWindow* parent, const wxString& label)
    : wxRadioButton(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, PANEL_RADIO_STYLE) {
#if defined(__WXGTK__)
    // Created right after this button, the partner joins this button's group
    // (wxGTK groups a radio without style with the preceding one).
    partner_ = new wxRadioButton(parent, wxID_ANY, wxEmptyString);
    partner_->Hide();
    partner_->SetValue(true);
#endif
}

void panel_radio::SetValue(bool value) {
    if (value || partner_ == nullptr)
        wxRadioButton::SetValue(value);
    else if (GetValue())
        partner_->SetValue(true);
}
