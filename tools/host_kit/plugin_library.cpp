#include "host_kit/plugin_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

#if defined(_WIN32)
std::wstring widened(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

std::string system_message(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return "error " + std::to_string(code) + (message.empty() ? "" : " (" + message + ")");
}

void* open_library(const std::string& path, std::string& error) {
    // With a folder in the path, the DLLs the plug-in imports are looked for
    // in that folder first, as for a host's plug-in folder.
    const bool has_folder = path.find_first_of("\\/") != std::string::npos;
    HMODULE module = LoadLibraryExW(widened(path).c_str(), nullptr,
                                    has_folder ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
    if (module == nullptr)
        error = "cannot load " + path + ": " + system_message(GetLastError());
    return reinterpret_cast<void*>(module);
}

void* find_symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
#else
void* open_library(const std::string& path, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = dlerror();
        error = "cannot load " + path + ": " + (why ? why : "unknown error");
    }
    return library;
}

void* find_symbol(void* library, const char* name) {
    return dlsym(library, name);
}
#endif

} // namespace

plugin_library::plugin_library(const std::string& path) {
    handle_ = open_library(path, error_);
    if (handle_ == nullptr)
        return;
        // NOLINTBEGIN(bugprone-macro-parentheses): the argument names a member and a symbol
#define VEXA_RESOLVE(name)                                                                         \
    name = reinterpret_cast<decltype(name)>(find_symbol(handle_, #name));                          \
    if (name == nullptr && error_.empty())                                                         \
        error_ = path + " lacks the entry point " #name;
    VEXA_ENTRY_POINTS(VEXA_RESOLVE)
#undef VEXA_RESOLVE
    // NOLINTEND(bugprone-macro-parentheses)
}

plugin_library::~plugin_library() {
    // The plug-in's statics hold toolkit objects; unloading it while the
    // toolkit still runs would leave their destructors dangling.
}
