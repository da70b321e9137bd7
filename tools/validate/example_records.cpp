// Stored records of every version, each with the configuration loading it
// must give, written out here rather than derived from the model: loaded into
// a new element, saved again and shown in the panel, each compared field by
// field.
#include "validator.h"

namespace validator {

namespace {

void set_text(char* field, const char* text) {
    std::memset(field, 0, COMPARE_TEXT_CAPACITY + 1);
    std::strncpy(field, text, COMPARE_TEXT_CAPACITY);
}

void set_message(std::uint8_t* field, const std::u16string& text) {
    std::memset(field, 0, WAIT_MESSAGE_SIZE);
    for (std::size_t i = 0; i < text.size(); ++i)
        platform::write_be16(field + 2 * i, text[i]);
}

// What loading gives for the fields a version before 5 lacks.
void older_defaults(input_config& c, int version) {
    if (version < 2)
        set_text(c.compare_text1, "[CR][LF]");
    if (version < 3)
        set_message(c.wait_message, u"Waiting for inputs...");
    if (version < 4)
        set_text(c.compare_text2, "[CR][LF]");
}

input_config base(int version, std::uint32_t mode, std::uint32_t flags, std::uint8_t controller) {
    input_config c{};
    c.version = static_cast<std::int16_t>(version);
    c.length = SAVE_RECORD_SIZE;
    c.input_mode = mode;
    c.flags = flags;
    c.controller = controller;
    c.substr_to = SUBSTR_LAST;
    older_defaults(c, version);
    return c;
}

struct example_record {
    const char* what;
    input_config loads_as;
    // The stored bytes where they differ from what saving `loads_as` writes:
    // fields the version lacks, as an older host left them, and values that
    // loading repairs.
    void (*stored_otherwise)(model::record_bytes&);
};

std::vector<example_record> example_records() {
    std::vector<example_record> records;

    input_config c = base(1, INPUT_DIGI8_2, FLAG_SERIAL1_FULL | FLAG_SERIAL2_FULL, 1);
    c.digi8_value[1] = 0x81;
    c.digi8_mask[1] = 0xC1;
    records.push_back({"version 1, 8-bit port 2", c, [](model::record_bytes& r) {
                           // What version 1 does not hold is not read.
                           r[SAVE_FLAGS + 3] |= FLAG_TIMEOUT;
                           platform::write_be32(&r[SAVE_TIMEOUT_SEC], 30);
                           r[SAVE_TIMEOUT_ACTION] = ACTION_STOP;
                           std::memcpy(&r[SAVE_COMPARE_TEXT1], "4711", 4);
                           std::memcpy(&r[SAVE_COMPARE_TEXT2], "OK", 2);
                           r[SAVE_WAIT_MESSAGE + 1] = 'W';
                           // Reserved bytes are kept as loaded.
                           r[8] = 0xAB;
                           r[9] = 0xCD;
                       }});

    c = base(2, INPUT_DIGI16_1, FLAG_SERIAL1_SUBSTRING | FLAG_SHOW_MESSAGE | FLAG_SERIAL2_FULL, 2);
    c.digi16_value[0] = 0x1234;
    c.digi16_mask[0] = 0xFF00;
    set_text(c.compare_text1, "OK[CR]");
    c.substr_from = 3;
    c.substr_to = 10;
    records.push_back({"version 2, 16-bit port 1", c, [](model::record_bytes& r) {
                           r[SAVE_WAIT_MESSAGE + 1] = 'W';
                           r[SAVE_COMPARE_TEXT2] = 'x';
                       }});

    c = base(3, INPUT_DIGI32, FLAG_SHOW_MESSAGE | FLAG_FORWARD_IN4, 0);
    c.digi32_value = 0xDEADBEEF;
    c.digi32_mask = 0x0F0F0F0F;
    set_text(c.compare_text1, "A[LF]");
    set_message(c.wait_message, u"Wait \u00E4\u20AC");
    records.push_back({"version 3, 32-bit input", c, [](model::record_bytes& r) {
                           std::memcpy(&r[SAVE_COMPARE_TEXT2], "ignored", 7);
                           platform::write_be32(&r[SAVE_TIMEOUT_SEC], 5);
                       }});

    c = base(4, INPUT_SERIAL_2, FLAG_SERIAL2_SUBSTRING | FLAG_FORWARD_IN2 | FLAG_FORWARD_IN5, 3);
    set_text(c.compare_text2, "\xC4"
                              "BC"); // Latin-1
    c.substr_from = 5;
    records.push_back({"version 4, serial interface 2", c, [](model::record_bytes& r) {
                           r[SAVE_FLAGS + 3] |= FLAG_TIMEOUT;
                           platform::write_be32(&r[SAVE_TIMEOUT_SEC], 60);
                           platform::write_be32(&r[SAVE_GOTO_ELEMENT], 7);
                           r[SAVE_TIMEOUT_ACTION] = ACTION_GOTO;
                           r[SAVE_SUBSTR_TO] = 3; // not above From: repaired
                       }});

    // The save-record tool's example, serial_element.rec.
    c = base(5, INPUT_SERIAL_1,
             FLAG_SERIAL1_SUBSTRING | FLAG_SHOW_MESSAGE | FLAG_SERIAL2_FULL | FLAG_TIMEOUT |
                 FLAG_FORWARD_IN2,
             0);
    set_text(c.compare_text1, "4711");
    set_message(c.wait_message, u"Scan the part, please");
    set_text(c.compare_text2, "[CR][LF]");
    c.timeout_sec = 30;
    c.timeout_action = ACTION_STOP;
    c.substr_from = 5;
    c.substr_to = 8;
    records.push_back({"version 5, serial interface 1", c, [](model::record_bytes&) {}});

    c = base(5, INPUT_DIGI8_1, FLAG_TIMEOUT | FLAG_SERIAL1_FULL, 8);
    c.digi8_value[0] = 0x0F;
    c.digi8_mask[0] = 0xFF;
    c.timeout_sec = 3600;
    c.goto_element = -2;
    c.timeout_action = ACTION_GOTO;
    records.push_back({"version 5, 8-bit port 1, timeout to an element", c,
                       [](model::record_bytes& r) { r[SAVE_RESERVED3] = 9; }});
    return records;
}

// A controller that offers every input and every bit: the panel then shows
// a record whole, and its refresh drops nothing.
std::vector<std::uint8_t> full_description(std::uint8_t index) {
    std::vector<std::uint8_t> d(CONTROLLER_CONFIG_SIZE, 0);
    d[CONFIG_STATUS_FLAGS] = CONFIG_VALID;
    d[CONFIG_CONTROLLER_INDEX] = index;
    const std::uint32_t caps = INPUT_DIGI8_1 | INPUT_DIGI8_2 | INPUT_DIGI16_1 | INPUT_DIGI16_2 |
                               INPUT_DIGI32 | INPUT_SERIAL_1 | INPUT_SERIAL_2;
    std::memcpy(&d[CONFIG_CAPABILITIES], &caps, 4);
    return d;
}

} // namespace

int session::check_example_records() {
    for (std::uint8_t index = 0; index < CONTROLLER_COUNT; ++index)
        describe_controller(full_description(index));
    host_window* window = new_window();
    const std::vector<example_record> records = example_records();
    for (const example_record& r : records) {
        model::record_bytes stored{};
        model::save(r.loads_as, stored);
        platform::write_be16(&stored[SAVE_VERSION], static_cast<std::uint16_t>(r.loads_as.version));
        r.stored_otherwise(stored);

        element& e = add_element(window, false, true, true, true);
        e.origin = std::string(" (") + r.what + ")";
        load_into(e, stored.data(), SAVE_RECORD_SIZE);
        // The saved record then holds the expected configuration in every
        // field and the loaded bytes in the reserved ones (buffer_).
        e.config = r.loads_as;
        e.colour = model::colour_of(e.config);
        check_elements();
        select_element(&e, 0, 1);
        check_elements();
        arm_element(e);
        fetch_result_data_of(e);
        remove_element(e);
    }
    return static_cast<int>(records.size());
}

} // namespace validator
