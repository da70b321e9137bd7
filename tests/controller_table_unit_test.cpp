// The controller table and its port and bit rules, white-box: the panel and the
// run time read them, so they are checked here once, directly.
#include <gtest/gtest.h>

#include "abi/entry_points.h"
#include "entry/plugin_state.h"
#include "model/controller_table.h"
#include "test_support/test_host.h"

namespace {

class ControllerTable : public testing::Test {
protected:
    void SetUp() override { the_plugin.controllers = controller_table{}; }
    const controller_table& table = the_plugin.controllers;
};

} // namespace

TEST_F(ControllerTable, DropsInvalidRecordsAndIndicesBeyondTheTable) {
    vexa_set_config_info(controller_description(2, INPUT_DIGI8_1, 0, false).data());
    vexa_set_config_info(controller_description(9, INPUT_DIGI8_1).data());
    vexa_set_config_info(controller_description(255, INPUT_SERIAL_1).data());
    vexa_set_config_info(nullptr);
    EXPECT_EQ(table.capabilities(), 0u);
    EXPECT_EQ(table.capabilities(2), 0u);
}

TEST_F(ControllerTable, CapabilitiesAccumulateWhileEntriesAreReplaced) {
    vexa_set_config_info(controller_description(0, INPUT_DIGI16_1).data());
    vexa_set_config_info(controller_description(0, INPUT_DIGI8_1).data());
    vexa_set_config_info(controller_description(1, INPUT_SERIAL_1).data());
    EXPECT_EQ(table.capabilities(), INPUT_DIGI16_1 | INPUT_DIGI8_1 | INPUT_SERIAL_1);
    EXPECT_EQ(table.capabilities(0), INPUT_DIGI8_1);
    EXPECT_TRUE(table.port_offered(0, INPUT_DIGI8_1));
    EXPECT_FALSE(table.port_offered(0, INPUT_DIGI16_1));
    EXPECT_FALSE(table.port_offered(1, INPUT_DIGI8_1));
    EXPECT_EQ(table.capabilities(1), INPUT_SERIAL_1);

    vexa_reset_gui();
    EXPECT_EQ(table.capabilities(), 0u);
    EXPECT_EQ(table.capabilities(0), INPUT_DIGI8_1); // entries stay
}

TEST_F(ControllerTable, PortEntriesTakeWholePortsOrSingleBits) {
    vexa_set_config_info(controller_description(0, INPUT_DIGI8_1 | INPUT_DIGI16_2 | INPUT_DIGI32)
                             .port(0, INPUT_DIGI8_1, 0x81)
                             .port(3, INPUT_DIGI16_2, 0x00FF)
                             .port(7, INPUT_DIGI16_2, 0xFF00)
                             .port(11, INPUT_DIGI32, 0x80000001)
                             .data());
    EXPECT_TRUE(table.port_offered(0, INPUT_DIGI8_1));
    EXPECT_FALSE(table.bit_offered(0, INPUT_DIGI8_1, 0x80));
    EXPECT_FALSE(table.bit_offered(0, INPUT_DIGI8_1, 0x01));
    EXPECT_TRUE(table.bit_offered(0, INPUT_DIGI8_1, 0x40));
    // Two entries together cover the port, but neither alone does.
    EXPECT_TRUE(table.port_offered(0, INPUT_DIGI16_2));
    EXPECT_FALSE(table.bit_offered(0, INPUT_DIGI16_2, 0x0100));
    EXPECT_FALSE(table.bit_offered(0, INPUT_DIGI16_2, 0x0001));
    EXPECT_FALSE(table.bit_offered(0, INPUT_DIGI32, 0x80000000));
    EXPECT_TRUE(table.bit_offered(0, INPUT_DIGI32, 0x40000000));

    vexa_set_config_info(
        controller_description(1, INPUT_DIGI8_1).port(5, INPUT_DIGI8_1, 0xFFFFFFFF).data());
    EXPECT_FALSE(table.port_offered(1, INPUT_DIGI8_1));
    vexa_set_config_info(
        controller_description(2, INPUT_DIGI16_1).port(5, INPUT_DIGI16_1, 0x0000FFFF).data());
    EXPECT_FALSE(table.port_offered(2, INPUT_DIGI16_1));
}

TEST_F(ControllerTable, NumbersBeyondTheTableOfferNothing) {
    vexa_set_config_info(controller_description(8, INPUT_DIGI8_1, FEATURE_STREAM_WAIT).data());
    EXPECT_TRUE(table.has_stream_wait(8));
    for (unsigned controller : {9u, 200u, 255u}) {
        EXPECT_EQ(table.entry(controller), nullptr);
        EXPECT_FALSE(table.port_offered(controller, INPUT_DIGI8_1));
        EXPECT_FALSE(table.bit_offered(controller, INPUT_DIGI32, 1));
        EXPECT_FALSE(table.has_stream_wait(controller));
    }
}
