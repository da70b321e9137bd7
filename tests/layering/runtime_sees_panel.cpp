#include "event_handler.h"
