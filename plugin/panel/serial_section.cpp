#include "panel/serial_section.h"

#include <wx/gbsizer.h>
#include <wx/radiobut.h>

#include "lumo.h"
#include "panel/panel_builder.h"
#include "panel/panel_radio.h"

namespace {

// What tells the interfaces apart, by interface.
struct serial_interface {
    std::uint32_t mode;
    const char* number;         // " 1" or " 2", appended untranslated
    const char* substring_text; // the two interfaces' labels differ
    std::uint32_t full_flag;
    std::uint32_t substring_flag;
    char (input_config::*compare_text)[COMPARE_TEXT_CAPACITY + 1];
};

const serial_interface serial_interfaces[SERIAL_INTERFACE_COUNT] = {
    {INPUT_SERIAL_1, " 1", TRANSLATABLE("Compare (sub)string"), FLAG_SERIAL1_FULL,
     FLAG_SERIAL1_SUBSTRING, &input_config::compare_text1},
    {INPUT_SERIAL_2, " 2", TRANSLATABLE("Compare substring"), FLAG_SERIAL2_FULL,
     FLAG_SERIAL2_SUBSTRING, &input_config::compare_text2},
};

void build_serial_section(panel_builder& b, const serial_interface& s,
                          serial_section_controls& section) {
    const int r = b.row;
    b.separator(r);

    section.radio = new panel_radio(b.parent, b.translate("Serial Interface") + s.number);
    b.place(section.radio, r + 1, 0, 1, 3, wxEXPAND);
    b.connect(section.radio, wiring::radio);

    section.compare_text = new_text(b.parent, wxTE_PROCESS_ENTER);
    section.compare_text->SetMaxLength(COMPARE_TEXT_CAPACITY);
    b.place(section.compare_text, r + 2, 0, 1, 3, wxEXPAND);
    b.connect(section.compare_text, wiring::text);

    section.full_radio = new panel_radio(b.parent, b.translate("Compare full string"));
    b.place(section.full_radio, r + 3, 1, 1, 2);
    b.connect(section.full_radio, wiring::radio);

    section.substring_radio = new panel_radio(b.parent, b.translate(s.substring_text));
    b.place(section.substring_radio, r + 4, 1, 1, 2);
    b.connect(section.substring_radio, wiring::radio);

    b.row += 5;
}

} // namespace

void build_serial_sections(panel_builder& b, serial_sections& interfaces) {
    for (int i = 0; i < SERIAL_INTERFACE_COUNT; ++i)
        if ((b.capabilities & serial_interfaces[i].mode) != 0)
            build_serial_section(b, serial_interfaces[i], interfaces[i]);
}

void fill_serial_sections(serial_sections& interfaces, const input_config& c) {
    for (int i = 0; i < SERIAL_INTERFACE_COUNT; ++i) {
        if (interfaces[i].compare_text == nullptr)
            continue;
        wxString text;
        lumo_unicode_charToStringASCII(c.*serial_interfaces[i].compare_text, COMPARE_TEXT_CAPACITY,
                                       text);
        set_text(interfaces[i].compare_text, text);
    }
}

void refresh_serial_sections(serial_sections& interfaces, const input_config& c) {
    for (int i = 0; i < SERIAL_INTERFACE_COUNT; ++i) {
        const serial_section_controls& section = interfaces[i];
        if (section.radio == nullptr)
            continue;
        const bool chosen = c.input_mode == serial_interfaces[i].mode;
        section.radio->SetValue(chosen);
        // Another mode leaves the compare radios showing the interface's last choice.
        if (chosen) {
            const bool substring = (c.flags & serial_interfaces[i].substring_flag) != 0;
            section.substring_radio->SetValue(substring);
            section.full_radio->SetValue(!substring);
        }
        section.compare_text->Enable(chosen);
        section.full_radio->Enable(chosen);
        section.substring_radio->Enable(chosen);
    }
}

edit_result edit_serial_sections(const serial_sections& interfaces, input_config& edited, int id) {
    for (int i = 0; i < SERIAL_INTERFACE_COUNT; ++i) {
        const serial_section_controls& section = interfaces[i];
        // A compare control counts only while its interface's section exists.
        if (section.radio == nullptr)
            continue;
        const serial_interface& s = serial_interfaces[i];
        if (sent_by(section.radio, id)) {
            edited.input_mode = s.mode;
        } else if (sent_by(section.full_radio, id)) {
            edited.flags = (edited.flags | s.full_flag) & ~s.substring_flag;
        } else if (sent_by(section.substring_radio, id)) {
            edited.flags = (edited.flags | s.substring_flag) & ~s.full_flag;
        } else if (sent_by(section.compare_text, id)) {
            lumo_unicode_stringToCharASCII(section.compare_text->GetValue(), edited.*s.compare_text,
                                           COMPARE_TEXT_CAPACITY);
        } else {
            continue;
        }
        return edit_result::edited;
    }
    return edit_result::not_sent;
}
