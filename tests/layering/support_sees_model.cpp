#include "model/input_config.h"
