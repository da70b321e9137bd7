// A host built against the installed headers (the Debian package's, or the
// Windows developer archive's): it loads the installed plug-in and asks for
// the element kind. The plug-in's path is the one the package gives, or the
// first argument (on Windows, where the installer puts it elsewhere).
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <wx/bitmap.h>
#include <wx/init.h>

#include "entry_points.h"

int main(int argc, char** argv) {
#ifdef PLUGIN_PATH
    const std::string path = argc > 1 ? argv[1] : PLUGIN_PATH;
#else
    if (argc != 2) {
        std::fprintf(stderr, "usage: installed_host PLUGIN\n");
        return 2;
    }
    const std::string path = argv[1];
#endif
#ifdef _WIN32
    // The plug-in's own DLLs are beside it, not beside this program.
    HMODULE library = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load %s: error %lu\n", path.c_str(), GetLastError());
        return 1;
    }
    void* entry = reinterpret_cast<void*>(GetProcAddress(library, "vexa_get_ui_parameters"));
#else
    void* library = dlopen(path.c_str(), RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    void* entry = dlsym(library, "vexa_get_ui_parameters");
#endif
    auto* get_ui_parameters = reinterpret_cast<decltype(&vexa_get_ui_parameters)>(entry);
    if (get_ui_parameters == nullptr)
        return 1;
    // The icons are bitmaps: the toolkit must be up, as in any host.
    wxInitializer toolkit;
    ui_parameters parameters{};
    if (get_ui_parameters(&parameters) != RES_OK)
        return 1;
    std::printf("%s loaded: \"%s\"\n", path.c_str(), parameters.name.utf8_str().data());
    delete parameters.large_icon;
    delete parameters.small_icon;
    return parameters.name == "Custom Input" ? 0 : 1;
}
