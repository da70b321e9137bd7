// Divergence reports and expectations.
#include "validator.h"

namespace validator {

// Made before main, where memory running out would end the program anyway.
run_info info; // NOLINT(cert-err58-cpp)
coverage seen;

void report_context() {
    if (info.in_records)
        (void)std::fprintf(stderr,
                           "zavud_validate: seed %llu, after %ld steps, checking the example "
                           "records; the last calls were:\n",
                           static_cast<unsigned long long>(info.seed), info.steps);
    else
        (void)std::fprintf(stderr,
                           "zavud_validate: seed %llu, step %ld of %ld; the last calls were:\n",
                           static_cast<unsigned long long>(info.seed), info.step, info.steps);
    for (const std::string& line : info.recent)
        (void)std::fprintf(stderr, "  %s\n", line.c_str());
    // Quoted when it would not stay one word in a shell.
    const bool quote = info.plugin.find_first_of(" \t'\"") != std::string::npos;
    (void)std::fprintf(stderr, "replay: zavud_validate %s%s%s --seed %llu --steps %ld\n",
                       quote ? "\"" : "", info.plugin.c_str(), quote ? "\"" : "",
                       static_cast<unsigned long long>(info.seed), info.step);
    (void)std::fflush(stderr);
}

[[noreturn]] void fail(const std::string& what) {
    (void)std::fflush(stdout);
    (void)std::fprintf(stderr, "zavud_validate: divergence: %s\n", what.c_str());
    report_context();
    std::_Exit(EXIT_DIVERGENCE);
}

void note(const std::string& call) {
    const std::string line =
        (info.in_records ? std::string("records") : std::to_string(info.step)) + ": " + call;
    if (info.trace)
        (void)std::fprintf(stderr, "%s\n", line.c_str());
    info.recent.push_back(line);
    if (info.recent.size() > 40)
        info.recent.pop_front();
}

void on_toolkit_assert(const wxString& file, int line, const wxString& func, const wxString& cond,
                       const wxString& msg) {
    info.toolkit_assertions.push_back(
        (file + ":" + wxString::Format("%d", line) + " in " + func + ": " + cond + " " + msg)
            .ToStdString());
}

std::string hex(std::uint32_t value) {
    char text[16];
    (void)std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}
void expect(bool condition, const std::string& what) {
    if (!condition)
        fail(what);
}

bool is_result_code(std::int32_t code) {
    for (std::int32_t known : {RES_OK, RES_IGNORED, RES_INVALID, RES_NO_MEMORY, RES_WAIT,
                               RES_UNSUPPORTED, RES_CUSTOM_OPERATION})
        if (code == known)
            return true;
    return false;
}

void expect_result(std::int32_t actual, std::int32_t expected, const std::string& call) {
    expect(is_result_code(actual), call + " answered " + std::to_string(actual) +
                                       ", which is no result code of the boundary");
    expect_equal(actual, expected, call + " result");
}

// The save-record field that holds byte `offset`, for readable reports.
std::string field_at(std::size_t offset) {
    static const std::pair<std::size_t, const char*> fields[] = {
        {SAVE_VERSION, "version"},
        {SAVE_LENGTH, "length"},
        {SAVE_INPUT_MODE, "input_mode"},
        {8, "reserved"},
        {SAVE_SPARE_BYTES, "spare_bytes"},
        {SAVE_SPARE_WORDS, "spare_words"},
        {SAVE_DIGI8_VALUE, "digi8_value"},
        {SAVE_DIGI8_MASK, "digi8_mask"},
        {SAVE_DIGI16_VALUE, "digi16_value"},
        {SAVE_DIGI16_MASK, "digi16_mask"},
        {42, "reserved"},
        {SAVE_FLAGS, "flags"},
        {48, "reserved"},
        {SAVE_DIGI32_VALUE, "digi32_value"},
        {SAVE_DIGI32_MASK, "digi32_mask"},
        {SAVE_CONTROLLER, "controller"},
        {SAVE_COMPARE_TEXT1, "compare_text1"},
        {261, "reserved"},
        {SAVE_WAIT_MESSAGE, "wait_message"},
        {502, "reserved"},
        {SAVE_COMPARE_TEXT2, "compare_text2"},
        {942, "reserved"},
        {SAVE_TIMEOUT_SEC, "timeout_sec"},
        {SAVE_GOTO_ELEMENT, "goto_element"},
        {SAVE_TIMEOUT_ACTION, "timeout_action"},
        {SAVE_RESERVED3, "reserved3"},
        {SAVE_SUBSTR_FROM, "substr_from"},
        {SAVE_SUBSTR_TO, "substr_to"}};
    const char* name = "?";
    for (const auto& [start, field] : fields)
        if (offset >= start)
            name = field;
    return std::string(name) + " (byte " + std::to_string(offset) + ")";
}

} // namespace validator
