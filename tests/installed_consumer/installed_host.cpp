// A host built against the installed headers: it loads the installed plug-in
// by the path the package gives and asks for the element kind.
#include <cstdio>
#include <cstring>

#include <dlfcn.h>

#include <wx/bitmap.h>
#include <wx/init.h>

#include "entry_points.h"

int main() {
    void* library = dlopen(PLUGIN_PATH, RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto* get_ui_parameters = reinterpret_cast<decltype(&vexa_get_ui_parameters)>(
        dlsym(library, "vexa_get_ui_parameters"));
    if (get_ui_parameters == nullptr)
        return 1;
    // The icons are bitmaps: the toolkit must be up, as in any host.
    wxInitializer toolkit;
    ui_parameters parameters{};
    if (get_ui_parameters(&parameters) != RES_OK)
        return 1;
    std::printf("%s loaded: \"%s\"\n", PLUGIN_PATH, parameters.name.utf8_str().data());
    delete parameters.large_icon;
    delete parameters.small_icon;
    return parameters.name == "Custom Input" ? 0 : 1;
}
