#include "record_json/record_names.h"

#include <cstdio>

#include "abi/config_flags.h"
#include "model/save_record_fields.h"

namespace {

struct named_value {
    std::uint32_t value;
    const char* name;
};

#define NAMED_VALUE(name) {name, #name},
constexpr named_value input_modes[] = {VEXA_INPUT_MODES(NAMED_VALUE)};
constexpr named_value flag_bits[] = {VEXA_FLAGS(NAMED_VALUE)};
constexpr named_value timeout_actions[] = {VEXA_TIMEOUT_ACTIONS(NAMED_VALUE)};
#undef NAMED_VALUE

template <std::size_t N>
std::string name_of(const named_value (&table)[N], std::uint32_t value, const char* otherwise) {
    for (const named_value& entry : table)
        if (entry.value == value)
            return entry.name;
    return otherwise;
}

} // namespace

const std::vector<std::string>& record_keys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> all;
        for (const save_field_info& field : SAVE_FIELDS) {
            all.push_back(field.name);
            if (field.kind == save_kind::TEXT16)
                all.push_back(raw_bytes_key(field.name));
        }
        all.insert(all.end(), {"stored_bytes", "when_loaded"});
        return all;
    }();
    return keys;
}

std::string raw_bytes_key(const std::string& text_key) {
    return text_key + "_bytes";
}

std::string input_mode_name(std::uint32_t mode) {
    return mode == 0 ? "none" : name_of(input_modes, mode, "unknown");
}

std::string timeout_action_name(std::uint32_t action) {
    return name_of(timeout_actions, action, "unknown");
}

std::vector<std::string> flag_names(std::uint32_t flags) {
    std::vector<std::string> names;
    for (int bit = 0; bit < 32; ++bit) {
        const std::uint32_t mask = std::uint32_t{1} << bit;
        if ((flags & mask) == 0)
            continue;
        char hex[16];
        (void)std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(mask));
        names.push_back(name_of(flag_bits, mask, hex));
    }
    return names;
}

nlohmann::json named_json(const std::string& name, std::uint32_t value) {
    return {{"name", name}, {"value", value}};
}

nlohmann::json flags_json(std::uint32_t flags) {
    return {{"value", flags}, {"names", flag_names(flags)}};
}
