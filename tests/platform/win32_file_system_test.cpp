// The patch merge and the backend switch on real directories, through the Windows file calls.
#include "win32_file_system.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "backend_switch.h"
#include "file_tree.h"
#include "patch_merge.h"
#include "patch_merge_cases.h"
#include "scratch_directory.h"

namespace fs = std::filesystem;

namespace {

void WriteTree(const FileTree& tree) {
    for (const auto& [path, bytes] : tree) {
        if (bytes) {
            WriteFileBytes(path, *bytes);
        } else {
            fs::create_directories(path);
        }
    }
}

std::string Narrow(const std::wstring& wide) {
    std::string narrow;
    for (wchar_t c : wide) {
        narrow.push_back(static_cast<char>(c));
    }
    return narrow;
}

void ReadDirectory(const std::wstring& root, const std::wstring& relative, FileTree& tree) {
    WIN32_FIND_DATAW found;
    HANDLE listing = FindFirstFileW((root + relative + L"*").c_str(), &found);
    ASSERT_NE(listing, INVALID_HANDLE_VALUE) << Narrow(relative);
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = relative + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            tree[Narrow(path)] = kDirectory;
            ReadDirectory(root, path + L"\\", tree);
        } else {
            tree[Narrow(path)] = ReadFileBytes(fs::path(root + path));
        }
    } while (FindNextFileW(listing, &found));
    FindClose(listing);
}

// Everything below the working directory, in the form the cases are written in. The names in
// the cases are ASCII; the long ones need the "\\?\" form of the full path.
FileTree ReadTree() {
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    FileTree tree;
    ReadDirectory(L"\\\\?\\" + std::wstring(current) + L"\\", L"", tree);
    return tree;
}

void MergePatch() {
    Win32FileSystem files;
    MergePatchDirectory(files, ".\\patch\\", ".\\");
}

class RealPatchTreeTest : public testing::TestWithParam<PatchMergeCase> {};

TEST_P(RealPatchTreeTest, LeavesTheExpectedTree) {
    const PatchMergeCase& c = GetParam();
    ScratchDirectory scratch;
    WriteTree(c.before);
    Win32FileSystem files;
    MergePatchDirectory(files, c.source.c_str(), c.destination.c_str());
    EXPECT_EQ(ReadTree(), WithParents(c.after));
}

INSTANTIATE_TEST_SUITE_P(Win32, RealPatchTreeTest, testing::ValuesIn(PatchMergeCases()),
                         [](const auto& test) { return test.param.name; });

std::string ProgramBesideTest(const char* name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return (fs::path(std::string(path, length)).parent_path() / name).string();
}

// Another process holding a file open, as a running game or a virus scanner would.
class FileHolder {
  public:
    // share: "none" or "read".
    FileHolder(const std::string& path, const char* share) {
        static int counter = 0;
        const std::string base = "quorvanta-file-holder-" + std::to_string(GetCurrentProcessId()) +
                                 "-" + std::to_string(counter++);
        ready_ = CreateEventA(nullptr, TRUE, FALSE, (base + "-ready").c_str());
        release_ = CreateEventA(nullptr, TRUE, FALSE, (base + "-release").c_str());
        std::string commandLine = "\"" + ProgramBesideTest("file_holder.exe") + "\" \"" + path +
                                  "\" " + share + " " + base + "-ready " + base + "-release";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &started)) {
            ADD_FAILURE() << "cannot start " << commandLine;
            return;
        }
        CloseHandle(started.hThread);
        process_ = started.hProcess;
        // Either the file is held, or the holder has ended without holding it.
        HANDLE waits[] = {ready_, process_};
        holding_ = WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0;
    }
    ~FileHolder() {
        Release();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    bool holding() const { return holding_; }

    // Lets go of the file; returns the holder's exit status.
    DWORD Release() {
        DWORD status = 1;
        if (process_ != nullptr) {
            SetEvent(release_);
            WaitForSingleObject(process_, INFINITE);
            GetExitCodeProcess(process_, &status);
            CloseHandle(process_);
            process_ = nullptr;
        }
        return status;
    }

  private:
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    HANDLE process_ = nullptr;
    bool holding_ = false;
};

// A destination that another process holds open: the copy fails, the update waits with its
// directory, the held file keeps its old bytes, and the next merge after the release moves it.
TEST(Win32PatchMerge, DestinationHeldByAnotherProcessWaits) {
    ScratchDirectory scratch;
    WriteTree({{"patch\\data\\held.bin", "new"},
               {"patch\\data\\free.bin", "free"},
               {"data\\held.bin", "old"}});
    FileHolder holder("data\\held.bin", "none");
    ASSERT_TRUE(holder.holding());
    MergePatch();
    EXPECT_EQ(ReadFileBytes("patch\\data\\held.bin"), "new");
    EXPECT_EQ(ReadFileBytes("data\\free.bin"), "free");
    EXPECT_FALSE(fs::exists("patch\\data\\free.bin"));
    ASSERT_EQ(holder.Release(), 0u);

    EXPECT_EQ(ReadFileBytes("data\\held.bin"), "old");
    MergePatch();
    EXPECT_EQ(ReadTree(),
              WithParents(
                  {{"patch", kDirectory}, {"data\\held.bin", "new"}, {"data\\free.bin", "free"}}));
}

