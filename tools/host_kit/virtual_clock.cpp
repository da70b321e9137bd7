#include "host_kit/virtual_clock.h"

#include <ctime>

#if defined(_WIN32)
#include <cstring>

#include <time.h> // _time64
#include <windows.h>
#endif

namespace {
bool active = false;
std::int64_t now = 0;

#if defined(_WIN32)
__time64_t __cdecl virtual_time64(__time64_t* out) {
    // This program's own import of _time64 is untouched: the real clock.
    const __time64_t value = active ? static_cast<__time64_t>(now) : _time64(nullptr);
    if (out != nullptr)
        *out = value;
    return value;
}

// The module's import address table slot of _time64, from whichever DLL it
// comes (msvcrt.dll, or the universal C runtime's api sets), or null.
ULONG_PTR* time64_import_slot(void* module) {
    auto* base = static_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return nullptr;
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (auto* dll =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name != 0; ++dll) {
        // Without the name table the bound slots cannot be told apart.
        if (dll->OriginalFirstThunk == 0)
            continue;
        const auto* name =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            const auto* by_name =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), "_time64") == 0)
                return reinterpret_cast<ULONG_PTR*>(&slot->u1.Function);
        }
    }
    return nullptr;
}
#endif
} // namespace

#if defined(_WIN32)
bool virtual_clock::attach(void* module) {
    if (module == nullptr)
        return false;
    ULONG_PTR* slot = time64_import_slot(module);
    if (slot == nullptr)
        return false;
    // The table is read-only once bound.
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
        return false;
    *slot = reinterpret_cast<ULONG_PTR>(&virtual_time64);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return true;
}
#endif

void virtual_clock::set(std::int64_t seconds) {
    active = true;
    now = seconds;
}

void virtual_clock::advance(std::int64_t seconds) {
    now += seconds;
}

void virtual_clock::reset() {
    active = false;
}

#if !defined(_WIN32)
// Replaces the C library's time() for the whole process.
extern "C" time_t time(time_t* out) noexcept {
    time_t value;
    if (active) {
        value = static_cast<time_t>(now);
    } else {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        value = ts.tv_sec;
    }
    if (out != nullptr)
        *out = value;
    return value;
}
#endif
