// The reference host started as a user starts it, from a test of a program
// that knows its path (REFERENCE_HOST_PROGRAM).
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

struct finished {
    int exit_code;
    std::string output; // stdout and stderr
};

// `prefix` goes before the program: "env -u DISPLAY", "timeout 60".
inline finished run_program(const std::string& arguments, const std::string& prefix = "") {
    const std::string command = prefix + " " + REFERENCE_HOST_PROGRAM + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}
