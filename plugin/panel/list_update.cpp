#include "panel/list_update.h"

#include <algorithm>

list_update plan_list_update(const std::vector<wxString>& shown, const wxString* names,
                             std::size_t count) {
    const std::size_t common = std::min(shown.size(), count);
    std::size_t first = 0;
    while (first < common && shown[first] == names[first])
        ++first;
    // The shared end may not reach back into the shared start.
    std::size_t last = 0;
    while (last < common - first && shown[shown.size() - 1 - last] == names[count - 1 - last])
        ++last;
    return {first, shown.size() - first - last, count - first - last};
}
