#include "host_kit/host_records.h"

#include <cstring>

void recording_sink::receive_event(wxCommandEvent& event) {
    received r{event.GetId(), false, {}};
    if (auto* message = static_cast<wxString*>(event.GetClientData())) {
        r.has_message = true;
        r.message = *message;
        delete message;
        event.SetClientData(nullptr);
    }
    events.push_back(r);
}

wxString marking_translator::translate(const wxString& source) {
    // A plain pass-through serves long-running hosts: it keeps no log.
    if (!marking_)
        return source;
    translated.push_back(source);
    return "T(" + source + ")";
}

project_context::project_context() : record_(new host_project) {
    std::memset(record_->host_reserved, 0, sizeof record_->host_reserved);
    record_->element_names = nullptr;
    record_->element_ids = nullptr;
}

void project_context::set_elements(const std::vector<wxString>& names,
                                   const std::vector<std::int32_t>& ids) {
    names_ = names;
    ids_ = ids;
    record_->element_names = &names_;
    record_->element_ids = &ids_;
}

void project_context::clear_lists() {
    record_->element_names = nullptr;
    record_->element_ids = nullptr;
}

host_element::host_element() : handle_(new element_handle) {
    // Zero everything but the constructed colour, as a host's fresh record.
    element_handle* h = handle_.get();
    std::memset(h->host_reserved0, 0, sizeof h->host_reserved0);
    h->instance_data = nullptr;
    h->parent_window = nullptr;
    h->sink = nullptr;
    std::memset(h->host_reserved1, 0, sizeof h->host_reserved1);
    h->project = nullptr;
    std::memset(h->host_reserved2, 0, sizeof h->host_reserved2);
    std::memset(h->host_reserved3, 0, sizeof h->host_reserved3);
    h->translator = nullptr;
}

host_element::~host_element() = default;

creation_record::creation_record(bool no_timeout_section) {
    bytes[CREATION_OPTIONS_OFFSET] = no_timeout_section ? CREATION_NO_TIMEOUT_SECTION : 0;
}

std::vector<refresh_call>& refresh_log() {
    static std::vector<refresh_call> log;
    return log;
}

void recording_refresh(host_project* project, element_handle* element) {
    refresh_log().push_back({project, element});
}
