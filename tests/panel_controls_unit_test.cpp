// The panel object's controls, white-box: the sections land in the arrays by
// port and interface, sections not offered stay null and are skipped, and the
// host destroying the window drops every control at once.
#include <cstring>
#include <memory>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/radiobut.h>

#include "lumo.h"
#include "panel/digital_ports.h"
#include "panel/event_handler.h"
#include "panel/panel_builder.h"
#include "test_support/test_host.h"

namespace {

// A panel built straight into a window of its own, no plug-in state involved.
struct built_panel {
    explicit built_panel(std::uint32_t capabilities, bool no_timeout_section = false)
        : creation(no_timeout_section) {
        controllers.describe(
            static_cast<const std::uint8_t*>(controller_description(0, capabilities).data()));
        frame = new wxFrame(nullptr, wxID_ANY, "panel");
        window = new wxPanel(frame, wxID_ANY);
        element->parent_window = window;
        element->project = project.record();
        element->instance_data = &record;
        record.config = config_template;
        record.host_context = creation.bytes;
        current = element.handle();
        handler = build_panel(element.handle(), &record, config_template, controllers, current);
    }
    ~built_panel() {
        if (frame != nullptr)
            frame->Destroy();
    }
    // An event from the control with `id`, as the toolkit sends it.
    void send(int id) {
        wxCommandEvent event(wxEVT_NULL, id);
        handler->handle_control_event(event);
    }

    input_config config_template = factory_template();
    controller_table controllers;
    creation_record creation;
    project_context project;
    host_element element;
    instance_data record;
    wxFrame* frame = nullptr;
    wxPanel* window = nullptr;
    element_handle* current = nullptr;
    std::unique_ptr<EventHandler> handler;
};

constexpr std::uint32_t EVERY_INPUT = INPUT_DIGI8_1 | INPUT_DIGI8_2 | INPUT_DIGI16_1 |
                                      INPUT_DIGI16_2 | INPUT_DIGI32 | INPUT_SERIAL_ANY;

} // namespace

TEST(PanelControls, SectionsAreIndexedByPortAndInterface) {
    built_panel panel(EVERY_INPUT);
    const panel_controls& c = panel.handler->controls;
    EXPECT_EQ(c.window, panel.window);
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port) {
        const digital_port& info = digital_ports[port];
        const digital_section_controls& section = c.digital[port];
        ASSERT_NE(section.radio, nullptr) << port;
        EXPECT_EQ(section.radio->GetLabel(),
                  wxString::Format("Digital %d (%d Bit)", info.number, info.width));
        for (int i = 0; i < MAX_PORT_WIDTH; ++i) {
            if (i >= info.width) {
                EXPECT_EQ(section.bits[i], nullptr) << port << " bit slot " << i;
                continue;
            }
            ASSERT_NE(section.bits[i], nullptr) << port << " bit slot " << i;
            EXPECT_EQ(section.bits[i]->GetToolTipText(),
                      format_number("Bit %d", info.width - 1 - i));
        }
    }
    EXPECT_EQ(c.serial[0].radio->GetLabel(), "Serial Interface 1");
    EXPECT_EQ(c.serial[0].substring_radio->GetLabel(), "Compare (sub)string");
    EXPECT_EQ(c.serial[1].radio->GetLabel(), "Serial Interface 2");
    EXPECT_EQ(c.serial[1].substring_radio->GetLabel(), "Compare substring");

    // Interface 2's controls edit interface 2's fields, not interface 1's.
    panel.send(c.serial[1].radio->GetId());
    panel.send(c.serial[1].substring_radio->GetId());
    EXPECT_EQ(panel.record.config.input_mode, INPUT_SERIAL_2);
    EXPECT_EQ(panel.record.config.flags & (FLAG_SERIAL2_SUBSTRING | FLAG_SERIAL2_FULL),
              FLAG_SERIAL2_SUBSTRING);
    EXPECT_EQ(panel.config_template.flags, panel.record.config.flags);
    EXPECT_FALSE(c.serial[0].compare_text->IsEnabled());
    EXPECT_TRUE(c.serial[1].compare_text->IsEnabled());
}

TEST(PanelControls, SectionsNotOfferedStayNullAndAreSkipped) {
    built_panel panel(INPUT_DIGI16_2 | INPUT_SERIAL_2, true);
    const panel_controls& c = panel.handler->controls;
    for (int port = 0; port < DIGITAL_PORT_COUNT; ++port)
        EXPECT_EQ(c.digital[port].radio != nullptr, port == 3) << port;
    EXPECT_EQ(c.serial[0].radio, nullptr);
    EXPECT_EQ(c.serial[0].compare_text, nullptr);
    EXPECT_NE(c.serial[1].radio, nullptr);
    EXPECT_NE(c.forwarding.label, nullptr);
    EXPECT_EQ(c.timeout.check, nullptr);
    EXPECT_EQ(c.timeout.goto_choice, nullptr);

    fill_panel(*panel.handler, *panel.element.handle(), panel.record, 0);
    panel.send(c.digital[3].radio->GetId());
    EXPECT_EQ(panel.record.config.input_mode, INPUT_DIGI16_2);
    // An event no section claims changes nothing, but still commits and refreshes.
    const input_config before = panel.record.config;
    panel.config_template.flags ^= FLAG_TIMEOUT;
    panel.send(wxID_HIGHEST + 1); // the panel's controls all have identifiers of their own
    EXPECT_EQ(std::memcmp(&panel.record.config, &before, sizeof before), 0);
    EXPECT_EQ(panel.config_template.flags, before.flags);
}

TEST(PanelControls, DestroyingTheWindowDropsEveryControl) {
    built_panel panel(EVERY_INPUT);
    panel.project.set_elements({"first", "second"}, {11, 12});
    fill_panel(*panel.handler, *panel.element.handle(), panel.record, 0);
    EXPECT_EQ(panel.handler->controls.timeout.goto_names.size(), 2u);
    ASSERT_TRUE(panel.handler->has_controls());

    panel.window->Destroy();
    panel.frame->Destroy();
    panel.frame = nullptr;

    const panel_controls& c = panel.handler->controls;
    EXPECT_FALSE(panel.handler->has_controls());
    EXPECT_EQ(c.window, nullptr);
    EXPECT_EQ(c.digital[4].radio, nullptr);
    EXPECT_EQ(c.digital[4].bits[31], nullptr);
    EXPECT_EQ(c.serial[1].substring_radio, nullptr);
    EXPECT_EQ(c.forwarding.targets[3], nullptr);
    EXPECT_EQ(c.message.text, nullptr);
    EXPECT_EQ(c.timeout.goto_choice, nullptr);
    EXPECT_TRUE(c.timeout.goto_names.empty());
    // With no controls, a refresh touches nothing.
    panel.handler->refresh_panel();
}
