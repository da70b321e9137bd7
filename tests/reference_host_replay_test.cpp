// Headless replays: every answer of the element and every follow-up
// operation, acted on as the reference host does, on the virtual clock, with
// the scenario's expectation checked.
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "reference_host/hex_bytes.h"
#include "reference_host/replay.h"
#include "test_support/save_records.h"
#include "test_support/test_host.h"

using namespace reference_host;
using nlohmann::json;

namespace {

json custom_input(const std::string& name, int id, const std::function<void(input_config&)>& edit) {
    return {{"name", name},
            {"id", id},
            {"type", "custom_input"},
            {"save_record", to_hex(saved_record(edit))}};
}

json plain(const std::string& name, int id) {
    return {{"name", name}, {"id", id}, {"type", "placeholder"}};
}

// Waits on 8-bit port 1 of controller 0 for bit 7 = 1.
void bit7(input_config& c) {
    c.input_mode = INPUT_DIGI8_1;
    c.digi8_mask[0] = 0x80;
    c.digi8_value[0] = 0x80;
}

std::function<void(input_config&)> bit7_timeout(std::uint8_t action, std::int32_t goto_id = 0) {
    return [=](input_config& c) {
        bit7(c);
        c.flags |= FLAG_TIMEOUT;
        c.timeout_sec = 10;
        c.timeout_action = action;
        c.goto_element = goto_id;
    };
}

json at(int seconds, int level) {
    return {{"at", seconds}, {"digi8_1", level}};
}

struct replayed {
    bool met;
    std::string output;
    bool has(const std::string& text) const { return output.find(text) != std::string::npos; }
};

replayed run(const json& scenario_json) {
    std::ostringstream out;
    const bool met = replay(plugin(), scenario_from_json(scenario_json), "test", out);
    return {met, out.str()};
}

} // namespace

