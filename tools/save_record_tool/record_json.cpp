#include "record_json.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <set>
#include <string>

#include "controller_config.h"
#include "input_config.h"
#include "platform.h"
#include "save_record.h"

using nlohmann::json;

namespace {

struct named_value {
    std::uint32_t value;
    const char* name;
};

constexpr named_value input_modes[] = {
    {INPUT_DIGI8_1, "INPUT_DIGI8_1"},   {INPUT_DIGI8_2, "INPUT_DIGI8_2"},
    {INPUT_DIGI16_1, "INPUT_DIGI16_1"}, {INPUT_DIGI16_2, "INPUT_DIGI16_2"},
    {INPUT_DIGI32, "INPUT_DIGI32"},     {INPUT_SERIAL_1, "INPUT_SERIAL_1"},
    {INPUT_SERIAL_2, "INPUT_SERIAL_2"},
};

constexpr named_value flag_bits[] = {
    {FLAG_SERIAL1_FULL, "FLAG_SERIAL1_FULL"},
    {FLAG_SERIAL1_SUBSTRING, "FLAG_SERIAL1_SUBSTRING"},
    {FLAG_SHOW_MESSAGE, "FLAG_SHOW_MESSAGE"},
    {FLAG_SERIAL2_FULL, "FLAG_SERIAL2_FULL"},
    {FLAG_SERIAL2_SUBSTRING, "FLAG_SERIAL2_SUBSTRING"},
    {FLAG_TIMEOUT, "FLAG_TIMEOUT"},
    {FLAG_FORWARD_IN2, "FLAG_FORWARD_IN2"},
    {FLAG_FORWARD_IN3, "FLAG_FORWARD_IN3"},
    {FLAG_FORWARD_IN4, "FLAG_FORWARD_IN4"},
    {FLAG_FORWARD_IN5, "FLAG_FORWARD_IN5"},
};

constexpr named_value timeout_actions[] = {
    {ACTION_CONTINUE, "ACTION_CONTINUE"},
    {ACTION_RESTART, "ACTION_RESTART"},
    {ACTION_STOP, "ACTION_STOP"},
    {ACTION_GOTO, "ACTION_GOTO"},
};

constexpr std::size_t WAIT_MESSAGE_UNITS = SAVE_WAIT_MESSAGE_SIZE / 2;

// Every key of a record's JSON: its fields in record order, then the
// information that encoding ignores.
constexpr const char* record_keys[] = {
    "version",       "length",        "input_mode",   "spare_bytes",
    "spare_words",   "digi8_value",   "digi8_mask",   "digi16_value",
    "digi16_mask",   "flags",         "digi32_value", "digi32_mask",
    "controller",    "compare_text1", "wait_message", "wait_message_bytes",
    "compare_text2", "timeout_sec",   "goto_element", "timeout_action",
    "substr_from",   "substr_to",     "stored_bytes", "when_loaded"};

template <std::size_t N>
std::string name_of(const named_value (&table)[N], std::uint32_t value, const char* otherwise) {
    for (const named_value& entry : table)
        if (entry.value == value)
            return entry.name;
    return otherwise;
}

std::string input_mode_name(std::uint32_t mode) {
    return mode == 0 ? "none" : name_of(input_modes, mode, "unknown");
}

std::string timeout_action_name(std::uint32_t action) {
    return name_of(timeout_actions, action, "unknown");
}

// Named bits by name, other set bits as hex, lowest bit first.
std::vector<std::string> flag_names(std::uint32_t flags) {
    std::vector<std::string> names;
    for (int bit = 0; bit < 32; ++bit) {
        const std::uint32_t mask = std::uint32_t{1} << bit;
        if ((flags & mask) == 0)
            continue;
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(mask));
        names.push_back(name_of(flag_bits, mask, hex));
    }
    return names;
}

json named_json(const std::string& name, std::uint32_t value) {
    return {{"name", name}, {"value", value}};
}

json flags_json(std::uint32_t flags) {
    return {{"value", flags}, {"names", flag_names(flags)}};
}

