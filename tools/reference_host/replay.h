// Headless replay of a scenario on the virtual clock: the plug-in's time()
// answers the scenario's time, so a ten-second timeout takes no wall time.
#pragma once

#include <ostream>
#include <string>

#include "host_kit/plugin_library.h"
#include "reference_host/scenario.h"

namespace reference_host {

// Where the virtual clock starts; scenario times count from here.
constexpr std::int64_t REPLAY_EPOCH = 1700000000;

// Prints a warning per record that gives an input its controller does not
// offer, one line per plug-in call (and per host action), then a summary and
// the expectation check. True when the replay ended as `s.expect` says.
// Throws session_error when the plug-in refuses the scenario's elements.
bool replay(plugin_library& plugin, const scenario& s, const std::string& title, std::ostream& out);

} // namespace reference_host
