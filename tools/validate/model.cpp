#include "model.h"

#include <algorithm>
#include <cstring>

#include <wx/gdicmn.h>

#include "abi/run_records.h"
#include "lumo.h"
#include "model/platform.h"

namespace model {

namespace {

std::uint32_t read_u32(const std::uint8_t* at) {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Up to the first zero byte, at most `size` characters; zeros after.
void bounded_copy(char* to, const char* from, std::size_t size) {
    std::size_t n = 0;
    for (; n < size && from[n] != 0; ++n)
        to[n] = from[n];
    std::memset(to + n, 0, size - n);
}

void set_text(char* field, const char* text) {
    std::memset(field, 0, COMPARE_TEXT_CAPACITY + 1);
    std::strncpy(field, text, COMPARE_TEXT_CAPACITY);
}

std::uint32_t full_mask(int port) {
    return port_widths[port] == 32 ? 0xFFFFFFFFu : (1u << port_widths[port]) - 1;
}

bool text_met(const std::uint8_t* record, std::size_t at, std::size_t room, const char* stored,
              std::uint32_t flags, std::uint32_t full, std::uint32_t substring, run_state& state) {
    const wxString wanted = comparison_text(stored);
    state.last_received = decode_text(reinterpret_cast<const char*>(record + at), room);
    if (flags & full)
        return state.last_received == wanted;
    if (flags & substring)
        return state.last_received.find(wanted) != wxString::npos;
    return true;
}

} // namespace

input_config factory_template() {
    input_config c{};
    c.flags = FLAG_SERIAL1_FULL | FLAG_SERIAL2_FULL;
    c.timeout_sec = 10;
    c.substr_to = SUBSTR_LAST;
    return c;
}

void save(const input_config& c, record_bytes& b) {
    using platform::write_be16;
    using platform::write_be32;
    write_be16(&b[SAVE_VERSION], SAVE_FORMAT_VERSION);
    write_be16(&b[SAVE_LENGTH], SAVE_RECORD_SIZE);
    write_be32(&b[SAVE_INPUT_MODE], c.input_mode);
    b[SAVE_SPARE_BYTES] = c.spare_bytes[0];
    b[SAVE_SPARE_BYTES + 1] = c.spare_bytes[1];
    for (std::size_t i = 0; i < SAVE_SPARE_WORD_COUNT; ++i)
        write_be16(&b[SAVE_SPARE_WORDS + 2 * i], c.spare_words[i]);
    for (std::size_t port = 0; port < 2; ++port) {
        b[SAVE_DIGI8_VALUE + port] = c.digi8_value[port];
        b[SAVE_DIGI8_MASK + port] = c.digi8_mask[port];
        write_be16(&b[SAVE_DIGI16_VALUE + 2 * port], c.digi16_value[port]);
        write_be16(&b[SAVE_DIGI16_MASK + 2 * port], c.digi16_mask[port]);
    }
    write_be32(&b[SAVE_FLAGS], c.flags);
    write_be32(&b[SAVE_DIGI32_VALUE], c.digi32_value);
    write_be32(&b[SAVE_DIGI32_MASK], c.digi32_mask);
    b[SAVE_CONTROLLER] = c.controller;
    bounded_copy(reinterpret_cast<char*>(&b[SAVE_COMPARE_TEXT1]), c.compare_text1,
                 SAVE_COMPARE_TEXT_SIZE);
    std::memcpy(&b[SAVE_WAIT_MESSAGE], c.wait_message, SAVE_WAIT_MESSAGE_SIZE);
    bounded_copy(reinterpret_cast<char*>(&b[SAVE_COMPARE_TEXT2]), c.compare_text2,
                 SAVE_COMPARE_TEXT_SIZE);
    write_be32(&b[SAVE_TIMEOUT_SEC], c.timeout_sec);
    write_be32(&b[SAVE_GOTO_ELEMENT], static_cast<std::uint32_t>(c.goto_element));
    b[SAVE_TIMEOUT_ACTION] = c.timeout_action;
    b[SAVE_RESERVED3] = 0;
    b[SAVE_SUBSTR_FROM] = c.substr_from;
    b[SAVE_SUBSTR_TO] = c.substr_to;
}

input_config load(const std::uint8_t* data, std::uint32_t length, record_bytes& b) {
    using platform::read_be16;
    using platform::read_be32;
    const std::size_t n = data ? std::min<std::size_t>(length, SAVE_RECORD_SIZE) : 0;
    b.fill(0);
    if (n > 0)
        std::memcpy(b.data(), data, n);

    input_config c{};
    c.version = static_cast<std::int16_t>(read_be16(&b[SAVE_VERSION]));
    c.length = static_cast<std::int16_t>(read_be16(&b[SAVE_LENGTH]));
    c.input_mode = read_be32(&b[SAVE_INPUT_MODE]);
    c.spare_bytes[0] = b[SAVE_SPARE_BYTES];
    c.spare_bytes[1] = b[SAVE_SPARE_BYTES + 1];
    for (std::size_t i = 0; i < SAVE_SPARE_WORD_COUNT; ++i)
        c.spare_words[i] = read_be16(&b[SAVE_SPARE_WORDS + 2 * i]);
    for (std::size_t port = 0; port < 2; ++port) {
        c.digi8_value[port] = b[SAVE_DIGI8_VALUE + port];
        c.digi8_mask[port] = b[SAVE_DIGI8_MASK + port];
        c.digi16_value[port] = read_be16(&b[SAVE_DIGI16_VALUE + 2 * port]);
        c.digi16_mask[port] = read_be16(&b[SAVE_DIGI16_MASK + 2 * port]);
    }
    c.flags = read_be32(&b[SAVE_FLAGS]);
    c.digi32_value = read_be32(&b[SAVE_DIGI32_VALUE]);
    c.digi32_mask = read_be32(&b[SAVE_DIGI32_MASK]);
    c.controller = b[SAVE_CONTROLLER];

    if (c.version >= 2)
        bounded_copy(c.compare_text1, reinterpret_cast<const char*>(&b[SAVE_COMPARE_TEXT1]),
                     SAVE_COMPARE_TEXT_SIZE);
    else
        set_text(c.compare_text1, "[CR][LF]");
    if (c.version >= 3) {
        std::memcpy(c.wait_message, &b[SAVE_WAIT_MESSAGE], SAVE_WAIT_MESSAGE_SIZE);
    } else {
        const char* text = "Waiting for inputs...";
        for (std::size_t i = 0; text[i] != 0; ++i)
            c.wait_message[2 * i + 1] = static_cast<std::uint8_t>(text[i]);
    }
    if (c.version >= 4)
        bounded_copy(c.compare_text2, reinterpret_cast<const char*>(&b[SAVE_COMPARE_TEXT2]),
                     SAVE_COMPARE_TEXT_SIZE);
    else
        set_text(c.compare_text2, "[CR][LF]");
    if (c.version >= 5) {
        c.timeout_sec = read_be32(&b[SAVE_TIMEOUT_SEC]);
        c.goto_element = static_cast<std::int32_t>(read_be32(&b[SAVE_GOTO_ELEMENT]));
        c.timeout_action = b[SAVE_TIMEOUT_ACTION];
    } else {
        c.flags &= ~FLAG_TIMEOUT;
    }
    c.reserved3 = 0;
    c.substr_from = b[SAVE_SUBSTR_FROM];
    c.substr_to = b[SAVE_SUBSTR_TO];
    if (c.substr_to <= c.substr_from)
        c.substr_to = SUBSTR_LAST;
    return c;
}

wxColour colour_of(const input_config& c) {
    if ((c.flags & FLAG_TIMEOUT) == 0)
        return *wxWHITE;
    switch (c.timeout_action) {
    case ACTION_RESTART:
        return wxColour(185, 255, 185, 255);
    case ACTION_STOP:
        return wxColour(255, 185, 185, 255);
    case ACTION_GOTO:
        return wxColour(210, 210, 210, 255);
    default:
        return *wxWHITE;
    }
}

void controller_table::describe(const std::uint8_t* d) {
    if ((d[CONFIG_STATUS_FLAGS] & CONFIG_VALID) == 0 ||
        d[CONFIG_CONTROLLER_INDEX] >= CONTROLLER_COUNT)
        return;
    std::memcpy(entries[d[CONFIG_CONTROLLER_INDEX]].data(), d, CONTROLLER_CONFIG_SIZE);
    caps |= read_u32(d + CONFIG_CAPABILITIES);
}

std::uint32_t controller_table::capabilities(unsigned controller) const {
    return controller < CONTROLLER_COUNT ? read_u32(&entries[controller][CONFIG_CAPABILITIES]) : 0;
}

bool controller_table::stream_wait(unsigned controller) const {
    return controller < CONTROLLER_COUNT &&
           (entries[controller][CONFIG_FEATURE_FLAGS] & FEATURE_STREAM_WAIT) != 0;
}

bool controller_table::port_offered(unsigned controller, std::uint32_t kind) const {
    if ((capabilities(controller) & kind) == 0)
        return false;
    const std::uint32_t full = (kind == INPUT_DIGI8_1 || kind == INPUT_DIGI8_2) ? 0xFF : 0xFFFF;
    for (std::size_t i = 0; i < PORT_ENTRIES; ++i)
        if (read_u32(&entries[controller][CONFIG_PORT_KIND + 4 * i]) == kind &&
            (read_u32(&entries[controller][CONFIG_PORT_MASK + 4 * i]) & full) == full)
            return false;
    return true;
}

bool controller_table::bit_offered(unsigned controller, std::uint32_t kind,
                                   std::uint32_t bit) const {
    // A controller number beyond the table (only from loaded data) offers nothing.
    if (controller >= CONTROLLER_COUNT)
        return false;
    for (std::size_t i = 0; i < PORT_ENTRIES; ++i)
        if (read_u32(&entries[controller][CONFIG_PORT_KIND + 4 * i]) == kind &&
            (read_u32(&entries[controller][CONFIG_PORT_MASK + 4 * i]) & bit) == bit)
            return false;
    return true;
}

std::uint32_t port_value(const input_config& c, int port) {
    switch (port) {
    case 0:
    case 1:
        return c.digi8_value[port];
    case 2:
    case 3:
        return c.digi16_value[port - 2];
    default:
        return c.digi32_value;
    }
}

std::uint32_t port_mask(const input_config& c, int port) {
    switch (port) {
    case 0:
    case 1:
        return c.digi8_mask[port];
    case 2:
    case 3:
        return c.digi16_mask[port - 2];
    default:
        return c.digi32_mask;
    }
}

void set_port(input_config& c, int port, std::uint32_t value, std::uint32_t mask) {
    switch (port) {
    case 0:
    case 1:
        c.digi8_value[port] = static_cast<std::uint8_t>(value);
        c.digi8_mask[port] = static_cast<std::uint8_t>(mask);
        break;
    case 2:
    case 3:
        c.digi16_value[port - 2] = static_cast<std::uint16_t>(value);
        c.digi16_mask[port - 2] = static_cast<std::uint16_t>(mask);
        break;
    default:
        c.digi32_value = value;
        c.digi32_mask = mask;
    }
}

// By the bit's number, as its tooltip names it, rather than by shifting the
// top bit down as the panel does.
std::uint32_t button_bit(int port, int index) {
    return std::uint32_t{1} << (port_widths[port] - 1 - index);
}

bool panel_sections::operator==(const panel_sections& o) const {
    return std::equal(port, port + PORTS, o.port) && serial1 == o.serial1 && serial2 == o.serial2 &&
           forwarding == o.forwarding && timeout == o.timeout;
}

panel_sections sections_for(std::uint32_t caps, bool no_timeout_section) {
    panel_sections s;
    for (int port = 0; port < PORTS; ++port)
        s.port[port] = (caps & port_modes[port]) != 0;
    s.serial1 = (caps & INPUT_SERIAL_1) != 0;
    s.serial2 = (caps & INPUT_SERIAL_2) != 0;
    s.forwarding = s.serial1 || s.serial2;
    s.timeout = !no_timeout_section;
    return s;
}

bool port_radio_enabled(const controller_table& table, const input_config& c, int port) {
    return port_widths[port] == 32 || table.port_offered(c.controller, port_modes[port]);
}

bool port_active(const controller_table& table, const input_config& c, int port) {
    return port_radio_enabled(table, c, port) && c.input_mode == port_modes[port];
}

void drop_unoffered_bits(const controller_table& table, const panel_sections& sections,
                         input_config& c) {
    for (int port = 0; port < PORTS; ++port) {
        if (!sections.port[port])
            continue;
        const bool active = port_active(table, c, port);
        std::uint32_t mask = port_mask(c, port);
        for (int i = 0; i < port_widths[port]; ++i) {
            const std::uint32_t bit = button_bit(port, i);
            if (!active || !table.bit_offered(c.controller, port_modes[port], bit))
                mask &= ~bit;
        }
        set_port(c, port, port_value(c, port), mask & full_mask(port));
    }
}

wxString decode_text(const char* bytes, std::size_t most) {
    const std::size_t length = std::find(bytes, bytes + most, '\0') - bytes;
    const std::string text(bytes, length);
    if (text.empty())
        return wxString();
    wxString decoded(text.c_str(), wxConvLibc);
    if (decoded.empty())
        decoded = wxString(text.c_str(), wxConvISO8859_1);
    return decoded;
}

wxString comparison_text(const char* stored) {
    wxString text = decode_text(stored, COMPARE_TEXT_CAPACITY + 1);
    text.Replace("[CR]", "\r");
    text.Replace("[LF]", "\n");
    return text;
}

wxString wait_message(const input_config& c) {
    wxString message;
    lumo_unicode_charToStringUTF16BE(reinterpret_cast<const char*>(c.wait_message),
                                     WAIT_MESSAGE_CAPACITY, message);
    return message;
}

bool stream_answer(const controller_table& table, const input_config& c) {
    return (c.flags & FLAG_TIMEOUT) == 0 && table.stream_wait(c.controller) &&
           c.input_mode != INPUT_SERIAL_1 && c.input_mode != INPUT_SERIAL_2 &&
           (c.flags & FLAG_SHOW_MESSAGE) == 0;
}

std::int32_t evaluate(const input_config& c, run_state& state, const std::uint8_t* record,
                      std::int32_t controller, std::int64_t now) {
    if (state.start_timer) {
        state.deadline = now + c.timeout_sec;
        state.start_timer = false;
    }
    if (static_cast<std::int32_t>(c.controller) != controller)
        return RES_IGNORED;
    if ((c.flags & FLAG_TIMEOUT) != 0 && now > state.deadline) {
        if (c.timeout_action == ACTION_CONTINUE)
            return RES_OK;
        state.pending = pending::timeout;
        return RES_CUSTOM_OPERATION;
    }
    bool met;
    switch (c.input_mode) {
    case INPUT_DIGI8_1:
        met =
            (record[INPUT_DIGI8_1_LEVEL] & c.digi8_mask[0]) == (c.digi8_value[0] & c.digi8_mask[0]);
        break;
    case INPUT_DIGI8_2:
        met =
            (record[INPUT_DIGI8_2_LEVEL] & c.digi8_mask[1]) == (c.digi8_value[1] & c.digi8_mask[1]);
        break;
    case INPUT_DIGI16_1:
        met = (platform::read_be16(record + INPUT_DIGI16_1_LEVEL) & c.digi16_mask[0]) ==
              (c.digi16_value[0] & c.digi16_mask[0]);
        break;
    case INPUT_DIGI16_2:
        met = (platform::read_be16(record + INPUT_DIGI16_2_LEVEL) & c.digi16_mask[1]) ==
              (c.digi16_value[1] & c.digi16_mask[1]);
        break;
    case INPUT_DIGI32:
        met = (platform::read_be32(record + INPUT_DIGI32_LEVEL) & c.digi32_mask) ==
              (c.digi32_value & c.digi32_mask);
        break;
    case INPUT_SERIAL_1:
        met = text_met(record, INPUT_SERIAL1_TEXT, INPUT_SERIAL1_TEXT_SIZE, c.compare_text1,
                       c.flags, FLAG_SERIAL1_FULL, FLAG_SERIAL1_SUBSTRING, state);
        break;
    case INPUT_SERIAL_2:
        met = text_met(record, INPUT_SERIAL2_TEXT, INPUT_SERIAL2_TEXT_SIZE, c.compare_text2,
                       c.flags, FLAG_SERIAL2_FULL, FLAG_SERIAL2_SUBSTRING, state);
        break;
    default:
        return RES_INVALID;
    }
    if (!met)
        return RES_WAIT;
    if ((c.input_mode == INPUT_SERIAL_1 || c.input_mode == INPUT_SERIAL_2) &&
        (c.flags & FLAG_FORWARD_ANY) != 0) {
        state.pending = pending::forward;
        return RES_CUSTOM_OPERATION;
    }
    return RES_OK;
}

std::vector<std::uint8_t> result_payload(const input_config& c) {
    std::vector<std::uint8_t> p(RESULT_DATA_PAYLOAD_SIZE, 0);
    platform::write_be32(&p[RESULT_INPUT_MODE], c.input_mode);
    p[INPUT_DIGI8_1_LEVEL] = c.digi8_value[0] & c.digi8_mask[0];
    p[INPUT_DIGI8_2_LEVEL] = c.digi8_value[1] & c.digi8_mask[1];
    p[RESULT_DIGI8_1_MASK] = c.digi8_mask[0];
    p[RESULT_DIGI8_2_MASK] = c.digi8_mask[1];
    platform::write_be16(&p[INPUT_DIGI16_1_LEVEL], c.digi16_value[0] & c.digi16_mask[0]);
    platform::write_be16(&p[INPUT_DIGI16_2_LEVEL], c.digi16_value[1] & c.digi16_mask[1]);
    platform::write_be16(&p[RESULT_DIGI16_1_MASK], c.digi16_mask[0]);
    platform::write_be16(&p[RESULT_DIGI16_2_MASK], c.digi16_mask[1]);
    platform::write_be32(&p[INPUT_DIGI32_LEVEL], c.digi32_value);
    platform::write_be32(&p[RESULT_DIGI32_MASK], c.digi32_mask);
    lumo_unicode_stringToCharASCII(comparison_text(c.compare_text1),
                                   reinterpret_cast<char*>(&p[INPUT_SERIAL1_TEXT]),
                                   RESULT_TEXT_CAPACITY);
    lumo_unicode_stringToCharASCII(comparison_text(c.compare_text2),
                                   reinterpret_cast<char*>(&p[INPUT_SERIAL2_TEXT]),
                                   RESULT_TEXT_CAPACITY);
    return p;
}

std::int32_t custom_operation(const input_config& c, const run_state& state,
                              std::vector<std::uint8_t>& op) {
    if (op[OPERATION_KIND] != OPERATION_KIND_VALUE ||
        op[OPERATION_SUBKIND] != OPERATION_SUBKIND_VALUE)
        return RES_UNSUPPORTED;
    auto put = [&](std::size_t at, std::uint32_t value) { std::memcpy(&op[at], &value, 4); };
    if (state.pending == pending::timeout) {
        if (c.timeout_action < ACTION_RESTART || c.timeout_action > ACTION_GOTO)
            return RES_INVALID;
        put(OPERATION_CODE, c.timeout_action);
        if (c.timeout_action == ACTION_GOTO)
            put(OPERATION_VALUE, static_cast<std::uint32_t>(c.goto_element));
        return RES_OK;
    }
    if (state.pending != pending::forward)
        return RES_UNSUPPORTED;
    std::uint32_t code = 0;
    if (c.flags & FLAG_FORWARD_IN2)
        code |= OP_FORWARD_IN2;
    if (c.flags & FLAG_FORWARD_IN3)
        code |= OP_FORWARD_IN3;
    if (c.flags & FLAG_FORWARD_IN4)
        code |= OP_FORWARD_IN4;
    if (c.flags & FLAG_FORWARD_IN5)
        code |= OP_FORWARD_IN5;
    const wxString& text = state.last_received;
    wxString part;
    // Bounds out of order (possible only from loaded data) forward nothing.
    if (c.substr_from < text.length() && c.substr_to >= c.substr_from) {
        const std::size_t last = std::min<std::size_t>(c.substr_to, text.length() - 1);
        part = text.substr(c.substr_from, last - c.substr_from + 1);
    }
    put(OPERATION_CODE, code);
    put(OPERATION_VALUE, static_cast<std::uint32_t>(part.length()));
    std::int32_t capacity;
    std::memcpy(&capacity, &op[OPERATION_TEXT_CAPACITY], 4);
    if (capacity >= 4)
        lumo_unicode_stringToCharUTF8(part, reinterpret_cast<char*>(&op[OPERATION_TEXT]),
                                      capacity / 4);
    return RES_OK;
}

} // namespace model
