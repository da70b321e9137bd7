// The host's calls: the step's choice among them, creating, removing,
// describing and selecting; and the host's world around the elements (GUI
// resets, windows, project lists, callbacks, locale).
#include "validator.h"

namespace validator {

void session::start() {
    virtual_clock::set(now_);
    (void)std::setlocale(LC_ALL, "C");
    change_project();
    for (int i = random_.between(1, 4); i > 0; --i)
        describe();
    // The host describes controller 0 fully in most runs, so every section shows.
    std::vector<std::uint8_t> all = random_description();
    all[CONFIG_STATUS_FLAGS] = CONFIG_VALID;
    all[CONFIG_CONTROLLER_INDEX] = 0;
    const std::uint32_t caps = 0x0441E000;
    std::memcpy(&all[CONFIG_CAPABILITIES], &caps, 4);
    table_.describe(all.data());
    library_.vexa_set_config_info(all.data());
}

void session::step() {
    struct weighted {
        int weight;
        void (session::*call)();
    };
    static const weighted calls[] = {
        {10, &session::create},
        {4, &session::remove},
        {2, &session::describe},
        {10, &session::select},
        {34, &session::edit},
        {6, &session::save},
        {8, &session::load},
        {6, &session::arm},
        {15, &session::evaluate},
        {5, &session::advance_clock},
        {4, &session::fetch_result_data},
        {3, &session::release_result_data},
        {5, &session::fetch_follow_up},
        {1, &session::reset_gui},
        {1, &session::close_window},
        {2, &session::change_project},
        {1, &session::change_callbacks},
        {1, &session::switch_locale},
        {1, &session::read_element_kind},
    };
    int total = 0;
    for (const weighted& c : calls)
        total += c.weight;
    int roll = random_.below(total);
    for (const weighted& c : calls) {
        if (roll < c.weight) {
            refresh_log().clear();
            (this->*c.call)();
            break;
        }
        roll -= c.weight;
    }
    if (!info.toolkit_assertions.empty())
        fail("toolkit assertion: " + info.toolkit_assertions.front());
    check_refresh_calls({}, "(unexpected) ");
    check_elements();
}

void session::finish() {
    for (auto& e : elements_) {
        if (e->block_held)
            library_.vexa_release_bin_data(e->handle.handle());
        library_.vexa_delete_instance(e->handle.handle());
    }
    elements_.clear();
    library_.vexa_reset_gui();
    table_.caps = 0;
    handler_ = handler_state::none;
    current_ = nullptr;
    retire_live_panel();
    panels_.clear();
    for (auto& w : windows_)
        w->frame->Destroy();
    windows_.clear();
    virtual_clock::reset();
}

void session::create() {
    if (elements_.size() >= MOST_ELEMENTS)
        return remove();
    const bool no_timeout = random_.chance(0.25);
    host_window* window = random_.chance(0.3) ? nullptr : pick_window();
    // A creation record whose option is clear may as well be absent.
    const bool creation = no_timeout || random_.chance(0.7);
    const bool refresh = random_.chance(0.85);
    add_element(window, no_timeout, creation, refresh, random_.chance(0.8));
}

element& session::add_element(host_window* window, bool no_timeout, bool creation, bool refresh,
                              bool sink) {
    auto owned = std::make_unique<element>(next_element_++, no_timeout);
    element& e = *owned;
    e.window = window;
    e.handle->parent_window = e.window ? e.window->window : nullptr;
    e.handle->translator = &translator_;
    e.handle->project = project_.record();
    const bool empty_window = e.window && e.window->window->GetChildren().empty();
    note("vexa_create_instance " + e.name() +
         (e.window ? " in W" + std::to_string(e.window->id) : "") +
         (e.no_timeout ? " no_timeout_section" : ""));
    expect_result(
        library_.vexa_create_instance(e.handle.handle(), creation ? e.creation.bytes : nullptr),
        RES_OK, "vexa_create_instance");
    expect(e.handle->instance_data != nullptr, "creation left the instance slot empty");
    e.config = template_;
    elements_.push_back(std::move(owned));
    if (handler_ == handler_state::none) {
        handler_ = handler_state::bare;
        ignoring_ = false;
    }
    current_ = &e;
    if (empty_window) {
        retire_live_panel();
        adopt_panel(e);
    }
    if (refresh) {
        library_.vexa_set_refresh_callback(e.handle.handle(), recording_refresh);
        e.refresh_set = true;
    }
    if (sink) {
        e.handle->sink = &e.sink;
        e.sink_set = true;
    }
    return e;
}

void session::remove() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    remove_element(*e);
}

