#include "common/command_line.h"

#include <wx/msgout.h>

namespace common {

namespace {

struct kept_output : wxMessageOutput {
    wxString text;
    void Output(const wxString& out) override { text += out; }
};

} // namespace

void set_arguments(wxCmdLineParser& parser, const wchar_t* program,
                   const std::vector<std::string>& args) {
    std::vector<std::wstring> wide{program};
    wide.reserve(args.size() + 1);
    for (const std::string& arg : args)
        wide.push_back(wxString::From8BitData(arg.data(), arg.size()).ToStdWstring());
    std::vector<wxChar*> argv;
    argv.reserve(wide.size());
    for (std::wstring& arg : wide)
        argv.push_back(arg.data());
    // The parser copies the arguments.
    parser.SetCmdLine(static_cast<int>(argv.size()), argv.data());
    parser.SetSwitchChars("-");
}

std::string parse_quietly(wxCmdLineParser& parser) {
    kept_output refusal;
    wxMessageOutput* const shown = wxMessageOutput::Set(&refusal);
    const int parsed = parser.Parse(false);
    wxMessageOutput::Set(shown);
    if (parsed == 0)
        return {};
    return refusal.text.empty() ? "the command line cannot be read" : bytes(refusal.text.Trim());
}

std::string bytes(const wxString& text) {
    const wxScopedCharBuffer data = text.To8BitData();
    return std::string(data.data(), data.length());
}

} // namespace common
