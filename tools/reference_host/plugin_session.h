// The host's side of one loaded plug-in: the controllers described to it and
// the project's elements, each Custom Input with its element handle, one
// project context, sink and translator for all. The editor, the run and the
// replay all work through it; every call into the plug-in goes through the
// 14 entry points of plugin_library.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <wx/colour.h>
#include <wx/string.h>

#include "host_kit/host_records.h"
#include "host_kit/plugin_library.h"
#include "reference_host/controller_setup.h"
#include "reference_host/program_files.h"
#include "reference_host/project_file.h"

class wxWindow;

namespace reference_host {

// A call the plug-in refused while the session set up an element.
class session_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command event the plug-in sent: 11018 with a message, or 11019.
struct plugin_event {
    int id;
    wxString message;
};

class plugin_session {
public:
    struct element {
        std::string name;
        std::int32_t id;
        element_kind kind;
        std::unique_ptr<host_element> host; // Custom Input only
    };

    // `property_window` receives the plug-in's panel; null when there is no
    // window (the replay). GUI thread.
    plugin_session(plugin_library& plugin, wxWindow* property_window);
    ~plugin_session();
    plugin_session(const plugin_session&) = delete;
    plugin_session& operator=(const plugin_session&) = delete;

    plugin_library& plugin() { return plugin_; }

    // Describes the controllers with vexa_set_config_info. A second call
    // takes the panel down (it is built for the controllers known when it is
    // built) and blanks controllers no longer described; the next selection
    // or creation builds the panel anew.
    void describe_controllers(const std::vector<controller_setup>& controllers);
    const std::vector<controller_setup>& controllers() const { return controllers_; }

    std::size_t size() const { return elements_.size(); }
    const element& at(std::size_t index) const { return elements_.at(index); }
    std::optional<std::size_t> index_of_id(std::int32_t id) const;
    std::optional<std::size_t> index_of(const element_handle* handle) const;
    // One more than the largest id in the project (1 for an empty one).
    std::int32_t next_id() const;

    // Inserts an element at `position` (clamped to the end). A Custom Input
    // is created with vexa_create_instance and, when `element` carries a save
    // record, loaded with vexa_set_loaded_data; without one it starts from
    // the plug-in's template. Throws session_error when the plug-in refuses.
    std::size_t insert(const project_element& element, std::size_t position);
    void remove(std::size_t index);
    void rename(std::size_t index, const std::string& name);
    void clear();

    // Replaces the whole project; on a refusal the session is left empty.
    void open(const project& project);
    // Every Custom Input's record from vexa_get_save_data, copied at once.
    project to_project();

    // vexa_select with show 1; null deselects. Placeholders deselect.
    void select(std::optional<std::size_t> index);
    std::optional<std::size_t> selected() const { return selected_; }

    // The display colour the plug-in gave the element (white for placeholders
    // and before the plug-in set one).
    wxColour colour(std::size_t index) const;

    // The events the plug-in sent since the last call, oldest first.
    std::vector<plugin_event> take_events();

    // Called when the plug-in's refresh callback names one of our elements.
    std::function<void(std::size_t index)> on_refresh;

private:
    class sink;
    static void refresh_thunk(host_project* project, element_handle* element);
    void update_project_lists();

    plugin_library& plugin_;
    wxWindow* property_window_;
    std::unique_ptr<sink> sink_;
    catalog_translator translator_; // labels in the operator's language
    project_context project_;
    std::vector<controller_setup> controllers_;
    std::vector<element> elements_;
    std::optional<std::size_t> selected_;
    std::vector<plugin_event> events_;
};

} // namespace reference_host
