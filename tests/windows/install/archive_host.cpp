// A Windows host built from the developer archive: it loads the plug-in at
// the path it is given, as a host loads the installed one, and asks for the
// element kind.
#include <cstdio>

#include <windows.h>

#include <wx/bitmap.h>
#include <wx/init.h>

#include "entry_points.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: archive_host PLUGIN.dll\n");
        return 2;
    }
    // The plug-in's own DLLs are beside it, not beside this program.
    HMODULE library = LoadLibraryExA(argv[1], nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    auto* get_ui_parameters = reinterpret_cast<decltype(&vexa_get_ui_parameters)>(
        reinterpret_cast<void*>(GetProcAddress(library, "vexa_get_ui_parameters")));
    if (get_ui_parameters == nullptr)
        return 1;
    // The icons are bitmaps: the toolkit must be up, as in any host.
    wxInitializer toolkit;
    ui_parameters parameters{};
    if (get_ui_parameters(&parameters) != RES_OK)
        return 1;
    std::printf("%s loaded: \"%s\"\n", argv[1], parameters.name.utf8_str().data());
    delete parameters.large_icon;
    delete parameters.small_icon;
    return parameters.name == "Custom Input" ? 0 : 1;
}
