// Result codes and follow-up operations as the logs name them.
#pragma once

#include <cstdint>
#include <string>

namespace reference_host {

// "RES_WAIT" for 12; "result 42" for codes without a name.
std::string result_name(std::int32_t code);

} // namespace reference_host
