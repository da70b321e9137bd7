// The files the programs write whole (projects, the save-record tool's
// output, recordings) are replaced whole or not at all, and what they read
// or write is never one of their inputs by mistake.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "common/file_access.h"
#include "common/input_error.h"
#include "reference_host/project_file.h"
#include "save_record_tool/tool_files.h"
#include "test_support/program_run.h"
#include "test_support/write_faults.h"

#ifndef _WIN32
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace reference_host;
namespace fs = std::filesystem;

namespace {

// A folder of the test's own, made anew.
std::string fresh_folder(const std::string& name) {
    const fs::path folder = fs::u8path(testing::TempDir()) / fs::u8path(name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.u8string() + "/";
}

project named(const std::string& name) {
    return {{{name, 1, element_kind::placeholder, {}}}};
}

void write_text(const std::string& file, const std::string& bytes) {
    std::ofstream(fs::u8path(file), std::ios::binary) << bytes;
}

} // namespace

TEST(FileWrites, EveryStepOfEveryWriterFailsWithTheOldFileKept) {
    const std::string folder = fresh_folder("faults");
    const std::string project_file = folder + "project.json";
    write_project_file(project_file, named("old"));
    const fault_figures project_figures =
        fail_every_step(project_file, [&] { write_project_file(project_file, named("new")); });

    const std::string record_file = folder + "element.rec";
    write_text(record_file, "old record");
    const fault_figures tool_figures = fail_every_step(
        record_file, [&] { save_record_tool::write_output(record_file, "new record"); });

    std::cout << "faults injected: " << project_figures.injected + tool_figures.injected
              << ", old file kept after: " << project_figures.survived + tool_figures.survived
              << "\n";
}

// Names outside every ANSI code page reach Windows whole.
TEST(FileWrites, NamesInAnyScriptAreWrittenAndReadBack) {
    const std::string folder = fresh_folder(u8"Jürgen Ωμέγα 测试");
    const std::string file = folder + u8"Müll файл.json";
    write_project_file(file, named("first"));
    write_project_file(file, named("second"));
    EXPECT_EQ(read_project_file(file).elements.at(0).name, "second");
    EXPECT_EQ(folder_listing(file), std::set<std::string>{u8"Müll файл.json"});
}

TEST(ProgramInputs, NamesInAnyScriptReachTheProgram) {
    const std::string folder = fresh_folder(u8"Ωμέγα_测试");
    const std::string scenario = folder + u8"сценарий.json";
    const std::string log = folder + u8"журнал.log";
    fs::copy_file(REFERENCE_HOST_EXAMPLES "/typical_run.json", fs::u8path(scenario));
    const finished f = run_program("--replay " + scenario + " --log " + log);
    EXPECT_EQ(f.exit_code, 0) << f.output;
    EXPECT_EQ(file_bytes(log), f.output);
}

#ifndef _WIN32
TEST(FileWrites, AReplacementKeepsPermissionsLinksAndOtherFiles) {
    const std::string folder = fresh_folder("kept");
    const std::string file = folder + "run.json";

    // A private file stays private.
    write_text(file, "old");
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    common::replace_whole_file(file, "new");
    struct stat status {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);

    // A link stays a link; the file it points to takes the bytes.
    const std::string link = folder + "link.json";
    fs::create_symlink("run.json", link);
    common::replace_whole_file(link, "through the link");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(file_bytes(file), "through the link");

    // What lies at the names a careless writer would use is left alone: a
    // user's own file, and a link to somebody else's.
    const std::string victim = folder + "victim";
    write_text(victim, "theirs");
    write_text(file + ".tmp", "mine");
    fs::create_symlink(victim, link + ".tmp");
    common::replace_whole_file(file, "again");
    common::replace_whole_file(link, "and again");
    common::check_replaceable(file);
    EXPECT_EQ(file_bytes(file + ".tmp"), "mine");
    EXPECT_EQ(file_bytes(victim), "theirs");

    // A pipe there neither blocks a recording's check nor is written.
    fs::remove(file + ".tmp");
    ASSERT_EQ(mkfifo((file + ".tmp").c_str(), 0600), 0);
    common::check_replaceable(file);
    common::replace_whole_file(file, "past the pipe");
    EXPECT_EQ(file_bytes(file), "past the pipe");
    EXPECT_EQ(folder_listing(file), (std::set<std::string>{"link.json", "link.json.tmp", "run.json",
                                                           "run.json.tmp", "victim"}));
}

TEST(FileWrites, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    const std::string file = fresh_folder("killed") + "project.json";
    const std::string small(1000, 'a'), large(3 << 20, 'b');
    write_text(file, small);
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                common::replace_whole_file(file, i % 2 != 0 ? small : large);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1 + random() % 40));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string bytes = file_bytes(file);
        EXPECT_TRUE(bytes == small || bytes == large) << "round " << round << ": " << bytes.size();
    }
}

TEST(ProgramInputs, FilesThatAreNotPlainAreRefusedAtOnce) {
    const std::string pipe = fresh_folder("pipes") + "scenario.json";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& file : {pipe, std::string("/dev/zero")}) {
        const finished f = run_program("--replay " + file, true);
        EXPECT_EQ(f.exit_code, 2) << f.output;
        EXPECT_EQ(f.output, "reference_host: " + file + ": cannot be opened: not a plain file\n");
    }
}
#endif

TEST(ProgramInputs, TheSameFileTwiceIsRefusedBeforeAnythingIsWritten) {
    const std::string folder = fresh_folder("twice");
    const std::string project_file = folder + "p.json";
    write_project_file(project_file, named("kept"));
    const std::string before = file_bytes(project_file);
    const struct {
        std::string arguments, refusal;
    } rows[] = {
        {"--log " + project_file + " --project " + project_file,
         "--project " + project_file + " and --log " + project_file + " are the same file"},
        {"--record " + folder + "./p.json " + project_file,
         "--project " + project_file + " and --record " + folder + "./p.json are the same file"},
        {"--log " + folder + "new.log --record " + folder + "sub/../new.log",
         "--log " + folder + "new.log and --record " + folder + "sub/../new.log are the same file"},
    };
    fs::create_directory(fs::u8path(folder + "sub"));
    for (const auto& row : rows) {
        const finished f = run_program(row.arguments, true);
        EXPECT_EQ(f.exit_code, 2) << row.arguments;
        EXPECT_EQ(f.output.substr(0, f.output.find('\n')), "reference_host: " + row.refusal);
    }
    EXPECT_EQ(file_bytes(project_file), before);
    EXPECT_FALSE(fs::exists(fs::u8path(folder + "new.log")));
}
