// The record vexa_get_ui_parameters fills: the element kind as the host lists
// it. Host constructs and owns it; the plug-in writes the named members during
// the call, on the GUI thread, and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>

#include <wx/string.h>

class wxBitmap;

struct ui_parameters {
    wxString name;                   // 0: plug-in assigns "Custom Input"
    wxString description;            // 48: plug-in assigns the one-line description
    wxBitmap* large_icon;            // 96: plug-in writes a new 25 x 25 bitmap; host deletes it
    wxBitmap* small_icon;            // 104: plug-in writes a new 15 x 15 bitmap; host deletes it
    std::uint8_t host_reserved0[16]; // host's; never touched
    std::int32_t value_128;          // 128: plug-in writes 15
    std::int32_t value_132;          // 132: plug-in writes 128
    std::uint8_t host_reserved1[40]; // host's; never touched
    std::int32_t value_176;          // 176: plug-in writes 11007
    std::uint8_t host_reserved2[4];  // host's; never touched
};

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif
static_assert(offsetof(ui_parameters, description) == 48);
static_assert(offsetof(ui_parameters, large_icon) == 96);
static_assert(offsetof(ui_parameters, small_icon) == 104);
static_assert(offsetof(ui_parameters, value_128) == 128);
static_assert(offsetof(ui_parameters, value_132) == 132);
static_assert(offsetof(ui_parameters, value_176) == 176);
static_assert(sizeof(ui_parameters) >= 184);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
