// Saving and loading element configurations through the exported functions:
// the byte layout, older versions and their defaults, odd lengths, colour.
#include <algorithm>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "model/platform.h"
#include "test_support/save_records.h"

namespace {

// What saving every_field_config() writes, field by field.
std::vector<std::uint8_t> every_field_record() {
    return record_with({
        {0, "0005"},                                          // version 5
        {2, "03BC"},                                          // length 956
        {4, "04000000"},                                      // input_mode INPUT_SERIAL_2
        {10, "A1 A2"},                                        // spare_bytes
        {12, "B001 B002 B003 B004 B005 B006 B007 B008 B009"}, // spare_words
        {30, "81 42"},                                        // digi8_value port 1, port 2
        {32, "F1 0F"},                                        // digi8_mask
        {34, "1234 ABCD"},                                    // digi16_value
        {38, "FF00 00FF"},                                    // digi16_mask
        {44, "800000AE"},                                     // flags
        {52, "DEADBEEF"},                                     // digi32_value
        {56, "0F0F0F0F"},                                     // digi32_mask
        {60, "07"},                                           // controller
        {61, ascii_hex("OK[CR][LF]")},                        // compare_text1
        {262, "0057 0061 0069 0074 0020 00E4 20AC"},          // wait_message "Wait ä€"
        {742, "C4 42 43"},                                    // compare_text2 "ÄBC", Latin-1
        {944, "00000E10"},                                    // timeout_sec 3600
        {948, "FFFFFFFE"},                                    // goto_element -2
        {952, "03"},                                          // timeout_action ACTION_GOTO
        {953, "00"},                                          // reserved3, always 0
        {954, "05 14"},                                       // substr_from 5, substr_to 20
    });
}

std::vector<std::uint8_t> with_version(std::vector<std::uint8_t> record, const std::string& hex) {
    const std::vector<std::uint8_t> version = hex_bytes(hex);
    record[0] = version[0];
    record[1] = version[1];
    return record;
}

// An in-memory wait message field holding an ASCII text in UTF-16 big-endian.
std::vector<std::uint8_t> wait_field(const std::string& ascii) {
    std::vector<std::uint8_t> field(WAIT_MESSAGE_SIZE, 0);
    for (std::size_t i = 0; i < ascii.size(); ++i)
        field[2 * i + 1] = static_cast<std::uint8_t>(ascii[i]);
    return field;
}

std::vector<std::uint8_t> wait_field_of(const input_config& c) {
    return std::vector<std::uint8_t>(c.wait_message, c.wait_message + WAIT_MESSAGE_SIZE);
}

wxColour colour_of(element_handle* element) {
    return element->colour;
}

} // namespace

TEST(Saving, FactoryElementIntoAZeroBufferGivesTheGoldenRecord) {
    created_element e;
    EXPECT_EQ(save_bytes(e.handle()), record_with({
                                          {0, "0005"},       // version 5
                                          {2, "03BC"},       // length 956
                                          {44, "00000009"},  // flags SERIAL1_FULL | SERIAL2_FULL
                                          {944, "0000000A"}, // timeout_sec 10
                                          {955, "C7"},       // substr_to 199
                                      }));
}

TEST(Saving, EveryFieldLandsAtItsOffsetBigEndianAndUnsavedFieldsStayOut) {
    created_element e;
    e.record().config = every_field_config();
    std::uint32_t length = 0;
    const char* data = plugin().vexa_get_save_data(e.handle(), &length);
    ASSERT_EQ(length, SAVE_RECORD_SIZE);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + length), every_field_record());
    // The length is optional; the buffer is the same every time.
    EXPECT_EQ(plugin().vexa_get_save_data(e.handle(), nullptr), data);
}

