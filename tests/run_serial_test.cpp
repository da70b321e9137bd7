// Serial text conditions and the forwarding of received text, through
// vexa_check_input_value and vexa_get_custom_operation.
#include <gtest/gtest.h>

#include "test_support/locales.h"
#include "test_support/run_element.h"

namespace {

input_record serial(int serial_interface, const std::string& text) {
    return input_record().serial(serial_interface, text);
}

} // namespace

TEST(SerialCompare, FullSubstringOrAnyTextPerInterface) {
    for (int i : {1, 2}) {
        SCOPED_TRACE(i);
        const std::uint32_t mode = i == 1 ? INPUT_SERIAL_1 : INPUT_SERIAL_2;
        const std::uint32_t full = i == 1 ? FLAG_SERIAL1_FULL : FLAG_SERIAL2_FULL;
        const std::uint32_t substring = i == 1 ? FLAG_SERIAL1_SUBSTRING : FLAG_SERIAL2_SUBSTRING;

        run_element whole(mode, full | substring); // FULL wins
        whole.set_text(i, "OK");
        EXPECT_EQ(whole.check(serial(i, "OK")), RES_OK);
        EXPECT_EQ(whole.check(serial(i, "OK!")), RES_WAIT);
        EXPECT_EQ(whole.check(serial(i, "ok")), RES_WAIT);
        // Only the element's own interface is read.
        EXPECT_EQ(whole.check(serial(3 - i, "OK")), RES_WAIT);

        run_element part(mode, substring);
        part.set_text(i, "OK");
        EXPECT_EQ(part.check(serial(i, "xOKy")), RES_OK);
        EXPECT_EQ(part.check(serial(i, "O K")), RES_WAIT);

        // The other interface's flags don't count: any text meets the condition.
        run_element neither(mode, i == 1 ? FLAG_SERIAL2_FULL : FLAG_SERIAL1_FULL);
        neither.set_text(i, "OK");
        EXPECT_EQ(neither.check(serial(i, "whatever")), RES_OK);
        EXPECT_EQ(neither.record().last_received, "whatever");
    }
}

TEST(SerialCompare, MarkersStandForLineEndsInTheComparisonTextOnly) {
    run_element e(INPUT_SERIAL_1, FLAG_SERIAL1_FULL);
    e.set_text(1, "[CR][LF]");
    EXPECT_EQ(e.check(serial(1, "\r\n")), RES_OK);
    EXPECT_EQ(e.check(serial(1, "\n\r")), RES_WAIT);
    EXPECT_EQ(e.check(serial(1, "[CR][LF]")), RES_WAIT);
    EXPECT_EQ(e.record().last_received, "[CR][LF]"); // the received text is not altered

    e.set_text(1, "[cr]"); // markers are case-sensitive
    EXPECT_EQ(e.check(serial(1, "\r")), RES_WAIT);
    EXPECT_EQ(e.check(serial(1, "[cr]")), RES_OK);

    run_element part(INPUT_SERIAL_2, FLAG_SERIAL2_SUBSTRING);
    part.set_text(2, "END[LF]");
    EXPECT_EQ(part.check(serial(2, "xxEND\nyy")), RES_OK);
    EXPECT_EQ(part.check(serial(2, "xxEND[LF]")), RES_WAIT);
}

TEST(SerialCompare, EmptyTexts) {
    run_element part(INPUT_SERIAL_1, FLAG_SERIAL1_SUBSTRING);
    EXPECT_EQ(part.check(serial(1, "abc")), RES_OK);
    EXPECT_EQ(part.check(serial(1, "")), RES_OK);
    run_element whole(INPUT_SERIAL_1, FLAG_SERIAL1_FULL);
    EXPECT_EQ(whole.check(serial(1, "")), RES_OK);
    EXPECT_EQ(whole.check(serial(1, "abc")), RES_WAIT);
}

TEST(SerialCompare, LastReceivedTakesEveryEvaluatedTextMetOrNot) {
    virtual_clock::set(100);
    run_element e(INPUT_SERIAL_2, FLAG_SERIAL2_FULL);
    e.set_text(2, "OK");
    EXPECT_EQ(e.check(serial(2, "A")), RES_WAIT);
    EXPECT_EQ(e.record().last_received, "A");
    EXPECT_EQ(e.check(serial(2, "OK")), RES_OK);
    EXPECT_EQ(e.record().last_received, "OK");
    // Records that don't reach the text test leave it alone.
    EXPECT_EQ(e.check(serial(2, "B"), 1), RES_IGNORED);
    e.config().flags |= FLAG_TIMEOUT; // deadline 0: expired
    EXPECT_EQ(e.check(serial(2, "C")), RES_OK);
    EXPECT_EQ(e.record().last_received, "OK");
}

