#include "model/input_config.h"

input_config factory_template() noexcept {
    input_config c{};
    c.flags = FLAG_SERIAL1_FULL | FLAG_SERIAL2_FULL;
    c.timeout_sec = 10;
    c.timeout_action = ACTION_CONTINUE;
    c.substr_from = 0;
    c.substr_to = SUBSTR_LAST;
    return c;
}
