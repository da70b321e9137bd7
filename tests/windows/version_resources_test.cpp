// The version resources as Windows reads them back from the built files:
// what Explorer's properties show, and the programs' manifests. Prints what
// it read.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The test program's folder, where the build puts every DLL and program.
std::wstring beside_test(const std::wstring& name) {
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program, length);
    return path.erase(path.find_last_of(L"\\/") + 1) + name;
}

std::string narrow(const std::wstring& wide) {
    return std::string(wide.begin(), wide.end()); // the texts are ASCII
}

struct version_info {
    std::vector<unsigned char> block;
    std::wstring text(const wchar_t* key) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0)
            return {};
        return std::wstring(static_cast<const wchar_t*>(value), length - 1);
    }
    std::string fixed_version() {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), L"\\", &value, &length))
            return {};
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
               std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
               std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
               std::to_string(LOWORD(fixed->dwFileVersionLS));
    }
};

version_info read_version(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    version_info info;
    info.block.resize(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, info.block.data()))
        info.block.clear();
    return info;
}

std::string manifest_of(const std::wstring& file) {
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        return {};
    std::string text;
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)))
        if (HGLOBAL loaded = LoadResource(module, found))
            text.assign(static_cast<const char*>(LockResource(loaded)),
                        SizeofResource(module, found));
    FreeLibrary(module);
    return text;
}

} // namespace

TEST(VersionResources, EveryFileSaysWhatItIsItsVersionAndLicence) {
    const struct {
        const wchar_t* file;
        bool program;
    } files[] = {{L"zavud_pri_rivezavode.dll", false},
                 {L"lumo.dll", false},
                 {L"lumowx.dll", false},
                 {L"reference_host.exe", true},
                 {L"reference_host.com", true},
                 {L"save_record_tool.exe", true},
                 {L"zavud_validate.exe", true}};
    for (const auto& f : files) {
        SCOPED_TRACE(narrow(f.file));
        version_info info = read_version(beside_test(f.file));
        ASSERT_FALSE(info.block.empty()) << "no version resource";
        EXPECT_EQ(info.fixed_version(), ZAVUD_RC_DOTTED);
        EXPECT_EQ(narrow(info.text(L"FileVersion")), ZAVUD_RC_DOTTED);
        EXPECT_EQ(narrow(info.text(L"ProductVersion")), ZAVUD_RC_DOTTED);
        EXPECT_EQ(narrow(info.text(L"ProductName")), "zavud_pri_rivezavode");
        EXPECT_EQ(info.text(L"OriginalFilename"), f.file);
        EXPECT_NE(info.text(L"LegalCopyright").find(L"MIT licence"), std::wstring::npos);
        EXPECT_EQ(narrow(info.text(L"Toolchain")), ZAVUD_TOOLCHAIN);
        EXPECT_FALSE(info.text(L"FileDescription").empty());
        std::cout << narrow(f.file) << ": " << info.fixed_version() << ", \""
                  << narrow(info.text(L"FileDescription")) << "\", \""
                  << narrow(info.text(L"LegalCopyright")) << "\"\n";

        const std::string manifest = manifest_of(beside_test(f.file));
        if (f.program) {
            EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
            EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
            EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
        } else {
            EXPECT_EQ(manifest, ""); // a DLL's manifest would bind the host's controls
        }
    }
    // The plug-in names what a host must match where Explorer shows it.
    version_info plugin = read_version(beside_test(L"zavud_pri_rivezavode.dll"));
    EXPECT_NE(narrow(plugin.text(L"FileDescription")).find(ZAVUD_TOOLCHAIN), std::string::npos);
}
