#include "reference_host/program_files.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <wx/intl.h>
#include <wx/translation.h>

namespace reference_host {

namespace {

constexpr char CATALOG_DOMAIN[] = "zavud_pri_rivezavode";

// The running program's file. Asked of the system rather than the toolkit,
// which answers only once its application object exists.
std::filesystem::path program_file() {
#if defined(_WIN32)
    wchar_t name[32768];
    const DWORD length = GetModuleFileNameW(nullptr, name, sizeof name / sizeof name[0]);
    return std::filesystem::path(std::wstring(name, length));
#else
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
#endif
}

// `relative` (with forward slashes) from the folder the program lies in.
wxString beside_program(const char* relative) {
    const std::filesystem::path path =
        (program_file().parent_path() / std::filesystem::u8path(relative)).lexically_normal();
    return wxString::FromUTF8(path.u8string());
}

} // namespace

std::string default_plugin_path() {
    return beside_program(ZAVUD_PLUGIN_FROM_PROGRAM).utf8_string();
}

bool load_panel_catalog(const std::string& language) {
    auto* translations = new wxTranslations;
    wxTranslations::Set(translations);
    if (!language.empty())
        translations->SetLanguage(wxString::FromUTF8(language));
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(beside_program(ZAVUD_LOCALE_FROM_PROGRAM));
    return translations->AddCatalog(CATALOG_DOMAIN);
}

wxString catalog_translator::translate(const wxString& source) {
    return wxGetTranslation(source, CATALOG_DOMAIN);
}

} // namespace reference_host
