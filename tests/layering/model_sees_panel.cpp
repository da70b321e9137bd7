#include "panel/event_handler.h"
