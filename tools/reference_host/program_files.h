// What the program finds beside itself: the plug-in and the translation
// catalogs (the panel's and the program's own), at the same places relative to the program in the
// build tree and in an installed tree, so no build path is compiled in.
#pragma once

#include <string>

#include "abi/element_handle.h"
#include "host_kit/host_records.h"

namespace reference_host {

// The plug-in installed (or built) with the program.
std::string default_plugin_path();

// The language the system asks texts in: the first of LC_ALL, LC_MESSAGES
// and LANG that is set, without its encoding and modifier ("de_AT.UTF-8@euro"
// gives "de_AT"). Empty for none, "C" and "POSIX".
std::string system_language();

// The folder's language (share/locale/LANG/ holding a catalog of ours) that
// serves `wanted`: itself; else, for a language with a region, the language
// alone ("de_AT" finds "de"); else, for a language alone, its only region
// ("zh" finds "zh_CN"; with two regions neither is chosen). `wanted` as it is
// when nothing serves it.
std::string catalog_language(const std::string& wanted, const std::string& folder);

struct loaded_catalogs {
    bool panel; // the panel's labels
    bool host;  // the program's own texts
};

// Loads both catalogs of `language` (e.g. "de"; empty: the system's
// language) from `folder` (empty: the one installed with the program) for
// the translator below and host_text() (host_texts.h).
loaded_catalogs load_catalogs(const std::string& language, const std::string& folder = {});

// Passes the panel's labels through the loaded catalog; without one, or for
// a text the catalog lacks, they stay as the plug-in gives them.
class catalog_translator final : public translator_base {
public:
    ~catalog_translator() = default;
    wxString translate(const wxString& source) override;
};

} // namespace reference_host
