#include "plugin_state.h"
