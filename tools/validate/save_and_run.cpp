// Saving and loading records, and the run time: arming, evaluating, the
// clock, result data and follow-up operations.
#include "validator.h"

namespace validator {

void session::save() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    note("vexa_get_save_data " + e->name());
    std::uint32_t length = 0;
    const char* data = library_.vexa_get_save_data(e->handle.handle(), &length);
    model::save(e->config, buffer_);
    expect_saved(data, length, buffer_, e->name());
    const std::vector<std::uint8_t> copy(data, data + length);
    ++seen.saves;
    // The host restores what it stored, into the same element or a copy of it.
    element* into = random_.chance(0.7) ? e : pick_element();
    note("vexa_set_loaded_data " + into->name() + " with that record");
    expect_result(library_.vexa_set_loaded_data(into->handle.handle(), length,
                                                reinterpret_cast<const char*>(copy.data())),
                  RES_OK, "vexa_set_loaded_data");
    into->config = model::load(copy.data(), length, buffer_);
    into->coloured = true;
    into->colour = model::colour_of(into->config);
    if (shown_ == into)
        shown_ = nullptr;
    // Every saved field comes back.
    model::record_bytes again = buffer_;
    model::save(into->config, again);
    model::record_bytes first{};
    std::memcpy(first.data(), copy.data(), SAVE_RECORD_SIZE);
    expect(again == first, "a save then a load does not reproduce the saved fields");
}

void session::load() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    std::vector<std::uint8_t> record = random_save_record();
    std::uint32_t length = SAVE_RECORD_SIZE;
    const std::uint8_t* data = record.data();
    const int shape = random_.below(20);
    if (shape < 2) { // short
        length = static_cast<std::uint32_t>(random_.below(SAVE_RECORD_SIZE));
        record.resize(length);
        data = record.data();
    } else if (shape < 4) { // long
        for (int i = random_.between(1, 300); i > 0; --i)
            record.push_back(random_.byte());
        length = static_cast<std::uint32_t>(record.size());
        data = record.data();
    } else if (shape == 4) { // no data but a length
        data = nullptr;
        length = random_.bits() % 2000;
    }
    load_into(*e, data, length);
}

void session::load_into(element& e, const std::uint8_t* data, std::uint32_t length) {
    const int version =
        data && length >= 2 ? static_cast<std::int16_t>(platform::read_be16(data)) : 0;
    note("vexa_set_loaded_data " + e.name() + " version " + std::to_string(version) + ", " +
         std::to_string(length) + " bytes" + (data ? "" : " from a null pointer"));
    // An exact-size copy, so reading past `length` is caught.
    const std::vector<std::uint8_t> exact(data, data ? data + length : data);
    const auto* stored = data ? exact.data() : nullptr;
    expect_result(library_.vexa_set_loaded_data(e.handle.handle(), length,
                                                reinterpret_cast<const char*>(stored)),
                  RES_OK, "vexa_set_loaded_data");
    e.config = model::load(stored, length, buffer_);
    ++seen.loads;
    seen.old_version_loads += e.config.version < 5;
    seen.short_loads += length < SAVE_RECORD_SIZE;
    e.coloured = true;
    e.colour = model::colour_of(e.config);
    if (shown_ == &e)
        shown_ = nullptr;
}

// ---------------------------------------------------------------- run time

void session::arm() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    arm_element(*e);
}

void session::arm_element(element& target) {
    element* const e = &target;
    std::int32_t controller = -99, second = -99;
    const bool outs = random_.chance(0.95);
    note("vexa_continuous_stream " + e->name());
    const bool answer = library_.vexa_continuous_stream(
        e->handle.handle(), outs ? &controller : nullptr, outs ? &second : nullptr);
    e->run.start_timer = true;
    expect(answer == model::stream_answer(table_, e->config), "vexa_continuous_stream answer");
    if (outs) {
        expect_equal(controller, static_cast<std::int32_t>(e->config.controller), "controller_out");
        expect_equal(second, RESULT_SECOND_VALUE, "second_out");
    }
}

