// Makes every step of a file's replacement fail in turn, for the programs'
// writers: after each failure the old file must be byte for byte as it was,
// with nothing left beside it.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "common/file_access.h"
#include "common/input_error.h"

struct fault_figures {
    int injected = 0; // writes made to fail
    int survived = 0; // of them, those that left the old file and nothing else
};

// Names are UTF-8, as the programs take them.
inline std::string file_bytes(const std::string& file) {
    std::ifstream in(std::filesystem::u8path(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::set<std::string> folder_listing(const std::string& file) {
    std::set<std::string> names;
    const auto folder = std::filesystem::u8path(file).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().u8string());
    return names;
}

namespace write_fault_detail {
inline int calls = 0;
inline int fail_at = 0;
inline int fail_nth(common::write_step) {
    return ++calls == fail_at ? ENOSPC : 0;
}
} // namespace write_fault_detail

// Runs `write` (which replaces `file`, an existing file) with its 1st, 2nd,
// ... step failing for want of space, until a write meets no fault; then
// once more unfailed, which must change the file.
inline fault_figures fail_every_step(const std::string& file, const std::function<void()>& write) {
    namespace d = write_fault_detail;
    const std::string before = file_bytes(file);
    const std::set<std::string> listing = folder_listing(file);
    fault_figures figures;
    for (d::fail_at = 1;; ++d::fail_at) {
        d::calls = 0;
        common::set_write_fault(d::fail_nth);
        std::string refusal;
        try {
            write();
        } catch (const common::input_error& e) {
            refusal = e.what();
        }
        common::set_write_fault(nullptr);
        if (d::calls < d::fail_at) {
            EXPECT_EQ(refusal, "");
            break;
        }
        ++figures.injected;
        EXPECT_NE(refusal.find(std::strerror(ENOSPC)), std::string::npos) << refusal;
        const bool kept = file_bytes(file) == before && folder_listing(file) == listing;
        EXPECT_TRUE(kept) << "step " << d::fail_at << " of " << file;
        figures.survived += kept ? 1 : 0;
    }
    EXPECT_EQ(figures.injected, 5) << "create, write, sync, rename, folder sync";
    EXPECT_NE(file_bytes(file), before) << "the unfailed write";
    EXPECT_EQ(folder_listing(file), listing);
    return figures;
}
