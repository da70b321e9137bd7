// The save-record tool's JSON decoder with arbitrary text. Malformed JSON and
// records must be refused with record_json_error and nothing else; what is
// accepted must be a well-formed version-5 record that decodes and encodes
// to the same bytes, and that the plug-in saves unchanged after loading it.
#include <nlohmann/json.hpp>

#include "fuzz_host.h"
#include "model/platform.h"
#include "model/save_record.h"
#include "record_json/record_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    start_toolkit_base();
    const nlohmann::json json = nlohmann::json::parse(data, data + size, nullptr, false);
    if (json.is_discarded())
        return 0;
    std::vector<std::uint8_t> record;
    try {
        record = record_from_json(json);
    } catch (const record_json_error&) {
        return 0; // refused with a message naming the key: fine
    }
    FUZZ_CHECK(record.size() == SAVE_RECORD_SIZE);
    FUZZ_CHECK(platform::read_be16(&record[SAVE_VERSION]) == SAVE_FORMAT_VERSION);
    FUZZ_CHECK(platform::read_be16(&record[SAVE_LENGTH]) == SAVE_RECORD_SIZE);
    FUZZ_CHECK(record[SAVE_RESERVED3] == 0);

    // Decoding what was encoded gives JSON that encodes to the same bytes.
    const nlohmann::json again = record_to_json(record.data(), record.size());
    FUZZ_CHECK(record_from_json(again) == record);

    // The plug-in agrees: loading the record and saving gives it back.
    fuzz_element element;
    FUZZ_CHECK(vexa_set_loaded_data(element.handle(), static_cast<std::uint32_t>(record.size()),
                                    reinterpret_cast<const char*>(record.data())) == RES_OK);
    FUZZ_CHECK(saved_record(element.handle()) == record);
    return 0;
}
