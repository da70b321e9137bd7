// The element's run-time record: its configuration and what a run keeps
// between calls. One per element, made by vexa_create_instance.
#pragma once

#include <cstdint>
#include <vector>

#include <wx/string.h>

#include "abi/element_handle.h"
#include "model/input_config.h"

// pending_operation: which follow-up the host is to fetch next.
constexpr std::int32_t PENDING_NONE = 0;
constexpr std::int32_t PENDING_TIMEOUT = 1;
constexpr std::int32_t PENDING_FORWARD = 2;

// One per element, owned by the plug-in; its pointer lives in the handle.
struct instance_data {
    input_config config;
    refresh_callback refresh = nullptr;    // the host's refresh_callback; null until set
    void* bin_data = nullptr;              // result-data block held by the host
    std::int64_t deadline = 0;             // calendar seconds at which the wait times out
    std::uint8_t start_timer = 0;          // non-zero: next evaluation sets deadline
    const void* host_context = nullptr;    // creation record; not owned
    std::vector<std::int32_t> element_ids; // ids of the goto list, by position
    std::int32_t pending_operation = PENDING_NONE;
    wxString last_received; // last text received on the watched serial interface
};

// The element's record, or null when the handle or its slot is empty.
inline instance_data* instance_of(const element_handle* element) {
    return element ? static_cast<instance_data*>(element->instance_data) : nullptr;
}
