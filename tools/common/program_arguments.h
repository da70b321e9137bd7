// The command line as the programs take it: UTF-8 on every system.
#pragma once

#include <string>
#include <vector>

namespace common {

// The arguments after the program's name. On Windows read anew from the
// system's wide-character command line: the `argv` of a char main holds them
// in the ANSI code page, which cannot spell every file name.
std::vector<std::string> program_arguments(int argc, char** argv);

} // namespace common
