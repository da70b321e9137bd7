#include "test_support/test_host.h"

#include <gtest/gtest.h>

#include "model/platform.h"

namespace {

plugin_library& load_plugin() {
    static plugin_library library(ZAVUD_PLUGIN_PATH);
    // Once: the plug-in's clock becomes the virtual clock (reset: the real one).
    static const bool clock_attached = [] {
        const bool attached = virtual_clock::attach(library.native_handle());
        if (library.ok() && !attached)
            ADD_FAILURE() << "the plug-in's clock cannot be replaced: it must import _time64";
        return attached;
    }();
    static_cast<void>(clock_attached);
    return library;
}

} // namespace

plugin_library& plugin() {
    plugin_library& library = load_plugin();
    if (!library.ok())
        ADD_FAILURE() << library.error();
    return library;
}

controller_description::controller_description(std::uint8_t index, std::uint32_t capabilities,
                                               std::uint8_t features, bool valid) {
    bytes[CONFIG_STATUS_FLAGS] = valid ? CONFIG_VALID : 0;
    bytes[CONFIG_CONTROLLER_INDEX] = index;
    bytes[CONFIG_FEATURE_FLAGS] = features;
    std::memcpy(&bytes[CONFIG_CAPABILITIES], &capabilities, 4);
}

controller_description& controller_description::port(int entry, std::uint32_t kind,
                                                     std::uint32_t mask) {
    std::memcpy(&bytes[CONFIG_PORT_KIND + 4 * entry], &kind, 4);
    std::memcpy(&bytes[CONFIG_PORT_MASK + 4 * entry], &mask, 4);
    return *this;
}

input_record& input_record::digi8(int port, std::uint8_t level) {
    bytes[port == 1 ? INPUT_DIGI8_1_LEVEL : INPUT_DIGI8_2_LEVEL] = level;
    return *this;
}

input_record& input_record::digi16(int port, std::uint16_t level) {
    platform::write_be16(&bytes[port == 1 ? INPUT_DIGI16_1_LEVEL : INPUT_DIGI16_2_LEVEL], level);
    return *this;
}

input_record& input_record::digi32(std::uint32_t level) {
    platform::write_be32(&bytes[INPUT_DIGI32_LEVEL], level);
    return *this;
}

input_record& input_record::serial(int serial_interface, const std::string& text) {
    const std::size_t at = serial_interface == 1 ? INPUT_SERIAL1_TEXT : INPUT_SERIAL2_TEXT;
    const std::size_t room =
        serial_interface == 1 ? INPUT_SERIAL1_TEXT_SIZE : INPUT_SERIAL2_TEXT_SIZE;
    std::memset(&bytes[at], 0, room);
    std::memcpy(&bytes[at], text.data(), std::min(text.size(), room));
    return *this;
}

operation_record::operation_record(std::int32_t text_capacity, std::size_t text_room)
    : bytes(OPERATION_TEXT + text_room, 0xEE) {
    bytes[OPERATION_KIND] = OPERATION_KIND_VALUE;
    bytes[OPERATION_SUBKIND] = OPERATION_SUBKIND_VALUE;
    std::memcpy(&bytes[OPERATION_TEXT_CAPACITY], &text_capacity, 4);
}

std::uint32_t operation_record::op_code() const {
    return platform::read_host<std::uint32_t>(&bytes[OPERATION_CODE]);
}

std::uint32_t operation_record::op_value() const {
    return platform::read_host<std::uint32_t>(&bytes[OPERATION_VALUE]);
}

std::string operation_record::text() const {
    std::string s;
    for (std::size_t i = OPERATION_TEXT; i < bytes.size() && bytes[i] != 0; ++i)
        s += static_cast<char>(bytes[i]);
    return s;
}

created_element::created_element(const void* creation) {
    EXPECT_EQ(plugin().vexa_create_instance(element.handle(), creation), RES_OK);
}

created_element::~created_element() {
    plugin().vexa_delete_instance(element.handle());
}

std::vector<std::uint8_t> save_bytes(element_handle* element) {
    std::uint32_t length = 0;
    const char* data = plugin().vexa_get_save_data(element, &length);
    if (data == nullptr)
        return {};
    return std::vector<std::uint8_t>(data, data + length);
}
