#include "test_support/program_run.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <filesystem>
#include <thread>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

#ifdef _WIN32

finished run_program(const std::string& arguments, bool /*without_display*/) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE from_child = nullptr;
    HANDLE to_parent = nullptr;
    EXPECT_TRUE(CreatePipe(&from_child, &to_parent, &inherited, 0));
    SetHandleInformation(from_child, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = to_parent;
    startup.hStdError = to_parent;
    // A command line reads as a path only in the system's own separators.
    // UTF-8 here, wide to the system: names outside the ANSI code page too.
    const std::string command =
        "\"" + std::filesystem::path(REFERENCE_HOST_PROGRAM).make_preferred().u8string() + "\" " +
        arguments;
    std::wstring wide(command.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, command.data(), static_cast<int>(command.size()),
                            wide.data(), static_cast<int>(wide.size()))));
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, wide.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    EXPECT_TRUE(started) << command << ": error " << GetLastError();
    // Only the child may hold the writing end, or the pipe never ends.
    CloseHandle(to_parent);
    std::string output;
    std::thread reader([&output, from_child] {
        char buffer[4096];
        DWORD n = 0;
        while (ReadFile(from_child, buffer, sizeof buffer, &n, nullptr) && n > 0)
            output.append(buffer, n);
    });
    DWORD code = static_cast<DWORD>(-1);
    if (started) {
        if (WaitForSingleObject(process.hProcess, RUN_TIME_LIMIT_SECONDS * 1000) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, TIMED_OUT);
            WaitForSingleObject(process.hProcess, INFINITE);
        }
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    reader.join();
    CloseHandle(from_child);
    // The program's standard streams are text streams here: each LF arrives
    // as CR LF.
    std::string lines;
    for (std::size_t i = 0; i < output.size(); ++i)
        if (!(output[i] == '\r' && i + 1 < output.size() && output[i + 1] == '\n'))
            lines += output[i];
    return {static_cast<int>(code), lines};
}

bool has_display() {
    return true;
}

std::string temp_folder() {
    std::string folder = testing::TempDir();
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

#else

finished run_program(const std::string& arguments, bool without_display) {
    const std::string command =
        std::string(without_display ? "env -u DISPLAY -u WAYLAND_DISPLAY " : "") + "timeout " +
        std::to_string(RUN_TIME_LIMIT_SECONDS) + " " + REFERENCE_HOST_PROGRAM + " " + arguments +
        " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

bool has_display() {
    return std::getenv("DISPLAY") != nullptr;
}

std::string temp_folder() {
    return testing::TempDir();
}

started_program start_program(const std::string& arguments, const std::string& output_file) {
    // The shell's exec leaves the program with the shell's process id.
    std::string command = std::string("exec ") + REFERENCE_HOST_PROGRAM + " " + arguments + " >" +
                          output_file + " 2>&1";
    char shell[] = "/bin/sh";
    char option[] = "-c";
    char* const argv[] = {shell, option, command.data(), nullptr};
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, shell, nullptr, nullptr, argv, environ), 0) << command;
    return {static_cast<int>(pid), output_file};
}

finished wait_for(const started_program& program) {
    int status = 0;
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::seconds(RUN_TIME_LIMIT_SECONDS);
    bool ended = false;
    while (!ended && std::chrono::steady_clock::now() < until) {
        ended = waitpid(program.pid, &status, WNOHANG) == program.pid;
        if (!ended)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!ended) {
        kill(program.pid, SIGKILL);
        waitpid(program.pid, &status, 0);
    }
    std::ifstream in(program.output_file, std::ios::binary);
    std::string output(std::istreambuf_iterator<char>(in), {});
    if (!ended)
        return {TIMED_OUT, output};
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

#endif
