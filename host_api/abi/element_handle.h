// The host's element handle and the host objects reached through it.
// Offsets are those of the host's 64-bit layout; the compiler checks them.
// Toolkit objects (wxWindow, wxString, wxColour, wxCommandEvent) cross the
// boundary: host and plug-in share one build of the toolkit and one C++ runtime.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <wx/colour.h>
#include <wx/event.h>
#include <wx/string.h>

class wxWindow;
struct element_handle;

// Receives the plug-in's command events during vexa_check_input_value, on its
// thread. Host owns. The event (wxEVT_MENU, id EVENT_*) is the plug-in's and
// lives for the call only. Slot 0 of its vtable is receive_event, so the
// destructor is protected and not virtual.
class host_sink {
public:
    virtual void receive_event(wxCommandEvent& event) = 0;

protected:
    ~host_sink() = default;
};

// Translates panel labels while a panel is built (vexa_create_instance or
// vexa_select), on the GUI thread. Host owns. Only the seventh operation is called.
class host_translator {
public:
    virtual void reserved_1() = 0;
    virtual void reserved_2() = 0;
    virtual void reserved_3() = 0;
    virtual void reserved_4() = 0;
    virtual void reserved_5() = 0;
    virtual void reserved_6() = 0;
    virtual wxString translate(const wxString& source) = 0;

protected:
    ~host_translator() = default;
};

// The host's project context. Host owns and writes it; the plug-in reads the
// lists at each vexa_select that shows an element in a panel with the timeout
// rows, and copies the ids. Either pointer may be null.
struct host_project {
    std::uint8_t host_reserved[79512];      // host's; never touched
    std::vector<wxString>* element_names;   // 79512: host writes; the goto list
    std::vector<std::int32_t>* element_ids; // 79520: host writes; id k is name k's
};

// Called on the GUI thread, synchronously, with element->project: once per
// vexa_select that shows the element, and after each panel edit except the
// wait-message text's. It may call back into the plug-in, but not vexa_reset_gui.
using refresh_callback = void (*)(host_project* project, element_handle* element);

// One per project element. Host owns it, zeroed with the colour constructed,
// at one address from vexa_create_instance to vexa_delete_instance (the panel
// keeps a pointer to its current element). Host members may change between calls.
struct element_handle {
    std::uint8_t host_reserved0[152]; // host's; never touched
    // 152: plug-in writes at vexa_create_instance (null on failure); the record
    // is plug-in-owned until vexa_delete_instance, which leaves the pointer.
    void* instance_data;
    wxWindow* parent_window; // 160: host writes; the panel is built into it; may be null
    host_sink* sink;         // 168: host writes; read by vexa_check_input_value; may be null
    std::uint8_t host_reserved1[16];
    host_project* project; // 192: host writes; read by vexa_select, given to the callback
    std::uint8_t host_reserved2[40];
    // 240: host constructs; plug-in assigns at load, at a shown selection and at
    // each panel edit (white, or the timeout action's colour).
    wxColour colour;
    std::uint8_t host_reserved3[1216 - 240 - sizeof(wxColour)];
    host_translator* translator; // 1216: host writes; used while a panel is built; may be null
};

// The creation record passed to vexa_create_instance: host owns; only byte 12
// bit 0x01 (panel without the timeout rows) is read, whenever a panel is built
// for the element. A null record counts as the bit clear.
constexpr std::size_t CREATION_OPTIONS_OFFSET = 12;
constexpr std::uint8_t CREATION_NO_TIMEOUT_SECTION = 0x01;

// Command event ids sent to the sink, only for elements with FLAG_SHOW_MESSAGE.
// Show: at every RES_WAIT; client data a new wxString* (the wait message) the
// sink owns and deletes. Remove: at RES_OK; client data null.
constexpr int EVENT_SHOW_MESSAGE = 11018;
constexpr int EVENT_REMOVE_MESSAGE = 11019;

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif
static_assert(offsetof(element_handle, instance_data) == 152);
static_assert(offsetof(element_handle, parent_window) == 160);
static_assert(offsetof(element_handle, sink) == 168);
static_assert(offsetof(element_handle, project) == 192);
static_assert(offsetof(element_handle, colour) == 240);
static_assert(offsetof(element_handle, translator) == 1216);
static_assert(sizeof(element_handle) >= 1224);
static_assert(offsetof(host_project, element_names) == 79512);
static_assert(offsetof(host_project, element_ids) == 79520);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
