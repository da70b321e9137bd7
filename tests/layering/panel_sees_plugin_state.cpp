#include "entry/plugin_state.h"
