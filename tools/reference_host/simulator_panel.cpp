#include "reference_host/simulator_panel.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

#include "model/input_config.h"
#include "reference_host/host_texts.h"

namespace reference_host {

namespace {
// TRANSLATORS: the line end added to a serial text sent from the simulator;
// "CR" and "LF" are the control characters' names.
const char* const line_endings[] = {HOST_TEXT("no line end"), "CR", "LF", "CR LF"};
const char* const line_ending_bytes[] = {"", "\r", "\n", "\r\n"};

wxString shown_text(const std::string& bytes) {
    const wxString text(bytes.c_str(), wxConvLibc);
    return text.empty() && !bytes.empty() ? wxString::From8BitData(bytes.c_str()) : text;
}
} // namespace

simulator_panel::simulator_panel(wxWindow* parent)
    : wxPanel(parent), ports_{{{host_text("8-bit port 1"), INPUT_DIGI8_1, 8, {}},
                               {host_text("8-bit port 2"), INPUT_DIGI8_2, 8, {}},
                               {host_text("16-bit port 1"), INPUT_DIGI16_1, 16, {}},
                               {host_text("16-bit port 2"), INPUT_DIGI16_2, 16, {}},
                               {host_text("32-bit input"), INPUT_DIGI32, 32, {}}}} {

    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* controller_row = new wxBoxSizer(wxHORIZONTAL);
    controller_row->Add(new wxStaticText(this, wxID_ANY, host_text("Controller:")), 0,
                        wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    controller_choice_ = new wxChoice(this, wxID_ANY);
    controller_row->Add(controller_choice_, 1);
    top->Add(controller_row, 0, wxEXPAND | wxALL, 4);
    controller_choice_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { fill_from_levels(); });

    auto* digital = new wxFlexGridSizer(2, 4, 8);
    for (auto& row : ports_)
        build_port(digital, row);
    top->Add(digital, 0, wxALL, 4);

    for (int i = 0; i < 2; ++i) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        // TRANSLATORS: serial interface 1 or 2.
        row->Add(new wxStaticText(this, wxID_ANY, wxString::Format(host_text("Serial %d:"), i + 1)),
                 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
        serial_text_[i] = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                         wxTE_PROCESS_ENTER);
        row->Add(serial_text_[i], 1, wxRIGHT, 4);
        serial_ending_[i] = new wxChoice(this, wxID_ANY);
        for (const char* ending : line_endings)
            serial_ending_[i]->Append(host_text(ending));
        serial_ending_[i]->SetSelection(3);
        row->Add(serial_ending_[i], 0, wxRIGHT, 4);
        auto* send = new wxButton(this, wxID_ANY, host_text("Send"));
        serial_send_[i] = send;
        row->Add(send, 0);
        top->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 4);
        serial_last_[i] = new wxStaticText(this, wxID_ANY, "");
        top->Add(serial_last_[i], 0, wxLEFT, 60);
        send->Bind(wxEVT_BUTTON, [this, i](wxCommandEvent&) { send_serial(i + 1); });
        serial_text_[i]->Bind(wxEVT_TEXT_ENTER, [this, i](wxCommandEvent&) { send_serial(i + 1); });
    }

    auto* outputs = new wxFlexGridSizer(2, 4, 6);
    outputs->AddGrowableCol(1);
    for (int k = 0; k < CHARACTER_INPUTS; ++k) {
        outputs->Add(new wxStaticText(this, wxID_ANY, wxString::Format("IN%d:", k + 2)), 0,
                     wxALIGN_CENTER_VERTICAL);
        character_inputs_[k] =
            new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
        outputs->Add(character_inputs_[k], 1, wxEXPAND);
    }
    // TRANSLATORS: the wait message the element shows during a run.
    outputs->Add(new wxStaticText(this, wxID_ANY, host_text("Message:")), 0,
                 wxALIGN_CENTER_VERTICAL);
    wait_message_ = new wxStaticText(this, wxID_ANY, "");
    wait_message_->SetForegroundColour(wxColour(0, 0, 160));
    outputs->Add(wait_message_, 1, wxEXPAND);
    top->Add(outputs, 0, wxEXPAND | wxALL, 4);

    SetSizer(top);
}

