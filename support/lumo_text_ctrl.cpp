// Stand-in for the host maker's text control.
#include "lumo.h"

lumoTextCtrl::lumoTextCtrl(wxWindow* parent, wxWindowID id, const wxString& value,
                           const wxPoint& pos, const wxSize& size, long style, bool flag)
    : wxTextCtrl(parent, id, value, pos, size, style), flag_(flag) {}
