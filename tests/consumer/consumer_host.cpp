// The least a host does: load the plug-in and ask for its element kind.
#include <cstdio>

#include <dlfcn.h>

#include "entry_points.h"

int main() {
    void* library = dlopen(PLUGIN_PATH, RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto* get_ui_parameters = reinterpret_cast<decltype(&vexa_get_ui_parameters)>(
        dlsym(library, "vexa_get_ui_parameters"));
    return get_ui_parameters != nullptr ? 0 : 1;
}