// A source file that another process holds open without sharing can't be read: it stays.
TEST(Win32PatchMerge, SourceHeldByAnotherProcessWaits) {
    ScratchDirectory scratch;
    WriteTree({{"patch\\data\\held.bin", "new"}, {"data\\held.bin", "old"}});
    FileHolder holder("patch\\data\\held.bin", "none");
    ASSERT_TRUE(holder.holding());
    MergePatch();
    ASSERT_EQ(holder.Release(), 0u);
    EXPECT_EQ(ReadTree(),
              WithParents({{"patch\\data\\held.bin", "new"}, {"data\\held.bin", "old"}}));
}

// A source that another process shares for reading only is copied but can't be deleted: the
// update is in place, the source stays too and so does its directory, and the next merge,
// after the release, tidies up.
TEST(Win32PatchMerge, SourceSharedForReadingIsCopiedAndStays) {
    ScratchDirectory scratch;
    WriteTree({{"patch\\data\\held.bin", "new"}, {"data\\held.bin", "old"}});
    FileHolder holder("patch\\data\\held.bin", "read");
    ASSERT_TRUE(holder.holding());
    MergePatch();
    ASSERT_EQ(holder.Release(), 0u);
    EXPECT_EQ(ReadTree(),
              WithParents({{"patch\\data\\held.bin", "new"}, {"data\\held.bin", "new"}}));
    MergePatch();
    EXPECT_EQ(ReadTree(), WithParents({{"patch", kDirectory}, {"data\\held.bin", "new"}}));
}

// A read-only destination: Windows refuses the copy, so the update waits; Wine running as root
// replaces the file. Either way the update is never lost.
TEST(Win32PatchMerge, ReadOnlyDestinationLosesNothing) {
    ScratchDirectory scratch;
    WriteTree({{"patch\\data\\ro.bin", "new"}, {"data\\ro.bin", "old"}});
    ASSERT_TRUE(SetFileAttributesA("data\\ro.bin", FILE_ATTRIBUTE_READONLY));
    MergePatch();
    const FileTree waiting = WithParents({{"patch\\data\\ro.bin", "new"}, {"data\\ro.bin", "old"}});
    const FileTree placed = WithParents({{"patch", kDirectory}, {"data\\ro.bin", "new"}});
    const FileTree now = ReadTree();
    EXPECT_TRUE(now == waiting || now == placed);
    std::cout << "read-only destination: " << (now == placed ? "replaced" : "refused") << '\n';
    RecordProperty("read_only_destination", now == placed ? "replaced" : "refused");
    SetFileAttributesA("data\\ro.bin", FILE_ATTRIBUTE_NORMAL);
}