void session::remove_element(element& e) {
    if (e.block_held) {
        library_.vexa_release_bin_data(e.handle.handle());
        e.block_held = false;
    }
    note("vexa_delete_instance " + e.name());
    expect_result(library_.vexa_delete_instance(e.handle.handle()), RES_OK, "vexa_delete_instance");
    if (current_ == &e) {
        current_ = nullptr;
        ignoring_ = true;
    }
    if (shown_ == &e)
        shown_ = nullptr;
    elements_.erase(std::find_if(elements_.begin(), elements_.end(),
                                 [&](const auto& owned) { return owned.get() == &e; }));
}

void session::describe() {
    describe_controller(random_description());
}

void session::describe_controller(const std::vector<std::uint8_t>& d) {
    note("vexa_set_config_info index " + std::to_string(d[CONFIG_CONTROLLER_INDEX]) +
         ((d[CONFIG_STATUS_FLAGS] & CONFIG_VALID) ? "" : " (not valid)"));
    table_.describe(d.data());
    library_.vexa_set_config_info(d.data());
    shown_ = nullptr; // enable states follow at the next refresh
}

void session::select() {
    element* e = random_.chance(0.1) ? nullptr : pick_element();
    // Only bit 0x4 of the host's flags means something; the rest is noise.
    std::uint32_t flags = random_.chance(0.2) ? 0x4 : 0;
    if (random_.chance(0.1))
        flags |= random_.bits() & ~0x4u;
    const std::uint8_t show = random_.chance(0.85) ? 1 : random_.chance(0.5) ? 0 : 2;
    select_element(e, flags, show);
}

void session::select_element(element* e, std::uint32_t flags, std::uint8_t show) {
    if (e == nullptr) {
        note("vexa_select null");
        library_.vexa_select(nullptr, flags, show);
        if (handler_ != handler_state::none) {
            current_ = nullptr;
            ignoring_ = true;
        }
        return;
    }
    const bool shows = e->window != nullptr && show == 1;
    const bool empty_window = e->window && e->window->window->GetChildren().empty();
    bool build = false;
    bool fill = shows;
    if (handler_ == handler_state::none) {
        build = shows;
    } else if (handler_ == handler_state::bare) {
        build = shows && empty_window;
        fill = build;
    }
    note("vexa_select " + e->name() + " flags " + hex(flags) + " show " + std::to_string(show));
    library_.vexa_select(e->handle.handle(), flags, show);
    if (handler_ == handler_state::none && !build)
        return check_refresh_calls({}, "vexa_select");
    if (build) {
        retire_live_panel();
        adopt_panel(*e);
    }
    current_ = e;
    std::vector<refresh_call> expected;
    if (fill && live_ != nullptr) {
        if (live_->sections.timeout)
            e->element_ids = project_lists_ ? project_ids_ : std::vector<std::int32_t>{};
        if (e->refresh_set)
            expected.push_back({e->handle->project, e->handle.handle()});
        e->coloured = true;
        e->colour = model::colour_of(e->config);
        model::drop_unoffered_bits(table_, live_->sections, e->config);
        ignoring_ = false;
        shown_ = e;
        ++seen.fills;
        check_fill(*live_, *e, flags);
    }
    check_refresh_calls(expected, "vexa_select");
}
// ---------------------------------------------------------------- GUI life and the host's world

