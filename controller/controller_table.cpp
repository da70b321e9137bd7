#include "host_api/entry_points.h"

void vexa_set_config_info(const void*) {}
