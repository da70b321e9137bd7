// The host's helpers: its windows, the panels the plug-in builds, and the
// random texts and records it hands over.
#include "validator.h"

namespace validator {

namespace {

// Wine 8 crashes laying out some texts with marks or modifier letters (a
// known fault of its text shaping, which expects a base character before a
// mark); Windows does not. The panel shows the wait message in an edit
// control, so under Wine the field keeps only what the generator's own
// pieces use (Latin letters up to U+024F, the euro sign, the G clef as its
// surrogate pair) and the rest of its random bytes become "x".
void spare_wine_the_marks(std::uint8_t* utf16be, std::size_t size) {
    if (!panel_input::running_under_wine())
        return;
    auto unit = [&](std::size_t i) {
        return i + 1 < size ? (unsigned{utf16be[i]} << 8) | utf16be[i + 1] : 0u;
    };
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        if (unit(i) == 0xD834 && unit(i + 2) == 0xDD1E) {
            i += 2;
            continue;
        }
        if (unit(i) >= 0x0250 && unit(i) != 0x20AC) {
            utf16be[i] = 0;
            utf16be[i + 1] = 'x';
        }
    }
}

} // namespace

element* session::pick_element() {
    return elements_.empty() ? nullptr : elements_[random_.below(elements_.size())].get();
}

host_window* session::new_window() {
    auto w = std::make_unique<host_window>();
    w->id = next_window_++;
    // Never shown: no focus or paint events reach the panel except the ones
    // the validator sends, so every run is the same.
    w->frame = new wxFrame(nullptr, wxID_ANY, "property window");
    w->window = new wxPanel(w->frame, wxID_ANY);
    windows_.push_back(std::move(w));
    return windows_.back().get();
}

host_window* session::pick_window() {
    if (windows_.size() < MOST_WINDOWS && (windows_.empty() || random_.chance(0.15)))
        return new_window();
    return windows_[random_.below(windows_.size())].get();
}

void session::destroy_window(host_window* window) {
    note("host closes window W" + std::to_string(window->id));
    // The panel object forgets the controls of a window that goes, and is
    // then as bare as one made without a window.
    if (live_ != nullptr && live_->window == window) {
        retire_live_panel();
        handler_ = handler_state::bare;
    }
    panels_.erase(std::remove_if(panels_.begin(), panels_.end(),
                                 [&](const auto& p) { return p->window == window; }),
                  panels_.end());
    wxFrame* frame = window->frame;
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](const auto& w) { return w.get() == window; }),
                   windows_.end());
    // The host hands its elements another window, or none.
    for (auto& e : elements_) {
        if (e->window != window)
            continue;
        e->window = random_.chance(0.5) ? nullptr : pick_window();
        e->handle->parent_window = e->window ? e->window->window : nullptr;
    }
    frame->Destroy();
    wxTheApp->ProcessIdle(); // deletes the frame now, not at exit
}

void session::retire_live_panel() {
    live_ = nullptr;
    shown_ = nullptr;
}

// The panel the plug-in has just built into e's window becomes the live one.
built_panel* session::adopt_panel(element& e) {
    auto p = std::make_unique<built_panel>();
    p->window = e.window;
    std::string error;
    if (!find_panel(e.window->window, p->controls, error))
        fail("panel built for " + e.name() + " not found: " + error);
    p->sections = model::sections_for(table_.caps, e.no_timeout);
    if (!(p->controls.sections() == p->sections))
        fail("panel built for " + e.name() + " has other sections than the controllers offer");
    panels_.push_back(std::move(p));
    ++seen.panels_built;
    live_ = panels_.back().get();
    shown_ = nullptr;
    handler_ = handler_state::built;
    ignoring_ = false;
    current_ = &e;
    return live_;
}

bool session::handled_edit(const built_panel& p) const {
    return &p == live_ && !ignoring_ && current_ != nullptr;
}

wxString session::random_compare_text() {
    static const std::vector<wxString> pieces{"OK",
                                              "[CR]",
                                              "[LF]",
                                              "ab",
                                              "A",
                                              " ",
                                              "7",
                                              wxString::FromUTF8("\xC3\xA9"),
                                              wxString::FromUTF8("\xE2\x82\xAC"),
                                              "[cr]",
                                              "x"};
    wxString text;
    const int count = random_.chance(0.05) ? 120 : random_.between(0, 6);
    for (int i = 0; i < count; ++i)
        text += random_.pick(pieces);
    return text;
}

