// Digital conditions, the controller filter, the timeout and the wait-message
// events, through vexa_continuous_stream and vexa_check_input_value.
#include <limits>

#include <gtest/gtest.h>

#include "test_support/run_element.h"

TEST(DigitalCondition, EachPortComparesOnlyTheMaskedBitsOfItsOwnField) {
    // 8-bit port 1: bit 7 = 1, bit 0 = 0; value bit 1 sits under a clear mask bit.
    run_element d8_1(INPUT_DIGI8_1);
    d8_1.config().digi8_mask[0] = 0x81;
    d8_1.config().digi8_value[0] = 0x82;
    EXPECT_EQ(d8_1.check(input_record().digi8(1, 0x80)), RES_OK);
    EXPECT_EQ(d8_1.check(input_record().digi8(1, 0xFE)), RES_OK);
    EXPECT_EQ(d8_1.check(input_record().digi8(1, 0x81)), RES_WAIT);
    EXPECT_EQ(d8_1.check(input_record().digi8(2, 0x80)), RES_WAIT);

    run_element d8_2(INPUT_DIGI8_2);
    d8_2.config().digi8_mask[1] = 0x0F;
    d8_2.config().digi8_value[1] = 0xF5;
    EXPECT_EQ(d8_2.check(input_record().digi8(2, 0x05)), RES_OK);
    EXPECT_EQ(d8_2.check(input_record().digi8(2, 0xF4).digi8(1, 0x05)), RES_WAIT);

    // The 16-bit fields are big-endian: 00 01 has the lowest bit set, 01 00 has not.
    run_element d16_1(INPUT_DIGI16_1);
    d16_1.config().digi16_mask[0] = 0x0001;
    d16_1.config().digi16_value[0] = 0x0001;
    input_record low_byte_set, high_byte_set;
    low_byte_set.bytes[11] = 0x01;
    high_byte_set.bytes[10] = 0x01;
    EXPECT_EQ(d16_1.check(low_byte_set), RES_OK);
    EXPECT_EQ(d16_1.check(high_byte_set), RES_WAIT);

    run_element d16_2(INPUT_DIGI16_2);
    d16_2.config().digi16_mask[1] = 0xFF00;
    d16_2.config().digi16_value[1] = 0x12FF;
    EXPECT_EQ(d16_2.check(input_record().digi16(2, 0x1200)), RES_OK);
    EXPECT_EQ(d16_2.check(input_record().digi16(2, 0x1300).digi16(1, 0x1200)), RES_WAIT);

    run_element d32(INPUT_DIGI32);
    d32.config().digi32_mask = 0x80000001;
    d32.config().digi32_value = 0xFFFFFFFF;
    input_record top_and_bottom; // bytes 48..51 = 80 00 00 01
    top_and_bottom.bytes[48] = 0x80;
    top_and_bottom.bytes[51] = 0x01;
    EXPECT_EQ(d32.check(top_and_bottom), RES_OK);
    EXPECT_EQ(d32.check(input_record().digi32(0x7FFFFFFF)), RES_WAIT);

    // Mask 0: every record meets the condition; forwarding bits don't apply.
    run_element any(INPUT_DIGI32, FLAG_FORWARD_IN3);
    any.config().digi32_value = 0x12345678;
    EXPECT_EQ(any.check(input_record().digi32(0xDEADBEEF)), RES_OK);
    EXPECT_EQ(any.record().pending_operation, PENDING_NONE);
}

TEST(ControllerFilter, OnlyRecordsOfTheElementsControllerAreEvaluated) {
    const input_record record;
    run_element digital(INPUT_DIGI8_1); // mask 0: every record meets
    EXPECT_EQ(digital.check(record, 0), RES_OK);
    EXPECT_EQ(digital.check(record, 1), RES_IGNORED);
    // The controller byte is compared as a 32-bit number, not as a byte.
    digital.config().controller = 200;
    EXPECT_EQ(digital.check(record, 200), RES_OK);
    EXPECT_EQ(digital.check(record, 200 - 256), RES_IGNORED);

    // No input chosen, or an unlisted mode from loaded data.
    run_element none;
    EXPECT_EQ(none.check(record, 0), RES_INVALID);
    EXPECT_EQ(none.check(record, 3), RES_IGNORED);
    none.config().input_mode = INPUT_DIGI8_1 | INPUT_DIGI8_2;
    EXPECT_EQ(none.check(record, 0), RES_INVALID);

    // A missing record is refused before anything else happens.
    digital.arm();
    EXPECT_EQ(plugin().vexa_check_input_value(digital.handle(), nullptr, 200), RES_INVALID);
    EXPECT_EQ(digital.record().start_timer, 1);
}

