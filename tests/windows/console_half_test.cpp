// The reference host's two halves on Windows: the window program gets no
// console of its own, and typed in a console, `reference_host` prints there
// and the console sees its exit status as %ERRORLEVEL%.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace {

std::wstring test_folder() {
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program, length);
    return path.erase(path.find_last_of(L"\\/") + 1);
}

// The subsystem in a program's PE header: 2 a window program, 3 a console one.
int subsystem_of(const std::wstring& file) {
    std::ifstream in(file.c_str(), std::ios::binary);
    IMAGE_DOS_HEADER dos{};
    in.read(reinterpret_cast<char*>(&dos), sizeof dos);
    IMAGE_NT_HEADERS64 nt{};
    in.seekg(dos.e_lfanew);
    in.read(reinterpret_cast<char*>(&nt), sizeof nt);
    return in ? nt.OptionalHeader.Subsystem : -1;
}

struct console_run {
    std::string output;
    std::string errorlevel;
};

// `command` typed in a console in the test's folder, as a batch file runs it
// line by line: the next line reads %ERRORLEVEL% after it.
console_run typed(const std::string& command) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring script = std::wstring(temp) + L"console_half_test.cmd";
    {
        std::ofstream out(script.c_str());
        const std::wstring folder = test_folder();
        out << "@echo off\r\ncd /d \"" << std::string(folder.begin(), folder.end()) << "\"\r\n"
            << command << " 2>&1\r\necho errorlevel=%ERRORLEVEL%\r\n";
    }
    console_run run;
    FILE* pipe = _wpopen((L"\"" + script + L"\"").c_str(), L"rb");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    _pclose(pipe);
    DeleteFileW(script.c_str());
    const std::size_t at = run.output.rfind("errorlevel=");
    if (at != std::string::npos) {
        run.errorlevel = run.output.substr(at + 11);
        run.errorlevel.erase(run.errorlevel.find_last_not_of("\r\n") + 1);
        run.output.erase(at);
    }
    return run;
}

} // namespace

TEST(ConsoleHalf, TheWindowProgramHasNoConsoleAndItsConsoleHalfHasOne) {
    EXPECT_EQ(subsystem_of(test_folder() + L"reference_host.exe"), IMAGE_SUBSYSTEM_WINDOWS_GUI);
    EXPECT_EQ(subsystem_of(test_folder() + L"reference_host.com"), IMAGE_SUBSYSTEM_WINDOWS_CUI);
}

TEST(ConsoleHalf, TypedInAConsoleItPrintsThereAndTheConsoleSeesItsExitStatus) {
    const console_run version = typed("reference_host --version");
    EXPECT_EQ(version.output.rfind("reference_host ", 0), 0u) << version.output;
    EXPECT_EQ(version.errorlevel, "0");

    const console_run refused = typed("reference_host --no-such-option");
    EXPECT_NE(refused.output.find("unknown option --no-such-option"), std::string::npos)
        << refused.output;
    EXPECT_EQ(refused.errorlevel, "2");

    // A replay's report, and a scenario that ends as it expects: 0.
    const console_run replay =
        typed("reference_host --replay \"" REFERENCE_HOST_EXAMPLES "/typical_run.json\"");
    EXPECT_NE(replay.output.find("met"), std::string::npos) << replay.output;
    EXPECT_EQ(replay.errorlevel, "0");
}