wxString session::random_message() {
    static const std::vector<wxString> pieces{"Wait",
                                              " ",
                                              "x",
                                              wxString::FromUTF8("\xC3\xA4"),
                                              wxString::FromUTF8("\xE2\x82\xAC"),
                                              wxString::FromUTF8("\xF0\x9D\x84\x9E"),
                                              "\n",
                                              "..."};
    wxString text;
    const int count = random_.chance(0.05) ? 80 : random_.between(0, 6);
    for (int i = 0; i < count; ++i)
        text += random_.pick(pieces);
    return text;
}

std::vector<std::uint8_t> session::random_description() {
    std::vector<std::uint8_t> d(CONTROLLER_CONFIG_SIZE, 0);
    for (int i = 0; i < 40; ++i) // other bytes the plug-in stores unread
        d[random_.below(d.size())] = random_.byte();
    d[CONFIG_STATUS_FLAGS] =
        random_.chance(0.92) ? (CONFIG_VALID | (random_.byte() & 0xFE)) : (random_.byte() & 0xFE);
    d[CONFIG_CONTROLLER_INDEX] = static_cast<std::uint8_t>(
        random_.chance(0.93) ? random_.below(CONTROLLER_COUNT) : random_.between(9, 255));
    d[CONFIG_FEATURE_FLAGS] = random_.chance(0.5) ? FEATURE_STREAM_WAIT : 0;
    std::uint32_t caps = 0;
    for (std::uint32_t bit : {INPUT_DIGI8_1, INPUT_DIGI8_2, INPUT_DIGI16_1, INPUT_DIGI16_2,
                              INPUT_DIGI32, INPUT_SERIAL_1, INPUT_SERIAL_2})
        if (random_.chance(0.6))
            caps |= bit;
    if (random_.chance(0.05))
        caps |= random_.bits();
    std::memcpy(&d[CONFIG_CAPABILITIES], &caps, 4);
    for (std::size_t i = 0; i < PORT_ENTRIES; ++i) {
        if (!random_.chance(0.3))
            continue;
        const std::uint32_t kind =
            random_.chance(0.9) ? model::port_modes[random_.below(model::PORTS)] : random_.bits();
        const std::uint32_t mask =
            random_.chance(0.15) ? 0xFFFFu : (random_.bits() & random_.bits());
        std::memcpy(&d[CONFIG_PORT_KIND + 4 * i], &kind, 4);
        std::memcpy(&d[CONFIG_PORT_MASK + 4 * i], &mask, 4);
    }
    return d;
}

std::vector<std::uint8_t> session::random_save_record() {
    static const std::vector<int> versions{1, 2, 3, 4, 5, 5, 5, 5, 5, 0, -1, 6, 32767, -32768};
    static const std::vector<std::uint32_t> modes{0,
                                                  INPUT_DIGI8_1,
                                                  INPUT_DIGI8_2,
                                                  INPUT_DIGI16_1,
                                                  INPUT_DIGI16_2,
                                                  INPUT_DIGI32,
                                                  INPUT_SERIAL_1,
                                                  INPUT_SERIAL_2,
                                                  INPUT_SERIAL_1,
                                                  INPUT_SERIAL_2,
                                                  INPUT_DIGI8_1 | INPUT_SERIAL_1};
    std::vector<std::uint8_t> r(SAVE_RECORD_SIZE);
    for (auto& b : r) // reserved bytes too: the loader must ignore them
        b = random_.byte();
    platform::write_be16(&r[SAVE_VERSION], static_cast<std::uint16_t>(random_.pick(versions)));
    platform::write_be32(&r[SAVE_INPUT_MODE], random_.pick(modes));
    std::uint32_t flags = random_.bits() & 0x3FF;
    if (random_.chance(0.05))
        flags |= random_.bits();
    platform::write_be32(&r[SAVE_FLAGS], flags);
    r[SAVE_CONTROLLER] = static_cast<std::uint8_t>(
        random_.chance(0.9) ? random_.below(CONTROLLER_COUNT) : random_.between(9, 255));
    auto text = [&](std::size_t at) {
        const wxString t = random_compare_text();
        lumo_unicode_stringToCharASCII(t, reinterpret_cast<char*>(&r[at]), SAVE_COMPARE_TEXT_SIZE);
        if (random_.chance(0.1)) // a text that fills its field: no zero byte
            for (std::size_t i = 0; i < SAVE_COMPARE_TEXT_SIZE; ++i)
                if (r[at + i] == 0)
                    r[at + i] = 'z';
    };
    text(SAVE_COMPARE_TEXT1);
    text(SAVE_COMPARE_TEXT2);
    if (random_.chance(0.8))
        lumo_unicode_stringToCharUTF16BE(random_message(),
                                         reinterpret_cast<char*>(&r[SAVE_WAIT_MESSAGE]),
                                         SAVE_WAIT_MESSAGE_SIZE);
    platform::write_be32(&r[SAVE_TIMEOUT_SEC],
                         random_.chance(0.9) ? random_.between(0, 20) : random_.bits());
    const std::int32_t goto_element = !project_ids_.empty() && random_.chance(0.7)
                                          ? random_.pick(project_ids_)
                                          : static_cast<std::int32_t>(random_.bits());
    platform::write_be32(&r[SAVE_GOTO_ELEMENT], static_cast<std::uint32_t>(goto_element));
    r[SAVE_TIMEOUT_ACTION] =
        static_cast<std::uint8_t>(random_.chance(0.9) ? random_.between(0, 3) : random_.byte());
    if (random_.chance(0.7)) {
        r[SAVE_SUBSTR_FROM] = static_cast<std::uint8_t>(random_.between(0, 20));
        r[SAVE_SUBSTR_TO] = static_cast<std::uint8_t>(random_.between(0, 40));
    }
    if (random_.chance(0.3)) // damage: a few bytes anywhere
        for (int flips = random_.between(1, 5); flips > 0; --flips)
            r[random_.below(r.size())] ^= static_cast<std::uint8_t>(1 << random_.below(8));
    spare_wine_the_marks(&r[SAVE_WAIT_MESSAGE], SAVE_WAIT_MESSAGE_SIZE);
    return r;
}

