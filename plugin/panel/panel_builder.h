// What the section builders of build_panel share while the panel is built in
// one pass: the host's window, the main sizer, the new EventHandler, the
// host's translator, the offered inputs and the row cursor. GUI thread only.
#pragma once

#include <cstdint>

#include <wx/string.h>

class EventHandler;
class host_translator;
class lumoTextCtrl;
class wxComboBox;
class wxGridBagSizer;
class wxSpinCtrl;
class wxWindow;

// The main sizer's gaps and columns.
constexpr int SIZER_GAP = 2;
constexpr int PANEL_COLUMNS = 4;

// Which events a kind of control sends to which method of EventHandler.
enum class wiring {
    choice,       // wxEVT_COMBOBOX -> handle_control_event
    radio,        // wxEVT_RADIOBUTTON -> handle_control_event
    bit_button,   // wxEVT_BUTTON -> handle_control_event
    check_box,    // wxEVT_CHECKBOX -> handle_control_event
    text,         // wxEVT_TEXT_ENTER -> handle_control_event, wxEVT_KILL_FOCUS -> handle_focus_lost
    forward_spin, // as text, and wxEVT_SPINCTRL -> handle_control_event
    timeout_spin, // as text, and wxEVT_SPINCTRL -> handle_spin_change
};

struct panel_builder {
    wxWindow* parent;
    wxGridBagSizer* sizer;
    EventHandler* handler;
    host_translator* translator; // may be null: labels then stay as they are
    std::uint32_t capabilities;  // INPUT_* bits of the described controllers
    int row;                     // first row of the next section

    // A label passed whole through the host's translator.
    wxString translate(const wxString& text) const;
    // Puts `window` on the main sizer at (row, column), spanning rows x
    // columns, with no border.
    void place(wxWindow* window, int at_row, int column, int rows, int columns,
               int flags = 0) const;
    // The horizontal line that opens every section after the digital ones.
    void separator(int at_row) const;
    // Connects the control's events, the new EventHandler being the sink.
    void connect(wxWindow* control, wiring kind) const;
};

// Marks a text that reaches the host's translator later, from a table, so
// that it is listed for translators (po/zavud_pri_rivezavode.pot).
#define TRANSLATABLE(text) text

// `format` with each "%d" replaced by `number` and "%%" by "%". Any other "%"
// stays as it is, so a translated format can never misread its argument.
wxString format_number(const wxString& format, int number);

// The panel's kinds of control, each made the one way the panel makes it.
lumoTextCtrl* new_text(wxWindow* parent, long style);
wxSpinCtrl* new_spin(wxWindow* parent, int min, int max, int initial);
wxComboBox* new_choice(wxWindow* parent); // read-only drop-down

// Shows `value` in `text` as no edit: the panel listens to no text events.
void set_text(lumoTextCtrl* text, const wxString& value);
