// The reference host's own texts in the operator's language, from its
// catalog `reference_host` (po/reference_host/). Looked up in that catalog
// alone: the panel's catalog is loaded too, and may translate the same
// English word otherwise.
#pragma once

#include <string>
#include <utility>

#include <wx/string.h>
#include <wx/translation.h>

namespace reference_host {

inline constexpr char HOST_TEXT_DOMAIN[] = "reference_host";

// `english` as the loaded catalog translates it, or as it is.
inline wxString host_text(const char* english) {
    return wxGetTranslation(wxString::FromUTF8(english), HOST_TEXT_DOMAIN);
}

// Marks a text of a table, translated where it is shown.
#define HOST_TEXT(english) english

// A line of the run log. The window shows it in the operator's language;
// the --log file and a replay have it in English, the same words whatever
// the language, so that scripts can read them and they compare with each
// other.
struct log_line {
    std::string english;
    wxString shown;
    // Where a line is only written out.
    operator const std::string&() const { return english; }
};

// A log line from a printf format and its values (wxString, int, ...).
template <typename... Values> log_line host_line(const char* format, const Values&... values) {
    const wxString english = wxString::Format(wxString::FromUTF8(format), values...);
    return {english.utf8_string(), wxString::Format(host_text(format), values...)};
}

} // namespace reference_host
