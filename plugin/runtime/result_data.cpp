// The element's condition as a result-data block that the element holds until the host gives it
// back.
#include "runtime/result_data.h"

#include <cstdlib>
#include <memory>

#include <wx/string.h>

#include "abi/result_codes.h"
#include "lumo.h"
#include "model/platform.h"
#include "runtime/out_values.h"
#include "runtime/serial_text.h"

namespace {

constexpr std::size_t DIGI8_LEVEL[2] = {INPUT_DIGI8_1_LEVEL, INPUT_DIGI8_2_LEVEL};
constexpr std::size_t DIGI8_MASK[2] = {RESULT_DIGI8_1_MASK, RESULT_DIGI8_2_MASK};
constexpr std::size_t DIGI16_LEVEL[2] = {INPUT_DIGI16_1_LEVEL, INPUT_DIGI16_2_LEVEL};
constexpr std::size_t DIGI16_MASK[2] = {RESULT_DIGI16_1_MASK, RESULT_DIGI16_2_MASK};

void write_comparison_text(const char* stored, std::uint8_t* at) {
    decoded_text text;
    decode_comparison_text(stored, text);
    lumo_unicode_stringToCharASCII(wxString(text.chars, text.length), reinterpret_cast<char*>(at),
                                   RESULT_TEXT_CAPACITY);
}

} // namespace

void write_result_payload(const input_config& config, std::uint8_t* payload) {
    platform::write_be32(payload + RESULT_INPUT_MODE, config.input_mode);
    for (int port = 0; port < 2; ++port) {
        payload[DIGI8_LEVEL[port]] =
            static_cast<std::uint8_t>(config.digi8_value[port] & config.digi8_mask[port]);
        payload[DIGI8_MASK[port]] = config.digi8_mask[port];
        platform::write_be16(
            payload + DIGI16_LEVEL[port],
            static_cast<std::uint16_t>(config.digi16_value[port] & config.digi16_mask[port]));
        platform::write_be16(payload + DIGI16_MASK[port], config.digi16_mask[port]);
    }
    // The 32-bit value goes out as stored; the host applies the mask itself.
    platform::write_be32(payload + INPUT_DIGI32_LEVEL, config.digi32_value);
    platform::write_be32(payload + RESULT_DIGI32_MASK, config.digi32_mask);
    write_comparison_text(config.compare_text1, payload + INPUT_SERIAL1_TEXT);
    write_comparison_text(config.compare_text2, payload + INPUT_SERIAL2_TEXT);
}

std::int32_t get_result_data(element_handle* element, std::uint32_t* io_out, void** block_out,
                             std::int32_t* controller_out, std::int32_t* second_out) {
    instance_data* instance = instance_of(element);
    if (instance == nullptr)
        return RES_INVALID;
    store_controller_and_second(*instance, controller_out, second_out);
    // One block at a time: the host gives the last one back first.
    if (instance->bin_data != nullptr)
        return RES_INVALID;
    if (instance->config.input_mode == 0)
        return RES_IGNORED;

    // The support library allocates with malloc; free() is its counterpart.
    // The block is held only once written: a conversion that throws frees it.
    std::unique_ptr<void, void (*)(void*)> made(lumo_util_alloc_bin_data(RESULT_DATA_TYPE,
                                                                         RESULT_DATA_SUBTYPE, 0,
                                                                         RESULT_DATA_PAYLOAD_SIZE),
                                                std::free);
    if (made == nullptr)
        return RES_NO_MEMORY;
    write_result_payload(instance->config,
                         static_cast<std::uint8_t*>(made.get()) + RESULT_DATA_HEADER_SIZE);
    void* block = made.release();
    instance->bin_data = block;
    store_if(io_out, RESULT_DATA_IO);
    store_if(block_out, block);
    return RES_OK;
}

void release_result_data(element_handle* element) {
    instance_data* instance = instance_of(element);
    if (instance == nullptr)
        return;
    // The support library allocates with malloc; free() is its counterpart.
    std::free(instance->bin_data);
    instance->bin_data = nullptr;
}
