// Loads the plug-in with dlopen, as a host does, and resolves its 14 entry
// points. Every call a host makes goes through these pointers.
#pragma once

#include <string>

#include "entry_points.h"

class plugin_library {
public:
    // Loads `path`; on failure ok() is false and error() says why, naming a
    // missing entry point when that is the cause.
    explicit plugin_library(const std::string& path);
    ~plugin_library();
    plugin_library(const plugin_library&) = delete;
    plugin_library& operator=(const plugin_library&) = delete;

    bool ok() const { return handle_ != nullptr && error_.empty(); }
    const std::string& error() const { return error_; }

#define VEXA_DECLARE_POINTER(name) decltype(&::name) name = nullptr;
    VEXA_ENTRY_POINTS(VEXA_DECLARE_POINTER)
#undef VEXA_DECLARE_POINTER

private:
    void* handle_ = nullptr;
    std::string error_;
};
