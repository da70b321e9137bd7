// The host's element handle and the host objects reached through it.
// Offsets are those of the host's 64-bit layout; the compiler checks them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <wx/colour.h>
#include <wx/event.h>
#include <wx/string.h>

class wxWindow;
struct element_handle;

// Receives the plug-in's command events (11018 show message, 11019 remove it),
// synchronously. Host owns. Slot 0 of its vtable is receive_event, so the
// destructor is protected and not virtual.
class host_sink {
public:
    virtual void receive_event(wxCommandEvent& event) = 0;

protected:
    ~host_sink() = default;
};

// Translates panel labels. Host owns. Only the seventh operation is called.
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

// The host's project context. Host owns; the plug-in reads the two lists,
// which are parallel (name k belongs to id k). Either pointer may be null.
struct host_project {
    std::uint8_t host_reserved[79512];
    std::vector<wxString>* element_names;   // 79512
    std::vector<std::int32_t>* element_ids; // 79520
};

// Called by the plug-in after a panel edit or a selection changed the element.
using refresh_callback = void (*)(host_project* project, element_handle* element);

// One per project element. Host owns; valid from vexa_create_instance to
// vexa_delete_instance.
struct element_handle {
    std::uint8_t host_reserved0[152];
    void* instance_data;     // 152: plug-in's record, stored by vexa_create_instance
    wxWindow* parent_window; // 160: window receiving the panel; may be null
    host_sink* sink;         // 168: receives command events
    std::uint8_t host_reserved1[16];
    host_project* project; // 192: passed to the refresh callback
    std::uint8_t host_reserved2[40];
    wxColour colour; // 240: display colour; host constructs, plug-in assigns
    std::uint8_t host_reserved3[1216 - 240 - sizeof(wxColour)];
    host_translator* translator; // 1216: panel labels go through it
};

// The creation record passed to vexa_create_instance: only byte 12 bit 0x01
// is read. A null record counts as the bit clear.
constexpr std::size_t CREATION_OPTIONS_OFFSET = 12;
constexpr std::uint8_t CREATION_NO_TIMEOUT_SECTION = 0x01;

// Command event ids sent to the sink.
constexpr int EVENT_SHOW_MESSAGE = 11018; // client data: new wxString, the sink takes it over
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