TEST(SerialText, ReadsNoFurtherThanTheEndOfItsField) {
    // Both fields filled to their end without a zero byte.
    input_record full_fields = serial(1, std::string(205, 'A'));
    full_fields.serial(2, std::string(211, 'B'));
    std::vector<std::uint8_t> beyond(full_fields.bytes.begin(), full_fields.bytes.end());
    beyond.resize(beyond.size() + 16, 'C');
    beyond.push_back(0);

    run_element one(INPUT_SERIAL_1);
    EXPECT_EQ(one.check(full_fields), RES_OK);
    EXPECT_EQ(one.record().last_received, std::string(205, 'A'));
    run_element two(INPUT_SERIAL_2);
    EXPECT_EQ(plugin().vexa_check_input_value(two.handle(), beyond.data(), 0), RES_OK);
    EXPECT_EQ(two.record().last_received, std::string(211, 'B'));
}

TEST(SerialText, BothTextsAreDecodedWithTheLocaleOfEachCall) {
    run_element e(INPUT_SERIAL_1, FLAG_SERIAL1_SUBSTRING);
    e.set_text(1, "\xC3\xA9"); // é in UTF-8
    {
        character_locale c("C"); // these bytes mean nothing here: taken as Latin-1
        EXPECT_EQ(e.check(serial(1, "caf\xC3\xA9")), RES_OK);
        EXPECT_EQ(e.record().last_received, wxString(L"caf\u00C3\u00A9"));
    }
    {
        utf8_locale utf8;
        REQUIRE_UTF8_LOCALE(utf8);
        EXPECT_EQ(e.check(serial(1, "caf\xC3\xA9")), RES_OK);
        EXPECT_EQ(e.record().last_received, wxString(L"caf\u00E9"));
        // Undecodable texts keep their bytes apart instead of all turning empty.
        run_element whole(INPUT_SERIAL_1, FLAG_SERIAL1_FULL);
        whole.set_text(1, "\xFF");
        EXPECT_EQ(whole.check(serial(1, "\xFE")), RES_WAIT);
        EXPECT_EQ(whole.record().last_received, wxString(L"\u00FE"));
        EXPECT_EQ(whole.check(serial(1, "\xFF")), RES_OK);
    }
}

TEST(Forwarding, SerialMatchHandsOutTheSubstringOfTheReceivedText) {
    struct expectation {
        std::uint8_t from, to;
        std::string received, forwarded;
    };
    const expectation cases[] = {
        {0, 199, "HELLO WORLD!", "HELLO WORLD!"}, // the factory span: the whole text
        {3, 5, "ABCDEFGH", "DEF"},
        {6, 9, "ABCDEFGH", "GH"},              // cut off at the end
        {20, 30, "ABCDEFGH", ""},              // starts beyond the end
        {204, 199, std::string(205, 'A'), ""}, // loaded data: ends before it starts
        {1, 1, "\xC3\xA9t\xC3\xA9", "t"},      // characters, not bytes (UTF-8 locale below)
    };
    utf8_locale utf8;
    REQUIRE_UTF8_LOCALE(utf8);
    for (const expectation& c : cases) {
        SCOPED_TRACE(c.received);
        run_element e(INPUT_SERIAL_1, FLAG_FORWARD_IN3);
        e.config().substr_from = c.from;
        e.config().substr_to = c.to;
        EXPECT_EQ(e.check(serial(1, c.received)), RES_CUSTOM_OPERATION);
        EXPECT_EQ(e.record().pending_operation, PENDING_FORWARD);
        operation_record op(256);
        EXPECT_EQ(e.operation(op), RES_OK);
        EXPECT_EQ(op.op_code(), OP_FORWARD_IN3);
        EXPECT_EQ(op.text(), c.forwarded);
        EXPECT_EQ(op.op_value(), wxString::FromUTF8(c.forwarded).length());
    }
    run_element no_match(INPUT_SERIAL_2, FLAG_SERIAL2_FULL | FLAG_FORWARD_IN2);
    no_match.set_text(2, "X");
    EXPECT_EQ(no_match.check(serial(2, "Y")), RES_WAIT);
    EXPECT_EQ(no_match.check(serial(2, "X")), RES_CUSTOM_OPERATION);
}

