// Operations of the host maker's support libraries that the plug-in uses:
// liblumo (result-data allocation) and liblumowx (text conversions and the
// text control).
#pragma once

#include <cstdint>

#include <wx/textctrl.h>

// Each library exports what it defines and imports the other's: on Windows a
// class marked for export in the wrong DLL would be emitted there too.
// LUMO_BUILDING / LUMOWX_BUILDING: compiling liblumo / liblumowx itself.
#if defined(_WIN32)
#define LUMO_DLL_EXPORT __declspec(dllexport)
#define LUMO_DLL_IMPORT __declspec(dllimport)
#else
#define LUMO_DLL_EXPORT __attribute__((visibility("default")))
#define LUMO_DLL_IMPORT __attribute__((visibility("default")))
#endif
#if defined(LUMO_BUILDING)
#define LUMO_EXPORT LUMO_DLL_EXPORT
#else
#define LUMO_EXPORT LUMO_DLL_IMPORT
#endif
#if defined(LUMOWX_BUILDING)
#define LUMOWX_EXPORT LUMO_DLL_EXPORT
#else
#define LUMOWX_EXPORT LUMO_DLL_IMPORT
#endif

extern "C" {
// A block of a 32-byte header (type, subtype, value, size) and a zeroed
// payload of `size` bytes, or null. The caller frees it with free().
LUMO_EXPORT void* lumo_util_alloc_bin_data(std::uint8_t type, std::uint8_t subtype,
                                           std::uint32_t value, std::uint32_t size);
}

// Characters up to U+00FF as that byte, others as '?'; at most `capacity`
// bytes, the rest of the room zero-filled (so a zero byte follows when there is room).
LUMOWX_EXPORT void lumo_unicode_stringToCharASCII(const wxString& text, char* dest, int capacity);
// UTF-8 ended by a zero byte, both within `capacity` bytes (so at most
// capacity - 1 text bytes); never splits a sequence; capacity 0 or less
// writes nothing.
LUMOWX_EXPORT void lumo_unicode_stringToCharUTF8(const wxString& text, char* dest, int capacity);
// UTF-16 big-endian; `capacity` counts bytes. Never splits a surrogate pair;
// the rest of the room is zero-filled.
LUMOWX_EXPORT void lumo_unicode_stringToCharUTF16BE(const wxString& text, char* dest, int capacity);
// Latin-1 bytes up to a zero byte or `capacity` bytes.
LUMOWX_EXPORT void lumo_unicode_charToStringASCII(const char* source, int capacity,
                                                  wxString& result);
// UTF-16 big-endian up to a zero unit or `capacity` bytes.
LUMOWX_EXPORT void lumo_unicode_charToStringUTF16BE(const char* source, int capacity,
                                                    wxString& result);

// A text-entry control used like wxTextCtrl. `flag` is the library's own option.
class LUMOWX_EXPORT lumoTextCtrl : public wxTextCtrl {
public:
    lumoTextCtrl(wxWindow* parent, wxWindowID id, const wxString& value, const wxPoint& pos,
                 const wxSize& size, long style, bool flag);

    bool flag() const { return flag_; }

private:
    bool flag_;
};
