// The result-data block of vexa_get_bin_value and the answers of
// vexa_continuous_stream.
#include <gtest/gtest.h>

#include "test_support/run_element.h"
#include "test_support/save_records.h"

namespace {

std::vector<std::uint8_t> payload_bytes(const void* block, std::size_t from, std::size_t to) {
    const auto* payload = static_cast<const std::uint8_t*>(block) + RESULT_DATA_HEADER_SIZE;
    return std::vector<std::uint8_t>(payload + from, payload + to);
}

using bytes = std::vector<std::uint8_t>;

} // namespace

TEST(ResultData, PayloadCarriesTheConditionInTheInputRecordLayout) {
    run_element e(INPUT_DIGI16_2);
    input_config& c = e.config();
    c.controller = 4;
    compare_every_port(c);
    e.set_text(1, "OK[CR][LF]");
    e.set_text(2, "[LF]x");

    std::uint32_t io = 0;
    void* block = nullptr;
    std::int32_t controller = 0, second = 0;
    ASSERT_EQ(plugin().vexa_get_bin_value(e.handle(), &io, &block, &controller, &second), RES_OK);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block, e.record().bin_data);
    EXPECT_EQ(io, 0x1000000u);
    EXPECT_EQ(controller, 4);
    EXPECT_EQ(second, -2);
    const auto* header = static_cast<const result_data_header*>(block);
    EXPECT_EQ(header->type, 7);
    EXPECT_EQ(header->subtype, 0x17);
    EXPECT_EQ(header->value, 0u);
    EXPECT_EQ(header->size, 472u);

    const bytes levels_and_masks = {
        0x00, 0x01, 0x00, 0x00, // 0: input_mode
        0x00, 0x00,             // 4: not written
        0x81, 0x02,             // 6: masked 8-bit values
        0xF1, 0x0F,             // 8: 8-bit masks
        0x12, 0x00,             // 10: masked 16-bit port 1
        0x00, 0xCD,             // 12: masked 16-bit port 2
        0xFF, 0x00,             // 14: 16-bit mask port 1
        0x00, 0xFF,             // 16: 16-bit mask port 2
    };
    const bytes digi32_and_text1 = {
        0xDE, 0xAD, 0xBE, 0xEF,    // 48: 32-bit value, unmasked
        0x0F, 0x0F, 0x0F, 0x0F,    // 52: 32-bit mask
        'O',  'K',  0x0D, 0x0A, 0, // 56: text 1, markers replaced
    };
    EXPECT_EQ(payload_bytes(block, 0, 18), levels_and_masks);
    EXPECT_EQ(payload_bytes(block, 18, 48), bytes(30, 0x00)); // not written
    EXPECT_EQ(payload_bytes(block, 48, 61), digi32_and_text1);
    EXPECT_EQ(payload_bytes(block, 261, 264), (bytes{0x0A, 'x', 0x00})); // 261: text 2
    plugin().vexa_release_bin_data(e.handle());
}

TEST(ResultData, OneBlockAtATimeUntilTheHostGivesItBack) {
    run_element e(INPUT_SERIAL_1);
    e.config().controller = 2;
    std::uint32_t io = 0;
    void* first = nullptr;
    std::int32_t controller = 0, second = 0;
    ASSERT_EQ(plugin().vexa_get_bin_value(e.handle(), &io, &first, &controller, &second), RES_OK);

    void* refused = nullptr;
    controller = second = 0;
    EXPECT_EQ(plugin().vexa_get_bin_value(e.handle(), &io, &refused, &controller, &second),
              RES_INVALID);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(controller, 2); // the out-values come also with a refusal
    EXPECT_EQ(second, -2);

    plugin().vexa_release_bin_data(e.handle());
    EXPECT_EQ(e.record().bin_data, nullptr);
    plugin().vexa_release_bin_data(e.handle()); // nothing held: nothing happens
    void* next = nullptr;
    EXPECT_EQ(plugin().vexa_get_bin_value(e.handle(), &io, &next, &controller, &second), RES_OK);
    EXPECT_EQ(e.record().bin_data, next);
    plugin().vexa_release_bin_data(e.handle());

    // An element without input has no condition to hand out.
    e.config().input_mode = 0;
    controller = second = 0;
    EXPECT_EQ(plugin().vexa_get_bin_value(e.handle(), &io, &next, &controller, &second),
              RES_IGNORED);
    EXPECT_EQ(e.record().bin_data, nullptr);
    EXPECT_EQ(controller, 2);
    EXPECT_EQ(second, -2);
}

TEST(ContinuousStream, TrueOnlyForAPlainDigitalWaitOnAControllerThatCanStreamIt) {
    plugin().vexa_set_config_info(
        controller_description(0, INPUT_DIGI8_1, FEATURE_STREAM_WAIT).data());
    plugin().vexa_set_config_info(controller_description(1, INPUT_DIGI8_1).data());
    struct expectation {
        std::uint32_t input_mode, flags;
        std::uint8_t controller;
        bool answer;
    };
    const expectation cases[] = {
        {INPUT_DIGI8_1, 0, 0, true},
        {0, 0, 0, true}, // no input chosen is no obstacle here
        {INPUT_DIGI32, FLAG_TIMEOUT, 0, false},
        {INPUT_DIGI32, FLAG_SHOW_MESSAGE, 0, false},
        {INPUT_SERIAL_1, 0, 0, false},
        {INPUT_SERIAL_2, 0, 0, false},
        {INPUT_DIGI8_1, 0, 1, false}, // the controller lacks the feature
        {INPUT_DIGI8_1, 0, 5, false}, // never described
        {INPUT_DIGI8_1, 0, 9, false}, // beyond the table (loaded data)
        {INPUT_DIGI8_1, 0, 255, false},
    };
    for (const expectation& c : cases) {
        run_element e(c.input_mode, c.flags);
        e.config().controller = c.controller;
        std::int32_t controller = -1, second = 0;
        EXPECT_EQ(plugin().vexa_continuous_stream(e.handle(), &controller, &second), c.answer)
            << std::hex << c.input_mode << " " << c.flags << " " << int{c.controller};
        // Whatever the answer: the out-values, and the clock armed.
        EXPECT_EQ(controller, c.controller);
        EXPECT_EQ(second, -2);
        EXPECT_EQ(e.record().start_timer, 1);
    }
}
