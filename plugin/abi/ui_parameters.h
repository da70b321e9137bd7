// The record vexa_get_ui_parameters fills. Host owns; the plug-in writes only
// the members named here.
#pragma once

#include <cstddef>
#include <cstdint>

#include <wx/string.h>

class wxBitmap;

struct ui_parameters {
    wxString name;        // 0
    wxString description; // 48
    wxBitmap* large_icon; // 96: 25 x 25, new on every call; passes to the host
    wxBitmap* small_icon; // 104: 15 x 15, new on every call; passes to the host
    std::uint8_t host_reserved0[16];
    std::int32_t value_128; // 128: written as 15
    std::int32_t value_132; // 132: written as 128
    std::uint8_t host_reserved1[40];
    std::int32_t value_176; // 176: written as 11007
    std::uint8_t host_reserved2[4];
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
