#include "panel/element_list.h"

element_list::element_list(wxWindow* parent)
    : wxComboBox(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                 wxCB_READONLY | wxCB_DROPDOWN) {
#if defined(__WXGTK3__)
    GTKApplyCssStyle("* { -GtkComboBox-appears-as-list: true; }");
#endif
}
