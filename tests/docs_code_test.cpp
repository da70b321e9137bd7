// The host code of docs/integration.md (Linux) and docs/windows.md (Windows),
// as the build takes it from the docs: it compiles, it loads the built plug-in
// with all 14 entry points, and on Linux the whole host example runs.
#include <gtest/gtest.h>

// What the docs' code includes, here first: inside the namespace below the
// headers are then already seen.
#if defined(_WIN32)
#include <windows.h>

#include <string>
#else
#include <dlfcn.h>

#include <cstring>
#include <memory>
#include <vector>

#include <wx/frame.h>
#include <wx/panel.h>
#endif
#include <wx/bitmap.h>

#include "config_flags.h"
#include "controller_config.h"
#include "entry_points.h"
#include "input_record.h"
#include "run_records.h"

namespace from_docs {
#if defined(_WIN32)
#include "windows_loading.inc"
#else
#include "host_example.inc"
#endif
} // namespace from_docs

TEST(DocsCode, LoadsThePluginWithEveryEntryPoint) {
    from_docs::plugin p;
#if defined(_WIN32)
    // The full path, as the docs ask: the plug-in beside the test program.
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program, length);
    path.erase(path.find_last_of(L"\\/") + 1);
    const std::string name = ZAVUD_PLUGIN_PATH;
    path.append(name.begin(), name.end());
    ASSERT_TRUE(p.load(path.c_str()));
#else
    ASSERT_TRUE(p.load(ZAVUD_PLUGIN_PATH));
#endif
    ui_parameters kind{};
    EXPECT_EQ(p.vexa_get_ui_parameters(&kind), RES_OK);
    delete kind.large_icon;
    delete kind.small_icon;
}

#if !defined(_WIN32)
TEST(DocsCode, TheHostExampleRunsFromLoadingToReset) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "host");
    EXPECT_EQ(from_docs::run_host(ZAVUD_PLUGIN_PATH, frame), 0);
    frame->Destroy();
}
#endif