TEST(Forwarding, OneOperationBitPerCharacterInput) {
    run_element e(INPUT_SERIAL_2);
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {FLAG_FORWARD_IN2 | FLAG_FORWARD_IN5, 0x90},
        {FLAG_FORWARD_IN4, 0x40},
        {FLAG_FORWARD_ANY, 0xF0},
    };
    for (const auto& [flags, op_code] : cases) {
        e.config().flags = flags;
        EXPECT_EQ(e.check(serial(2, "x")), RES_CUSTOM_OPERATION);
        operation_record op(40);
        EXPECT_EQ(e.operation(op), RES_OK);
        EXPECT_EQ(op.op_code(), op_code);
    }
}

TEST(Forwarding, TextLimitIsAQuarterOfTheStatedCapacity) {
    run_element e(INPUT_SERIAL_1, FLAG_FORWARD_IN2);
    EXPECT_EQ(e.check(serial(1, "ABCDEFGHIJKLMNOP")), RES_CUSTOM_OPERATION);
    // A limit of 10 bytes: 9 characters and the zero byte, nothing beyond.
    operation_record forty(40);
    EXPECT_EQ(e.operation(forty), RES_OK);
    EXPECT_EQ(std::string(forty.bytes.begin() + OPERATION_TEXT,
                          forty.bytes.begin() + OPERATION_TEXT + 10),
              std::string("ABCDEFGHI\0", 10));
    EXPECT_EQ(forty.bytes[OPERATION_TEXT + 10], 0xEE);
    EXPECT_EQ(forty.op_value(), 16u);
    // A limit of 1 holds only the zero byte.
    operation_record four(4);
    EXPECT_EQ(e.operation(four), RES_OK);
    EXPECT_EQ(four.bytes[OPERATION_TEXT], 0);
    EXPECT_EQ(four.bytes[OPERATION_TEXT + 1], 0xEE);
    // Below 4 (limit 0) or negative: no text, but code and length all the same.
    for (std::int32_t capacity : {3, 0, -8}) {
        operation_record op(capacity);
        EXPECT_EQ(e.operation(op), RES_OK);
        EXPECT_EQ(op.bytes[OPERATION_TEXT], 0xEE);
        EXPECT_EQ(op.op_code(), OP_FORWARD_IN2);
        EXPECT_EQ(op.op_value(), 16u);
    }
}

TEST(Forwarding, TextEndsWithinItsLimitWithoutSplittingACharacter) {
    utf8_locale utf8;
    REQUIRE_UTF8_LOCALE(utf8);
    run_element e(INPUT_SERIAL_1, FLAG_FORWARD_IN2);
    // "éé€": 2 + 2 + 3 bytes. A limit of 6 keeps both é (4 bytes) and the
    // zero byte; the euro sign would not fit whole, so none of it is written.
    EXPECT_EQ(e.check(serial(1, "\xC3\xA9\xC3\xA9\xE2\x82\xAC")), RES_CUSTOM_OPERATION);
    operation_record op(24);
    EXPECT_EQ(e.operation(op), RES_OK);
    EXPECT_EQ(op.text(), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(op.bytes[OPERATION_TEXT + 4], 0);
    EXPECT_EQ(op.bytes[OPERATION_TEXT + 5], 0xEE);
    EXPECT_EQ(op.op_value(), 3u); // characters of the substring, not bytes written
}

TEST(CustomOperation, RefusesForeignRecordsAndAnswersOnlyWhatIsPending) {
    run_element e(INPUT_SERIAL_1, FLAG_FORWARD_IN2);
    operation_record op(40);
    EXPECT_EQ(e.operation(op), RES_UNSUPPORTED); // nothing pending yet
    EXPECT_EQ(e.check(serial(1, "x")), RES_CUSTOM_OPERATION);
    operation_record foreign(40);
    foreign.bytes[OPERATION_SUBKIND] = 44;
    EXPECT_EQ(e.operation(foreign), RES_UNSUPPORTED);
    foreign.bytes[OPERATION_SUBKIND] = OPERATION_SUBKIND_VALUE;
    foreign.bytes[OPERATION_KIND] = 6;
    EXPECT_EQ(e.operation(foreign), RES_UNSUPPORTED);
    EXPECT_EQ(foreign.op_code(), 0xEEEEEEEEu);
    EXPECT_EQ(foreign.bytes[OPERATION_TEXT], 0xEE);
    EXPECT_EQ(plugin().vexa_get_custom_operation(e.handle(), nullptr), RES_UNSUPPORTED);
}
