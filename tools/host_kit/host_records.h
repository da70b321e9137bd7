// The host's side of the records: element handles at the pinned layout, an
// event sink, a translator and a project context. Used by the tests and by
// the reference host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <wx/string.h>

#include "abi/element_handle.h"

// Keeps every command event it receives; takes over the message strings.
class recording_sink final : public host_sink {
public:
    struct received {
        int id;
        bool has_message;
        wxString message;
    };
    void receive_event(wxCommandEvent& event) override;
    std::vector<received> events;
    ~recording_sink() = default;
};

// A translator with the slots the plug-in never calls filled: a host's
// translator supplies translate() alone.
class translator_base : public host_translator {
public:
    void reserved_1() override {}
    void reserved_2() override {}
    void reserved_3() override {}
    void reserved_4() override {}
    void reserved_5() override {}
    void reserved_6() override {}

protected:
    ~translator_base() = default;
};

// Marks what it translates ("T(text)") so that a reader sees which parts of
// a label went through it; with marking off it passes texts unchanged.
class marking_translator final : public translator_base {
public:
    explicit marking_translator(bool marking = true) : marking_(marking) {}
    ~marking_translator() = default;
    wxString translate(const wxString& source) override;
    std::vector<wxString> translated; // every source text, while marking

private:
    bool marking_;
};

// A project context with its name and id lists.
class project_context {
public:
    project_context();
    void set_elements(const std::vector<wxString>& names, const std::vector<std::int32_t>& ids);
    // Drops the lists: the plug-in then sees null pointers.
    void clear_lists();
    host_project* record() { return record_.get(); }

private:
    std::unique_ptr<host_project> record_;
    std::vector<wxString> names_;
    std::vector<std::int32_t> ids_;
};

// One element handle of the host's layout, zeroed, colour constructed.
struct host_element {
    host_element();
    ~host_element();
    host_element(const host_element&) = delete;
    host_element& operator=(const host_element&) = delete;
    element_handle* handle() { return handle_.get(); }
    element_handle* operator->() { return handle_.get(); }

private:
    std::unique_ptr<element_handle> handle_;
};

// The creation record: only byte 12 bit 0x01 (no timeout section) counts.
struct creation_record {
    std::uint8_t bytes[64] = {};
    explicit creation_record(bool no_timeout_section = false);
};

// A refresh callback that logs every call.
struct refresh_call {
    host_project* project;
    element_handle* element;
};
std::vector<refresh_call>& refresh_log();
void recording_refresh(host_project* project, element_handle* element);