void simulator_panel::build_port(wxSizer* sizer, port_row& row) {
    sizer->Add(new wxStaticText(this, wxID_ANY, row.title), 0, wxALIGN_TOP | wxTOP, 4);
    auto* bits = new wxGridSizer(8, 1, 1);
    const int port = static_cast<int>(&row - ports_.data());
    for (int i = 0; i < row.width; ++i) {
        const int bit = row.width - 1 - i;
        auto* button = new wxToggleButton(this, wxID_ANY, wxString::Format("%d", bit),
                                          wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
        // TRANSLATORS: the port's name (e.g. "8-bit port 1"), then the bit's number.
        button->SetToolTip(wxString::Format(host_text("%s, bit %d: pressed = 1"), row.title, bit));
        button->Bind(wxEVT_TOGGLEBUTTON, [this, port](wxCommandEvent&) { on_bit(port); });
        bits->Add(button, 0, wxEXPAND);
        row.bits.push_back(button);
    }
    sizer->Add(bits, 0);
}

void simulator_panel::set_controllers(const std::vector<controller_setup>& controllers) {
    controllers_ = controllers;
    controller_choice_->Clear();
    for (const auto& c : controllers_)
        // TRANSLATORS: the controller's number (from 1), then its index (from 0).
        controller_choice_->Append(
            c.valid ? wxString::Format(host_text("Controller %d (index %d)"), c.index + 1, c.index)
                    // TRANSLATORS: the same, for a controller that is
                    // described as not valid.
                    : wxString::Format(host_text("Controller %d (index %d), "
                                                 "not valid"),
                                       c.index + 1, c.index));
    if (!controllers_.empty())
        controller_choice_->SetSelection(0);
    fill_from_levels();
}

int simulator_panel::selected_controller() const {
    const int i = controller_choice_->GetSelection();
    return i >= 0 && i < static_cast<int>(controllers_.size()) ? controllers_[i].index : 0;
}

controller_inputs simulator_panel::levels(int controller) const {
    const auto found = levels_.find(controller);
    return found == levels_.end() ? controller_inputs{} : found->second;
}

void simulator_panel::fill_from_levels() {
    // Shows the selected controller's levels; only its own inputs can be set.
    filling_ = true;
    const int index = controller_choice_->GetSelection();
    const std::uint32_t offered = index >= 0 && index < static_cast<int>(controllers_.size())
                                      ? controllers_[index].capabilities
                                      : 0;
    const controller_inputs in = levels(selected_controller());
    for (auto& row : ports_) {
        const std::uint32_t level = in.level(row.mode);
        for (int i = 0; i < row.width; ++i) {
            row.bits[i]->SetValue((level >> (row.width - 1 - i)) & 1u);
            row.bits[i]->Enable((offered & row.mode) != 0);
        }
    }
    for (int i = 0; i < 2; ++i) {
        const bool on = (offered & (i == 0 ? INPUT_SERIAL_1 : INPUT_SERIAL_2)) != 0;
        serial_text_[i]->Enable(on);
        serial_ending_[i]->Enable(on);
        serial_send_[i]->Enable(on);
    }
    filling_ = false;
}

void simulator_panel::on_bit(int port) {
    if (filling_)
        return;
    const port_row& row = ports_[port];
    std::uint32_t level = 0;
    for (int i = 0; i < row.width; ++i)
        if (row.bits[i]->GetValue())
            level |= std::uint32_t{1} << (row.width - 1 - i);
    const int controller = selected_controller();
    controller_inputs& in = levels_[controller];
    in.set_level(row.mode, level);
    if (on_change)
        on_change(controller, in);
}

void simulator_panel::send_serial(int serial_interface) {
    const int i = serial_interface - 1;
    const int ending = serial_ending_[i]->GetSelection();
    // Texts travel as 8-bit bytes in the locale's encoding, the one the
    // plug-in decodes them with; what it cannot encode goes as Latin-1.
    const wxString typed = serial_text_[i]->GetValue();
    const wxScopedCharBuffer encoded = typed.mb_str(wxConvLibc);
    std::string text = encoded.length() > 0 || typed.empty()
                           ? std::string(encoded.data(), encoded.length())
                           : std::string(typed.ToStdString(wxConvISO8859_1));
    text += line_ending_bytes[ending < 0 ? 0 : ending];
    receive_serial_line(serial_interface, text);
}

void simulator_panel::receive_serial_line(int serial_interface, const std::string& line) {
    const int i = serial_interface - 1;
    const int controller = selected_controller();
    controller_inputs in = levels(controller);
    std::string& field = serial_interface == 1 ? in.serial1 : in.serial2;
    const std::size_t limit = serial_interface == 1 ? SERIAL1_TEXT_LIMIT : SERIAL2_TEXT_LIMIT;
    field = line.substr(0, limit);
    // TRANSLATORS: %s is the text sent, in quotes.
    serial_last_[i]->SetLabelText(
        wxString::Format(host_text("sent %s"), shown_text(quote_text(field))));
    if (on_change)
        on_change(controller, in);
}

void simulator_panel::show_run(const project_runner& runner) {
    for (int k = 0; k < CHARACTER_INPUTS; ++k) {
        const wxString text = wxString::FromUTF8(runner.character_inputs()[k]);
        if (character_inputs_[k]->GetValue() != text)
            character_inputs_[k]->ChangeValue(text);
    }
    const wxString message = runner.wait_message() ? *runner.wait_message() : wxString();
    if (wait_message_->GetLabel() != message)
        wait_message_->SetLabelText(message);
}

} // namespace reference_host