void session::evaluate() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    const std::vector<std::uint8_t> record = random_input_record(*e);
    const std::int32_t controller =
        random_.chance(0.85) ? e->config.controller
                             : (random_.chance(0.5) ? random_.between(-3, 12)
                                                    : static_cast<std::int32_t>(random_.bits()));
    note("vexa_check_input_value " + e->name() + " controller " + std::to_string(controller) +
         " at " + std::to_string(now_ - CLOCK_START));
    e->sink.events.clear();
    const std::int32_t result =
        library_.vexa_check_input_value(e->handle.handle(), record.data(), controller);
    const std::int32_t expected =
        model::evaluate(e->config, e->run, record.data(), controller, now_);
    expect_result(result, expected, "vexa_check_input_value");
    ++(result == RES_WAIT      ? seen.waits
       : result == RES_OK      ? seen.met
       : result == RES_IGNORED ? seen.ignored
       : result == RES_INVALID ? seen.invalid
                               : seen.custom);
    if (!e->sink_set)
        return;
    const bool messages = (e->config.flags & FLAG_SHOW_MESSAGE) != 0;
    const auto& events = e->sink.events;
    if (messages && result == RES_WAIT) {
        expect(events.size() == 1 && events[0].id == EVENT_SHOW_MESSAGE && events[0].has_message,
               "a wait with the message option sends one event 11018 with a message");
        expect(events[0].message == model::wait_message(e->config), "the message of event 11018");
    } else if (messages && result == RES_OK) {
        expect(events.size() == 1 && events[0].id == EVENT_REMOVE_MESSAGE && !events[0].has_message,
               "a met condition with the message option sends one event 11019");
    } else {
        expect(events.empty(), "no message event expected");
    }
}

void session::advance_clock() {
    const int seconds = random_.between(0, 12);
    note("clock + " + std::to_string(seconds) + " s");
    now_ += seconds;
    virtual_clock::advance(seconds);
}

void session::fetch_result_data() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    fetch_result_data_of(*e);
}

void session::fetch_result_data_of(element& target) {
    element* const e = &target;
    std::uint32_t io = 0;
    void* block = nullptr;
    std::int32_t controller = -99, second = -99;
    note("vexa_get_bin_value " + e->name());
    const std::int32_t result =
        library_.vexa_get_bin_value(e->handle.handle(), &io, &block, &controller, &second);
    expect_equal(controller, static_cast<std::int32_t>(e->config.controller), "controller_out");
    expect_equal(second, RESULT_SECOND_VALUE, "second_out");
    const std::int32_t expected = e->block_held               ? RES_INVALID
                                  : e->config.input_mode == 0 ? RES_IGNORED
                                                              : RES_OK;
    expect_result(result, expected, "vexa_get_bin_value");
    if (result != RES_OK)
        return;
    ++seen.result_blocks;
    e->block_held = true;
    e->block = block;
    expect(block != nullptr && io == RESULT_DATA_IO, "result data block or io value");
    const auto* header = static_cast<const result_data_header*>(block);
    expect(header->type == RESULT_DATA_TYPE && header->subtype == RESULT_DATA_SUBTYPE &&
               header->value == 0 && header->size == RESULT_DATA_PAYLOAD_SIZE,
           "result data allocated with the wrong type, subtype, value or size");
    const std::vector<std::uint8_t> payload = model::result_payload(e->config);
    const auto* bytes = static_cast<const std::uint8_t*>(block) + RESULT_DATA_HEADER_SIZE;
    for (std::size_t i = 0; i < payload.size(); ++i)
        if (bytes[i] != payload[i])
            fail("result data payload byte " + std::to_string(i) + ": got " + hex(bytes[i]) +
                 ", expected " + hex(payload[i]));
}

void session::release_result_data() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    note("vexa_release_bin_data " + e->name());
    library_.vexa_release_bin_data(e->handle.handle());
    e->block_held = false;
    e->block = nullptr;
}

void session::fetch_follow_up() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    if (random_.chance(0.02)) {
        note("vexa_get_custom_operation " + e->name() + " without a record");
        return expect_result(library_.vexa_get_custom_operation(e->handle.handle(), nullptr),
                             RES_UNSUPPORTED, "vexa_get_custom_operation");
    }
    static const std::vector<std::int32_t> capacities{-7, 0, 3, 4, 7, 16, 40, 100, 400, 1000};
    const std::int32_t capacity = random_.pick(capacities);
    // Exactly as large as the host says: writing past it is caught.
    std::vector<std::uint8_t> operation(OPERATION_TEXT + std::max(capacity, 0), 0xEE);
    if (random_.chance(0.93)) {
        operation[OPERATION_KIND] = OPERATION_KIND_VALUE;
        operation[OPERATION_SUBKIND] = OPERATION_SUBKIND_VALUE;
    } else {
        operation[OPERATION_KIND] = random_.byte();
        operation[OPERATION_SUBKIND] = random_.byte();
    }
    std::memcpy(&operation[OPERATION_TEXT_CAPACITY], &capacity, 4);
    std::vector<std::uint8_t> expected = operation;
    const std::int32_t expected_result = model::custom_operation(e->config, e->run, expected);
    note("vexa_get_custom_operation " + e->name() + " capacity " + std::to_string(capacity));
    expect_result(library_.vexa_get_custom_operation(e->handle.handle(), operation.data()),
                  expected_result, "vexa_get_custom_operation");
    seen.follow_ups += expected_result == RES_OK;
    for (std::size_t i = 0; i < operation.size(); ++i)
        if (operation[i] != expected[i])
            fail("custom operation record byte " + std::to_string(i) + ": got " +
                 hex(operation[i]) + ", expected " + hex(expected[i]));
}
} // namespace validator
