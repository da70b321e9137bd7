#include "reference_host/result_names.h"

#include "abi/result_codes.h"

namespace reference_host {

std::string result_name(std::int32_t code) {
    switch (code) {
    case RES_OK:
        return "RES_OK";
    case RES_IGNORED:
        return "RES_IGNORED";
    case RES_INVALID:
        return "RES_INVALID";
    case RES_NO_MEMORY:
        return "RES_NO_MEMORY";
    case RES_WAIT:
        return "RES_WAIT";
    case RES_UNSUPPORTED:
        return "RES_UNSUPPORTED";
    case RES_CUSTOM_OPERATION:
        return "RES_CUSTOM_OPERATION";
    default:
        return "result " + std::to_string(code);
    }
}

} // namespace reference_host
