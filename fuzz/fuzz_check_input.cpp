// vexa_check_input_value on an element configured by an arbitrary loaded
// record and fed arbitrary input records (serial texts without a zero byte
// among them), between the other run-time calls a host makes: arming the
// clock, the clock moving on, result data and follow-ups. Every answer must be
// one of the boundary's codes and the message events must match it.
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

constexpr std::size_t MAX_RECORD = SAVE_RECORD_SIZE + 144; // a little beyond what is read

// Counts the message events and takes over their strings, as a host does.
class counting_sink final : public host_sink {
public:
    void receive_event(wxCommandEvent& event) override {
        auto* message = static_cast<wxString*>(event.GetClientData());
        if (event.GetId() == EVENT_SHOW_MESSAGE) {
            FUZZ_CHECK(message != nullptr);
            ++shows;
        } else {
            FUZZ_CHECK(event.GetId() == EVENT_REMOVE_MESSAGE);
            FUZZ_CHECK(message == nullptr);
            ++removes;
        }
        delete message;
        event.SetClientData(nullptr);
    }
    int shows = 0;
    int removes = 0;
};

// What the element was configured with, read back from its save record.
struct loaded_config {
    std::uint32_t input_mode = 0;
    std::uint32_t flags = 0;
    std::uint8_t controller = 0;
};

loaded_config load(element_handle* element, FuzzedDataProvider& in) {
    const std::vector<char> stored =
        in.ConsumeBytes<char>(in.ConsumeIntegralInRange<std::size_t>(0, MAX_RECORD));
    FUZZ_CHECK(vexa_set_loaded_data(element, static_cast<std::uint32_t>(stored.size()),
                                    stored.empty() ? nullptr : stored.data()) == RES_OK);
    const std::vector<std::uint8_t> saved = saved_record(element);
    FUZZ_CHECK(saved.size() == SAVE_RECORD_SIZE);
    return {platform::read_be32(&saved[SAVE_INPUT_MODE]), platform::read_be32(&saved[SAVE_FLAGS]),
            saved[SAVE_CONTROLLER]};
}

// 472 bytes from the input; the rest filled with zeros or, so that the texts
// run to the end of the record, with a letter.
std::vector<std::uint8_t> input_record_from(FuzzedDataProvider& in) {
    const std::uint8_t fill = in.ConsumeBool() ? 0 : 'A';
    std::vector<std::uint8_t> record = in.ConsumeBytes<std::uint8_t>(INPUT_RECORD_SIZE);
    record.resize(INPUT_RECORD_SIZE, fill);
    return record;
}

void fetch_follow_up(element_handle* element) {
    std::vector<std::uint8_t> operation(OPERATION_TEXT + 200, 0);
    operation[OPERATION_KIND] = OPERATION_KIND_VALUE;
    operation[OPERATION_SUBKIND] = OPERATION_SUBKIND_VALUE;
    const std::int32_t capacity = 200;
    std::memcpy(&operation[OPERATION_TEXT_CAPACITY], &capacity, sizeof capacity);
    const std::int32_t result = vexa_get_custom_operation(element, operation.data());
    FUZZ_CHECK(result == RES_OK || result == RES_INVALID || result == RES_UNSUPPORTED);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    start_run_time_input(in, 1'000'000);

    fuzz_element element;
    counting_sink sink;
    if (in.ConsumeBool())
        element.handle()->sink = &sink;
    loaded_config config = load(element.handle(), in);

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 6)) {
        case 0: {
            std::int32_t controller = -1, second = 0;
            vexa_continuous_stream(element.handle(), &controller, &second);
            FUZZ_CHECK(controller == config.controller);
            FUZZ_CHECK(second == RESULT_SECOND_VALUE);
            break;
        }
        case 1:
            virtual_clock::advance(in.ConsumeIntegralInRange(0, 30));
            break;
        case 2: {
            const std::vector<std::uint8_t> record = input_record_from(in);
            const std::int32_t controller =
                in.ConsumeBool() ? config.controller : in.ConsumeIntegral<std::int32_t>();
            const int shows = sink.shows, removes = sink.removes;
            const std::int32_t result =
                vexa_check_input_value(element.handle(), record.data(), controller);
            FUZZ_CHECK(result == RES_OK || result == RES_IGNORED || result == RES_INVALID ||
                       result == RES_WAIT || result == RES_CUSTOM_OPERATION);
            const bool messages = (config.flags & FLAG_SHOW_MESSAGE) != 0;
            FUZZ_CHECK(sink.shows - shows == (messages && result == RES_WAIT ? 1 : 0) ||
                       element.handle()->sink == nullptr);
            FUZZ_CHECK(sink.removes - removes == (messages && result == RES_OK ? 1 : 0) ||
                       element.handle()->sink == nullptr);
            if (result == RES_CUSTOM_OPERATION)
                fetch_follow_up(element.handle());
            break;
        }
        case 3: {
            std::uint32_t io = 0;
            void* block = nullptr;
            std::int32_t controller = -1, second = 0;
            const std::int32_t result =
                vexa_get_bin_value(element.handle(), &io, &block, &controller, &second);
            FUZZ_CHECK(result == RES_OK || result == RES_IGNORED || result == RES_INVALID ||
                       result == RES_NO_MEMORY);
            FUZZ_CHECK(controller == config.controller && second == RESULT_SECOND_VALUE);
            if (result == RES_OK) {
                FUZZ_CHECK(block != nullptr && io == RESULT_DATA_IO);
                const auto* payload =
                    static_cast<const std::uint8_t*>(block) + RESULT_DATA_HEADER_SIZE;
                FUZZ_CHECK(platform::read_be32(payload + RESULT_INPUT_MODE) == config.input_mode);
            }
            break;
        }
        case 4:
            vexa_release_bin_data(element.handle());
            break;
        case 5:
            config = load(element.handle(), in);
            break;
        case 6:
            fetch_follow_up(element.handle());
            FUZZ_CHECK(vexa_check_input_value(element.handle(), nullptr, config.controller) ==
                       RES_INVALID);
            break;
        }
    }
    return 0;
}
