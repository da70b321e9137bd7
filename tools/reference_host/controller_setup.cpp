#include "reference_host/controller_setup.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>

#include "common/json_reading.h"
#include "model/input_config.h"

namespace reference_host {

namespace {

// At most CONTROLLER_COUNT controllers of PORT_ENTRIES ports each: every
// one written out with every name and bit listed takes some tens of KB.
constexpr std::size_t CONTROLLER_FILE_LIMIT = std::size_t{1} << 20;

const struct {
    const char* name;
    std::uint8_t bit;
} feature_names[] = {{"FEATURE_STREAM_WAIT", FEATURE_STREAM_WAIT}};

void write_host32(std::uint8_t* at, std::uint32_t value) {
    // The description is read in the host's own byte order.
    std::memcpy(at, &value, sizeof value);
}

std::string known_inputs() {
    std::string list;
    for (const auto& input : input_names())
        list += (list.empty() ? "" : ", ") + std::string(input.name);
    return list;
}

const input_name& read_input(const nlohmann::json& value, const std::string& path) {
    const std::string name = common::read_string(value, path);
    for (const auto& input : input_names())
        if (name == input.name)
            return input;
    throw common::input_error(path + ": unknown input \"" + name + "\" (known: " + known_inputs() +
                              ")");
}

std::uint32_t read_inputs(const nlohmann::json& value, const std::string& path) {
    if (value.is_string() && value.get<std::string>() == "all") {
        std::uint32_t all = 0;
        for (const auto& input : input_names())
            all |= input.mode;
        return all;
    }
    if (!value.is_array())
        throw common::input_error(path + ": expected \"all\" or an array of input names");
    std::uint32_t inputs = 0;
    for (std::size_t i = 0; i < value.size(); ++i)
        inputs |= read_input(value[i], common::key_path(path, i)).mode;
    return inputs;
}

std::uint8_t read_features(const nlohmann::json& value, const std::string& path) {
    common::require_array(value, path);
    std::uint8_t features = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::string at = common::key_path(path, i);
        const std::string name = common::read_string(value[i], at);
        bool known = false;
        for (const auto& feature : feature_names)
            if (name == feature.name) {
                features |= feature.bit;
                known = true;
            }
        if (!known)
            throw common::input_error(at + ": unknown feature \"" + name +
                                      "\" (known: FEATURE_STREAM_WAIT)");
    }
    return features;
}

port_entry read_port(const nlohmann::json& value, const std::string& path) {
    common::require_object(value, path, {"kind", "unavailable_bits"});
    if (!value.contains("kind"))
        throw common::input_error(common::key_path(path, "kind") + ": missing");
    const std::string kind_path = common::key_path(path, "kind");
    const input_name& kind = read_input(value["kind"], kind_path);
    if (kind.width == 0)
        throw common::input_error(kind_path + ": \"" + kind.name +
                                  "\" is a serial interface; port entries describe digital ports");
    const std::uint32_t whole =
        kind.width == 32 ? 0xFFFFFFFFu : (std::uint32_t{1} << kind.width) - 1;
    port_entry port{kind.mode, 0};
    if (!value.contains("unavailable_bits"))
        return port;
    const nlohmann::json& bits = value["unavailable_bits"];
    const std::string bits_path = common::key_path(path, "unavailable_bits");
    if (bits.is_string() && bits.get<std::string>() == "all") {
        port.mask = whole;
        return port;
    }
    if (!bits.is_array())
        throw common::input_error(bits_path + ": expected \"all\" or an array of bit numbers");
    for (std::size_t i = 0; i < bits.size(); ++i)
        port.mask |= std::uint32_t{1} << common::read_integer(
                         bits[i], common::key_path(bits_path, i), 0, kind.width - 1);
    return port;
}

controller_setup read_controller(const nlohmann::json& value, const std::string& path,
                                 std::size_t position) {
    common::require_object(value, path, {"index", "valid", "inputs", "features", "ports"});
    controller_setup setup;
    setup.index = static_cast<int>(position);
    if (value.contains("index"))
        setup.index = static_cast<int>(common::read_integer(
            value["index"], common::key_path(path, "index"), 0, CONTROLLER_COUNT - 1));
    if (value.contains("valid"))
        setup.valid = common::read_bool(value["valid"], common::key_path(path, "valid"));
    if (!value.contains("inputs"))
        throw common::input_error(common::key_path(path, "inputs") + ": missing (use [] for none)");
    setup.capabilities = read_inputs(value["inputs"], common::key_path(path, "inputs"));
    if (value.contains("features"))
        setup.features = read_features(value["features"], common::key_path(path, "features"));
    if (value.contains("ports")) {
        const std::string ports_path = common::key_path(path, "ports");
        const auto& ports = common::require_array(value["ports"], ports_path);
        if (ports.size() > PORT_ENTRIES)
            throw common::input_error(ports_path + ": " + std::to_string(ports.size()) +
                                      " entries; a controller has at most " +
                                      std::to_string(PORT_ENTRIES));
        for (std::size_t i = 0; i < ports.size(); ++i)
            setup.ports.push_back(read_port(ports[i], common::key_path(ports_path, i)));
    }
    return setup;
}

} // namespace

