// Starting, waiting for and replacing real processes, with the stand-in game as the child, in a
// scratch working directory.
#include "process_control.h"

#include <windows.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "scratch_directory.h"
#include "stand_in_report.h"
#include "test_programs.h"

namespace fs = std::filesystem;

namespace {

class ProcessControlTest : public testing::Test {
  protected:
    ScratchDirectory scratch;
    const fs::path report = scratch.path() / "report.txt";
    EnvironmentOverride reportVariable{"STAND_IN_REPORT", report.string().c_str()};
    EnvironmentOverride noCounter{"STAND_IN_COUNTER", nullptr};
    EnvironmentOverride exitCodes{"STAND_IN_EXIT_CODES", "0"};
    EnvironmentOverride path{"PATH", nullptr};

    // A copy of the stand-in game at relative path `name` below the working directory.
    void PlaceStandIn(const fs::path& name) {
        fs::create_directories(fs::absolute(name).parent_path());
        ASSERT_TRUE(CopyFileA(ProgramBesideTest("stand_in_game.exe").string().c_str(),
                              name.string().c_str(), FALSE))
            << name;
    }

    void SetPath(const std::string& value) { SetEnvironmentVariableA("PATH", value.c_str()); }

    std::vector<StandInRun> Runs() const { return ReadStandInReport(report); }

    // The file name of the program that ran, or "" when none ran.
    std::string StartedFile() const {
        const auto runs = Runs();
        if (runs.size() != 1) {
            return runs.empty() ? "" : "several";
        }
        return fs::path(runs[0].at("module")).filename().string();
    }
};

struct ExitCodeCase {
    DWORD exitCode;
    std::int32_t result;
};

TEST_F(ProcessControlTest, ExitCodeIsReadAsSigned32BitValue) {
    PlaceStandIn("game.exe");
    const ExitCodeCase cases[] = {
        {0, 0}, {1, 1}, {0xFFFFFFFF, -1}, {0xFFFFFFFE, -2}, {0x80000000, INT32_MIN}};
    for (const auto& c : cases) {
        SetEnvironmentVariableA("STAND_IN_EXIT_CODES", std::to_string(c.exitCode).c_str());
        EXPECT_EQ(StartChildAndWait("game", "game", "main", "world"), c.result) << c.exitCode;
    }
    const auto runs = Runs();
    ASSERT_EQ(runs.size(), 5u);
    // The child inherits the working directory and gets exactly the joined words.
    EXPECT_EQ(runs[0].at("command_line"), "game main world");
    EXPECT_EQ(fs::path(runs[0].at("working_directory")), fs::current_path());
}

TEST_F(ProcessControlTest, CommandLineIsTheWordsJoinedWithoutQuoting) {
    PlaceStandIn("game.exe");
    const char* const cases[][4] = {
        {"game", "", "world", "game  world"},
        {"game", "main", "", "game main "},
        {"a b", "\"q\"", "t\tu", "a b \"q\" t\tu"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(StartChildAndWait("game", c[0], c[1], c[2]), 0);
    }
    const auto runs = Runs();
    ASSERT_EQ(runs.size(), 3u);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].at("command_line"), cases[i][3]);
    }
}

// The later words are not passed. A process created with an empty command line may be shown its
// own file name by the system instead (Wine does so).
TEST_F(ProcessControlTest, EmptyFirstWordGivesEmptyCommandLine) {
    PlaceStandIn("game.exe");
    ASSERT_EQ(StartChildAndWait("game", "", "main", "world"), 0);
    const auto runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    const std::string& commandLine = runs[0].at("command_line");
    EXPECT_TRUE(commandLine.empty() || commandLine == "\".\\game.exe\"") << commandLine;
}

TEST_F(ProcessControlTest, ComIsStartedBeforeExe) {
    PlaceStandIn("jre\\bin\\javaw.exe");
    ASSERT_EQ(StartChildAndWait("jre\\bin\\javaw", "javaw", "a", "b"), 0);
    EXPECT_EQ(StartedFile(), "javaw.exe");

    fs::remove(report);
    PlaceStandIn("jre\\bin\\javaw.com");
    ASSERT_EQ(StartChildAndWait("jre\\bin\\javaw", "javaw", "a", "b"), 0);
    EXPECT_EQ(StartedFile(), "javaw.com");
}

TEST_F(ProcessControlTest, DotInDirectoryStillGetsExtensions) {
    PlaceStandIn("my.jre\\javaw.exe");
    EXPECT_EQ(StartChildAndWait("my.jre\\javaw", "javaw", "a", "b"), 0);
    EXPECT_EQ(StartedFile(), "javaw.exe");
}

TEST_F(ProcessControlTest, DirectoryNamedLikeCandidateIsStartedAndFails) {
    fs::create_directories("jre\\javaw.com");
    PlaceStandIn("jre\\javaw.exe");
    PlaceStandIn("elsewhere\\jre\\javaw.exe");
    SetPath((scratch.path() / "elsewhere").string());
    EXPECT_EQ(StartChildAndWait("jre\\javaw", "javaw", "a", "b"), -1);
    EXPECT_EQ(StartedFile(), "");
}

TEST_F(ProcessControlTest, EmptyProgramTriesBareExtensions) {
    PlaceStandIn(".exe");
    EXPECT_EQ(StartChildAndWait("", "x", "y", "z"), 0);
    EXPECT_EQ(StartedFile(), ".exe");
}

