#include "reference_host/result_names.h"

#include "abi/result_codes.h"

namespace reference_host {

std::string result_name(std::int32_t code) {
    switch (code) {
#define RESULT_NAME(name)                                                                          \
    case name:                                                                                     \
        return #name;
        VEXA_RESULT_CODES(RESULT_NAME)
#undef RESULT_NAME
    default:
        return "result " + std::to_string(code);
    }
}

} // namespace reference_host
