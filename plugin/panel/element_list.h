// The goto list: a read-only combo box that lists a project's elements.
#pragma once

#include <wx/combobox.h>

// wxGTK shows a combo box's entries in a menu, and a GTK menu scans all its
// items for every row that is added or changed: filling it with a project's
// names costs the square of their count (2,000 names take a third of a
// second). On wxGTK this list therefore drops down as a list, which takes each
// row at constant cost; other toolkits keep their own popup.
class element_list : public wxComboBox {
public:
    explicit element_list(wxWindow* parent);
};
