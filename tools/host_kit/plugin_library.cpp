#include "plugin_library.h"

#include <dlfcn.h>

plugin_library::plugin_library(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        error_ = "cannot load " + path + ": " + (why ? why : "unknown error");
        return;
    }
#define VEXA_RESOLVE(name)                                                                         \
    name = reinterpret_cast<decltype(name)>(dlsym(handle_, #name));                                \
    if (name == nullptr && error_.empty())                                                         \
        error_ = path + " lacks the entry point " #name;
    VEXA_ENTRY_POINTS(VEXA_RESOLVE)
#undef VEXA_RESOLVE
}

plugin_library::~plugin_library() {
    // The plug-in's statics hold toolkit objects; unloading it while the
    // toolkit still runs would leave their destructors dangling.
}