TEST(Timeout, ExpiresOneSecondAfterTheDeadlineAndWinsOverAMatchingRecord) {
    virtual_clock::set(1000);
    run_element e(INPUT_DIGI8_1, FLAG_TIMEOUT);
    e.config().digi8_mask[0] = 0x01;
    e.config().digi8_value[0] = 0x01;
    e.config().timeout_action = ACTION_STOP;
    const input_record waiting, matching = input_record().digi8(1, 0x01);

    EXPECT_FALSE(e.arm());
    EXPECT_EQ(e.check(waiting), RES_WAIT);
    // The plug-in reads the host's clock: the deadline counts from 1000.
    EXPECT_EQ(e.record().deadline, 1010);
    virtual_clock::set(1010);
    EXPECT_EQ(e.check(waiting), RES_WAIT);
    virtual_clock::set(1011);
    EXPECT_EQ(e.check(matching), RES_CUSTOM_OPERATION);
    EXPECT_EQ(e.record().pending_operation, PENDING_TIMEOUT);
    // Records of other controllers still say nothing about the timeout.
    EXPECT_EQ(e.check(matching, 1), RES_IGNORED);
}

TEST(Timeout, DeadlineSaturatesAtTheEndOfTime) {
    // A host clock near the end of the 64-bit range and the longest loaded
    // timeout: the deadline is the largest time, and the wait goes on.
    constexpr std::int64_t last = std::numeric_limits<std::int64_t>::max();
    virtual_clock::set(last - 10);
    run_element e(INPUT_DIGI8_1, FLAG_TIMEOUT);
    e.config().digi8_mask[0] = 0x01;
    e.config().digi8_value[0] = 0x01; // never met by the empty records below
    e.config().timeout_sec = 4294967295u;
    e.config().timeout_action = ACTION_STOP;
    EXPECT_FALSE(e.arm());
    EXPECT_EQ(e.check(input_record()), RES_WAIT);
    EXPECT_EQ(e.record().deadline, last);
    virtual_clock::set(last);
    EXPECT_EQ(e.check(input_record()), RES_WAIT);
    virtual_clock::reset();
}

TEST(Timeout, ExpiresAfterItsSecondsWhereverTheClockStands) {
    // The clock may read below zero (-1 from a failed clock call on Windows,
    // a date before 1970). Only a deadline past the largest time saturates,
    // and that wait never times out.
    constexpr std::int64_t first = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t last = std::numeric_limits<std::int64_t>::max();
    struct clock_case {
        std::int64_t start;
        std::uint32_t timeout_sec;
    };
    const clock_case cases[] = {
        {-1, 10}, {first, 10}, {first, 4294967295u}, {0, 10}, {last - 5, 10},
    };
    for (const clock_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " + " << c.timeout_sec);
        virtual_clock::set(c.start);
        run_element e(INPUT_DIGI8_1, FLAG_TIMEOUT);
        e.config().digi8_mask[0] = 0x01;
        e.config().digi8_value[0] = 0x01; // never met by the empty records below
        e.config().timeout_sec = c.timeout_sec;
        e.config().timeout_action = ACTION_STOP;
        e.arm();
        EXPECT_EQ(e.check(input_record()), RES_WAIT);
        if (c.start > last - std::int64_t{c.timeout_sec}) {
            EXPECT_EQ(e.record().deadline, last);
            virtual_clock::set(last);
            EXPECT_EQ(e.check(input_record()), RES_WAIT);
            continue;
        }
        const std::int64_t deadline = c.start + std::int64_t{c.timeout_sec};
        EXPECT_EQ(e.record().deadline, deadline);
        virtual_clock::set(deadline);
        EXPECT_EQ(e.check(input_record()), RES_WAIT);
        virtual_clock::set(deadline + 1);
        EXPECT_EQ(e.check(input_record()), RES_CUSTOM_OPERATION);
        EXPECT_EQ(e.record().pending_operation, PENDING_TIMEOUT);
    }
    virtual_clock::reset();
}

