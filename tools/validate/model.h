// The validator's own model of what each entry point does to an element's
// configuration, the save buffer, the controller table and the run-time
// state. Written from the element's documented behaviour, not from the
// plug-in's code, so that the two can be compared call by call.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <wx/colour.h>
#include <wx/string.h>

#include "abi/controller_config.h"
#include "abi/input_record.h"
#include "abi/result_codes.h"
#include "model/input_config.h"
#include "model/save_record.h"

namespace model {

using record_bytes = std::array<std::uint8_t, SAVE_RECORD_SIZE>;

// The factory configuration every element starts from before any edit.
input_config factory_template();

// Saving: writes the version-5 fields of `config` over `buffer`, leaving the
// reserved bytes as they were.
void save(const input_config& config, record_bytes& buffer);

// Loading `length` bytes at `data` (null reads as nothing): the buffer takes
// them, zero beyond; the configuration follows from the buffer by version.
input_config load(const std::uint8_t* data, std::uint32_t length, record_bytes& buffer);

// The display colour of a configuration.
wxColour colour_of(const input_config& config);

// The controller descriptions as the plug-in keeps them.
struct controller_table {
    std::array<std::array<std::uint8_t, CONTROLLER_CONFIG_SIZE>, CONTROLLER_COUNT> entries{};
    std::uint32_t caps = 0; // OR of capabilities since load or the last GUI reset

    // vexa_set_config_info.
    void describe(const std::uint8_t* description);
    std::uint32_t capabilities(unsigned controller) const;
    bool stream_wait(unsigned controller) const;
    bool port_offered(unsigned controller, std::uint32_t kind) const;
    bool bit_offered(unsigned controller, std::uint32_t kind, std::uint32_t bit) const;
};

// The five digital ports: mode, width, value and mask of a configuration.
constexpr int PORTS = 5;
constexpr std::uint32_t port_modes[PORTS] = {INPUT_DIGI8_1, INPUT_DIGI8_2, INPUT_DIGI16_1,
                                             INPUT_DIGI16_2, INPUT_DIGI32};
constexpr int port_widths[PORTS] = {8, 8, 16, 16, 32};
std::uint32_t port_value(const input_config& config, int port);
std::uint32_t port_mask(const input_config& config, int port);
void set_port(input_config& config, int port, std::uint32_t value, std::uint32_t mask);
// Bit of button `index` (0 = leftmost = most significant).
std::uint32_t button_bit(int port, int index);

// Which sections a panel has, fixed when it is built.
struct panel_sections {
    bool port[PORTS] = {};
    bool serial1 = false, serial2 = false, forwarding = false, timeout = false;
    bool operator==(const panel_sections& other) const;
};
panel_sections sections_for(std::uint32_t caps, bool no_timeout_section);

// A port is active when its radio is enabled and the element waits on it.
bool port_radio_enabled(const controller_table& table, const input_config& config, int port);
bool port_active(const controller_table& table, const input_config& config, int port);
// The refresh's clean-up: compared bits the panel cannot offer are dropped.
void drop_unoffered_bits(const controller_table& table, const panel_sections& sections,
                         input_config& config);

// The 8-bit texts as the plug-in decodes them: the locale's converter, or
// Latin-1 for bytes it cannot decode.
wxString decode_text(const char* bytes, std::size_t most);
// A comparison text with "[CR]" and "[LF]" replaced.
wxString comparison_text(const char* stored);
// The wait message as the host receives it with event 11018.
wxString wait_message(const input_config& config);

// The follow-up an element holds for the host to fetch.
enum class pending { none, timeout, forward };

// An element's run-time state.
struct run_state {
    std::int64_t deadline = 0;
    bool start_timer = false;
    model::pending pending = pending::none;
    wxString last_received;
};

// vexa_continuous_stream's answer.
bool stream_answer(const controller_table& table, const input_config& config);
// vexa_check_input_value's result (before message events) and its effect on `state`.
std::int32_t evaluate(const input_config& config, run_state& state, const std::uint8_t* record,
                      std::int32_t controller, std::int64_t now);

// The 472-byte payload of the result-data block.
std::vector<std::uint8_t> result_payload(const input_config& config);

// vexa_get_custom_operation on `operation` (a copy of the host's record of
// `size` bytes): the expected result and bytes afterwards.
std::int32_t custom_operation(const input_config& config, const run_state& state,
                              std::vector<std::uint8_t>& operation);

} // namespace model