// ---- Texts

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool next_code_point(const std::string& s, std::size_t& i, char32_t& c) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t extra;
    char32_t min;
    if (lead < 0x80) {
        c = lead;
        ++i;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, c = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, c = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, c = lead & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (s.size() - i <= extra)
        return false;
    for (std::size_t k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    i += extra + 1;
    return true;
}

// 8-bit texts hold Latin-1 characters, up to the first zero byte.
std::string compare_text_json(const std::uint8_t* field) {
    std::string text;
    for (std::size_t i = 0; i < SAVE_COMPARE_TEXT_SIZE && field[i] != 0; ++i)
        append_utf8(text, field[i]);
    return text;
}

// UTF-16 big-endian up to the first zero unit; a lone surrogate (a pair cut by
// the end of the stored half) shows as U+FFFD.
std::string wait_message_json(const std::uint8_t* field) {
    std::string text;
    for (std::size_t i = 0; i < WAIT_MESSAGE_UNITS; ++i) {
        const char32_t unit = platform::read_be16(field + 2 * i);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < WAIT_MESSAGE_UNITS) {
            const char32_t low = platform::read_be16(field + 2 * i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                append_utf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        append_utf8(text, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
    return text;
}

std::string to_hex(const std::uint8_t* bytes, std::size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

// ---- Reading JSON, each refusal naming its key

[[noreturn]] void refuse(const std::string& key, const std::string& problem) {
    throw record_json_error(key + ": " + problem);
}

const char* type_name(const json& v) {
    if (v.is_number_integer())
        return "integer";
    return v.type_name();
}

// One JSON object of the record: keys it does not know are refused before any
// value is read, and a required key must be there.
class object_reader {
public:
    object_reader(const json& object, std::string path, std::set<std::string> known)
        : object_(object), path_(std::move(path)) {
        if (!object.is_object())
            refuse(path_.empty() ? "record" : path_,
                   std::string("must be an object, not ") + type_name(object));
        for (const auto& item : object.items())
            if (known.count(item.key()) == 0)
                refuse(key(item.key()), "unknown key");
    }

    const json& required(const std::string& name) const {
        const auto found = object_.find(name);
        if (found == object_.end())
            refuse(key(name), "key is missing");
        return *found;
    }

    std::string key(const std::string& name) const {
        return path_.empty() ? name : path_ + "." + name;
    }

private:
    const json& object_;
    std::string path_;
};

std::int64_t integer(const json& v, const std::string& key, std::int64_t min, std::int64_t max) {
    const auto out_of_range = [&](const std::string& shown) {
        refuse(key, shown + " is out of range " + std::to_string(min) + ".." + std::to_string(max));
    };
    if (v.is_number_unsigned()) {
        const std::uint64_t u = v.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(max))
            out_of_range(std::to_string(u));
        return static_cast<std::int64_t>(u);
    }
    if (v.is_number_integer()) {
        const std::int64_t i = v.get<std::int64_t>();
        if (i < min || i > max)
            out_of_range(std::to_string(i));
        return i;
    }
    refuse(key, std::string("must be an integer, not ") + type_name(v));
}

template <typename T> T unsigned_of(const json& v, const std::string& key) {
    return static_cast<T>(integer(v, key, 0, std::numeric_limits<T>::max()));
}

template <typename T> T signed_of(const json& v, const std::string& key) {
    return static_cast<T>(
        integer(v, key, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

template <typename T>
std::vector<T> unsigned_array(const json& v, const std::string& key, std::size_t count) {
    if (!v.is_array() || v.size() != count)
        refuse(key, "must be an array of " + std::to_string(count) + " integers");
    std::vector<T> values;
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(unsigned_of<T>(v[i], key + "[" + std::to_string(i) + "]"));
    return values;
}

const std::string& string_of(const json& v, const std::string& key) {
    if (!v.is_string())
        refuse(key, std::string("must be a string, not ") + type_name(v));
    return v.get_ref<const std::string&>();
}

std::string code_point_name(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

std::vector<char32_t> code_points(const json& v, const std::string& key) {
    const std::string& text = string_of(v, key);
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        if (!next_code_point(text, i, c))
            refuse(key, "is not valid UTF-8");
        if (c == 0)
            refuse(key, "contains U+0000, which would end the text early");
        points.push_back(c);
    }
    return points;
}

// A {"name", "value"} pair whose name must be the one the value has.
std::uint32_t named_value_of(const json& v, const std::string& path, std::int64_t max,
                             std::string (*name_for)(std::uint32_t)) {
    const object_reader reader(v, path, {"name", "value"});
    const auto value =
        static_cast<std::uint32_t>(integer(reader.required("value"), reader.key("value"), 0, max));
    const std::string& name = string_of(reader.required("name"), reader.key("name"));
    if (name != name_for(value))
        refuse(reader.key("name"), "\"" + name + "\" does not match value " +
                                       std::to_string(value) + " (" + name_for(value) + ")");
    return value;
}

std::uint32_t flags_of(const json& v) {
    const object_reader reader(v, "flags", {"value", "names"});
    const auto flags = unsigned_of<std::uint32_t>(reader.required("value"), reader.key("value"));
    const json& names = reader.required("names");
    if (!names.is_array())
        refuse(reader.key("names"), std::string("must be an array, not ") + type_name(names));
    std::vector<std::string> listed;
    for (std::size_t i = 0; i < names.size(); ++i)
        listed.push_back(string_of(names[i], "flags.names[" + std::to_string(i) + "]"));
    std::vector<std::string> expected = flag_names(flags);
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    if (listed != expected) {
        std::string list;
        for (const std::string& name : flag_names(flags))
            list += (list.empty() ? "" : ", ") + name;
        refuse(reader.key("names"), "does not match value " + std::to_string(flags) + " (" +
                                        (list.empty() ? "no bits" : list) + ")");
    }
    return flags;
}

// ---- Writing the record

void write_compare_text(std::uint8_t* field, const std::vector<char32_t>& text,
                        const std::string& key) {
    if (text.size() > SAVE_COMPARE_TEXT_SIZE)
        refuse(key, "has " + std::to_string(text.size()) + " characters, more than the " +
                        std::to_string(SAVE_COMPARE_TEXT_SIZE) + " the record keeps");
    std::memset(field, 0, SAVE_COMPARE_TEXT_SIZE);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] > 0xFF)
            refuse(key, "character " + code_point_name(text[i]) +
                            " has no 8-bit form (texts hold U+0001..U+00FF)");
        field[i] = static_cast<std::uint8_t>(text[i]);
    }
}

void write_wait_message(std::uint8_t* field, const std::vector<char32_t>& text,
                        const std::string& key) {
    std::vector<std::uint16_t> units;
    for (char32_t c : text) {
        if (c >= 0x10000) {
            units.push_back(static_cast<std::uint16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(c));
        }
    }
    if (units.size() > WAIT_MESSAGE_UNITS)
        refuse(key, "needs " + std::to_string(units.size()) + " UTF-16 units, more than the " +
                        std::to_string(WAIT_MESSAGE_UNITS) + " the record keeps");
    std::memset(field, 0, SAVE_WAIT_MESSAGE_SIZE);
    for (std::size_t i = 0; i < units.size(); ++i)
        platform::write_be16(field + 2 * i, units[i]);
}

void write_hex(std::uint8_t* field, const json& v, const std::string& key, std::size_t size) {
    const std::string& hex = string_of(v, key);
    if (hex.size() != 2 * size)
        refuse(key, "must hold " + std::to_string(2 * size) + " hex digits");
    const auto digit = [&](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        refuse(key, "must hold hex digits only");
    };
    for (std::size_t i = 0; i < size; ++i)
        field[i] = static_cast<std::uint8_t>(digit(hex[2 * i]) << 4 | digit(hex[2 * i + 1]));
}

void write_default_texts(std::uint8_t* r, std::int16_t version) {
    std::vector<char32_t> text(std::begin(LOADED_DEFAULT_COMPARE_TEXT),
                               std::end(LOADED_DEFAULT_COMPARE_TEXT) - 1);
    if (version < SAVE_SINCE_COMPARE_TEXT1)
        write_compare_text(r + SAVE_COMPARE_TEXT1, text, "compare_text1");
    if (version < SAVE_SINCE_COMPARE_TEXT2)
        write_compare_text(r + SAVE_COMPARE_TEXT2, text, "compare_text2");
    if (version < SAVE_SINCE_WAIT_MESSAGE)
        write_wait_message(r + SAVE_WAIT_MESSAGE,
                           std::vector<char32_t>(std::begin(LOADED_DEFAULT_WAIT_MESSAGE),
                                                 std::end(LOADED_DEFAULT_WAIT_MESSAGE) - 1),
                           "wait_message");
}

std::vector<std::uint8_t> encode(const json& j) {
    const object_reader in(j, "",
                           std::set<std::string>(std::begin(record_keys), std::end(record_keys)));
    const auto field = [&](const char* name) -> const json& { return in.required(name); };

    std::vector<std::uint8_t> record(SAVE_RECORD_SIZE, 0);
    std::uint8_t* r = record.data();
    const auto version = signed_of<std::int16_t>(field("version"), "version");
    signed_of<std::int16_t>(field("length"), "length"); // stored only; written as 956
    platform::write_be16(r + SAVE_VERSION, static_cast<std::uint16_t>(SAVE_FORMAT_VERSION));
    platform::write_be16(r + SAVE_LENGTH, static_cast<std::uint16_t>(SAVE_RECORD_SIZE));
    platform::write_be32(r + SAVE_INPUT_MODE,
                         named_value_of(field("input_mode"), "input_mode",
                                        std::numeric_limits<std::uint32_t>::max(),
                                        input_mode_name));
    const auto spare_bytes = unsigned_array<std::uint8_t>(field("spare_bytes"), "spare_bytes", 2);
    std::copy(spare_bytes.begin(), spare_bytes.end(), r + SAVE_SPARE_BYTES);
    const auto spare_words =
        unsigned_array<std::uint16_t>(field("spare_words"), "spare_words", SAVE_SPARE_WORD_COUNT);
    for (std::size_t i = 0; i < SAVE_SPARE_WORD_COUNT; ++i)
        platform::write_be16(r + SAVE_SPARE_WORDS + 2 * i, spare_words[i]);
    const auto digi8_value = unsigned_array<std::uint8_t>(field("digi8_value"), "digi8_value", 2);
    const auto digi8_mask = unsigned_array<std::uint8_t>(field("digi8_mask"), "digi8_mask", 2);
    const auto digi16_value =
        unsigned_array<std::uint16_t>(field("digi16_value"), "digi16_value", 2);
    const auto digi16_mask = unsigned_array<std::uint16_t>(field("digi16_mask"), "digi16_mask", 2);
    for (int i = 0; i < 2; ++i) {
        r[SAVE_DIGI8_VALUE + i] = digi8_value[i];
        r[SAVE_DIGI8_MASK + i] = digi8_mask[i];
        platform::write_be16(r + SAVE_DIGI16_VALUE + 2 * i, digi16_value[i]);
        platform::write_be16(r + SAVE_DIGI16_MASK + 2 * i, digi16_mask[i]);
    }
    std::uint32_t flags = flags_of(field("flags"));
    platform::write_be32(r + SAVE_DIGI32_VALUE,
                         unsigned_of<std::uint32_t>(field("digi32_value"), "digi32_value"));
    platform::write_be32(r + SAVE_DIGI32_MASK,
                         unsigned_of<std::uint32_t>(field("digi32_mask"), "digi32_mask"));
    r[SAVE_CONTROLLER] = unsigned_of<std::uint8_t>(field("controller"), "controller");
    write_compare_text(r + SAVE_COMPARE_TEXT1, code_points(field("compare_text1"), "compare_text1"),
                       "compare_text1");
    write_wait_message(r + SAVE_WAIT_MESSAGE, code_points(field("wait_message"), "wait_message"),
                       "wait_message");
    const auto raw_message = j.find("wait_message_bytes");
    if (raw_message != j.end())
        write_hex(r + SAVE_WAIT_MESSAGE, *raw_message, "wait_message_bytes",
                  SAVE_WAIT_MESSAGE_SIZE);
    write_compare_text(r + SAVE_COMPARE_TEXT2, code_points(field("compare_text2"), "compare_text2"),
                       "compare_text2");
    auto timeout_sec = unsigned_of<std::uint32_t>(field("timeout_sec"), "timeout_sec");
    auto goto_element = signed_of<std::int32_t>(field("goto_element"), "goto_element");
    auto timeout_action = static_cast<std::uint8_t>(
        named_value_of(field("timeout_action"), "timeout_action", 255, timeout_action_name));
    const auto substr_from = unsigned_of<std::uint8_t>(field("substr_from"), "substr_from");
    auto substr_to = unsigned_of<std::uint8_t>(field("substr_to"), "substr_to");

    // What loading a record of this version gives, saved again as version 5.
    write_default_texts(r, version);
    if (version < SAVE_SINCE_TIMEOUT) {
        flags &= ~FLAG_TIMEOUT;
        timeout_sec = 0;
        goto_element = 0;
        timeout_action = ACTION_CONTINUE;
    }
    if (substr_to <= substr_from)
        substr_to = LOADED_DEFAULT_SUBSTR_TO;
    platform::write_be32(r + SAVE_FLAGS, flags);
    platform::write_be32(r + SAVE_TIMEOUT_SEC, timeout_sec);
    platform::write_be32(r + SAVE_GOTO_ELEMENT, static_cast<std::uint32_t>(goto_element));
    r[SAVE_TIMEOUT_ACTION] = timeout_action;
    r[SAVE_RESERVED3] = 0;
    r[SAVE_SUBSTR_FROM] = substr_from;
    r[SAVE_SUBSTR_TO] = substr_to;
    return record;
}

// ---- What loading does with a record

json when_loaded_json(const std::uint8_t* r, std::int16_t version, std::size_t stored) {
    json defaults = json::object();
    if (version < SAVE_SINCE_COMPARE_TEXT1)
        defaults["compare_text1"] = LOADED_DEFAULT_COMPARE_TEXT;
    if (version < SAVE_SINCE_WAIT_MESSAGE)
        defaults["wait_message"] = LOADED_DEFAULT_WAIT_MESSAGE;
    if (version < SAVE_SINCE_COMPARE_TEXT2)
        defaults["compare_text2"] = LOADED_DEFAULT_COMPARE_TEXT;
    if (version < SAVE_SINCE_TIMEOUT) {
        defaults["flags"] = flags_json(platform::read_be32(r + SAVE_FLAGS) & ~FLAG_TIMEOUT);
        defaults["timeout_sec"] = 0;
        defaults["goto_element"] = 0;
        defaults["timeout_action"] = named_json(timeout_action_name(ACTION_CONTINUE), 0);
    }
    json repaired = json::object();
    if (r[SAVE_SUBSTR_TO] <= r[SAVE_SUBSTR_FROM])
        repaired["substr_to"] = LOADED_DEFAULT_SUBSTR_TO;

    json notes = json::array();
    if (stored < SAVE_RECORD_SIZE)
        notes.push_back("bytes " + std::to_string(stored) + ".." +
                        std::to_string(SAVE_RECORD_SIZE - 1) +
                        " are not in the record and read as zero");
    if (stored > SAVE_RECORD_SIZE)
        notes.push_back("only the first " + std::to_string(SAVE_RECORD_SIZE) + " of " +
                        std::to_string(stored) + " bytes are read");
    if (r[SAVE_CONTROLLER] >= CONTROLLER_COUNT)
        notes.push_back("controller " + std::to_string(r[SAVE_CONTROLLER]) + " names none of the " +
                        std::to_string(CONTROLLER_COUNT) + " controllers (0.." +
                        std::to_string(CONTROLLER_COUNT - 1) + ")");

    const int read_as = version < SAVE_SINCE_COMPARE_TEXT1 ? 1
                        : version > SAVE_FORMAT_VERSION    ? SAVE_FORMAT_VERSION
                                                           : version;
    return {{"read_as_version", read_as},
            {"defaults", defaults},
            {"repaired", repaired},
            {"notes", notes}};
}

// Display order: the record's keys, then the keys inside values (name before
// value before names).
std::size_t rank_of(const std::string& key) {
    static const std::vector<std::string> order = [] {
        std::vector<std::string> keys(std::begin(record_keys), std::end(record_keys));
        keys.insert(keys.end(),
                    {"read_as_version", "defaults", "repaired", "notes", "name", "value", "names"});
        return keys;
    }();
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), key) - order.begin());
}

} // namespace