// A read-only source is copied but can't be deleted: a delete that fails after a good copy.
TEST(Win32PatchMerge, ReadOnlySourceIsCopiedAndStays) {
    ScratchDirectory scratch;
    WriteTree({{"patch\\data\\ro.bin", "new"}, {"data\\ro.bin", "old"}});
    ASSERT_TRUE(SetFileAttributesA("patch\\data\\ro.bin", FILE_ATTRIBUTE_READONLY));
    MergePatch();
    const FileTree now = ReadTree();
    SetFileAttributesA("patch\\data\\ro.bin", FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA("data\\ro.bin", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(now, WithParents({{"patch\\data\\ro.bin", "new"}, {"data\\ro.bin", "new"}}));
}

// A tree prepared outside with Unix symbolic links (make_link_tree.sh); Wine shows a link to a
// directory as a directory with the reparse-point attribute.
TEST(Win32PatchMerge, LinksInThePatchTreeAreNotFollowed) {
    const char* unixTree = std::getenv("QUORVANTA_LINK_TREE");
    if (unixTree == nullptr) {
        GTEST_SKIP() << "no tree with symbolic links prepared";
    }
    std::string tree = std::string("Z:") + unixTree;
    for (char& c : tree) {
        c = c == '/' ? '\\' : c;
    }
    ASSERT_TRUE(SetCurrentDirectoryA(tree.c_str())) << tree;
    const DWORD linkAttributes = GetFileAttributesA("patch\\sub\\dirlink");
    std::cout << std::hex << "directory link attributes 0x" << linkAttributes << std::dec << '\n';
    ASSERT_NE(linkAttributes, INVALID_FILE_ATTRIBUTES);
    ASSERT_NE(linkAttributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

    MergePatch();
    EXPECT_EQ(ReadFileBytes("outside\\precious.txt"), "precious");
    EXPECT_EQ(GetFileAttributesA("patch\\sub\\dirlink"), linkAttributes);
    EXPECT_EQ(GetFileAttributesA("patch\\toplink"), GetFileAttributesA("patch\\sub\\dirlink"));
    EXPECT_EQ(ReadFileBytes("sub\\ok.txt"), "ok");
    EXPECT_FALSE(fs::exists("patch\\sub\\ok.txt"));
    EXPECT_EQ(GetFileAttributesA("sub\\dirlink"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA("toplink"), INVALID_FILE_ATTRIBUTES);
}

// A copy is written beside its destination and renamed into place. A copy cut short in an
// earlier run, whose file still waits in the patch, is overwritten, put in place and gone.
TEST(Win32PatchMerge, CopyCutShortEarlierIsCompletedAndNotLeftBehind) {
    ScratchDirectory scratch;
    WriteTree({{"patch\\data\\x.bin", "complete new bytes"},
               {"data\\x.bin", "old"},
               {"data\\x.bin.quorvanta-partial", "complete n"}});
    MergePatch();
    EXPECT_EQ(ReadTree(),
              WithParents({{"patch", kDirectory}, {"data\\x.bin", "complete new bytes"}}));
}

// Destination names around the lengths at which a second name beside them no longer fits in
// one path component (255) or in a path (259): every update is put in place either way, and
// nothing else is left.
class LongDestinationTest : public testing::TestWithParam<std::string> {};

TEST_P(LongDestinationTest, UpdateIsPutInPlace) {
    const std::string& relative = GetParam();
    ScratchDirectory scratch;
    WriteTree({{"patch\\" + relative, "new"}, {relative, "old"}});
    MergePatch();
    EXPECT_EQ(ReadTree(), WithParents({{"patch", kDirectory}, {relative, "new"}}));
}

INSTANTIATE_TEST_SUITE_P(Win32, LongDestinationTest,
                         testing::Values(std::string(237, 'n'), std::string(238, 'n'),
                                         std::string(100, 'd') + "\\" + std::string(138, 'e'),
                                         std::string(100, 'd') + "\\" + std::string(139, 'e')),
                         [](const auto& test) {
                             return "Length" + std::to_string(test.param.size());
                         });

const char* const kRuntimeFiles[] = {"jre\\bin\\j3daudio.dll", "jre\\bin\\j3d.dll",
                                     "jre\\lib\\ext\\j3dutils.jar", "jre\\lib\\ext\\j3dcore.jar",
                                     "jre\\lib\\ext\\j3daudio.jar"};

std::string BackendPath(const std::string& backend, const std::string& runtimeFile) {
    return "jre\\" + backend + runtimeFile.substr(3);
}

FileTree BackendFolders() {
    FileTree tree;
    for (const char* file : kRuntimeFiles) {
        for (const char* backend : {"opengl", "directx"}) {
            tree[BackendPath(backend, file)] = std::string(backend) + " " + file;
        }
    }
    return tree;
}

TEST(Win32BackendSwitch, CopiesTheRequestedBuildAndLeavesTheBackendsAlone) {
    for (const char* backend : {"opengl", "directx"}) {
        SCOPED_TRACE(backend);
        ScratchDirectory scratch;
        FileTree before = BackendFolders();
        for (const char* file : kRuntimeFiles) {
            before[file] = "old";
        }
        WriteTree(before);
        Win32FileSystem files;
        SwitchRenderingBackend(files, backend);
        FileTree expected = before;
        for (const char* file : kRuntimeFiles) {
            expected[file] = std::string(backend) + " " + file;
        }
        EXPECT_EQ(ReadTree(), WithParents(expected));
    }
}

TEST(Win32BackendSwitch, MissingBinFolderFailsOnlyItsRows) {
    ScratchDirectory scratch;
    FileTree before = BackendFolders();
    before["jre\\lib\\ext\\j3dcore.jar"] = "old";
    WriteTree(before);
    Win32FileSystem files;
    SwitchRenderingBackend(files, "opengl");
    FileTree expected = before;
    for (const char* file : {kRuntimeFiles[2], kRuntimeFiles[3], kRuntimeFiles[4]}) {
        expected[file] = std::string("opengl ") + file;
    }
    EXPECT_EQ(ReadTree(), WithParents(expected));
}

TEST(Win32BackendSwitch, PatchedFileWinsOverTheSwitch) {
    ScratchDirectory scratch;
    FileTree before = BackendFolders();
    for (const char* file : kRuntimeFiles) {
        before[file] = "old";
    }
    before["patch\\jre\\lib\\ext\\j3dcore.jar"] = "patched";
    WriteTree(before);
    Win32FileSystem files;
    SwitchRenderingBackend(files, "directx");
    MergePatchDirectory(files, ".\\patch\\", ".\\");
    EXPECT_EQ(ReadFileBytes("jre\\lib\\ext\\j3dcore.jar"), "patched");
    EXPECT_EQ(ReadFileBytes("jre\\bin\\j3d.dll"), "directx jre\\bin\\j3d.dll");
}

} // namespace
