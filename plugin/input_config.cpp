#include "plugin/input_config.h"

namespace {

input_config factory_template() {
    input_config c{};
    c.flags = FLAG_SERIAL1_FULL | FLAG_SERIAL2_FULL;
    c.timeout_sec = 10;
    c.timeout_action = ACTION_CONTINUE;
    c.substr_from = 0;
    c.substr_to = SUBSTR_LAST;
    return c;
}

} // namespace

input_config config_template = factory_template();

bool has_no_timeout_section(const void* creation_record) {
    if (creation_record == nullptr)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(creation_record);
    return (bytes[CREATION_OPTIONS_OFFSET] & CREATION_NO_TIMEOUT_SECTION) != 0;
}
