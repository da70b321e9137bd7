#include "tests/support/panel_host.h"

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

namespace {

void send(wxWindow* control, wxEventType type, int int_value = 0) {
    ASSERT_NE(control, nullptr);
    wxCommandEvent event(type, control->GetId());
    event.SetEventObject(control);
    event.SetInt(int_value);
    control->ProcessWindowEvent(event);
}

} // namespace

void click(wxButton* button) {
    send(button, wxEVT_BUTTON);
}

void choose(wxRadioButton* radio) {
    ASSERT_NE(radio, nullptr);
    radio->SetValue(true);
    send(radio, wxEVT_RADIOBUTTON, 1);
}

void tick(wxCheckBox* box, bool ticked) {
    ASSERT_NE(box, nullptr);
    box->SetValue(ticked);
    send(box, wxEVT_CHECKBOX, ticked ? 1 : 0);
}

void pick(wxComboBox* choice, int entry) {
    ASSERT_NE(choice, nullptr);
    choice->SetSelection(entry);
    send(choice, wxEVT_COMBOBOX, entry);
}

void enter_text(wxTextCtrl* text, const wxString& value) {
    ASSERT_NE(text, nullptr);
    text->ChangeValue(value);
    send(text, wxEVT_TEXT_ENTER);
}

void spin_to(wxSpinCtrl* spin, int value) {
    ASSERT_NE(spin, nullptr);
    spin->SetValue(value);
    wxSpinEvent event(wxEVT_SPINCTRL, spin->GetId());
    event.SetEventObject(spin);
    event.SetPosition(spin->GetValue());
    spin->ProcessWindowEvent(event);
}

void press_enter(wxWindow* control) {
    send(control, wxEVT_TEXT_ENTER);
}

bool lose_focus(wxWindow* control) {
    wxFocusEvent event(wxEVT_KILL_FOCUS, control->GetId());
    event.SetEventObject(control);
    control->ProcessWindowEvent(event);
    return event.GetSkipped();
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
