#include "panel/message_section.h"

#include <wx/checkbox.h>

#include "lumo.h"
#include "panel/panel_builder.h"

void build_message_section(panel_builder& b, message_section_controls& m) {
    const int r = b.row;
    b.separator(r);

    m.check = new wxCheckBox(b.parent, wxID_ANY, b.translate("Display message during wait") + ":");
    b.place(m.check, r + 1, 0, 1, 3, wxEXPAND);
    b.connect(m.check, wiring::check_box);

    m.text = new_text(b.parent, wxTE_MULTILINE | wxTE_PROCESS_ENTER);
#if !defined(__WXGTK__)
    // wxGTK has no length limit for multi-line text and asserts; the
    // conversion into the record caps the stored message anyway.
    m.text->SetMaxLength(WAIT_MESSAGE_CAPACITY);
#endif
    b.place(m.text, r + 2, 0, 3, 3, wxEXPAND);
    b.connect(m.text, wiring::text);

    b.row += 5;
}

void fill_message_section(message_section_controls& m, const input_config& c) {
    wxString message;
    lumo_unicode_charToStringUTF16BE(reinterpret_cast<const char*>(c.wait_message),
                                     WAIT_MESSAGE_CAPACITY, message);
    set_text(m.text, message);
    m.check->SetValue((c.flags & FLAG_SHOW_MESSAGE) != 0);
}

void refresh_message_section(message_section_controls& m, const input_config& c) {
    m.text->Enable((c.flags & FLAG_SHOW_MESSAGE) != 0);
}

edit_result edit_message_section(const message_section_controls& m, input_config& edited, int id) {
    if (sent_by(m.text, id)) {
        lumo_unicode_stringToCharUTF16BE(m.text->GetValue(),
                                         reinterpret_cast<char*>(edited.wait_message),
                                         WAIT_MESSAGE_CAPACITY);
        return edit_result::message_only;
    }
    if (sent_by(m.check, id)) {
        set_flag(edited, FLAG_SHOW_MESSAGE, m.check->GetValue());
        return edit_result::edited;
    }
    return edit_result::not_sent;
}
