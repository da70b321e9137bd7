// The reference host started as a user starts it, from a test of a program
// that knows its path (REFERENCE_HOST_PROGRAM, given to program_run.cpp).
#pragma once

#include <string>

struct finished {
    int exit_code;
    std::string output; // stdout and stderr, lines ending in LF
};

// A run that would wait for a click (a dialog) ends after this long, with the
// exit code of timeout(1), instead of hanging the test.
constexpr int RUN_TIME_LIMIT_SECONDS = 60;
constexpr int TIMED_OUT = 124;

// Runs the program with `arguments` (a command line, unquoted). With
// `without_display`, as started from a console outside the graphical session;
// Windows has no such start, so there a start that reaches the window runs
// into the time limit instead.
finished run_program(const std::string& arguments, bool without_display = false);

// Whether the program can open windows here. A Windows desktop always can.
bool has_display();

// The test's temporary folder, to be refused as a file. On Windows without
// the separator at its end: there the programs do not yet see a folder named
// with one as a folder.
std::string temp_folder();

#ifndef _WIN32
// The program started in the background, its stdout and stderr into a file,
// for a test that acts on it while it runs (POSIX only).
struct started_program {
    int pid;
    std::string output_file;
};
started_program start_program(const std::string& arguments, const std::string& output_file);
// Waits for it to end; after RUN_TIME_LIMIT_SECONDS it is killed and the exit
// code is TIMED_OUT. -1 when a signal ended it.
finished wait_for(const started_program& program);
#endif
