// The element colour and its notification, white-box: the table is the whole
// rule, and loading and editing both go through it.
#include <gtest/gtest.h>

#include "element/element_colour.h"
#include "panel/event_handler.h"
#include "test_support/test_host.h"

namespace {

input_config with_timeout(bool timeout, std::uint8_t action) {
    input_config c{};
    c.flags = timeout ? FLAG_TIMEOUT : 0;
    c.timeout_action = action;
    return c;
}

} // namespace

TEST(ElementColour, FollowsTimeoutFlagAndAction) {
    struct row {
        bool timeout;
        std::uint8_t action;
        wxColour colour;
    } rows[] = {
        {false, ACTION_STOP, *wxWHITE},
        {true, ACTION_CONTINUE, *wxWHITE},
        {true, ACTION_RESTART, wxColour(185, 255, 185, 255)},
        {true, ACTION_STOP, wxColour(255, 185, 185, 255)},
        {true, ACTION_GOTO, wxColour(210, 210, 210, 255)},
        {true, 7, *wxWHITE},
    };
    for (const row& r : rows)
        EXPECT_EQ(element_colour(with_timeout(r.timeout, r.action)), r.colour)
            << "timeout " << r.timeout << " action " << int(r.action);
}

TEST(ElementColour, ColoursCurrentElementAndNotifiesOnlyWhenAsked) {
    host_element shown;
    project_context project;
    shown->project = project.record();
    instance_data record;
    record.config = with_timeout(true, ACTION_STOP);
    record.refresh = recording_refresh;
    refresh_log().clear();

    input_config config_template = factory_template();
    controller_table controllers;
    element_handle* current = shown.handle();
    EventHandler handler(config_template, controllers, current);
    handler.update_element_colour(&record, false);
    EXPECT_EQ(shown->colour, wxColour(255, 185, 185));
    EXPECT_TRUE(refresh_log().empty());

    record.config.flags = 0;
    handler.update_element_colour(&record, true);
    EXPECT_EQ(shown->colour, *wxWHITE);
    ASSERT_EQ(refresh_log().size(), 1u);
    EXPECT_EQ(refresh_log()[0].element, shown.handle());
    EXPECT_EQ(refresh_log()[0].project, project.record());
}

TEST(ElementColour, NothingHappensWithoutCurrentElementOrCallback) {
    instance_data record;
    record.config = with_timeout(true, ACTION_GOTO);
    record.refresh = recording_refresh;
    refresh_log().clear();
    input_config config_template = factory_template();
    controller_table controllers;
    element_handle* current = nullptr;
    EventHandler handler(config_template, controllers, current);
    handler.update_element_colour(&record, true);
    EXPECT_TRUE(refresh_log().empty());

    host_element shown;
    current = shown.handle();
    record.refresh = nullptr;
    handler.update_element_colour(&record, true);
    EXPECT_EQ(shown->colour, wxColour(210, 210, 210));
}
