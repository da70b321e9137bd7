#include "test_support/panel_host.h"

#include <gtest/gtest.h>

panel_host::panel_host()
    : frame_(new wxFrame(nullptr, wxID_ANY, "host")), window_(new wxPanel(frame_, wxID_ANY)) {
    refresh_log().clear();
}

panel_host::~panel_host() {
    for (auto& element : elements_)
        plugin().vexa_delete_instance(element->handle());
    plugin().vexa_reset_gui();
    frame_->Destroy();
}

void panel_host::describe(std::uint8_t index, std::uint32_t capabilities) {
    describe(controller_description(index, capabilities));
}

void panel_host::describe(const controller_description& description) {
    plugin().vexa_set_config_info(description.data());
}

host_element& panel_host::create(const void* creation) {
    elements_.push_back(std::make_unique<host_element>());
    host_element& element = *elements_.back();
    element->parent_window = window_;
    element->translator = &translator;
    element->project = project.record();
    EXPECT_EQ(plugin().vexa_create_instance(element.handle(), creation), RES_OK);
    plugin().vexa_set_refresh_callback(element.handle(), recording_refresh);
    return element;
}

void panel_host::select(host_element& element, std::uint32_t host_flags, std::uint8_t show) {
    plugin().vexa_select(element.handle(), host_flags, show);
}

wxGridBagSizer* panel_host::sizer() const {
    return dynamic_cast<wxGridBagSizer*>(window_->GetSizer());
}

wxWindow* panel_host::at(int row, int column) const {
    wxGridBagSizer* s = sizer();
    if (s == nullptr)
        return nullptr;
    for (wxSizerItem* item : s->GetChildren()) {
        auto* gb = static_cast<wxGBSizerItem*>(item);
        if (gb->GetPos() == wxGBPosition(row, column))
            return gb->GetWindow();
    }
    return nullptr;
}

std::vector<wxButton*> panel_host::bit_buttons(int row) const {
    std::vector<wxButton*> buttons;
    if (wxWindow* panel = at(row, 0))
        for (wxWindow* child : panel->GetChildren())
            if (auto* button = dynamic_cast<wxButton*>(child))
                buttons.push_back(button);
    return buttons;
}

std::vector<wxWindow*> panel_host::shown_children() const {
    std::vector<wxWindow*> shown;
    for (wxWindow* child : window_->GetChildren())
        if (child->IsShown())
            shown.push_back(child);
    return shown;
}

// A control the panel lacks is null: the test fails there rather than crash.
void click(wxButton* button) {
    ASSERT_NE(button, nullptr);
    panel_input::click(*button);
}

void choose(wxRadioButton* radio) {
    ASSERT_NE(radio, nullptr);
    panel_input::choose(*radio);
}

void tick(wxCheckBox* box, bool ticked) {
    ASSERT_NE(box, nullptr);
    panel_input::tick(*box, ticked);
}

void pick(wxComboBox* choice, int entry) {
    ASSERT_NE(choice, nullptr);
    panel_input::pick(*choice, entry);
}

void enter_text(wxTextCtrl* text, const wxString& value) {
    ASSERT_NE(text, nullptr);
    panel_input::enter_text(*text, value);
}

void spin_to(wxSpinCtrl* spin, int value) {
    ASSERT_NE(spin, nullptr);
    panel_input::spin_to(*spin, value);
}

void press_enter(wxWindow* control) {
    ASSERT_NE(control, nullptr);
    panel_input::press_enter(*control);
}

bool lose_focus(wxWindow* control) {
    return panel_input::lose_focus(*control);
}

std::string labels_of(const std::vector<wxButton*>& buttons) {
    std::string labels;
    for (wxButton* button : buttons)
        labels += button->GetLabel().ToStdString();
    return labels;
}

wxGBSizerItem* item_of(const panel_host& host, wxWindow* window) {
    return window ? host.sizer()->FindItem(window) : nullptr;
}

void expect_cell_window(wxWindow* window, const panel_host& host, int rows, int columns,
                        int flags) {
    ASSERT_NE(window, nullptr) << "no control of the expected type there";
    wxGBSizerItem* item = item_of(host, window);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetSpan(), wxGBSpan(rows, columns));
    EXPECT_EQ(item->GetFlag(), flags);
    EXPECT_EQ(item->GetBorder(), 0);
}

full_panel::full_panel(const panel_host& host) {
    controller = host.control<wxComboBox>(0, 0);
    const int digital_rows[5] = {1, 3, 5, 8, 11};
    for (int p = 0; p < 2; ++p) {
        digi8_radio[p] = host.control<wxRadioButton>(digital_rows[p], 0);
        digi8_bits[p] = host.bit_buttons(digital_rows[p] + 1);
        digi16_radio[p] = host.control<wxRadioButton>(digital_rows[2 + p], 0);
        for (int k = 1; k <= 2; ++k)
            for (wxButton* b : host.bit_buttons(digital_rows[2 + p] + k))
                digi16_bits[p].push_back(b);
    }
    digi32_radio = host.control<wxRadioButton>(11, 0);
    for (int k = 1; k <= 4; ++k)
        for (wxButton* b : host.bit_buttons(11 + k))
            digi32_bits.push_back(b);
    for (int i = 0; i < 2; ++i) {
        const int r = 16 + 5 * i;
        serial_radio[i] = host.control<wxRadioButton>(r + 1, 0);
        compare_text[i] = host.control<wxTextCtrl>(r + 2, 0);
        full_radio[i] = host.control<wxRadioButton>(r + 3, 1);
        sub_radio[i] = host.control<wxRadioButton>(r + 4, 1);
    }
    forward_label = host.control<wxStaticText>(27, 0);
    std::vector<wxWindow*> range;
    for (wxWindow* child : host.at(28, 1)->GetChildren())
        range.push_back(child);
    from_label = dynamic_cast<wxStaticText*>(range[0]);
    from_spin = dynamic_cast<wxSpinCtrl*>(range[1]);
    to_label = dynamic_cast<wxStaticText*>(range[2]);
    to_spin = dynamic_cast<wxSpinCtrl*>(range[3]);
    for (int i = 0; i < 4; ++i)
        forward_in[i] = host.control<wxCheckBox>(29 + i, 1);
    message_check = host.control<wxCheckBox>(34, 0);
    message_text = host.control<wxTextCtrl>(35, 0);
    timeout_check = host.control<wxCheckBox>(39, 0);
    timeout_spin = host.control<wxSpinCtrl>(39, 1);
    timeout_unit = host.control<wxStaticText>(39, 2);
    timeout_action = host.control<wxComboBox>(40, 1);
    goto_choice = host.control<wxComboBox>(41, 1);
}

std::vector<wxRadioButton*> full_panel::radios() const {
    return {digi8_radio[0], digi8_radio[1],  digi16_radio[0], digi16_radio[1],
            digi32_radio,   serial_radio[0], serial_radio[1], full_radio[0],
            sub_radio[0],   full_radio[1],   sub_radio[1]};
}

std::string full_panel::radio_states() const {
    std::string states;
    for (wxRadioButton* radio : radios())
        states += radio->GetValue() ? '1' : '0';
    return states;
}
