// A host property window for the configuration panel, built through the
// plug-in's exported functions, and the ways the toolkit drives its controls.
#pragma once

#include <memory>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/frame.h>
#include <wx/gbsizer.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "test_support/test_host.h"

// Elements of one project, all sharing one property window, a marking
// translator and a project context. Deletes its elements, resets the GUI and
// closes the window at the end.
class panel_host {
public:
    panel_host();
    ~panel_host();
    panel_host(const panel_host&) = delete;
    panel_host& operator=(const panel_host&) = delete;

    // Describes controller `index` with `capabilities` (call before the panel is built).
    void describe(std::uint8_t index, std::uint32_t capabilities);
    void describe(const controller_description& description);

    // A new element in the property window with the host's records and the
    // recording refresh callback installed.
    host_element& create(const void* creation = nullptr);
    void select(host_element& element, std::uint32_t host_flags = 0, std::uint8_t show = 1);

    wxFrame* frame() const { return frame_; }
    wxPanel* window() const { return window_; }
    marking_translator translator;
    project_context project;

    // The main sizer, and the window whose sizer item starts at (row, column).
    wxGridBagSizer* sizer() const;
    wxWindow* at(int row, int column) const;
    template <class T> T* control(int row, int column) const {
        return dynamic_cast<T*>(at(row, column));
    }
    // The eight bit buttons of the bit panel at (row, 0), left to right.
    std::vector<wxButton*> bit_buttons(int row) const;
    // The visible windows directly in the property window.
    std::vector<wxWindow*> shown_children() const;

private:
    wxFrame* frame_;
    wxPanel* window_;
    std::vector<std::unique_ptr<host_element>> elements_;
};

// Every input a controller can offer.
constexpr std::uint32_t ALL_INPUTS = INPUT_DIGI8_1 | INPUT_DIGI8_2 | INPUT_DIGI16_1 |
                                     INPUT_DIGI16_2 | INPUT_DIGI32 | INPUT_SERIAL_1 |
                                     INPUT_SERIAL_2;

// The controls of a panel built with ALL_INPUTS and the timeout rows, found
// at their places on the sizer. Index 0 is port / interface 1.
struct full_panel {
    explicit full_panel(const panel_host& host);

    wxComboBox* controller;
    wxRadioButton* digi8_radio[2];
    std::vector<wxButton*> digi8_bits[2];
    wxRadioButton* digi16_radio[2];
    std::vector<wxButton*> digi16_bits[2];
    wxRadioButton* digi32_radio;
    std::vector<wxButton*> digi32_bits;
    wxRadioButton* serial_radio[2];
    wxTextCtrl* compare_text[2];
    wxRadioButton* full_radio[2];
    wxRadioButton* sub_radio[2];
    wxStaticText* forward_label;
    wxStaticText* from_label;
    wxSpinCtrl* from_spin;
    wxStaticText* to_label;
    wxSpinCtrl* to_spin;
    wxCheckBox* forward_in[4];
    wxCheckBox* message_check;
    wxTextCtrl* message_text;
    wxCheckBox* timeout_check;
    wxSpinCtrl* timeout_spin;
    wxStaticText* timeout_unit;
    wxComboBox* timeout_action;
    wxComboBox* goto_choice;

    // The seven mode radios in panel order, then the four compare radios.
    std::vector<wxRadioButton*> radios() const;
    // "1" for each radio of radios() that reads selected, "0" otherwise.
    std::string radio_states() const;
};

// Input as the toolkit delivers it (host_kit/panel_input.h), to the control
// found at a place of the panel.
void click(wxButton* button);
void choose(wxRadioButton* radio);
void tick(wxCheckBox* box, bool ticked);
void pick(wxComboBox* choice, int entry);
void enter_text(wxTextCtrl* text, const wxString& value);
void spin_to(wxSpinCtrl* spin, int value);
void press_enter(wxWindow* control);
// Returns whether the focus event was left skipped for the toolkit.
bool lose_focus(wxWindow* control);

// The labels of `buttons`, joined ("XX01...").
std::string labels_of(const std::vector<wxButton*>& buttons);

// The sizer item of `window` on the main sizer, or null.
wxGBSizerItem* item_of(const panel_host& host, wxWindow* window);
// Checks that (row, column) holds a window of type T with the given span and
// flags and no border, and returns it (null after a failed check).
template <class T>
T* expect_cell(const panel_host& host, int row, int column, int rows, int columns, int flags);
void expect_cell_window(wxWindow* window, const panel_host& host, int rows, int columns, int flags);

template <class T>
T* expect_cell(const panel_host& host, int row, int column, int rows, int columns, int flags) {
    T* window = host.control<T>(row, column);
    expect_cell_window(window, host, rows, columns, flags);
    return window;
}
