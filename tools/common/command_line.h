// The programs' command lines through the toolkit's parser: arguments in as
// the bytes they are, refusals out as text for the program to show its own
// way, options only with "-".
#pragma once

#include <string>
#include <vector>

#include <wx/cmdline.h>
#include <wx/string.h>

namespace common {

// Hands `args` (those after the program's name) to `parser` as 8-bit data,
// so that a file name comes back byte for byte whatever the locale's
// encoding (UTF-8 on Windows). Options start with "-" only, also on
// Windows, where "/" would start one and a path is one.
void set_arguments(wxCmdLineParser& parser, const wchar_t* program,
                   const std::vector<std::string>& args);

// Parses without letting the toolkit print: "" when the line is read, else
// the toolkit's reason.
std::string parse_quietly(wxCmdLineParser& parser);

// A value the parser took, as the bytes it was given.
std::string bytes(const wxString& text);

} // namespace common