TEST(Saving, TextsOfTwoHundredCharactersFillTheirFieldsAndComeBackWhole) {
    created_element e;
    const std::string text1(200, 'a'), text2(200, 'z');
    std::memcpy(e.record().config.compare_text1, text1.data(), 200);
    std::memcpy(e.record().config.compare_text2, text2.data(), 200);
    const std::vector<std::uint8_t> saved = save_bytes(e.handle());
    EXPECT_EQ(std::string(saved.begin() + SAVE_COMPARE_TEXT1, saved.begin() + 261), text1);
    EXPECT_EQ(saved[261], 0); // reserved, from the zero buffer
    EXPECT_EQ(std::string(saved.begin() + SAVE_COMPARE_TEXT2, saved.begin() + 942), text2);

    created_element loaded;
    ASSERT_EQ(load_bytes(loaded.handle(), saved), RES_OK);
    EXPECT_EQ(std::string(loaded.record().config.compare_text1), text1);
    EXPECT_EQ(std::string(loaded.record().config.compare_text2), text2);
    EXPECT_EQ(save_bytes(loaded.handle()), saved);
}

TEST(Saving, ReservedBytesKeepWhatTheBufferHeldButReserved3IsWrittenZero) {
    std::vector<std::uint8_t> stored = every_field_record();
    for (std::size_t at : {8, 9, 42, 43, 48, 51, 261, 502, 741, 942, 943, 953})
        stored[at] = 0xEE;
    created_element first;
    ASSERT_EQ(load_bytes(first.handle(), stored), RES_OK);
    EXPECT_EQ(first.record().config.reserved0, 0);
    EXPECT_EQ(first.record().config.reserved1, 0u);
    EXPECT_EQ(first.record().config.reserved3, 0);

    created_element factory;
    std::vector<std::uint8_t> expected =
        record_with({{0, "0005"}, {2, "03BC"}, {44, "00000009"}, {944, "0000000A"}, {955, "C7"}});
    for (std::size_t at : {8, 9, 42, 43, 48, 51, 261, 502, 741, 942, 943})
        expected[at] = 0xEE;
    EXPECT_EQ(save_bytes(factory.handle()), expected);
}

TEST(RoundTrip, SaveThenLoadRestoresEverySavedFieldAndTheSameBytes) {
    created_element source;
    source.record().config = every_field_config();
    const std::vector<std::uint8_t> saved = save_bytes(source.handle());

    created_element target;
    ASSERT_EQ(load_bytes(target.handle(), saved), RES_OK);
    const input_config& c = target.record().config;
    EXPECT_EQ(c.version, 5);
    EXPECT_EQ(c.length, 956);
    EXPECT_EQ(c.reserved0, 0);
    EXPECT_EQ(c.reserved1, 0u);
    EXPECT_EQ(c.reserved3, 0);
    EXPECT_EQ(c.input_mode, INPUT_SERIAL_2);
    EXPECT_EQ(c.spare_words[8], 0xB009);
    EXPECT_EQ(c.digi16_value[1], 0xABCD);
    EXPECT_EQ(c.flags, 0x800000AEu);
    EXPECT_EQ(c.digi32_value, 0xDEADBEEFu);
    EXPECT_EQ(c.controller, 7);
    EXPECT_STREQ(c.compare_text1, "OK[CR][LF]");
    EXPECT_EQ(wait_field_of(c), wait_field_of(every_field_config()));
    EXPECT_STREQ(c.compare_text2, "\xC4"
                                  "BC");
    EXPECT_EQ(c.timeout_sec, 3600u);
    EXPECT_EQ(c.goto_element, -2);
    EXPECT_EQ(c.timeout_action, ACTION_GOTO);
    EXPECT_EQ(c.substr_from, 5);
    EXPECT_EQ(c.substr_to, 20);
    EXPECT_EQ(save_bytes(target.handle()), saved);
}

