// NAME.com: starts NAME.exe beside it in this console and hands on its exit
// status (console_half.h).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <string>

#include "console_half/console_half.h"

namespace {

// The window program ends itself on Ctrl-C and on a closing console (it
// writes its recording first); this half only waits for it.
BOOL WINAPI keep_waiting(DWORD /*event*/) {
    return TRUE;
}

// The command line after the program's own name, as the system splits it: a
// name in double quotes may hold blanks.
const wchar_t* arguments_of(const wchar_t* line) {
    bool quoted = false;
    for (; *line != 0 && (quoted || (*line != L' ' && *line != L'\t')); ++line)
        if (*line == L'"')
            quoted = !quoted;
    return line;
}

} // namespace

int main() {
    constexpr int EXIT_UNUSABLE = 2;
    std::wstring program(32768, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    const std::size_t dot = program.find_last_of(L'.');
    if (program.empty() || dot == std::wstring::npos) {
        std::fputs("cannot find the program's own name\n", stderr);
        return EXIT_UNUSABLE;
    }
    program.replace(dot, std::wstring::npos, L".exe");
    std::wstring line = L"\"" + program + L"\"" + arguments_of(GetCommandLineW());

    SetEnvironmentVariableW(CONSOLE_HALF_VARIABLE, L"1");
    SetConsoleCtrlHandler(keep_waiting, TRUE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "%ls: cannot be started: error %lu\n", program.c_str(),
                     GetLastError());
        return EXIT_UNUSABLE;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = EXIT_UNUSABLE;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
