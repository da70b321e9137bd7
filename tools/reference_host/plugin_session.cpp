#include "reference_host/plugin_session.h"

#include <algorithm>
#include <set>

#include <wx/window.h>

#include "abi/result_codes.h"
#include "reference_host/result_names.h"

namespace reference_host {

namespace {
// The refresh callback carries only the project and the handle; it finds its
// session by the project.
std::vector<plugin_session*>& live_sessions() {
    static std::vector<plugin_session*> sessions;
    return sessions;
}
} // namespace

class plugin_session::sink final : public host_sink {
public:
    explicit sink(std::vector<plugin_event>& events) : events_(events) {}
    void receive_event(wxCommandEvent& event) override {
        plugin_event received{event.GetId(), {}};
        // The message string passes to us with the event.
        if (auto* message = static_cast<wxString*>(event.GetClientData())) {
            received.message = *message;
            delete message;
            event.SetClientData(nullptr);
        }
        events_.push_back(received);
    }

private:
    std::vector<plugin_event>& events_;
};

plugin_session::plugin_session(plugin_library& plugin, wxWindow* property_window)
    : plugin_(plugin), property_window_(property_window), sink_(new sink(events_)) {
    live_sessions().push_back(this);
    update_project_lists();
}

plugin_session::~plugin_session() {
    clear();
    if (property_window_ != nullptr) {
        property_window_->DestroyChildren();
        property_window_->SetSizer(nullptr);
    }
    plugin_.vexa_reset_gui();
    auto& sessions = live_sessions();
    sessions.erase(std::remove(sessions.begin(), sessions.end(), this), sessions.end());
}

void plugin_session::refresh_thunk(host_project* project, element_handle* element) {
    for (plugin_session* session : live_sessions()) {
        if (session->project_.record() != project)
            continue;
        const auto index = session->index_of(element);
        if (index && session->on_refresh)
            session->on_refresh(*index);
    }
}

void plugin_session::describe_controllers(const std::vector<controller_setup>& controllers) {
    // The panel's sections follow the controllers known when it is built, so
    // it is taken down and built again on the next selection.
    plugin_.vexa_select(nullptr, 0, 0);
    if (property_window_ != nullptr) {
        property_window_->DestroyChildren();
        property_window_->SetSizer(nullptr);
    }
    plugin_.vexa_reset_gui();

    // A controller described before keeps its table entry in the plug-in; a
    // valid entry offering nothing replaces it.
    std::set<int> described;
    for (const auto& setup : controllers)
        described.insert(setup.index);
    for (const auto& old : controllers_)
        if (described.count(old.index) == 0) {
            controller_setup blank;
            blank.index = old.index;
            const auto record = blank.record();
            plugin_.vexa_set_config_info(record.data());
        }
    for (const auto& setup : controllers) {
        const auto record = setup.record();
        plugin_.vexa_set_config_info(record.data());
    }
    controllers_ = controllers;
    select(selected_);
}

std::optional<std::size_t> plugin_session::index_of_id(std::int32_t id) const {
    for (std::size_t i = 0; i < elements_.size(); ++i)
        if (elements_[i].id == id)
            return i;
    return std::nullopt;
}

std::optional<std::size_t> plugin_session::index_of(const element_handle* handle) const {
    for (std::size_t i = 0; i < elements_.size(); ++i)
        if (elements_[i].host && elements_[i].host->handle() == handle)
            return i;
    return std::nullopt;
}

std::int32_t plugin_session::next_id() const {
    std::int32_t largest = 0;
    for (const auto& e : elements_)
        largest = std::max(largest, e.id);
    return largest + 1;
}

std::size_t plugin_session::insert(const project_element& source, std::size_t position) {
    element added{source.name, source.id, source.kind, nullptr};
    if (source.kind == element_kind::custom_input) {
        static const creation_record creation;
        auto host = std::make_unique<host_element>();
        element_handle* handle = host->handle();
        handle->parent_window = property_window_;
        handle->sink = sink_.get();
        handle->project = project_.record();
        handle->translator = &translator_;
        const std::int32_t created = plugin_.vexa_create_instance(handle, creation.bytes);
        if (created != RES_OK) {
            plugin_.vexa_delete_instance(handle);
            throw session_error("vexa_create_instance for \"" + source.name + "\" answered " +
                                result_name(created));
        }
        plugin_.vexa_set_refresh_callback(handle, &plugin_session::refresh_thunk);
        if (!source.save_record.empty()) {
            const std::int32_t loaded = plugin_.vexa_set_loaded_data(
                handle, static_cast<std::uint32_t>(source.save_record.size()),
                reinterpret_cast<const char*>(source.save_record.data()));
            if (loaded != RES_OK) {
                plugin_.vexa_delete_instance(handle);
                throw session_error("vexa_set_loaded_data for \"" + source.name + "\" answered " +
                                    result_name(loaded));
            }
        }
        added.host = std::move(host);
    }
    position = std::min(position, elements_.size());
    elements_.insert(elements_.begin() + static_cast<std::ptrdiff_t>(position), std::move(added));
    if (selected_ && *selected_ >= position)
        ++*selected_;
    update_project_lists();
    // Creation made the new element the panel's current one; the selection
    // is the host's to decide, and the goto lists follow the project.
    select(selected_);
    return position;
}

void plugin_session::remove(std::size_t index) {
    if (index >= elements_.size())
        return;
    if (selected_ == index)
        select(std::nullopt);
    if (elements_[index].host)
        plugin_.vexa_delete_instance(elements_[index].host->handle());
    elements_.erase(elements_.begin() + static_cast<std::ptrdiff_t>(index));
    if (selected_ && *selected_ > index)
        --*selected_;
    update_project_lists();
    select(selected_);
}

void plugin_session::rename(std::size_t index, const std::string& name) {
    if (index >= elements_.size())
        return;
    elements_[index].name = name;
    update_project_lists();
    select(selected_);
}

void plugin_session::clear() {
    select(std::nullopt);
    for (auto& e : elements_)
        if (e.host)
            plugin_.vexa_delete_instance(e.host->handle());
    elements_.clear();
    update_project_lists();
}

void plugin_session::open(const project& project) {
    clear();
    try {
        for (const auto& e : project.elements)
            insert(e, elements_.size());
    } catch (...) {
        clear();
        throw;
    }
    select(std::nullopt);
}

project plugin_session::to_project() {
    project saved;
    for (const auto& e : elements_) {
        project_element out{e.name, e.id, e.kind, {}};
        if (e.host) {
            std::uint32_t length = 0;
            const char* data = plugin_.vexa_get_save_data(e.host->handle(), &length);
            if (data == nullptr || length == 0)
                throw session_error("vexa_get_save_data for \"" + e.name + "\" gave no record");
            // The plug-in's buffer is overwritten by its next save or load.
            out.save_record.assign(data, data + length);
        }
        saved.elements.push_back(std::move(out));
    }
    return saved;
}

void plugin_session::select(std::optional<std::size_t> index) {
    if (index && *index < elements_.size() && elements_[*index].host) {
        selected_ = index;
        plugin_.vexa_select(elements_[*index].host->handle(), 0, 1);
    } else {
        selected_.reset();
        plugin_.vexa_select(nullptr, 0, 1);
    }
}

wxColour plugin_session::colour(std::size_t index) const {
    const auto& e = elements_.at(index);
    if (e.host && (*e.host->handle()).colour.IsOk())
        return e.host->handle()->colour;
    return *wxWHITE;
}

std::vector<plugin_event> plugin_session::take_events() {
    std::vector<plugin_event> taken;
    taken.swap(events_);
    return taken;
}

void plugin_session::update_project_lists() {
    std::vector<wxString> names;
    std::vector<std::int32_t> ids;
    for (const auto& e : elements_) {
        names.push_back(wxString::FromUTF8(e.name));
        ids.push_back(e.id);
    }
    project_.set_elements(names, ids);
}

} // namespace reference_host
