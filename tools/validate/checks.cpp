// After every step: the saved records, the colours and what the live panel
// shows, against the model.
#include "validator.h"

namespace validator {

void session::check_refresh_calls(const std::vector<refresh_call>& expected,
                                  const std::string& call) {
    const std::vector<refresh_call>& actual = refresh_log();
    expect(actual.size() == expected.size(),
           call + ": the host's refresh callback was called " + std::to_string(actual.size()) +
               " times, expected " + std::to_string(expected.size()));
    for (std::size_t i = 0; i < actual.size(); ++i)
        expect(actual[i].element == expected[i].element && actual[i].project == expected[i].project,
               call + ": refresh callback called with the wrong element or project");
    refresh_log().clear();
}

void expect_saved(const char* data, std::uint32_t length, const model::record_bytes& expected,
                  const std::string& whose) {
    expect(data != nullptr && length == SAVE_RECORD_SIZE,
           "save of " + whose + " returned no record or a wrong length");
    for (std::size_t i = 0; i < SAVE_RECORD_SIZE; ++i)
        if (static_cast<std::uint8_t>(data[i]) != expected[i])
            fail("save of " + whose + " differs from ours in " + field_at(i) + ": got " +
                 hex(static_cast<std::uint8_t>(data[i])) + ", expected " + hex(expected[i]));
}

void session::check_elements() {
    for (auto& e : elements_) {
        std::uint32_t length = 12345;
        const char* data = library_.vexa_get_save_data(e->handle.handle(), &length);
        model::save(e->config, buffer_);
        expect_saved(data, length, buffer_, e->name());
        const wxColour& colour = e->handle->colour;
        if (e->coloured)
            expect(colour.IsOk() && colour.GetRGBA() == e->colour.GetRGBA(),
                   "colour of " + e->name() + " does not match its timeout settings");
        else
            expect(!colour.IsOk(), e->name() + " was coloured though nothing should colour it");
    }
    if (live_ != nullptr && shown_ != nullptr)
        check_display(*live_, shown_->config);
}

void session::check_display(const built_panel& p, const input_config& c) {
    const found_controls& k = p.controls;
    for (int port = 0; port < model::PORTS; ++port) {
        wxRadioButton* radio = k.port_radio[port];
        if (radio == nullptr)
            continue;
        const std::string name = "port " + std::to_string(port);
        expect(radio->GetValue() == (c.input_mode == model::port_modes[port]),
               name + " radio selection does not follow input_mode");
        expect(radio->IsThisEnabled() == model::port_radio_enabled(table_, c, port),
               name + " radio enable state does not follow the controller");
        const bool active = model::port_active(table_, c, port);
        const std::uint32_t value = model::port_value(c, port), mask = model::port_mask(c, port);
        for (int i = 0; i < model::port_widths[port]; ++i) {
            wxButton* button = k.bit_buttons[port][i];
            const std::uint32_t bit = model::button_bit(port, i);
            const bool usable =
                active && table_.bit_offered(c.controller, model::port_modes[port], bit);
            expect(button->IsThisEnabled() == usable,
                   name + " bit button " + std::to_string(i) + " enable state wrong");
            const char* label = (mask & bit) == 0 ? "X" : (value & bit) ? "1" : "0";
            expect(button->GetLabel() == label, name + " bit button " + std::to_string(i) +
                                                    " shows " + button->GetLabel().ToStdString() +
                                                    " but the masks say " + label);
        }
    }
    for (int s = 0; s < 2; ++s) {
        if (k.serial_radio[s] == nullptr)
            continue;
        const std::uint32_t mode = s == 0 ? INPUT_SERIAL_1 : INPUT_SERIAL_2;
        const std::uint32_t substring = s == 0 ? FLAG_SERIAL1_SUBSTRING : FLAG_SERIAL2_SUBSTRING;
        const bool chosen = c.input_mode == mode;
        const std::string name = "serial " + std::to_string(s + 1);
        expect(k.serial_radio[s]->GetValue() == chosen, name + " radio selection wrong");
        if (chosen) {
            expect(k.sub_radio[s]->GetValue() == ((c.flags & substring) != 0) &&
                       k.full_radio[s]->GetValue() == ((c.flags & substring) == 0),
                   name + " compare radios do not follow the flags");
        }
        for (wxWindow* control :
             {static_cast<wxWindow*>(k.compare_text[s]), static_cast<wxWindow*>(k.full_radio[s]),
              static_cast<wxWindow*>(k.sub_radio[s])})
            expect(control->IsThisEnabled() == chosen, name + " controls enable state wrong");
    }
    if (p.sections.forwarding) {
        const bool serial = c.input_mode == INPUT_SERIAL_1 || c.input_mode == INPUT_SERIAL_2;
        for (wxWindow* control :
             {static_cast<wxWindow*>(k.forward_label), static_cast<wxWindow*>(k.forward_from),
              static_cast<wxWindow*>(k.forward_to), static_cast<wxWindow*>(k.forward_from_label),
              static_cast<wxWindow*>(k.forward_to_label),
              static_cast<wxWindow*>(k.forward_checks[0]),
              static_cast<wxWindow*>(k.forward_checks[1]),
              static_cast<wxWindow*>(k.forward_checks[2]),
              static_cast<wxWindow*>(k.forward_checks[3])})
            expect(control->IsThisEnabled() == serial, "forwarding controls enable state wrong");
    }
    if (p.sections.timeout) {
        const bool timeout = (c.flags & FLAG_TIMEOUT) != 0;
        expect(k.timeout_spin->IsThisEnabled() == timeout &&
                   k.timeout_unit->IsThisEnabled() == timeout &&
                   k.timeout_action->IsThisEnabled() == timeout,
               "timeout controls enable state does not follow FLAG_TIMEOUT");
        expect(k.goto_choice->IsThisEnabled() == (k.timeout_action->GetSelection() == ACTION_GOTO),
               "goto list enable state does not follow the shown timeout action");
        expect(k.timeout_check->IsThisEnabled(), "the timeout check box was disabled");
    }
    expect(k.message_text->IsThisEnabled() == ((c.flags & FLAG_SHOW_MESSAGE) != 0),
           "message text enable state does not follow FLAG_SHOW_MESSAGE");
    expect(k.message_check->IsThisEnabled(), "the message check box was disabled");
}
namespace {
// Texts a GTK control holds as given (no control characters).
bool plain(const wxString& text, bool newlines) {
    for (wxUniChar ch : text) {
        const wxUint32 v = ch.GetValue();
        if ((v < 0x20 && !(newlines && v == '\n')) || (v >= 0x7F && v < 0xA0) ||
            (v >= 0xD800 && v < 0xE000) || v >= 0xFFFE)
            return false;
    }
    return true;
}
} // namespace

void session::check_fill(const built_panel& p, const element& e, std::uint32_t host_flags) {
    const found_controls& k = p.controls;
    const input_config& c = e.config;
    expect(k.controller_choice->IsThisEnabled() == ((host_flags & 0x4) == 0),
           "controller choice enable state does not follow host flag 0x4");
    if (c.controller < CONTROLLER_COUNT)
        expect_equal(k.controller_choice->GetSelection(), static_cast<int>(c.controller),
                     "controller choice after the fill");
    const wxString message = model::wait_message(c);
    if (plain(message, true))
        expect(k.message_text->GetValue() == message, "message text after the fill");
    for (int s = 0; s < 2; ++s) {
        if (k.compare_text[s] == nullptr)
            continue;
        wxString stored;
        lumo_unicode_charToStringASCII(s == 0 ? c.compare_text1 : c.compare_text2,
                                       COMPARE_TEXT_CAPACITY, stored);
        if (plain(stored, false))
            expect(k.compare_text[s]->GetValue() == stored,
                   "comparison text " + std::to_string(s + 1) + " after the fill");
    }
    if (k.forward_from != nullptr) {
        expect_equal(k.forward_from->GetValue(), std::min<int>(c.substr_from, 198), "From spin");
        expect_equal(k.forward_to->GetValue(), std::clamp<int>(c.substr_to, 1, 199), "to spin");
        for (int i = 0; i < 4; ++i)
            expect(k.forward_checks[i]->GetValue() == ((c.flags & (FLAG_FORWARD_IN2 << i)) != 0),
                   "forwarding check box after the fill");
    }
    expect(k.message_check->GetValue() == ((c.flags & FLAG_SHOW_MESSAGE) != 0),
           "message check box after the fill");
    if (k.timeout_check != nullptr) {
        expect(k.timeout_check->GetValue() == ((c.flags & FLAG_TIMEOUT) != 0),
               "timeout check box after the fill");
        const int seconds = static_cast<int>(std::clamp<std::uint32_t>(c.timeout_sec, 3, 3600));
        expect_equal(k.timeout_spin->GetValue(), seconds, "timeout spin after the fill");
        if (c.timeout_action <= ACTION_GOTO)
            expect_equal(k.timeout_action->GetSelection(), static_cast<int>(c.timeout_action),
                         "timeout action after the fill");
        const std::size_t listed =
            project_lists_ ? std::min(project_names_.size(), project_ids_.size()) : 0;
        expect_equal(static_cast<std::size_t>(k.goto_choice->GetCount()), listed,
                     "entries of the goto list");
        int selection = wxNOT_FOUND;
        for (std::size_t i = 0; i < listed; ++i) {
            expect(k.goto_choice->GetString(i) == project_names_[i], "goto list entry name");
            if (project_ids_[i] == c.goto_element)
                selection = static_cast<int>(i);
        }
        expect_equal(k.goto_choice->GetSelection(), selection, "goto list selection");
    }
}

} // namespace validator
