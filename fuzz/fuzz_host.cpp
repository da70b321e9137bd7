#include "fuzz_host.h"

#include <clocale>

#include <wx/init.h>

#include "host_kit/virtual_clock.h"

void start_toolkit_base() {
    static const bool started = wxInitialize();
    FUZZ_CHECK(started);
}

void start_run_time_input(FuzzedDataProvider& in, std::int64_t now) {
    start_toolkit_base();
    virtual_clock::set(now);
    std::setlocale(LC_CTYPE, in.ConsumeBool() ? "C.UTF-8" : "C");
}

fuzz_element::fuzz_element() {
    FUZZ_CHECK(vexa_create_instance(element.handle(), nullptr) == RES_OK);
}

fuzz_element::~fuzz_element() {
    vexa_release_bin_data(element.handle());
    FUZZ_CHECK(vexa_delete_instance(element.handle()) == RES_OK);
}

std::vector<std::uint8_t> saved_record(element_handle* element) {
    std::uint32_t length = 0;
    const char* data = vexa_get_save_data(element, &length);
    if (data == nullptr)
        return {};
    return std::vector<std::uint8_t>(data, data + length);
}

bool is_result_code(std::int32_t code) {
    switch (code) {
    case RES_OK:
    case RES_IGNORED:
    case RES_INVALID:
    case RES_NO_MEMORY:
    case RES_WAIT:
    case RES_UNSUPPORTED:
    case RES_CUSTOM_OPERATION:
        return true;
    default:
        return false;
    }
}
