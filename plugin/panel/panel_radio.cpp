#include "panel/panel_radio.h"

panel_radio::panel_radio(wxWindow* parent, const wxString& label) {
#if defined(__WXGTK__)
    // The partner heads the group and so starts selected; the radio, created
    // right after it without style, joins its group cleared. (A radio that
    // starts selected costs GTK far more to create; the partner is never
    // measured, its size being given.)
    // Hidden before it is created, the partner is never shown nor realized:
    // that would cost GTK as much as the radio itself.
    partner_ = new wxRadioButton;
    partner_->Hide();
    partner_->Create(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(1, 1), wxRB_GROUP);
    Create(parent, wxID_ANY, label);
#else
    Create(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, wxRB_SINGLE);
#endif
}

void panel_radio::SetValue(bool value) {
    if (value || partner_ == nullptr)
        wxRadioButton::SetValue(value);
    else if (GetValue())
        partner_->SetValue(true);
}
