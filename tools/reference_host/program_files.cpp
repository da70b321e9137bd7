#include "reference_host/program_files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <wx/intl.h>
#include <wx/translation.h>

#include "reference_host/host_texts.h"

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

// Whether share/locale/`language` holds a catalog of ours.
bool has_catalogs(const std::filesystem::path& folder, const std::string& language) {
    std::error_code error;
    const std::filesystem::path messages =
        folder / std::filesystem::u8path(language) / "LC_MESSAGES";
    return std::filesystem::exists(messages / (std::string(CATALOG_DOMAIN) + ".mo"), error) ||
           std::filesystem::exists(messages / (std::string(HOST_TEXT_DOMAIN) + ".mo"), error);
}

} // namespace

std::string system_language() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0')
            continue;
        const std::string name(value);
        const std::string language = name.substr(0, name.find_first_of(".@"));
        return language == "C" || language == "POSIX" ? std::string() : language;
    }
    return {};
}

std::string catalog_language(const std::string& wanted, const std::string& folder) {
    const std::filesystem::path locale = std::filesystem::u8path(folder);
    std::string language = wanted.substr(0, wanted.find_first_of(".@"));
    if (language.empty() || has_catalogs(locale, language))
        return language;
    const std::size_t region = language.find('_');
    if (region != std::string::npos) {
        // The toolkit falls back the same way; said here to know what loads.
        const std::string alone = language.substr(0, region);
        return has_catalogs(locale, alone) ? alone : language;
    }
    // "zh" alone names no catalog: a catalog of one region serves it, but of
    // two (zh_CN, zh_TW) neither is the language as such.
    std::vector<std::string> regions;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(locale, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().u8string();
        if (name.rfind(language + "_", 0) == 0 && has_catalogs(locale, name))
            regions.push_back(name);
    }
    return regions.size() == 1 ? regions.front() : language;
}

std::string default_plugin_path() {
    return beside_program(ZAVUD_PLUGIN_FROM_PROGRAM).utf8_string();
}

loaded_catalogs load_catalogs(const std::string& language, const std::string& folder) {
    const wxString locale =
        folder.empty() ? beside_program(ZAVUD_LOCALE_FROM_PROGRAM) : wxString::FromUTF8(folder);
    auto* translations = new wxTranslations;
    wxTranslations::Set(translations);
    // Without a language from the command line or the environment (Windows),
    // the toolkit asks the system.
    const std::string wanted = language.empty() ? system_language() : language;
    if (!wanted.empty())
        translations->SetLanguage(
            wxString::FromUTF8(catalog_language(wanted, locale.utf8_string())));
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(locale);
    return {translations->AddCatalog(CATALOG_DOMAIN), translations->AddCatalog(HOST_TEXT_DOMAIN)};
}

wxString catalog_translator::translate(const wxString& source) {
    return wxGetTranslation(source, CATALOG_DOMAIN);
}

} // namespace reference_host
