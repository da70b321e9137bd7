// The language the reference host is asked for (--lang, or the system's)
// finds both its catalogs, the panel's and its own, the same way: a language
// with a region falls back to the language, a language alone finds its only
// region.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <wx/translation.h>

#include "reference_host/host_texts.h"
#include "reference_host/program_files.h"
#include "test_support/program_run.h"

using namespace reference_host;

namespace {

const std::string demo_project = REFERENCE_HOST_EXAMPLES "/demo_project.json";

// An environment variable for the test's scope; unset again after.
struct variable {
    variable(const char* name, const char* value) : name_(name) { set(value); }
    ~variable() { set(nullptr); }
    void set(const char* value) {
#ifdef _WIN32
        _putenv_s(name_, value ? value : "");
#else
        if (value)
            setenv(name_, value, 1);
        else
            unsetenv(name_);
#endif
    }
    const char* name_;
};

// A locale folder holding empty catalogs of `domain` for `languages`.
std::string locale_folder(const std::string& name, const char* domain,
                          std::initializer_list<const char*> languages) {
    const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / name;
    std::filesystem::remove_all(folder);
    for (const char* language : languages) {
        const auto messages = folder / language / "LC_MESSAGES";
        std::filesystem::create_directories(messages);
        std::ofstream(messages / (std::string(domain) + ".mo"));
    }
    return folder.u8string();
}

wxString panel_text(const char* english) {
    return wxGetTranslation(english, "zavud_pri_rivezavode");
}

} // namespace

TEST(Language, ARegionFallsBackAndALanguageAloneFindsItsOnlyRegion) {
    // Either catalog makes a language: the two are looked up as one.
    const std::string panel = locale_folder("panel_only", "zavud_pri_rivezavode", {"de", "zh_CN"});
    const std::string host = locale_folder("host_only", HOST_TEXT_DOMAIN, {"de", "zh_CN"});
    for (const std::string& folder : {panel, host}) {
        EXPECT_EQ(catalog_language("de", folder), "de");
        EXPECT_EQ(catalog_language("de_AT", folder), "de");
        EXPECT_EQ(catalog_language("de_AT.UTF-8@euro", folder), "de");
        EXPECT_EQ(catalog_language("zh", folder), "zh_CN");
        EXPECT_EQ(catalog_language("zh_CN", folder), "zh_CN");
        // Another region is another language, not a fallback.
        EXPECT_EQ(catalog_language("zh_TW", folder), "zh_TW");
        EXPECT_EQ(catalog_language("fr", folder), "fr");
    }
    // Of two regions neither is the language alone.
    const std::string two = locale_folder("two_regions", HOST_TEXT_DOMAIN, {"pt_BR", "pt_PT"});
    EXPECT_EQ(catalog_language("pt", two), "pt");
    EXPECT_EQ(catalog_language("pt_PT", two), "pt_PT");
    EXPECT_EQ(catalog_language("zh", testing::TempDir() + "no_such_folder"), "zh");
}

TEST(Language, TheSystemsLanguageIsTheFirstOfTheVariablesSet) {
    variable all("LC_ALL", nullptr);
    variable messages("LC_MESSAGES", nullptr);
    variable lang("LANG", "de_AT.UTF-8@euro");
    EXPECT_EQ(system_language(), "de_AT");
    messages.set("zh");
    EXPECT_EQ(system_language(), "zh");
    all.set("C.UTF-8");
    EXPECT_EQ(system_language(), "") << "C asks for the texts as they are";
    all.set(nullptr);
    messages.set(nullptr);
    lang.set(nullptr);
    EXPECT_EQ(system_language(), "");
}

TEST(Language, BothCatalogsLoadFromTheCommandLineAndFromTheSystem) {
    const loaded_catalogs chinese = load_catalogs("zh", BUILT_LOCALE_FOLDER);
    EXPECT_TRUE(chinese.panel && chinese.host);
    EXPECT_EQ(host_text("Send").utf8_string(), "发送");
    EXPECT_EQ(panel_text("Timeout").utf8_string(), "超时");

    const loaded_catalogs german = load_catalogs("de_AT", BUILT_LOCALE_FOLDER);
    EXPECT_TRUE(german.panel && german.host);
    EXPECT_EQ(host_text("Send").utf8_string(), "Senden");
    EXPECT_EQ(panel_text("Timeout").utf8_string(), "Zeitlimit");
    // The run log's line: English for the file, German for the window.
    const log_line line = host_line("run %d starts", 3);
    EXPECT_EQ(line.english, "run 3 starts");
    EXPECT_EQ(line.shown.utf8_string(), "Durchlauf 3 beginnt");

    {
        variable all("LC_ALL", nullptr);
        variable messages("LC_MESSAGES", nullptr);
        variable lang("LANG", "zh.UTF-8");
        const loaded_catalogs system = load_catalogs("", BUILT_LOCALE_FOLDER);
        EXPECT_TRUE(system.panel && system.host);
        EXPECT_EQ(host_text("Send").utf8_string(), "发送");
        EXPECT_EQ(panel_text("Timeout").utf8_string(), "超时");
    }

    const loaded_catalogs none = load_catalogs("xx", BUILT_LOCALE_FOLDER);
    EXPECT_FALSE(none.panel || none.host);
    EXPECT_EQ(host_text("Send"), "Send");
    wxTranslations::Set(nullptr);
}

TEST(Language, TheProgramSaysInOneLineThatItHasNoTextsInALanguage) {
    if (!has_display())
        GTEST_SKIP() << "needs a display (xvfb-run)";
    const std::string png = testing::TempDir() + "language.png";
    const finished unknown = run_program("--lang xx --screenshot " + png + " " + demo_project);
    EXPECT_EQ(unknown.exit_code, 0) << unknown.output;
    EXPECT_NE(unknown.output.find("reference_host: no texts in \"xx\"; the window and the panel "
                                  "show them in English\n"),
              std::string::npos)
        << unknown.output;
    const finished chinese = run_program("--lang zh --screenshot " + png + " " + demo_project);
    EXPECT_EQ(chinese.exit_code, 0) << chinese.output;
    EXPECT_EQ(chinese.output.find("texts in"), std::string::npos) << chinese.output;
}
