// Renders the configuration panel with every section into a PNG, as a host
// shows it: the plug-in is loaded with dlopen and driven through its entry
// points. Usage (under a display tall enough for the panel):
//   xvfb-run -a -s "-screen 0 1024x1600x24" build/tests/panel_screenshot docs/panel.png
#include <cstdio>
#include <cstring>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include "abi/controller_config.h"
#include "element/instance_data.h"
#include "host_kit/host_records.h"
#include "host_kit/plugin_library.h"

namespace {

constexpr std::uint32_t EVERY_INPUT = INPUT_DIGI8_1 | INPUT_DIGI8_2 | INPUT_DIGI16_1 |
                                      INPUT_DIGI16_2 | INPUT_DIGI32 | INPUT_SERIAL_1 |
                                      INPUT_SERIAL_2;

void describe_controller(plugin_library& plugin) {
    std::uint8_t description[CONTROLLER_CONFIG_SIZE] = {};
    description[CONFIG_STATUS_FLAGS] = CONFIG_VALID;
    std::memcpy(&description[CONFIG_CAPABILITIES], &EVERY_INPUT, sizeof EVERY_INPUT);
    plugin.vexa_set_config_info(description);
}

// A 16-bit wait with a few bits, a timeout that jumps, a message and forwarding.
void configure(input_config& c) {
    c.input_mode = INPUT_DIGI16_1;
    c.digi16_mask[0] = 0xC00F;
    c.digi16_value[0] = 0x8005;
    c.flags |= FLAG_TIMEOUT | FLAG_SHOW_MESSAGE | FLAG_FORWARD_IN2;
    c.timeout_sec = 30;
    c.timeout_action = ACTION_GOTO;
    c.goto_element = 2;
    std::strcpy(c.compare_text1, "START[CR][LF]");
    const char message[] = "Waiting for the part sensor";
    for (std::size_t i = 0; message[i] != 0; ++i)
        c.wait_message[2 * i + 1] = static_cast<std::uint8_t>(message[i]);
}

void settle(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        wxYield();
        wxMilliSleep(10);
    }
}

int render(const char* path) {
    plugin_library plugin(ZAVUD_PLUGIN_PATH);
    if (!plugin.ok()) {
        std::fprintf(stderr, "%s\n", plugin.error().c_str());
        return 1;
    }
    describe_controller(plugin);

    auto* frame = new wxFrame(nullptr, wxID_ANY, "Custom Input");
    auto* window = new wxPanel(frame, wxID_ANY);
    marking_translator translator(false);
    project_context project;
    project.set_elements({"Load part", "Wait for sensor", "Mark serial number", "Unload"},
                         {1, 2, 3, 4});
    host_element element;
    element->parent_window = window;
    element->translator = &translator;
    element->project = project.record();
    plugin.vexa_create_instance(element.handle(), nullptr);
    configure(static_cast<instance_data*>(element->instance_data)->config);
    plugin.vexa_select(element.handle(), 0, 1);

    frame->SetClientSize(window->GetSizer()->GetMinSize() + wxSize(16, 16));
    window->SetSize(frame->GetClientSize());
    window->Layout();
    frame->Move(0, 0);
    frame->Show();
    settle(60);

    const wxRect area(window->GetScreenPosition(), window->GetClientSize());
    wxBitmap shot(area.GetSize());
    {
        wxScreenDC screen;
        wxMemoryDC memory(shot);
        memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    }
    const bool saved = shot.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG);

    plugin.vexa_delete_instance(element.handle());
    plugin.vexa_reset_gui();
    frame->Destroy();
    settle(2);
    if (!saved) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    std::printf("%s: %d x %d\n", path, area.width, area.height);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "panel.png";
    wxApp::SetInstance(new wxApp);
    int toolkit_argc = 1; // the output path is ours, not the toolkit's
    if (!wxEntryStart(toolkit_argc, argv)) {
        std::fprintf(stderr, "cannot start the toolkit: is a display available (xvfb-run)?\n");
        return 2;
    }
    wxTheApp->CallOnInit();
    wxImage::AddHandler(new wxPNGHandler);
    const int result = render(path);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