json record_to_json(const std::uint8_t* record, std::size_t length) {
    if (record == nullptr)
        length = 0;
    std::uint8_t r[SAVE_RECORD_SIZE] = {};
    if (length != 0)
        std::memcpy(r, record, std::min(length, SAVE_RECORD_SIZE));

    const auto version = static_cast<std::int16_t>(platform::read_be16(r + SAVE_VERSION));
    const auto be16_array = [&](std::size_t offset, std::size_t count) {
        json values = json::array();
        for (std::size_t i = 0; i < count; ++i)
            values.push_back(platform::read_be16(r + offset + 2 * i));
        return values;
    };
    json j;
    j["version"] = version;
    j["length"] = static_cast<std::int16_t>(platform::read_be16(r + SAVE_LENGTH));
    const std::uint32_t mode = platform::read_be32(r + SAVE_INPUT_MODE);
    j["input_mode"] = named_json(input_mode_name(mode), mode);
    j["spare_bytes"] = {r[SAVE_SPARE_BYTES], r[SAVE_SPARE_BYTES + 1]};
    j["spare_words"] = be16_array(SAVE_SPARE_WORDS, SAVE_SPARE_WORD_COUNT);
    j["digi8_value"] = {r[SAVE_DIGI8_VALUE], r[SAVE_DIGI8_VALUE + 1]};
    j["digi8_mask"] = {r[SAVE_DIGI8_MASK], r[SAVE_DIGI8_MASK + 1]};
    j["digi16_value"] = be16_array(SAVE_DIGI16_VALUE, 2);
    j["digi16_mask"] = be16_array(SAVE_DIGI16_MASK, 2);
    j["flags"] = flags_json(platform::read_be32(r + SAVE_FLAGS));
    j["digi32_value"] = platform::read_be32(r + SAVE_DIGI32_VALUE);
    j["digi32_mask"] = platform::read_be32(r + SAVE_DIGI32_MASK);
    j["controller"] = r[SAVE_CONTROLLER];
    j["compare_text1"] = compare_text_json(r + SAVE_COMPARE_TEXT1);
    const std::string message = wait_message_json(r + SAVE_WAIT_MESSAGE);
    j["wait_message"] = message;
    // Keep the raw bytes when the text cannot give them back.
    std::uint8_t from_text[SAVE_WAIT_MESSAGE_SIZE];
    write_wait_message(from_text, code_points(message, "wait_message"), "wait_message");
    if (std::memcmp(from_text, r + SAVE_WAIT_MESSAGE, SAVE_WAIT_MESSAGE_SIZE) != 0)
        j["wait_message_bytes"] = to_hex(r + SAVE_WAIT_MESSAGE, SAVE_WAIT_MESSAGE_SIZE);
    j["compare_text2"] = compare_text_json(r + SAVE_COMPARE_TEXT2);
    j["timeout_sec"] = platform::read_be32(r + SAVE_TIMEOUT_SEC);
    j["goto_element"] = static_cast<std::int32_t>(platform::read_be32(r + SAVE_GOTO_ELEMENT));
    j["timeout_action"] =
        named_json(timeout_action_name(r[SAVE_TIMEOUT_ACTION]), r[SAVE_TIMEOUT_ACTION]);
    j["substr_from"] = r[SAVE_SUBSTR_FROM];
    j["substr_to"] = r[SAVE_SUBSTR_TO];
    j["stored_bytes"] = length;
    j["when_loaded"] = when_loaded_json(r, version, length);
    return j;
}

std::vector<std::uint8_t> record_from_json(const json& json) {
    try {
        return encode(json);
    } catch (const nlohmann::json::exception& e) {
        // Every access is checked first; this only keeps the promise of one error type.
        throw record_json_error(std::string("record: ") + e.what());
    }
}

nlohmann::ordered_json in_record_order(const json& j) {
    if (j.is_array()) {
        nlohmann::ordered_json out = nlohmann::ordered_json::array();
        for (const json& item : j)
            out.push_back(in_record_order(item));
        return out;
    }
    if (!j.is_object())
        return nlohmann::ordered_json(j);
    std::vector<std::string> keys;
    for (const auto& item : j.items())
        keys.push_back(item.key());
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return rank_of(a) < rank_of(b);
    });
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    for (const std::string& key : keys)
        out[key] = in_record_order(j.at(key));
    return out;
}
