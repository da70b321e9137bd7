// Project files through the plug-in: each Custom Input's record comes from
// vexa_get_save_data and goes back through vexa_create_instance and
// vexa_set_loaded_data, so a saved project reopens to the same bytes.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "reference_host/plugin_session.h"
#include "test_support/save_records.h"
#include "test_support/test_host.h"

using namespace reference_host;

namespace {

std::string file_text(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

project sample_project() {
    const auto waits_for_bit = saved_record([](input_config& c) {
        c.input_mode = INPUT_DIGI16_2;
        c.digi16_mask[1] = 0x8001;
        c.digi16_value[1] = 0x0001;
        c.flags |= FLAG_TIMEOUT;
        c.timeout_sec = 30;
        c.timeout_action = ACTION_STOP;
    });
    const auto reads_label = saved_record([](input_config& c) {
        c.input_mode = INPUT_SERIAL_1;
        c.flags = FLAG_SERIAL1_SUBSTRING | FLAG_FORWARD_IN3 | FLAG_SHOW_MESSAGE;
        std::strcpy(c.compare_text1, "LOT[CR][LF]");
        c.wait_message[1] = 'W';
        c.controller = 1;
        c.substr_from = 2;
        c.substr_to = 9;
    });
    return project{{{"Wait for part", 10, element_kind::custom_input, waits_for_bit},
                    {"Engrave logo", 11, element_kind::placeholder, {}},
                    {"Read label \xE2\x9C\x93", 12, element_kind::custom_input, reads_label}}};
}

} // namespace

TEST(ProjectThroughPlugin, SavedReopenedAndSavedAgainIsByteIdentical) {
    const std::string first = testing::TempDir() + "project_first.json";
    const std::string second = testing::TempDir() + "project_second.json";
    {
        plugin_session session(plugin(), nullptr);
        session.describe_controllers(default_controllers());
        session.open(sample_project());
        write_project_file(first, session.to_project());
    }
    plugin_session session(plugin(), nullptr);
    session.describe_controllers(default_controllers());
    session.open(read_project_file(first));
    ASSERT_EQ(session.size(), 3u);
    EXPECT_EQ(session.at(2).name, "Read label \xE2\x9C\x93");
    write_project_file(second, session.to_project());
    EXPECT_EQ(file_text(second), file_text(first));
    // The records are the plug-in's own, in its current format.
    const project reopened = read_project_file(second);
    EXPECT_EQ(reopened.elements[0].save_record, sample_project().elements[0].save_record);
}

TEST(ProjectThroughPlugin, OpeningColoursEachElementFromItsConfiguration) {
    plugin_session session(plugin(), nullptr);
    session.describe_controllers(default_controllers());
    session.open(sample_project());
    EXPECT_EQ(session.colour(0), wxColour(255, 185, 185)); // timeout stops marking
    EXPECT_EQ(session.colour(1), *wxWHITE);                // plain element
    EXPECT_EQ(session.colour(2), *wxWHITE);                // no timeout
}

TEST(ProjectThroughPlugin, EditingKeepsIdsAndTheGotoListsInStep) {
    plugin_session session(plugin(), nullptr);
    session.describe_controllers(default_controllers());
    session.open(sample_project());
    const std::int32_t id = session.next_id();
    EXPECT_EQ(id, 13);
    session.insert({"Inserted", id, element_kind::custom_input, {}}, 1);
    EXPECT_EQ(session.index_of_id(13), 1u);
    EXPECT_EQ(session.index_of_id(11), 2u);
    session.remove(0);
    EXPECT_FALSE(session.index_of_id(10));
    session.rename(0, "Renamed");
    const project saved = session.to_project();
    ASSERT_EQ(saved.elements.size(), 3u);
    EXPECT_EQ(saved.elements[0].name, "Renamed");
    EXPECT_EQ(saved.elements[0].id, 13);
    EXPECT_FALSE(saved.elements[0].save_record.empty());
    EXPECT_EQ(saved.elements[2].save_record, sample_project().elements[2].save_record);
}
