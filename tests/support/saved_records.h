// Save records made by the plug-in itself: an element is created, its
// configuration set white-box, and the record it saves is returned. Scenarios
// and projects of the tests carry these bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/test_host.h"

inline std::vector<std::uint8_t> saved_record(const std::function<void(input_config&)>& edit) {
    created_element element;
    edit(element.record().config);
    std::vector<std::uint8_t> bytes = save_bytes(element.handle());
    EXPECT_FALSE(bytes.empty()) << "the plug-in saved no record";
    return bytes;
}
