// A window program on Windows comes in two halves under one name: NAME.exe,
// a window program (no console window when started from the Start menu or
// Explorer), and NAME.com, its console half. A console finds NAME.com first
// when NAME is typed (PATHEXT lists .COM before .EXE); it starts NAME.exe
// with the console's standard handles, waits for it and ends with its exit
// status, so --help, messages and %ERRORLEVEL% work as for a console program.
#pragma once

// Set by the console half for the window program it starts: that program then
// joins the console, so that Ctrl-C and a closing console reach it.
#define CONSOLE_HALF_VARIABLE L"ZAVUD_CONSOLE_HALF"
