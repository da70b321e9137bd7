// Reading the programs' JSON with refusals that name the key they are about,
// as a path from the top: `controllers[1].inputs[0]`, `flags.names[1]`.
// Each refusal is an input_error "KEY: PROBLEM".
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "common/input_error.h"

namespace common {

// `path` joined with a member or an index, as refusals show keys.
std::string key_path(const std::string& path, const std::string& member);
std::string key_path(const std::string& path, std::size_t index);

// Throws input_error "KEY: PROBLEM".
[[noreturn]] void refuse(const std::string& key, const std::string& problem);

// "integer" for integers of either sign, the JSON type's name otherwise.
const char* type_name(const nlohmann::json& v);

// The first member of `object` whose name is not among `known`; null when
// every one is.
template <typename Names>
const std::string* unknown_member(const nlohmann::json& object, const Names& known) {
    for (auto member = object.begin(); member != object.end(); ++member)
        if (std::find(std::begin(known), std::end(known), member.key()) == std::end(known))
            return &member.key();
    return nullptr;
}

// "MIN..MAX", as refusals give a range.
std::string range_text(std::int64_t min, std::int64_t max);

// For an integer `v` of either sign outside min..max, the integer as
// refusals show it ("4294967296"); nothing when it lies within.
std::optional<std::string> integer_outside(const nlohmann::json& v, std::int64_t min,
                                           std::int64_t max);

// The readers of the reference host's files. Refusals: "PATH: expected an
// object" ("the file: ..." at the top), "PATH.KEY: unknown key (known: ...)"
// for a member not in `allowed`.
void require_object(const nlohmann::json& value, const std::string& path,
                    std::initializer_list<const char*> allowed);
const nlohmann::json& require_array(const nlohmann::json& value, const std::string& path);
// An integer within [low, high]; "PATH: 300 is outside 0..255" otherwise.
std::int64_t read_integer(const nlohmann::json& value, const std::string& path, std::int64_t low,
                          std::int64_t high);
std::string read_string(const nlohmann::json& value, const std::string& path);
bool read_bool(const nlohmann::json& value, const std::string& path);

// A file's top may name its JSON Schema under "$schema", so that an editor
// checks it as it is typed; the programs take it as a string and ignore it.
inline constexpr const char* SCHEMA_KEY = "$schema";
void check_schema_key(const nlohmann::json& top);

// The deepest nesting any of the programs' files needs is six levels (a
// scenario's controller ports' bit lists, an element's configuration with its
// flag names); a record's JSON needs three. Deeper text is refused at once,
// before it costs memory or time.
inline constexpr int JSON_MAX_DEPTH = 16;

// Parses JSON text; refusals start with "ORIGIN: " (nothing when `origin` is
// empty): "not valid JSON: ..." for text that is not JSON or has anything
// after its value (a zero byte included), "flags.value: key appears twice"
// (what such text means would depend on the reader), "a[0][0]...: nested
// deeper than 16 levels".
nlohmann::json parse_json_text(const std::string& text, const std::string& origin);

// "larger than 16 MiB, the most KIND may be", as a refusal gives an input
// beyond its size limit.
std::string larger_than(std::size_t limit, const std::string& kind);

// Parses the file `file`, read no further than `limit` bytes; throws
// input_error "FILE: ..." when it cannot be read (with the system's reason:
// "No such file or directory", "Is a directory"), is larger ("FILE: cannot be
// read: larger than 16 MiB, the most a project file may be", `kind` being "a
// project file") or is not JSON as parse_json_text takes it.
nlohmann::json read_json_file(const std::string& file, std::size_t limit, const std::string& kind);

} // namespace common