TEST(RoundTrip, EveryByteOfEveryFieldInTheTableComesBackWhole) {
    // No zero byte in any field: texts fill their fields, the message all its
    // units. Reserved bytes marked: the buffer keeps them from the load.
    std::vector<std::uint8_t> stored(SAVE_RECORD_SIZE);
    for (const save_span& span : SAVE_SPANS)
        for (std::size_t at = span.offset; at < span.offset + span.size; ++at)
            stored[at] =
                span.use == save_span_use::FIELD ? static_cast<std::uint8_t>(0x21 + at % 90) : 0xEE;
    const std::vector<std::uint8_t> written = hex_bytes("0005 03BC"); // version 5, length 956
    std::copy(written.begin(), written.end(), stored.begin());
    stored[SAVE_SUBSTR_FROM] = 5; // below substr_to: nothing repaired
    stored[SAVE_SUBSTR_TO] = 20;

    created_element e;
    ASSERT_EQ(load_bytes(e.handle(), stored), RES_OK);
    std::vector<std::uint8_t> expected = stored;
    for (const save_span& span : SAVE_SPANS)
        if (span.use == save_span_use::ZERO)
            std::fill_n(expected.begin() + span.offset, span.size, 0);
    EXPECT_EQ(save_bytes(e.handle()), expected);
}

TEST(Loading, OlderVersionsGetDefaultsForWhatTheyLack) {
    struct row {
        const char* hex;
        int version; // as the loader sees it: signed
        int reads_as;
    } rows[] = {
        {"0001", 1, 1},  {"0002", 2, 2},      {"0003", 3, 3},      {"0004", 4, 4},
        {"0005", 5, 5},  {"0006", 6, 5},      {"7FFF", 32767, 5},  {"0000", 0, 1},
        {"FFFF", -1, 1}, {"8000", -32768, 1}, {"8005", -32763, 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.hex);
        created_element e;
        ASSERT_EQ(load_bytes(e.handle(), with_version(every_field_record(), r.hex)), RES_OK);
        const input_config& c = e.record().config;
        EXPECT_EQ(c.version, r.version);
        // Read from every version.
        EXPECT_EQ(c.length, 956);
        EXPECT_EQ(c.input_mode, INPUT_SERIAL_2);
        EXPECT_EQ(c.digi8_mask[0], 0xF1);
        EXPECT_EQ(c.controller, 7);
        EXPECT_EQ(c.substr_from, 5);
        EXPECT_EQ(c.substr_to, 20);
        EXPECT_STREQ(c.compare_text1, r.reads_as >= 2 ? "OK[CR][LF]" : "[CR][LF]");
        EXPECT_EQ(wait_field_of(c), r.reads_as >= 3 ? wait_field_of(every_field_config())
                                                    : wait_field("Waiting for inputs..."));
        EXPECT_STREQ(c.compare_text2, r.reads_as >= 4 ? "\xC4"
                                                        "BC"
                                                      : "[CR][LF]");
        if (r.reads_as >= 5) {
            EXPECT_EQ(c.flags, 0x800000AEu);
            EXPECT_EQ(c.timeout_sec, 3600u);
            EXPECT_EQ(c.goto_element, -2);
            EXPECT_EQ(c.timeout_action, ACTION_GOTO);
        } else {
            EXPECT_EQ(c.flags, 0x8000008Eu); // FLAG_TIMEOUT cleared, the rest kept
            EXPECT_EQ(c.timeout_sec, 0u);
            EXPECT_EQ(c.goto_element, 0);
            EXPECT_EQ(c.timeout_action, ACTION_CONTINUE);
        }
    }
}

TEST(Loading, SubstringEndIsRepairedWhenNotAboveTheStart) {
    struct row {
        const char* stored;
        int from, to;
    } rows[] = {{"0A 0A", 10, 199},  {"00 00", 0, 199},   {"05 14", 5, 20},
                {"DC 64", 220, 199}, {"C6 C7", 198, 199}, {"FF FF", 255, 199},
                {"00 01", 0, 1},     {"C8 C7", 200, 199}, {"00 FF", 0, 255}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.stored);
        created_element e;
        ASSERT_EQ(load_bytes(e.handle(), record_with({{0, "0001"}, {954, r.stored}})), RES_OK);
        EXPECT_EQ(e.record().config.substr_from, r.from);
        EXPECT_EQ(e.record().config.substr_to, r.to);
    }
}