void session::reset_gui() {
    note("vexa_reset_gui");
    expect_result(library_.vexa_reset_gui(), RES_INVALID, "vexa_reset_gui");
    ++seen.resets;
    table_.caps = 0;
    handler_ = handler_state::none;
    current_ = nullptr;
    retire_live_panel();
    // The host usually closes its property windows now; the controls go with them.
    std::vector<host_window*> closing;
    for (auto& w : windows_)
        if (random_.chance(0.6))
            closing.push_back(w.get());
    for (host_window* w : closing)
        destroy_window(w);
    // Controllers are described again before panels are built.
    for (int i = random_.between(0, 3); i > 0; --i)
        describe();
}

// The host closes a property window without resetting the GUI.
void session::close_window() {
    if (windows_.empty())
        return create();
    destroy_window(windows_[random_.below(windows_.size())].get());
}

void session::change_project() {
    project_names_.clear();
    project_ids_.clear();
    const int count = random_.between(0, 7);
    for (int i = 0; i < count; ++i) {
        project_names_.push_back(wxString::Format("Element %d", i + 1));
        project_ids_.push_back(random_.chance(0.8) ? 100 + random_.between(0, 9)
                                                   : static_cast<std::int32_t>(random_.bits()));
    }
    // Hosts keep the lists parallel; one that does not must not hurt.
    if (random_.chance(0.1) && !project_ids_.empty())
        project_ids_.pop_back();
    else if (random_.chance(0.1))
        project_ids_.push_back(7);
    project_lists_ = !random_.chance(0.1);
    note("host project: " + std::to_string(project_names_.size()) + " names, " +
         std::to_string(project_ids_.size()) + " ids" +
         (project_lists_ ? "" : ", lists withdrawn"));
    project_.set_elements(project_names_, project_ids_);
    if (!project_lists_)
        project_.clear_lists();
}

// The host installs or takes back an element's refresh callback, or its sink.
void session::change_callbacks() {
    element* e = pick_element();
    if (e == nullptr)
        return create();
    if (random_.chance(0.5)) {
        e->refresh_set = random_.chance(0.7);
        note("vexa_set_refresh_callback " + e->name() + (e->refresh_set ? "" : " null"));
        library_.vexa_set_refresh_callback(e->handle.handle(),
                                           e->refresh_set ? recording_refresh : nullptr);
    } else {
        e->sink_set = !e->sink_set;
        note(std::string("host ") + (e->sink_set ? "gives " : "takes back ") + e->name() +
             "'s event sink");
        e->handle->sink = e->sink_set ? &e->sink : nullptr;
    }
}

void session::switch_locale() {
#if defined(_WIN32)
    // msvcrt has no UTF-8 locale; code page 1252 leaves five bytes undecodable.
    const char* const other = ".1252";
#else
    const char* const other = "C.UTF-8";
#endif
    const char* locale = random_.chance(0.5) ? "C" : other;
    note(std::string("host switches the locale to ") + locale);
    (void)std::setlocale(LC_ALL, locale);
}

void session::read_element_kind() {
    ui_parameters parameters{};
    note("vexa_get_ui_parameters");
    expect_result(library_.vexa_get_ui_parameters(&parameters), RES_OK, "vexa_get_ui_parameters");
    expect(parameters.name == "Custom Input" &&
               parameters.description == "Wait for input data from the scanner controller" &&
               parameters.value_128 == 15 && parameters.value_132 == 128 &&
               parameters.value_176 == 11007,
           "UI parameters");
    expect(parameters.large_icon && parameters.large_icon->GetSize() == wxSize(25, 25) &&
               parameters.small_icon && parameters.small_icon->GetSize() == wxSize(15, 15),
           "UI parameter icons");
    delete parameters.large_icon; // the icons passed to the host
    delete parameters.small_icon;
}
} // namespace validator
