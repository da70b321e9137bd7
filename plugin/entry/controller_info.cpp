// The host's controller descriptions.
#include "abi/entry_points.h"
#include "entry/plugin_state.h"

void vexa_set_config_info(const void* controller_config) {
    if (controller_config == nullptr)
        return;
    the_plugin.controllers.describe(static_cast<const std::uint8_t*>(controller_config));
}
