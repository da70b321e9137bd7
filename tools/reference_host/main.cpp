// The reference host: a desktop program that loads the plug-in, edits a
// project, and runs it against a simulated or real controller; or, with
// --replay, runs a scenario without a window on a virtual clock.
#include <iostream>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>

#include "json_reading.h"
#include "main_frame.h"
#include "options.h"
#include "plugin_library.h"
#include "replay.h"

using namespace reference_host;

namespace {

constexpr int SCREENSHOT_DELAY_MILLISECONDS = 1500;
const wxSize SCREENSHOT_SIZE(1560, 1180);

int run_replay(const options& o) {
    wxInitializer toolkit;
    if (!toolkit.IsOk()) {
        std::cerr << "reference_host: the toolkit does not start\n";
        return 1;
    }
    plugin_library plugin(o.plugin_path);
    if (!plugin.ok()) {
        std::cerr << "reference_host: " << plugin.error() << "\n";
        return 1;
    }
    try {
        const scenario s = read_scenario_file(*o.replay);
        return replay(plugin, s, *o.replay, std::cout) ? 0 : 1;
    } catch (const input_error& e) {
        std::cerr << "reference_host: " << e.what() << "\n";
        return 1;
    }
}

class reference_app : public wxApp {
public:
    explicit reference_app(const options& o) : options_(o) {}

    bool OnInit() override {
        wxInitAllImageHandlers();
        plugin_ = std::make_unique<plugin_library>(options_.plugin_path);
        if (!plugin_->ok())
            return refuse("Cannot load the plug-in", plugin_->error());
        std::vector<controller_setup> controllers = default_controllers();
        if (options_.controllers) {
            try {
                controllers = read_controller_file(*options_.controllers);
            } catch (const input_error& e) {
                return refuse("Cannot load the controllers", e.what());
            }
        }
        frame_ = new main_frame(*plugin_, controllers, options_);
        frame_->Show();
        if (options_.project && !frame_->open_project(*options_.project) && options_.screenshot)
            exit_code_ = 1;
        if (options_.screenshot) {
            // Tall enough for the whole panel of a controller with every input.
            frame_->SetSize(SCREENSHOT_SIZE);
            frame_->select_first_custom_input();
            // Let the window map and paint before it is captured.
            screenshot_timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { take_screenshot(); });
            screenshot_timer_.StartOnce(SCREENSHOT_DELAY_MILLISECONDS);
        }
        return true;
    }

    int OnRun() override {
        const int result = wxApp::OnRun();
        return exit_code_ != 0 ? exit_code_ : result;
    }

    int exit_code() const { return exit_code_; }

private:
    bool refuse(const wxString& title, const std::string& why) {
        exit_code_ = 1;
        std::cerr << "reference_host: " << why << "\n";
        if (!options_.screenshot)
            wxMessageBox(wxString::FromUTF8(why), title, wxOK | wxICON_ERROR);
        return false;
    }

    void take_screenshot() {
        if (frame_->save_screenshot(*options_.screenshot))
            std::cout << "screenshot: " << *options_.screenshot << "\n";
        else
            exit_code_ = 1;
        frame_->Close();
    }

    options options_;
    std::unique_ptr<plugin_library> plugin_;
    main_frame* frame_ = nullptr;
    wxTimer screenshot_timer_;
    int exit_code_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    options o;
    o.plugin_path = ZAVUD_PLUGIN_PATH;
    const std::string error = parse_options(std::vector<std::string>(argv + 1, argv + argc), o);
    if (!error.empty()) {
        std::cerr << "reference_host: " << error << "\n" << usage_text();
        return 2;
    }
    if (o.help) {
        std::cout << usage_text();
        return 0;
    }
    if (o.replay)
        return run_replay(o);
    // The toolkit sees only the program name; the options are ours.
    int toolkit_argc = 1;
    auto* app = new reference_app(o);
    wxApp::SetInstance(app);
    // A refused start (OnInit false) comes back as -1.
    const int result = wxEntry(toolkit_argc, argv);
    return result < 0 ? 1 : result;
}
