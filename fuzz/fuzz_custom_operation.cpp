// vexa_get_custom_operation after a forwarding or a timeout, with arbitrary
// operation records: any kind bytes, any stated text capacity (negative, zero,
// small, huge), in a record exactly as large as the host says it is. The
// plug-in may write the code, the value and at most a quarter of the capacity
// of text, and nothing else.
#include <algorithm>
#include <cstring>

#include <fuzzer/FuzzedDataProvider.h>

#include "abi/input_record.h"
#include "abi/run_records.h"
#include "fuzz_host.h"
#include "host_kit/virtual_clock.h"
#include "model/input_config.h"
#include "model/platform.h"
#include "model/save_record.h"

namespace {
// Room beyond which no forwarded text can reach: the longest received text
// in UTF-8 (at most three bytes a character from an 8-bit decode) and a zero byte.
constexpr std::int32_t MOST_TEXT = 3 * INPUT_SERIAL2_TEXT_SIZE + 1;

// A version-5 record waiting on a serial interface, with fuzzed flags,
// substring bounds, timeout and action.
std::vector<char> serial_record(FuzzedDataProvider& in, std::uint8_t controller) {
    std::vector<char> record(SAVE_RECORD_SIZE, 0);
    platform::write_be16(&record[SAVE_VERSION], SAVE_FORMAT_VERSION);
    platform::write_be16(&record[SAVE_LENGTH], SAVE_RECORD_SIZE);
    platform::write_be32(&record[SAVE_INPUT_MODE],
                         in.ConsumeBool() ? INPUT_SERIAL_1 : INPUT_SERIAL_2);
    platform::write_be32(&record[SAVE_FLAGS], in.ConsumeIntegral<std::uint32_t>());
    record[SAVE_CONTROLLER] = static_cast<char>(controller);
    const std::string text1 = in.ConsumeRandomLengthString(SAVE_COMPARE_TEXT_SIZE);
    std::memcpy(&record[SAVE_COMPARE_TEXT1], text1.data(), text1.size());
    const std::string text2 = in.ConsumeRandomLengthString(SAVE_COMPARE_TEXT_SIZE);
    std::memcpy(&record[SAVE_COMPARE_TEXT2], text2.data(), text2.size());
    platform::write_be32(&record[SAVE_TIMEOUT_SEC], in.ConsumeIntegralInRange<std::uint32_t>(0, 5));
    platform::write_be32(&record[SAVE_GOTO_ELEMENT], in.ConsumeIntegral<std::uint32_t>());
    record[SAVE_TIMEOUT_ACTION] = static_cast<char>(in.ConsumeIntegral<std::uint8_t>());
    record[SAVE_SUBSTR_FROM] = static_cast<char>(in.ConsumeIntegral<std::uint8_t>());
    record[SAVE_SUBSTR_TO] = static_cast<char>(in.ConsumeIntegral<std::uint8_t>());
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    start_run_time_input(in, 5'000'000);

    fuzz_element element;
    const std::uint8_t controller = in.ConsumeIntegralInRange<std::uint8_t>(0, 9);
    const std::vector<char> config = serial_record(in, controller);
    FUZZ_CHECK(vexa_set_loaded_data(element.handle(), SAVE_RECORD_SIZE, config.data()) == RES_OK);

    // One run: arm, perhaps let the timeout pass, hand in one record whose
    // texts may fill their fields without a zero byte.
    std::int32_t ignored = 0;
    vexa_continuous_stream(element.handle(), &ignored, &ignored);
    std::vector<std::uint8_t> input(INPUT_RECORD_SIZE, 0);
    const std::string received1 = in.ConsumeRandomLengthString(INPUT_SERIAL1_TEXT_SIZE);
    std::memcpy(&input[INPUT_SERIAL1_TEXT], received1.data(), received1.size());
    const std::string received2 = in.ConsumeRandomLengthString(INPUT_SERIAL2_TEXT_SIZE);
    std::memcpy(&input[INPUT_SERIAL2_TEXT], received2.data(), received2.size());
    FUZZ_CHECK(vexa_check_input_value(element.handle(), input.data(), controller) != 0);
    if (in.ConsumeBool()) {
        virtual_clock::advance(10);
        vexa_check_input_value(element.handle(), input.data(), controller);
    }

    // The operation record, exactly as large as its stated capacity.
    const std::int32_t capacity = in.ConsumeIntegral<std::int32_t>();
    const std::size_t room = static_cast<std::size_t>(std::clamp(capacity, 0, MOST_TEXT));
    std::vector<std::uint8_t> operation = in.ConsumeBytes<std::uint8_t>(OPERATION_TEXT + room);
    operation.resize(OPERATION_TEXT + room, 0xA5);
    if (in.ConsumeBool()) {
        operation[OPERATION_KIND] = OPERATION_KIND_VALUE;
        operation[OPERATION_SUBKIND] = OPERATION_SUBKIND_VALUE;
    }
    std::memcpy(&operation[OPERATION_TEXT_CAPACITY], &capacity, sizeof capacity);
    const std::vector<std::uint8_t> before = operation;

    const std::int32_t result = vexa_get_custom_operation(element.handle(), operation.data());
    FUZZ_CHECK(result == RES_OK || result == RES_INVALID || result == RES_UNSUPPORTED);
    const std::size_t text_limit = capacity >= 4 ? static_cast<std::size_t>(capacity / 4) : 0;
    for (std::size_t i = 0; i < operation.size(); ++i) {
        const bool code_or_value = i >= OPERATION_CODE && i < OPERATION_VALUE + 4;
        const bool text = i >= OPERATION_TEXT && i < OPERATION_TEXT + text_limit;
        if (result != RES_OK || !(code_or_value || text))
            FUZZ_CHECK(operation[i] == before[i]);
    }
    if (result == RES_OK) {
        const auto code = platform::read_host<std::uint32_t>(&operation[OPERATION_CODE]);
        const auto value = platform::read_host<std::uint32_t>(&operation[OPERATION_VALUE]);
        const bool timeout_action = code >= OP_RESTART && code <= OP_GOTO;
        const bool forwarding = code != 0 && (code & ~0xF0u) == 0;
        FUZZ_CHECK(timeout_action || forwarding);
        // No more characters than the longest received text has.
        if (forwarding)
            FUZZ_CHECK(value <= INPUT_SERIAL2_TEXT_SIZE);
    }
    FUZZ_CHECK(vexa_get_custom_operation(element.handle(), nullptr) == RES_UNSUPPORTED);
    return 0;
}