TEST(Loading, StoredTextsStopAtTheirFirstZeroByte) {
    std::vector<std::uint8_t> stored = every_field_record();
    stored[SAVE_COMPARE_TEXT1 + 150] = 'q'; // after the terminator: not part of the text
    created_element e;
    ASSERT_EQ(load_bytes(e.handle(), stored), RES_OK);
    EXPECT_EQ(e.record().config.compare_text1[150], 0);
    EXPECT_EQ(save_bytes(e.handle()), every_field_record());
}

TEST(Loading, ControllerBeyondTheTableIsKeptAsStored) {
    created_element e;
    ASSERT_EQ(load_bytes(e.handle(), record_with({{0, "0005"}, {60, "C8"}})), RES_OK);
    EXPECT_EQ(e.record().config.controller, 200);
}

TEST(Loading, DataLongerThanTheRecordIsReadAsItsFirst956Bytes) {
    std::vector<std::uint8_t> stored = every_field_record();
    stored.resize(1000, 0xEE);
    created_element e;
    ASSERT_EQ(load_bytes(e.handle(), stored), RES_OK);
    EXPECT_EQ(e.record().config.substr_to, 20);
    EXPECT_EQ(save_bytes(e.handle()), every_field_record());
}

TEST(Loading, TheBufferASaveReturnedLoadsAsItselfWholeOrInPart) {
    // A host may hand the plug-in's own buffer straight back; the sanitizer
    // build refuses a copy of a buffer onto itself.
    created_element source;
    source.record().config = every_field_config();
    std::uint32_t length = 0;
    const char* saved = plugin().vexa_get_save_data(source.handle(), &length);
    const std::vector<std::uint8_t> expected(saved, saved + length);
    created_element target;
    ASSERT_EQ(plugin().vexa_set_loaded_data(target.handle(), length, saved), RES_OK);
    EXPECT_EQ(save_bytes(target.handle()), expected);

    // Its tail, overlapping the buffer it is read into: the bytes from
    // offset 4 on, read as a record of 952 bytes.
    saved = plugin().vexa_get_save_data(source.handle(), &length);
    ASSERT_EQ(plugin().vexa_set_loaded_data(target.handle(), length - 4, saved + 4), RES_OK);
    std::vector<std::uint8_t> shifted(expected.begin() + 4, expected.end());
    shifted.resize(SAVE_RECORD_SIZE, 0);
    EXPECT_EQ(target.record().config.input_mode, platform::read_be32(&shifted[SAVE_INPUT_MODE]));
}

TEST(Loading, BytesAShortRecordDoesNotCarryReadAsZero) {
    // A full record first, so the buffer holds bytes a short one must not inherit.
    created_element earlier;
    ASSERT_EQ(load_bytes(earlier.handle(), every_field_record()), RES_OK);

    std::vector<std::uint8_t> short_record = every_field_record();
    short_record.resize(100);
    created_element e;
    ASSERT_EQ(load_bytes(e.handle(), short_record), RES_OK);
    const input_config& c = e.record().config;
    EXPECT_EQ(c.version, 5);
    EXPECT_STREQ(c.compare_text1, "OK[CR][LF]"); // within the first 100 bytes
    EXPECT_EQ(wait_field_of(c), wait_field(""));
    EXPECT_STREQ(c.compare_text2, "");
    EXPECT_EQ(c.timeout_sec, 0u);
    EXPECT_EQ(c.goto_element, 0);
    EXPECT_EQ(c.timeout_action, 0);
    EXPECT_EQ(c.substr_from, 0);
    EXPECT_EQ(c.substr_to, 199);
    std::vector<std::uint8_t> expected = short_record;
    expected.resize(SAVE_RECORD_SIZE, 0);
    expected[SAVE_SUBSTR_TO] = 0xC7;
    EXPECT_EQ(save_bytes(e.handle()), expected);
}

