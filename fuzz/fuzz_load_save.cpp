// vexa_set_loaded_data with arbitrary bytes and lengths. Whatever it is given,
// the element must then save a well-formed version-5 record, and loading that
// record again must save the very same bytes.
#include <cstring>

#include "fuzz_host.h"
#include "model/platform.h"
#include "model/save_record.h"

namespace {

void check_well_formed(const std::vector<std::uint8_t>& record) {
    FUZZ_CHECK(record.size() == SAVE_RECORD_SIZE);
    FUZZ_CHECK(platform::read_be16(&record[SAVE_VERSION]) == SAVE_FORMAT_VERSION);
    FUZZ_CHECK(platform::read_be16(&record[SAVE_LENGTH]) == SAVE_RECORD_SIZE);
    FUZZ_CHECK(record[SAVE_RESERVED3] == 0);
    // Repaired on load: To follows From, or is 199 when a loaded From is 199 or more.
    FUZZ_CHECK(record[SAVE_SUBSTR_TO] > record[SAVE_SUBSTR_FROM] ||
               record[SAVE_SUBSTR_TO] == LOADED_DEFAULT_SUBSTR_TO);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    start_toolkit_base();

    // An exact-size copy: reading one byte past the given length is caught.
    std::vector<char> stored(data, data + size);
    fuzz_element element;
    FUZZ_CHECK(vexa_set_loaded_data(element.handle(), static_cast<std::uint32_t>(size),
                                    stored.empty() ? nullptr : stored.data()) == RES_OK);
    const std::vector<std::uint8_t> first = saved_record(element.handle());
    check_well_formed(first);

    FUZZ_CHECK(vexa_set_loaded_data(element.handle(), static_cast<std::uint32_t>(first.size()),
                                    reinterpret_cast<const char*>(first.data())) == RES_OK);
    const std::vector<std::uint8_t> second = saved_record(element.handle());
    FUZZ_CHECK(second == first);

    // A host that passes no data but a length: read as nothing at all.
    fuzz_element empty;
    FUZZ_CHECK(vexa_set_loaded_data(empty.handle(), static_cast<std::uint32_t>(size), nullptr) ==
               RES_OK);
    check_well_formed(saved_record(empty.handle()));
    return 0;
}
