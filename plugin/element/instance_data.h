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

// Where the digital condition of one input_mode reads its level, value and
// mask, so that a record costs one masked compare. The run time works it out
// from the mode alone and uses it only while input_mode still equals `mode`:
// the value and mask themselves are always read from the configuration, so an
// edit, a load or a direct write can never leave it stale.
struct port_fields {
    std::uint64_t mode = ~std::uint64_t{0}; // above every 32-bit mode: none yet
    std::uint32_t width_mask = 0;           // the port's bits in the low end of a word
    std::uint8_t level_at = 0;              // input record: big-endian word, port at its end
    std::uint8_t value_at = 0;              // input_config: host-order word, port in its low bits
    std::uint8_t mask_at = 0;
};

// One per element, owned by the plug-in; its pointer lives in the handle.
// Aligned to a cache line: everything a digital record is compared with
// (mode, pattern, flags, controller) then lies in the first line, and no
// configuration word the comparison reads straddles two.
struct alignas(64) instance_data {
    input_config config;
    refresh_callback refresh = nullptr;    // the host's refresh_callback; null until set
    void* bin_data = nullptr;              // result-data block held by the host
    std::int64_t deadline = 0;             // calendar seconds at which the wait times out
    std::uint8_t start_timer = 0;          // non-zero: next evaluation sets deadline
    port_fields port;                      // the run time's, beside what a record reads
    const void* host_context = nullptr;    // creation record; not owned
    std::vector<std::int32_t> element_ids; // ids of the goto list, by position
    std::int32_t pending_operation = PENDING_NONE;
    wxString last_received; // last text received on the watched serial interface
};

// The element's record, or null when the handle or its slot is empty.
inline instance_data* instance_of(const element_handle* element) {
    return element ? static_cast<instance_data*>(element->instance_data) : nullptr;
}
