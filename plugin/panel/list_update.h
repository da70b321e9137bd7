// The least change that turns the names a list shows into new names: the rows
// both share at the start and at the end stay, the rows between are replaced.
// The toolkit's combo box pays for every row it changes with a pass over all
// its rows, so relisting a whole project costs the square of its size, while a
// project changed in a few places costs a few rows.
#pragma once

#include <cstddef>
#include <vector>

#include <wx/string.h>

struct list_update {
    std::size_t first;    // first row that differs
    std::size_t removed;  // rows of the shown list, from `first`, that go
    std::size_t inserted; // new names, from `first`, that take their place
};

list_update plan_list_update(const std::vector<wxString>& shown, const wxString* names,
                             std::size_t count);