TEST_F(ProcessControlTest, MissingProgramWithoutPathFails) {
    EXPECT_EQ(StartChildAndWait("javaw", "javaw", "a", "b"), -1);
    EXPECT_EQ(StartChildAndWait("", "", "", ""), -1);
}

struct PathCase {
    const char* title;
    const char* program;
    const char* placed;      // below the scratch directory
    std::string path;        // "<S>" stands for the scratch directory
    const char* startedFile; // "" when nothing runs
};

std::string Expand(std::string text, const std::string& scratch) {
    for (std::size_t at; (at = text.find("<S>")) != std::string::npos;) {
        text.replace(at, 3, scratch);
    }
    return text;
}

TEST_F(ProcessControlTest, PathSearch) {
    const std::string longEntry257 = "Z:\\" + std::string(254, 'q');
    const std::string longEntry258 = "Z:\\" + std::string(255, 'q');
    const PathCase cases[] = {
        {"BareNameAlongPath", "javaw", "bin\\javaw.exe", "<S>\\none;<S>\\bin", "javaw.exe"},
        {"QuotedEntryWithSemicolon", "javaw", "a;b\\javaw.exe", "\"<S>\\a;b\";<S>\\none",
         "javaw.exe"},
        {"EntryEndingInSlash", "javaw", "c\\javaw.exe", "<S>/c/", "javaw.exe"},
        {"NameWithBackslashIsSearched", "sub\\javaw", "p\\sub\\javaw.exe", "<S>\\p", "javaw.exe"},
        {"NameWithSlashIsNotSearched", "sub/javaw", "p\\sub\\javaw.exe", "<S>\\p", ""},
        {"EntryOf257IsUsed", "j", "p\\j.exe", longEntry257 + ";<S>\\p", "j.exe"},
        {"EntryOf258EndsSearch", "j", "p\\j.exe", longEntry258 + ";<S>\\p", ""},
        {"EntryAndNameOf260EndSearch", "jv", "p\\jv.exe", longEntry257 + ";<S>\\p", ""},
        {"EmptyEntryOnceUnquotedEndsSearch", "javaw", "p\\javaw.exe", "\"\";<S>\\p", ""},
        {"EmptyProgramAlongPath", "", "p\\.com", "<S>\\p", ".com"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove(report);
        fs::remove_all("p");
        PlaceStandIn(c.placed);
        SetPath(Expand(c.path, scratch.path().string()));
        const std::int32_t result = StartChildAndWait(c.program, "w0", "w1", "w2");
        EXPECT_EQ(result, *c.startedFile ? 0 : -1);
        EXPECT_EQ(StartedFile(), c.startedFile);
    }
}

// An entry that begins with two separators is a network path: after any failure there the
// search goes on. "\\?\" names the same local directory in that form.
TEST_F(ProcessControlTest, FailureInNetworkEntryGoesOn) {
    fs::create_directories("d\\javaw.com");
    PlaceStandIn("p\\javaw.exe");
    const std::string local = scratch.path().string();
    SetPath("\\\\?\\" + local + "\\d;" + local + "\\p");
    EXPECT_EQ(StartChildAndWait("javaw", "javaw", "a", "b"), 0);
    EXPECT_EQ(StartedFile(), "javaw.exe");

    fs::remove(report);
    SetPath(local + "\\d;" + local + "\\p");
    EXPECT_EQ(StartChildAndWait("javaw", "javaw", "a", "b"), -1);
    EXPECT_EQ(StartedFile(), "");
}

// The relaunch, run in a small program of its own because success ends the process.
class RelaunchTest : public ProcessControlTest {
  protected:
    const fs::path probe = ProgramBesideTest("relaunch_probe.exe");

    static bool Exists(const char* file) { return fs::exists(file); }
};

TEST_F(RelaunchTest, StartsCopyWithNoargsAndEndsAtOnceWithZero) {
    PlaceStandIn("quorvanta.exe");
    EXPECT_EQ(RunProgram(probe, "relaunch_probe"), DWORD{0});
    const auto runs = WaitForStandInRuns(report, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].at("command_line"), "noargs");
    EXPECT_EQ(fs::path(runs[0].at("working_directory")), fs::current_path());
    EXPECT_FALSE(Exists("exit_routine_ran.txt"));
    EXPECT_FALSE(Exists("relaunch_result.txt"));
    EXPECT_EQ(ReadFileBytes("buffered.txt"), std::string());
}

TEST_F(RelaunchTest, MissingCopyReturnsMinusOneAndNormalExitFollows) {
    // Beside the executable and along PATH does not count: only the working directory does.
    PlaceStandIn("install\\quorvanta.exe");
    ASSERT_TRUE(CopyFileA(probe.string().c_str(), "install\\relaunch_probe.exe", FALSE));
    SetPath((scratch.path() / "install").string());
    EXPECT_EQ(RunProgram(fs::absolute("install\\relaunch_probe.exe"), "relaunch_probe"), DWORD{3});
    EXPECT_EQ(ReadFileBytes("relaunch_result.txt"), std::string("-1"));
    EXPECT_TRUE(Exists("exit_routine_ran.txt"));
    EXPECT_EQ(ReadFileBytes("buffered.txt"), std::string("buffered"));
    EXPECT_TRUE(Runs().empty());
}

} // namespace
