#include "reference_host/project_runner.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "abi/element_handle.h"
#include "abi/result_codes.h"
#include "abi/run_records.h"
#include "model/platform.h"
#include "reference_host/byte_text.h"
#include "reference_host/result_names.h"

namespace reference_host {

namespace {

// The custom-operation record is the host's, in its own byte order.
std::uint32_t read_host32(const std::uint8_t* at) {
    return platform::read_host<std::uint32_t>(at);
}

std::string hex(std::uint32_t value) {
    char text[16];
    (void)std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// A text of the run (an element's name) as the window can show it.
wxString shown(const std::string& bytes) {
    return wxString::FromUTF8(printable_utf8(bytes));
}

constexpr std::uint32_t OP_FORWARD_ANY =
    OP_FORWARD_IN2 | OP_FORWARD_IN3 | OP_FORWARD_IN4 | OP_FORWARD_IN5;

} // namespace

std::string outcome_name(run_state state) {
    switch (state) {
    case run_state::idle:
        return "idle";
    case run_state::waiting:
        return "waiting";
    case run_state::completed:
        return "completed";
    case run_state::stopped:
        return "stopped";
    case run_state::failed:
        return "error";
    }
    return "?";
}

project_runner::project_runner(plugin_session& session, log_function log)
    : session_(session), log_(std::move(log)) {}

element_handle* project_runner::handle() const {
    return session_.at(*position_).host->handle();
}

std::string project_runner::element_name() const {
    return quote_text(session_.at(*position_).name);
}

void project_runner::start() {
    if (watcher_)
        watcher_->run_starting(*this);
    ++runs_;
    wait_message_.reset();
    error_.clear();
    shown_error_.clear();
    stopped_by_user_ = false;
    say(host_line("run %d starts", runs_));
    walk_from(0);
    if (watcher_)
        watcher_->step_done(*this);
}

void project_runner::stop() {
    if (state_ != run_state::waiting)
        return;
    wait_message_.reset();
    state_ = run_state::stopped;
    stopped_by_user_ = true;
    say(host_line("run %d stopped by the user", runs_));
    if (watcher_)
        watcher_->step_done(*this);
}

void project_runner::walk_from(std::size_t index) {
    for (; index < session_.size(); ++index) {
        const auto& element = session_.at(index);
        if (element.kind == element_kind::placeholder) {
            // TRANSLATORS: %s is the element's name in quotes.
            log_({"host: marks " + quote_text(element.name),
                  "host: " +
                      wxString::Format(host_text("marks %s"), shown(quote_text(element.name)))});
            continue;
        }
        position_ = index;
        std::int32_t controller = -1;
        std::int32_t second = 0;
        const bool in_stream =
            session_.plugin().vexa_continuous_stream(handle(), &controller, &second);
        ++calls_;
        trace("vexa_continuous_stream(" + element_name() + ") -> " +
              (in_stream ? "true" : "false") + ", controller " + std::to_string(controller));
        state_ = run_state::waiting;
        return;
    }
    position_.reset();
    state_ = run_state::completed;
    say(host_line("run %d completed", runs_));
}

std::string project_runner::take_event_notes() {
    std::string notes;
    for (const auto& event : session_.take_events()) {
        if (event.id == EVENT_SHOW_MESSAGE) {
            wait_message_ = event.message;
            notes += "; shows " + quote_text(event.message.ToStdString(wxConvUTF8));
        } else if (event.id == EVENT_REMOVE_MESSAGE) {
            wait_message_.reset();
            notes += "; removes the message";
        } else {
            notes += "; event " + std::to_string(event.id);
        }
    }
    return notes;
}

bool project_runner::deliver(const controller_inputs& inputs, std::int32_t controller) {
    if (state_ != run_state::waiting)
        return false;
    if (watcher_)
        watcher_->record_handed(inputs, controller);
    const auto record = inputs.to_record();
    const std::int32_t result =
        session_.plugin().vexa_check_input_value(handle(), record.data(), controller);
    ++calls_;
    trace("vexa_check_input_value(" + element_name() + ", controller " +
          std::to_string(controller) + ": " + inputs.describe() + ") -> " + result_name(result) +
          take_event_notes());
    switch (result) {
    case RES_WAIT:
    case RES_IGNORED:
        break;
    case RES_OK:
        wait_message_.reset();
        walk_from(*position_ + 1);
        break;
    case RES_CUSTOM_OPERATION:
        wait_message_.reset();
        follow_up();
        break;
    case RES_INVALID:
        // TRANSLATORS: %s is the element's name in quotes.
        fail(element_name() + " refused the input record (RES_INVALID): its input or timeout "
                              "action is not one the run time knows",
             host_text("%s refused the input record (RES_INVALID): its input or timeout action "
                       "is not one the run time knows"));
        break;
    default:
        // TRANSLATORS: the element's name in quotes, then a result code (RES_...).
        fail(element_name() + " answered " + result_name(result), host_text("%s answered %s"),
             wxString(result_name(result)));
    }
    if (watcher_)
        watcher_->step_done(*this);
    return true;
}

void project_runner::follow_up() {
    std::vector<std::uint8_t> operation(OPERATION_TEXT + OPERATION_TEXT_ROOM, 0);
    operation[OPERATION_KIND] = OPERATION_KIND_VALUE;
    operation[OPERATION_SUBKIND] = OPERATION_SUBKIND_VALUE;
    const auto capacity = static_cast<std::int32_t>(OPERATION_TEXT_ROOM);
    std::memcpy(&operation[OPERATION_TEXT_CAPACITY], &capacity, sizeof capacity);
    const std::int32_t result =
        session_.plugin().vexa_get_custom_operation(handle(), operation.data());
    ++calls_;
    const std::string call =
        "vexa_get_custom_operation(" + element_name() + ") -> " + result_name(result);
    if (result != RES_OK) {
        trace(call);
        // TRANSLATORS: the element's name in quotes, then a result code (RES_...).
        fail(element_name() + " gave no follow-up operation (" + result_name(result) + ")",
             host_text("%s gave no follow-up operation (%s)"), wxString(result_name(result)));
        return;
    }
    const std::uint32_t code = read_host32(&operation[OPERATION_CODE]);
    const std::uint32_t value = read_host32(&operation[OPERATION_VALUE]);
    if (code == OP_RESTART) {
        trace(call + ": op 1, restart project");
        ++restarts_;
        walk_from(0);
    } else if (code == OP_STOP) {
        trace(call + ": op 2, stop marking");
        state_ = run_state::stopped;
    } else if (code == OP_GOTO) {
        const auto id = static_cast<std::int32_t>(value);
        trace(call + ": op 3, go to element id " + std::to_string(id));
        if (const auto target = session_.index_of_id(id))
            walk_from(*target);
        else
            fail(host_line("no element of the project has the id %d", id));
    } else if ((code & OP_FORWARD_ANY) != 0 && (code & ~OP_FORWARD_ANY) == 0) {
        const char* text = reinterpret_cast<const char*>(&operation[OPERATION_TEXT]);
        const std::string forwarded(text, strnlen(text, OPERATION_TEXT_ROOM));
        std::string targets;
        for (int k = 0; k < CHARACTER_INPUTS; ++k)
            if (code & (OP_FORWARD_IN2 << k)) {
                inputs_[k] = forwarded;
                targets += (targets.empty() ? "IN" : ", IN") + std::to_string(k + 2);
            }
        trace(call + ": op " + hex(code) + ", forward " + quote_text(forwarded) + " (" +
              std::to_string(value) + " characters) to " + targets);
        walk_from(*position_ + 1);
    } else {
        trace(call + ": op " + hex(code));
        // TRANSLATORS: %s is the operation's code, e.g. 0x40.
        fail(host_line("unknown follow-up operation %s", wxString(hex(code))));
    }
}

void project_runner::fail(const std::string& english, const wxString& shown_format,
                          const wxString& more) {
    // The element's name first, as the English text has it.
    const wxString name = shown(element_name());
    fail({english, more.empty() ? wxString::Format(shown_format, name)
                                : wxString::Format(shown_format, name, more)});
}

void project_runner::fail(const log_line& reason) {
    state_ = run_state::failed;
    error_ = reason.english;
    shown_error_ = reason.shown;
    // TRANSLATORS: %s says what went wrong.
    log_({"host: error: " + reason.english,
          "host: " + wxString::Format(host_text("error: %s"), reason.shown)});
}

} // namespace reference_host
