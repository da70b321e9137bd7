// What the program finds beside itself: the plug-in and the panel's
// translation catalogs, at the same places relative to the program in the
// build tree and in an installed tree, so no build path is compiled in.
#pragma once

#include <string>

#include "abi/element_handle.h"
#include "host_kit/host_records.h"

namespace reference_host {

// The plug-in installed (or built) with the program.
std::string default_plugin_path();

// Makes the panel's catalog of `language` (e.g. "de"; empty: the system's
// language) the one the translator below reads. False when there is none.
bool load_panel_catalog(const std::string& language);

// Passes the panel's labels through the loaded catalog; without one, or for
// a text the catalog lacks, they stay as the plug-in gives them.
class catalog_translator final : public translator_base {
public:
    ~catalog_translator() = default;
    wxString translate(const wxString& source) override;
};

} // namespace reference_host