TEST(Timeout, ClockStartsOnTheFirstCheckAfterArmingWhateverItsController) {
    virtual_clock::set(1000);
    run_element e(INPUT_DIGI8_1);
    e.config().digi8_mask[0] = 0x01;
    e.config().timeout_sec = 20;
    e.arm();
    virtual_clock::set(1005);
    EXPECT_EQ(e.check(input_record(), 4), RES_IGNORED);
    EXPECT_EQ(e.record().deadline, 1025); // started although the timeout is off
    EXPECT_EQ(e.record().start_timer, 0);

    // Without the option nothing expires; with it, the started deadline counts.
    virtual_clock::set(2000);
    EXPECT_EQ(e.check(input_record()), RES_OK);
    e.config().flags |= FLAG_TIMEOUT;
    EXPECT_EQ(e.check(input_record()), RES_OK); // ACTION_CONTINUE ends the wait as met
    // Without a new arming the old deadline stays; after it, a new one runs.
    e.arm();
    EXPECT_EQ(e.check(input_record().digi8(1, 0x01)), RES_WAIT);
    EXPECT_EQ(e.record().deadline, 2020);
}

TEST(Timeout, EachActionAndItsFollowUp) {
    virtual_clock::set(5000);
    struct expectation {
        std::uint8_t action;
        std::int32_t check;
        std::int32_t fetch;
        std::uint32_t op_code, op_value; // 0xEEEEEEEE: not written
        std::size_t events;
    };
    const expectation cases[] = {
        {ACTION_CONTINUE, RES_OK, RES_UNSUPPORTED, 0xEEEEEEEE, 0xEEEEEEEE, 1},
        {ACTION_RESTART, RES_CUSTOM_OPERATION, RES_OK, 1, 0xEEEEEEEE, 0},
        {ACTION_STOP, RES_CUSTOM_OPERATION, RES_OK, 2, 0xEEEEEEEE, 0},
        {ACTION_GOTO, RES_CUSTOM_OPERATION, RES_OK, 3, 4711, 0},
        {7, RES_CUSTOM_OPERATION, RES_INVALID, 0xEEEEEEEE, 0xEEEEEEEE, 0},
    };
    for (const expectation& c : cases) {
        SCOPED_TRACE(int{c.action});
        // Never armed: deadline 0 is long past. No input chosen: the timeout still rules.
        run_element e(0, FLAG_TIMEOUT | FLAG_SHOW_MESSAGE);
        e.config().timeout_action = c.action;
        e.config().goto_element = 4711;
        EXPECT_EQ(e.check(input_record()), c.check);
        operation_record op(40);
        EXPECT_EQ(e.operation(op), c.fetch);
        EXPECT_EQ(op.op_code(), c.op_code);
        EXPECT_EQ(op.op_value(), c.op_value);
        EXPECT_EQ(e.operation(op), c.fetch); // the answer stays until the next evaluation
        ASSERT_EQ(e.sink.events.size(), c.events);
        if (c.events) {
            EXPECT_EQ(e.sink.events[0].id, EVENT_REMOVE_MESSAGE);
        }
    }
}

TEST(WaitMessage, EveryWaitShowsAFreshMessageAndOnlyAMetConditionRemovesIt) {
    run_element e(INPUT_DIGI8_1, FLAG_SHOW_MESSAGE);
    e.config().digi8_mask[0] = 0x01;
    e.config().digi8_value[0] = 0x01;
    const char utf16be[] = {0, 'W', 0, 'a', 0, 'i', 0, 't', 0x20, 0x26}; // "Wait…"
    std::memcpy(e.config().wait_message, utf16be, sizeof utf16be);

    EXPECT_EQ(e.check(input_record()), RES_WAIT);
    EXPECT_EQ(e.check(input_record()), RES_WAIT);
    EXPECT_EQ(e.check(input_record(), 1), RES_IGNORED);
    EXPECT_EQ(e.check(input_record().digi8(1, 0x01)), RES_OK);
    e.config().input_mode = 0;
    EXPECT_EQ(e.check(input_record()), RES_INVALID);
    ASSERT_EQ(e.sink.events.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(e.sink.events[i].id, EVENT_SHOW_MESSAGE);
        EXPECT_TRUE(e.sink.events[i].has_message);
        EXPECT_EQ(e.sink.events[i].message, wxString::FromUTF8("Wait\xE2\x80\xA6"));
    }
    EXPECT_EQ(e.sink.events[2].id, EVENT_REMOVE_MESSAGE);
    EXPECT_FALSE(e.sink.events[2].has_message);

    // Without the option, or without a sink, nothing is sent.
    e.config().input_mode = INPUT_DIGI8_1;
    e.config().flags = 0;
    EXPECT_EQ(e.check(input_record()), RES_WAIT);
    EXPECT_EQ(e.sink.events.size(), 3u);
    e.config().flags = FLAG_SHOW_MESSAGE;
    e.element->sink = nullptr;
    EXPECT_EQ(e.check(input_record()), RES_WAIT);
    EXPECT_EQ(e.check(input_record().digi8(1, 0x01)), RES_OK);
}