TEST(Replay, WaitsUntilTheConditionIsMetAndShowsTheMessage) {
    const auto element = custom_input("Wait for part", 1, [](input_config& c) {
        bit7(c);
        c.flags |= FLAG_SHOW_MESSAGE;
        const char message[] = "\0P\0l\0a\0c\0e\0 \0p\0a\0r\0t";
        std::memcpy(c.wait_message, message, sizeof message - 1);
    });
    const replayed r = run({{"elements", {element, plain("Engrave", 2)}},
                            {"timeline", {at(0, 0x7F), at(3, 0x80)}},
                            {"expect", "completed"}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("t=0s    vexa_check_input_value(\"Wait for part\", controller 0: "
                      "digi8_1=0x7F) -> RES_WAIT; shows \"Place part\"\n"))
        << r.output;
    EXPECT_TRUE(r.has("t=3s    vexa_check_input_value(\"Wait for part\", controller 0: "
                      "digi8_1=0x80) -> RES_OK; removes the message\n"
                      "  t=3s    host: marks \"Engrave\"\n"))
        << r.output;
    EXPECT_TRUE(r.has("summary: completed; 1 started, 1 completed, 0 restarts; 3 plug-in "
                      "calls in 3 s of virtual time\n"))
        << r.output;
}

TEST(Replay, RecordsOfAnotherControllerAreIgnored) {
    const replayed r = run({{"controllers", {{{"inputs", "all"}}, {{"inputs", "all"}}}},
                            {"elements", {custom_input("Wait", 1, bit7)}},
                            {"timeline",
                             {{{"at", 1}, {"controller", 1}, {"digi8_1", 0x80}},
                              {{"at", 2}, {"controller", 0}, {"digi8_1", 0x80}}}},
                            {"expect", "completed"}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("controller 1: digi8_1=0x80) -> RES_IGNORED\n")) << r.output;
    EXPECT_TRUE(r.has("controller 0: digi8_1=0x80) -> RES_OK\n")) << r.output;
}

TEST(Replay, AnElementWithoutInputIsShownAsAnError) {
    // A new element has no input chosen: the run time refuses it.
    const replayed r = run({{"elements", {custom_input("Unset", 1, [](input_config&) {})}},
                            {"timeline", {at(0, 0)}},
                            {"expect", {{"outcome", "error"}, {"element", "Unset"}}}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("-> RES_INVALID\n  t=0s    host: error: \"Unset\" refused the input record"))
        << r.output;
}

TEST(Replay, TimeoutThatContinuesExpiresOneSecondAfterTheDeadline) {
    const replayed r = run({{"elements", {custom_input("Wait", 1, bit7_timeout(ACTION_CONTINUE))}},
                            {"timeline", {at(0, 0), at(10, 0), at(11, 0)}},
                            {"expect", {{"outcome", "completed"}, {"completed_runs", 1}}}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("t=10s   vexa_check_input_value(\"Wait\", controller 0: all inputs 0) "
                      "-> RES_WAIT\n"))
        << r.output;
    EXPECT_TRUE(r.has("t=11s   vexa_check_input_value(\"Wait\", controller 0: all inputs 0) "
                      "-> RES_OK\n"))
        << r.output;
}

TEST(Replay, TimeoutThatRestartsWalksTheProjectAgain) {
    const replayed r =
        run({{"elements",
              {plain("Prepare", 1), custom_input("Wait", 2, bit7_timeout(ACTION_RESTART)),
               plain("Engrave", 3)}},
             {"timeline", {at(0, 0), at(11, 0), at(12, 0), at(15, 0x80)}},
             {"expect", {{"outcome", "completed"}, {"restarts", 1}, {"completed_runs", 1}}}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("t=11s   vexa_get_custom_operation(\"Wait\") -> RES_OK: op 1, restart "
                      "project\n"
                      "  t=11s   host: marks \"Prepare\"\n"
                      "  t=11s   vexa_continuous_stream(\"Wait\") -> false, controller 0\n"))
        << r.output;
    // The restart armed a new deadline: 12 s is no timeout.
    EXPECT_TRUE(r.has("t=12s   vexa_check_input_value(\"Wait\", controller 0: all inputs 0) "
                      "-> RES_WAIT\n"))
        << r.output;
}

TEST(Replay, TimeoutThatStopsEndsTheTypicalRun) {
    const scenario s = read_scenario_file(REFERENCE_HOST_EXAMPLES "/typical_run.json");
    std::ostringstream out;
    EXPECT_TRUE(replay(plugin(), s, "typical run", out)) << out.str();
    const std::string output = out.str();
    EXPECT_NE(output.find("t=2s    vexa_check_input_value(\"Wait for part\", controller 0: "
                          "digi8_1=0x80) -> RES_OK\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("vexa_get_custom_operation(\"Wait for part\") -> RES_OK: op 2, stop "
                          "marking\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("summary: stopped at \"Wait for part\"; 2 started, 1 completed"),
              std::string::npos)
        << output;
}

TEST(Replay, TimeoutThatGoesToAnElementSkipsTheOnesBetween) {
    const replayed r = run({{"elements",
                             {custom_input("Wait", 1, bit7_timeout(ACTION_GOTO, 30)),
                              plain("Engrave", 20), plain("Reject part", 30)}},
                            {"timeline", {at(0, 0), at(11, 0)}},
                            {"expect", "completed"}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("op 3, go to element id 30\n  t=11s   host: marks \"Reject part\"\n"))
        << r.output;
    EXPECT_FALSE(r.has("marks \"Engrave\"")) << r.output;
}

TEST(Replay, GoingToAnIdOutsideTheProjectIsAnError) {
    const replayed r = run({{"elements", {custom_input("Wait", 1, bit7_timeout(ACTION_GOTO, 99))}},
                            {"timeline", {at(0, 0), at(11, 0)}},
                            {"expect", "error"}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("host: error: no element of the project has the id 99")) << r.output;
}

TEST(Replay, ForwardedTextReachesEveryChosenCharacterInput) {
    const auto element = custom_input("Read label", 1, [](input_config& c) {
        c.input_mode = INPUT_SERIAL_2;
        c.flags = FLAG_SERIAL2_FULL | FLAG_FORWARD_IN2 | FLAG_FORWARD_IN5;
        std::strcpy(c.compare_text2, "OK-17[CR][LF]");
        c.substr_from = 3;
        c.substr_to = 4;
    });
    const replayed r =
        run({{"elements", {element}},
             {"timeline",
              {{{"at", 0}, {"serial_2", "OK-18\r\n"}}, {{"at", 1}, {"serial_2", "OK-17\r\n"}}}},
             {"expect", {{"outcome", "completed"}, {"IN2", "17"}, {"IN5", "17"}}}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("serial_2=\"OK-18\\r\\n\") -> RES_WAIT\n")) << r.output;
    EXPECT_TRUE(r.has("vexa_get_custom_operation(\"Read label\") -> RES_OK: op 0x90, forward "
                      "\"17\" (2 characters) to IN2, IN5\n"))
        << r.output;
    EXPECT_TRUE(r.has("; IN2 \"17\"; IN5 \"17\"\n")) << r.output;
}

TEST(Replay, AnUnmetExpectationFailsTheReplay) {
    const replayed r = run({{"elements", {custom_input("Wait", 1, bit7)}},
                            {"timeline", {at(0, 0), at(1, 0)}},
                            {"expect", {{"outcome", "completed"}, {"IN3", "x"}}}});
    EXPECT_FALSE(r.met);
    EXPECT_TRUE(r.has("summary: waiting at \"Wait\"")) << r.output;
    EXPECT_TRUE(r.has("expect: outcome completed (got waiting) NOT MET, IN3 \"x\" (got \"\") NOT "
                      "MET -> not met\n"))
        << r.output;
}

TEST(Replay, RecordsLeftOverAreReported) {
    const replayed r = run({{"elements", {custom_input("Wait", 1, bit7)}},
                            {"timeline", {at(0, 0x80), at(1, 0), at(2, 0)}},
                            {"expect", "completed"}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("; 2 input records not delivered\n")) << r.output;
}

TEST(Replay, AStoredAndASentLatin1TextAreTheSameBytes) {
    const auto element = custom_input("Read", 1, [](input_config& c) {
        c.input_mode = INPUT_SERIAL_1;
        c.flags = FLAG_SERIAL1_FULL;
        std::strcpy(c.compare_text1, "Caf\xE9[CR][LF]"); // as the panel stores "Café"
    });
    const replayed r = run({{"elements", {element}},
                            {"timeline", {{{"at", 0}, {"serial_1", "Caf\xC3\xA9\r\n"}}}},
                            {"expect", "completed"}});
    EXPECT_TRUE(r.met) << r.output;
    // The log shows the byte that is no UTF-8 as an escape.
    EXPECT_TRUE(r.has("serial_1=\"Caf\\xE9\\r\\n\") -> RES_OK\n")) << r.output;
}

TEST(Replay, AnInputTheControllerDoesNotOfferIsWarnedAboutAndStillEvaluated) {
    const replayed r = run({{"controllers", {{{"inputs", {"INPUT_DIGI8_1"}}}}},
                            {"elements", {custom_input("Wait", 1, bit7)}},
                            {"timeline",
                             {{{"at", 0}, {"serial_2", "x"}},
                              {{"at", 1}, {"controller", 3}, {"digi8_1", 0}},
                              at(2, 0x80)}},
                            {"expect", "completed"}});
    EXPECT_TRUE(r.met) << r.output;
    EXPECT_TRUE(r.has("\nwarning: timeline[0] at 0 s: controller 0 does not offer "
                      "INPUT_SERIAL_2; the element evaluates the record all the same\n"
                      "warning: timeline[1] at 1 s: controller 3 does not offer INPUT_DIGI8_1 "
                      "(it is not described);"))
        << r.output;
    EXPECT_FALSE(r.has("timeline[2]")) << r.output;
    EXPECT_TRUE(r.has("t=0s    vexa_check_input_value(\"Wait\", controller 0: serial_2=\"x\") "
                      "-> RES_WAIT\n"))
        << r.output;
}