const std::vector<input_name>& input_names() {
    // The width of a digital port, 0 for a serial interface.
    const auto bits = [](std::uint32_t mode) {
        if (mode == INPUT_DIGI8_1 || mode == INPUT_DIGI8_2)
            return 8;
        if (mode == INPUT_DIGI16_1 || mode == INPUT_DIGI16_2)
            return 16;
        return mode == INPUT_DIGI32 ? 32 : 0;
    };
    // The name without its prefix, in lower case: INPUT_DIGI8_1 is "digi8_1".
    const auto key = [](std::string name) {
        name.erase(0, std::strlen("INPUT_"));
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name;
    };
#define INPUT_NAME(name) {#name, name, bits(name), key(#name)},
    static const std::vector<input_name> names = {VEXA_INPUT_MODES(INPUT_NAME)};
#undef INPUT_NAME
    return names;
}

std::string name_of_input(std::uint32_t mode) {
    for (const auto& input : input_names())
        if (input.mode == mode)
            return input.name;
    char number[16];
    (void)std::snprintf(number, sizeof number, "0x%X", mode);
    return number;
}

std::array<std::uint8_t, CONTROLLER_CONFIG_SIZE> controller_setup::record() const {
    std::array<std::uint8_t, CONTROLLER_CONFIG_SIZE> bytes{};
    bytes[CONFIG_STATUS_FLAGS] = valid ? CONFIG_VALID : 0;
    bytes[CONFIG_CONTROLLER_INDEX] = static_cast<std::uint8_t>(index);
    bytes[CONFIG_FEATURE_FLAGS] = features;
    write_host32(&bytes[CONFIG_CAPABILITIES], capabilities);
    for (std::size_t i = 0; i < ports.size() && i < PORT_ENTRIES; ++i) {
        write_host32(&bytes[CONFIG_PORT_KIND + 4 * i], ports[i].kind);
        write_host32(&bytes[CONFIG_PORT_MASK + 4 * i], ports[i].mask);
    }
    return bytes;
}

std::vector<controller_setup> default_controllers() {
    controller_setup setup;
    for (const auto& input : input_names())
        setup.capabilities |= input.mode;
    setup.features = FEATURE_STREAM_WAIT;
    return {setup};
}

std::vector<controller_setup> controllers_from_json(const nlohmann::json& array,
                                                    const std::string& path) {
    common::require_array(array, path);
    if (array.size() > CONTROLLER_COUNT)
        throw common::input_error(path + ": " + std::to_string(array.size()) +
                                  " controllers; the plug-in takes at most " +
                                  std::to_string(CONTROLLER_COUNT));
    std::vector<controller_setup> setups;
    std::set<int> seen;
    for (std::size_t i = 0; i < array.size(); ++i) {
        const std::string at = common::key_path(path, i);
        setups.push_back(read_controller(array[i], at, i));
        if (!seen.insert(setups.back().index).second)
            throw common::input_error(common::key_path(at, "index") + ": controller " +
                                      std::to_string(setups.back().index) + " is described twice");
    }
    return setups;
}

nlohmann::ordered_json controllers_to_json(const std::vector<controller_setup>& controllers) {
    std::uint32_t every_input = 0;
    for (const auto& input : input_names())
        every_input |= input.mode;
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const auto& setup : controllers) {
        nlohmann::ordered_json json;
        json["index"] = setup.index;
        if (!setup.valid)
            json["valid"] = false;
        if (setup.capabilities == every_input) {
            json["inputs"] = "all";
        } else {
            json["inputs"] = nlohmann::ordered_json::array();
            for (const auto& input : input_names())
                if (setup.capabilities & input.mode)
                    json["inputs"].push_back(input.name);
        }
        for (const auto& feature : feature_names)
            if (setup.features & feature.bit)
                json["features"].push_back(feature.name);
        for (const auto& port : setup.ports) {
            nlohmann::ordered_json entry;
            entry["kind"] = name_of_input(port.kind);
            int width = 0;
            for (const auto& input : input_names())
                if (input.mode == port.kind)
                    width = input.width;
            if (width == 32 ? port.mask == 0xFFFFFFFFu
                            : width > 0 && port.mask == (std::uint32_t{1} << width) - 1)
                entry["unavailable_bits"] = "all";
            else
                for (int bit = 0; bit < 32; ++bit)
                    if (port.mask & (std::uint32_t{1} << bit))
                        entry["unavailable_bits"].push_back(bit);
            json["ports"].push_back(entry);
        }
        array.push_back(json);
    }
    return array;
}

std::vector<controller_setup> read_controller_file(const std::string& file) {
    const nlohmann::json json =
        common::read_json_file(file, CONTROLLER_FILE_LIMIT, "a controllers file");
    try {
        common::require_object(json, "", {"controllers", common::SCHEMA_KEY});
        common::check_schema_key(json);
        if (!json.contains("controllers"))
            throw common::input_error("controllers: missing");
        return controllers_from_json(json["controllers"], "controllers");
    } catch (const common::input_error& e) {
        throw common::input_error(file + ": " + e.what());
    }
}

} // namespace reference_host