std::vector<std::uint8_t> session::random_input_record(const element& e) {
    std::vector<std::uint8_t> r(INPUT_RECORD_SIZE, 0);
    for (auto& b : r)
        b = random_.chance(0.5) ? 0 : random_.byte();
    const input_config& c = e.config;
    // Levels that meet the condition half of the time.
    if (random_.chance(0.5)) {
        r[INPUT_DIGI8_1_LEVEL] =
            (c.digi8_value[0] & c.digi8_mask[0]) | (random_.byte() & ~c.digi8_mask[0]);
        r[INPUT_DIGI8_2_LEVEL] =
            (c.digi8_value[1] & c.digi8_mask[1]) | (random_.byte() & ~c.digi8_mask[1]);
        platform::write_be16(&r[INPUT_DIGI16_1_LEVEL], (c.digi16_value[0] & c.digi16_mask[0]) |
                                                           (random_.bits() & ~c.digi16_mask[0]));
        platform::write_be16(&r[INPUT_DIGI16_2_LEVEL], (c.digi16_value[1] & c.digi16_mask[1]) |
                                                           (random_.bits() & ~c.digi16_mask[1]));
        platform::write_be32(&r[INPUT_DIGI32_LEVEL],
                             (c.digi32_value & c.digi32_mask) | (random_.bits() & ~c.digi32_mask));
    }
    auto text = [&](std::size_t at, std::size_t room, const char* stored) {
        std::string t;
        const int kind = random_.below(4);
        if (kind < 2) { // the comparison text itself, perhaps inside other text
            t = model::comparison_text(stored).ToStdString(wxConvISO8859_1);
            if (kind == 1)
                t = "ab" + t + "z";
        } else if (kind == 2) {
            t = model::decode_text(stored, COMPARE_TEXT_CAPACITY + 1).ToStdString(wxConvISO8859_1);
        } else {
            for (int i = random_.between(0, 12); i > 0; --i)
                t += static_cast<char>(random_.chance(0.9) ? random_.between(32, 126)
                                                           : random_.byte());
        }
        std::memset(&r[at], 0, room);
        std::memcpy(&r[at], t.data(), std::min(t.size(), room));
        if (random_.chance(0.1)) // a text that runs to the end of its field
            for (std::size_t i = 0; i < room; ++i)
                if (r[at + i] == 0)
                    r[at + i] = 'q';
    };
    text(INPUT_SERIAL1_TEXT, INPUT_SERIAL1_TEXT_SIZE, c.compare_text1);
    text(INPUT_SERIAL2_TEXT, INPUT_SERIAL2_TEXT_SIZE, c.compare_text2);
    return r;
}
} // namespace validator
