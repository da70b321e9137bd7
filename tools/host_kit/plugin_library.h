// Loads the plug-in as a host does (dlopen, or LoadLibrary on Windows) and
// resolves its 14 entry points. Every call a host makes goes through these
// pointers.
#pragma once

#include <string>

#include "abi/entry_points.h"

class plugin_library {
public:
    // Loads `path` (UTF-8); on failure ok() is false and error() says why,
    // naming a missing entry point when that is the cause. On Windows a path
    // with a folder has the plug-in's own DLLs found beside it; a bare file
    // name is searched for as LoadLibrary does, the program's folder first.
    explicit plugin_library(const std::string& path);
    ~plugin_library();
    plugin_library(const plugin_library&) = delete;
    plugin_library& operator=(const plugin_library&) = delete;

    bool ok() const { return handle_ != nullptr && error_.empty(); }
    const std::string& error() const { return error_; }
    // The loaded module (HMODULE on Windows), or null.
    void* native_handle() const { return handle_; }

    // NOLINTBEGIN(bugprone-macro-parentheses): the argument is a name declared, not a value
#define VEXA_DECLARE_POINTER(name) decltype(&::name) name = nullptr;
    VEXA_ENTRY_POINTS(VEXA_DECLARE_POINTER)
#undef VEXA_DECLARE_POINTER
    // NOLINTEND(bugprone-macro-parentheses)

private:
    void* handle_ = nullptr;
    std::string error_;
};
