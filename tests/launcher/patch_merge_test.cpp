#include "patch_merge.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_file_system.h"
#include "patch_merge_cases.h"

namespace {

bool Logged(const FakeFileSystem& files, const std::string& line) {
    const auto& log = files.Log();
    return std::find(log.begin(), log.end(), line) != log.end();
}

class PatchTreeTest : public testing::TestWithParam<PatchMergeCase> {};

TEST_P(PatchTreeTest, LeavesTheExpectedTree) {
    const PatchMergeCase& c = GetParam();
    FakeFileSystem files(c.before);
    MergePatchDirectory(files, c.source.c_str(), c.destination.c_str());
    EXPECT_EQ(files.Contents(), WithParents(c.after));
    EXPECT_EQ(files.OpenListings(), 0u);
    // Every path given to the file operations fits its 256-byte buffer.
    EXPECT_LT(files.LongestPath(), kPathBufferSize);
}

INSTANTIATE_TEST_SUITE_P(InMemory, PatchTreeTest, testing::ValuesIn(PatchMergeCases()),
                         [](const auto& test) { return test.param.name; });

// Depth first, the parent's listing open while a subdirectory is merged, the destination
// directory made on the way down, copy before delete, and the emptied subdirectory removed with
// its trailing backslash after its listing is closed and before the parent goes on.
TEST(PatchMerge, CallsInOrder) {
    FakeFileSystem files({{"patch\\a\\f.txt", "f"}, {"patch\\b.txt", "b"}});
    MergePatchDirectory(files, ".\\patch\\", ".\\");
    const std::vector<std::string> expected = {
        "list .\\patch\\*",          "next .\\patch\\*",
        "next .\\patch\\*",          "mkdir .\\a",
        "list .\\patch\\a\\*",       "next .\\patch\\a\\*",
        "next .\\patch\\a\\*",       "copy .\\patch\\a\\f.txt -> .\\a\\f.txt",
        "delete .\\patch\\a\\f.txt", "next .\\patch\\a\\*",
        "close .\\patch\\a\\*",      "rmdir .\\patch\\a\\",
        "next .\\patch\\*",          "copy .\\patch\\b.txt -> .\\b.txt",
        "delete .\\patch\\b.txt",    "next .\\patch\\*",
        "close .\\patch\\*",
    };
    EXPECT_EQ(files.Log(), expected);
}

TEST(PatchMerge, NestedEmptyDirectoriesGoDeepestFirst) {
    FakeFileSystem files({{"patch\\a\\b\\c", kDirectory}});
    MergePatchDirectory(files, ".\\patch\\", ".\\");
    std::vector<std::string> changes;
    for (const std::string& line : files.Log()) {
        if (line.rfind("mkdir", 0) == 0 || line.rfind("rmdir", 0) == 0) {
            changes.push_back(line);
        }
    }
    const std::vector<std::string> expected = {
        "mkdir .\\a",
        "mkdir .\\a\\b",
        "mkdir .\\a\\b\\c",
        "rmdir .\\patch\\a\\b\\c\\",
        "rmdir .\\patch\\a\\b\\",
        "rmdir .\\patch\\a\\",
    };
    EXPECT_EQ(changes, expected);
}

// Every entry is examined, wherever "." and ".." stand in the listing or whether they come at
// all, so no update is left behind on file systems that list real names first.
TEST(PatchMerge, EveryListingOrderMovesEverything) {
    const FileTree before = {{"patch\\a.txt", "a"},
                             {"patch\\sub\\b.txt", "b"},
                             {"patch\\sub\\c.txt", "c"},
                             {"patch\\z.txt", "z"}};
    const FileTree after = WithParents({{"patch", kDirectory},
                                        {"a.txt", "a"},
                                        {"sub\\b.txt", "b"},
                                        {"sub\\c.txt", "c"},
                                        {"z.txt", "z"}});
    const std::vector<std::pair<const char*, FakeFileSystem::ListingOrder>> orders = {
        {"dots first", FakeFileSystem::DotsFirst},
        {"no dots", [](std::vector<std::string> names) { return names; }},
        {"dots last",
         [](std::vector<std::string> names) {
             names.insert(names.end(), {".", ".."});
             return names;
         }},
        {"reversed, dots between",
         [](std::vector<std::string> names) {
             std::reverse(names.begin(), names.end());
             names.insert(names.begin() + static_cast<long>(names.size() / 2), {"..", "."});
             return names;
         }},
    };
    for (const auto& [name, order] : orders) {
        SCOPED_TRACE(name);
        FakeFileSystem files(before);
        files.listingOrder = order;
        MergePatchDirectory(files, ".\\patch\\", ".\\");
        EXPECT_EQ(files.Contents(), after);
    }
}

// A delete that fails after a good copy is not a failed copy: the file is then in both places,
// and the directory's removal is still tried and fails because the file is still there.
TEST(PatchMerge, FailedDeleteLeavesTheFileInBothPlaces) {
    FakeFileSystem files(
        {{"patch\\a\\f.txt", "new"}, {"patch\\a\\g.txt", "g"}, {"a\\f.txt", "old"}});
    files.FailCall("delete .\\patch\\a\\f.txt");
    MergePatchDirectory(files, ".\\patch\\", ".\\");
    EXPECT_EQ(files.Contents(),
              WithParents({{"patch\\a\\f.txt", "new"}, {"a\\f.txt", "new"}, {"a\\g.txt", "g"}}));
    EXPECT_TRUE(Logged(files, "rmdir .\\patch\\a\\"));
}

// A file that can't be copied (in use, say) waits with its directory for the next start; its
// parent is not marked, so the parent still tries to go; the next merge finishes the move.
TEST(PatchMerge, FailedCopyWaitsForTheNextMerge) {
    FakeFileSystem files({{"patch\\a\\b\\f.txt", "new"},
                          {"patch\\a\\b\\g.txt", "g"},
                          {"patch\\a\\h.txt", "h"},
                          {"a\\b\\f.txt", "old"}});
    files.FailCall("copy .\\patch\\a\\b\\f.txt -> .\\a\\b\\f.txt");
    MergePatchDirectory(files, ".\\patch\\", ".\\");
    EXPECT_EQ(files.Contents(), WithParents({{"patch\\a\\b\\f.txt", "new"},
                                             {"a\\b\\f.txt", "old"},
                                             {"a\\b\\g.txt", "g"},
                                             {"a\\h.txt", "h"}}));
    EXPECT_FALSE(Logged(files, "rmdir .\\patch\\a\\b\\"));
    EXPECT_TRUE(Logged(files, "rmdir .\\patch\\a\\"));

    FakeFileSystem retry(files.Contents());
    MergePatchDirectory(retry, ".\\patch\\", ".\\");
    EXPECT_EQ(retry.Contents(), WithParents({{"patch", kDirectory},
                                             {"a\\b\\f.txt", "new"},
                                             {"a\\b\\g.txt", "g"},
                                             {"a\\h.txt", "h"}}));
}

// A listing that breaks off, or a subdirectory that can't be listed, leaves what it did not
// reach where it is.
TEST(PatchMerge, ListingFailuresLoseNothing) {
    const FileTree before = {
        {"patch\\a\\f.txt", "f"}, {"patch\\a\\g.txt", "g"}, {"patch\\t.txt", "t"}};
    const FileTree after = WithParents(
        {{"patch\\a\\f.txt", "f"}, {"patch\\a\\g.txt", "g"}, {"a", kDirectory}, {"t.txt", "t"}});
    for (const char* failing : {"list .\\patch\\a\\*", "next .\\patch\\a\\*"}) {
        SCOPED_TRACE(failing);
        FakeFileSystem files(before);
        files.FailCall(failing);
        MergePatchDirectory(files, ".\\patch\\", ".\\");
        EXPECT_EQ(files.Contents(), after);
        EXPECT_EQ(files.OpenListings(), 0u);
    }
}

// Whichever single call fails, every update is still in the patch tree or in its place, no
// listing stays open, and the next merge ends where an undisturbed merge would have. (An empty
// directory whose creation failed is not made again: the creation's result is not examined.)
TEST(PatchMerge, AnySingleFailedCallIsMadeGoodByTheNextMerge) {
    const FileTree before = {{"patch\\top.txt", "new top"}, {"patch\\d\\e\\f.txt", "new f"},
                             {"patch\\d\\g.txt", "new g"},  {"top.txt", "old top"},
                             {"d\\g.txt", "old g"},         {"installed.txt", "kept"}};
    FakeFileSystem undisturbed(before);
    MergePatchDirectory(undisturbed, ".\\patch\\", ".\\");
    const FileTree merged = undisturbed.Contents();
    const int calls = static_cast<int>(undisturbed.Log().size());
    ASSERT_GT(calls, 20);

    for (int failing = 1; failing <= calls; ++failing) {
        SCOPED_TRACE("failing call " + std::to_string(failing) + ": " +
                     undisturbed.Log()[static_cast<std::size_t>(failing - 1)]);
        FakeFileSystem files(before);
        files.FailCallNumber(failing);
        MergePatchDirectory(files, ".\\patch\\", ".\\");
        EXPECT_EQ(files.OpenListings(), 0u);
        const FileTree now = files.Contents();
        for (const auto& [path, bytes] : before) {
            if (path.rfind("patch\\", 0) == 0 && bytes) {
                const auto source = now.find(path);
                const auto placed = now.find(path.substr(6));
                const bool waiting = source != now.end() && source->second == bytes;
                const bool inPlace = placed != now.end() && placed->second == bytes;
                EXPECT_TRUE(waiting || inPlace) << path;
            }
        }
        EXPECT_EQ(now.at("installed.txt"), "kept");

        FakeFileSystem next(now);
        MergePatchDirectory(next, ".\\patch\\", ".\\");
        EXPECT_EQ(next.Contents(), merged);
    }
}

// A junction or directory link in the patch tree leads elsewhere: nothing behind it is moved,
// no directory is made for it, and it keeps its parent from going.
TEST(PatchMerge, ReparsePointDirectoryStays) {
    FakeFileSystem files({{"patch\\sub\\link\\precious.txt", "p"},
                          {"patch\\sub\\ok.txt", "ok"},
                          {"patch\\toplink\\other.txt", "o"}});
    files.MarkReparsePoint("patch\\sub\\link");
    files.MarkReparsePoint("patch\\toplink");
    MergePatchDirectory(files, ".\\patch\\", ".\\");
    EXPECT_EQ(files.Contents(), WithParents({{"patch\\sub\\link\\precious.txt", "p"},
                                             {"patch\\toplink\\other.txt", "o"},
                                             {"sub\\ok.txt", "ok"}}));
    for (const auto& line : files.Log()) {
        EXPECT_EQ(line.find("link\\"), std::string::npos) << line;
        EXPECT_NE(line, "mkdir .\\sub\\link");
        EXPECT_NE(line, "mkdir .\\toplink");
    }
    EXPECT_FALSE(Logged(files, "rmdir .\\patch\\sub\\"));
}

} // namespace
