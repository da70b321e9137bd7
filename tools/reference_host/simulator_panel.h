// The controller simulator: a controller selector, a toggle per bit of each
// digital port, a text field per serial interface, and the displays of what
// the run hands back (IN2..IN5, the wait message).
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <wx/panel.h>

#include "reference_host/controller_inputs.h"
#include "reference_host/controller_setup.h"
#include "reference_host/project_runner.h"

class wxChoice;
class wxStaticText;
class wxTextCtrl;
class wxToggleButton;

namespace reference_host {

class simulator_panel : public wxPanel {
public:
    explicit simulator_panel(wxWindow* parent);

    void set_controllers(const std::vector<controller_setup>& controllers);
    const std::vector<controller_setup>& controllers() const { return controllers_; }
    int selected_controller() const;
    // The digital levels of `controller`; serial texts are empty (a text is
    // sent once, in the record of the moment it arrives).
    controller_inputs levels(int controller) const;

    // A line from the serial device for serial interface 1 or 2 of the
    // selected controller: shown and sent like a typed text.
    void receive_serial_line(int serial_interface, const std::string& line);
    // Shows IN2..IN5 and the wait message of the run.
    void show_run(const project_runner& runner);

    // Called with the record of a change: a bit toggled, a text sent.
    std::function<void(int controller, const controller_inputs& inputs)> on_change;

private:
    struct port_row {
        wxString title;
        std::uint32_t mode;
        int width;
        std::vector<wxToggleButton*> bits; // most significant first
    };
    void build_port(wxSizer* sizer, port_row& row);
    void on_bit(int port);
    void send_serial(int serial_interface);
    void fill_from_levels();

    std::vector<controller_setup> controllers_;
    std::map<int, controller_inputs> levels_;
    wxChoice* controller_choice_ = nullptr;
    std::array<port_row, 5> ports_;
    std::array<wxTextCtrl*, 2> serial_text_{};
    std::array<wxChoice*, 2> serial_ending_{};
    std::array<wxStaticText*, 2> serial_last_{};
    std::array<wxWindow*, 2> serial_send_{};
    std::array<wxTextCtrl*, CHARACTER_INPUTS> character_inputs_{};
    wxStaticText* wait_message_ = nullptr;
    bool filling_ = false;
};

} // namespace reference_host