TEST(Loading, NoDataReadsAsAnEmptyRecordWhateverTheLength) {
    created_element earlier;
    ASSERT_EQ(load_bytes(earlier.handle(), every_field_record()), RES_OK);
    for (std::uint32_t length : {0u, 956u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(length);
        created_element e;
        ASSERT_EQ(plugin().vexa_set_loaded_data(e.handle(), length, nullptr), RES_OK);
        const input_config& c = e.record().config;
        EXPECT_EQ(c.version, 0);
        EXPECT_EQ(c.input_mode, 0u);
        EXPECT_EQ(c.flags, 0u);
        EXPECT_STREQ(c.compare_text1, "[CR][LF]");
        EXPECT_EQ(wait_field_of(c), wait_field("Waiting for inputs..."));
        EXPECT_STREQ(c.compare_text2, "[CR][LF]");
        EXPECT_EQ(c.substr_from, 0);
        EXPECT_EQ(c.substr_to, 199);
    }
}

TEST(Loading, RunTimeFieldsAreLeftAsTheyWere) {
    creation_record options;
    created_element e(&options);
    int block = 0;
    instance_data& r = e.record();
    r.refresh = recording_refresh;
    r.bin_data = &block;
    r.deadline = 123456789;
    r.start_timer = 1;
    r.element_ids = {4, 5, 6};
    r.pending_operation = PENDING_FORWARD;
    r.last_received = "received";
    refresh_log().clear();

    ASSERT_EQ(load_bytes(e.handle(), every_field_record()), RES_OK);
    EXPECT_EQ(r.refresh, &recording_refresh);
    EXPECT_EQ(r.bin_data, &block);
    EXPECT_EQ(r.deadline, 123456789);
    EXPECT_EQ(r.start_timer, 1);
    EXPECT_EQ(r.host_context, &options);
    EXPECT_EQ(r.element_ids, (std::vector<std::int32_t>{4, 5, 6}));
    EXPECT_EQ(r.pending_operation, PENDING_FORWARD);
    EXPECT_EQ(r.last_received, "received");
    EXPECT_TRUE(refresh_log().empty());
}

TEST(Loading, ColoursTheLoadedElementItselfWithoutNotifying) {
    const auto timeout = [](const char* action) {
        return record_with({{0, "0005"}, {44, "00000020"}, {952, action}});
    };
    created_element loaded;
    plugin().vexa_set_refresh_callback(loaded.handle(), recording_refresh);
    created_element current; // the panel's current element from here on
    refresh_log().clear();

    ASSERT_EQ(load_bytes(loaded.handle(), timeout("02")), RES_OK);
    EXPECT_EQ(colour_of(loaded.handle()), wxColour(255, 185, 185));
    EXPECT_FALSE(colour_of(current.handle()).IsOk()); // never assigned

    plugin().vexa_select(nullptr, 0, 0); // no current element
    ASSERT_EQ(load_bytes(loaded.handle(), timeout("01")), RES_OK);
    EXPECT_EQ(colour_of(loaded.handle()), wxColour(185, 255, 185));

    plugin().vexa_reset_gui(); // no panel object at all
    ASSERT_EQ(load_bytes(loaded.handle(), timeout("03")), RES_OK);
    EXPECT_EQ(colour_of(loaded.handle()), wxColour(210, 210, 210));
    // The same record from version 4 has no timeout.
    ASSERT_EQ(load_bytes(loaded.handle(), with_version(timeout("03"), "0004")), RES_OK);
    EXPECT_EQ(colour_of(loaded.handle()), *wxWHITE);
    EXPECT_TRUE(refresh_log().empty());
}

TEST(NullInput, RefusedLoadsLeaveTheBufferAlone) {
    created_element e;
    e.record().config = every_field_config();
    std::uint32_t length = 0;
    const char* data = plugin().vexa_get_save_data(e.handle(), &length);
    ASSERT_NE(data, nullptr);
    host_element empty;
    const std::vector<std::uint8_t> other = record_with({{0, "0005"}, {4, "00002000"}});
    EXPECT_EQ(load_bytes(nullptr, other), RES_INVALID);
    EXPECT_EQ(load_bytes(empty.handle(), other), RES_INVALID);
    EXPECT_FALSE(empty->colour.IsOk());
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + length), every_field_record());
}
