// The least a host does: load the plug-in and ask for its element kind.
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "entry_points.h"

int main() {
#if defined(_WIN32)
    HMODULE library = LoadLibraryA(PLUGIN_PATH);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load %s: error %lu\n", PLUGIN_PATH, GetLastError());
        return 1;
    }
    auto* get_ui_parameters = reinterpret_cast<decltype(&vexa_get_ui_parameters)>(
        reinterpret_cast<void*>(GetProcAddress(library, "vexa_get_ui_parameters")));
#else
    void* library = dlopen(PLUGIN_PATH, RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto* get_ui_parameters = reinterpret_cast<decltype(&vexa_get_ui_parameters)>(
        dlsym(library, "vexa_get_ui_parameters"));
#endif
    return get_ui_parameters != nullptr ? 0 : 1;
}
