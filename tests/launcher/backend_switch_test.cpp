#include "backend_switch.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_file_system.h"
#include "patch_merge.h"

namespace {

const char* const kRuntimeFiles[] = {"jre\\bin\\j3daudio.dll", "jre\\bin\\j3d.dll",
                                     "jre\\lib\\ext\\j3dutils.jar", "jre\\lib\\ext\\j3dcore.jar",
                                     "jre\\lib\\ext\\j3daudio.jar"};

std::string BackendPath(const std::string& backend, const std::string& runtimeFile) {
    return "jre\\" + backend + runtimeFile.substr(3);
}

// Both backends complete, each file holding its backend and name; the runtime holds "old".
FileTree Installation() {
    FileTree tree = {{"jre\\bin\\java.dll", "java"}};
    for (const char* file : kRuntimeFiles) {
        tree[file] = std::string("old ") + file;
        for (const char* backend : {"opengl", "directx"}) {
            tree[BackendPath(backend, file)] = std::string(backend) + " " + file;
        }
    }
    return tree;
}

// The installation with the runtime's files that the rows name taken from backend.
FileTree Switched(FileTree tree, const std::string& backend,
                  std::vector<int> rows = {0, 1, 2, 3, 4}) {
    for (int row : rows) {
        tree[kRuntimeFiles[row]] = backend + " " + kRuntimeFiles[row];
    }
    return tree;
}

std::vector<std::string> Copies(const FakeFileSystem& files) {
    std::vector<std::string> copies;
    for (const std::string& line : files.Log()) {
        if (line.rfind("copy ", 0) == 0) {
            copies.push_back(line);
        }
    }
    return copies;
}

TEST(BackendSwitch, OnlyExactlyOpenGlSelectsTheOpenGlBuild) {
    const std::pair<const char*, const char*> requests[] = {{"opengl", "opengl"},
                                                            {"directx", "directx"},
                                                            {"OpenGL", "directx"},
                                                            {"opengl ", "directx"}};
    for (const auto& [request, backend] : requests) {
        SCOPED_TRACE(request);
        FakeFileSystem files(WithParents(Installation()));
        SwitchRenderingBackend(files, request);
        EXPECT_EQ(files.Contents(), WithParents(Switched(Installation(), backend)));
        std::vector<std::string> expected;
        for (const char* file : kRuntimeFiles) {
            expected.push_back("copy .\\" + BackendPath(backend, file) + " -> .\\" + file);
        }
        EXPECT_EQ(files.Log(), expected);
    }
}

// One copy that fails, whichever it is, keeps only its own file as it was.
TEST(BackendSwitch, EachCopyStandsAlone) {
    for (int failing = 0; failing < 5; ++failing) {
        SCOPED_TRACE(failing);
        FakeFileSystem files(Installation());
        files.FailCallNumber(failing + 1);
        SwitchRenderingBackend(files, "directx");
        std::vector<int> others;
        for (int row = 0; row < 5; ++row) {
            if (row != failing) {
                others.push_back(row);
            }
        }
        EXPECT_EQ(files.Contents(), WithParents(Switched(Installation(), "directx", others)));
        EXPECT_EQ(Copies(files).size(), 5u);
    }
}

TEST(BackendSwitch, MissingRuntimeBinFolderIsNotCreated) {
    FileTree tree = Installation();
    tree.erase("jre\\bin\\java.dll");
    tree.erase(kRuntimeFiles[0]);
    tree.erase(kRuntimeFiles[1]);
    FakeFileSystem files(tree);
    SwitchRenderingBackend(files, "opengl");
    EXPECT_EQ(files.Contents(), WithParents(Switched(tree, "opengl", {2, 3, 4})));
    EXPECT_EQ(files.Contents().count("jre\\bin"), 0u);
    EXPECT_EQ(Copies(files).size(), 5u);
}

TEST(BackendSwitch, BackendLackingFilesSwitchesTheOthers) {
    FileTree tree = Installation();
    tree.erase(BackendPath("directx", kRuntimeFiles[1]));
    tree.erase(BackendPath("directx", kRuntimeFiles[3]));
    FakeFileSystem files(tree);
    SwitchRenderingBackend(files, "directx");
    EXPECT_EQ(files.Contents(), WithParents(Switched(tree, "directx", {0, 2, 4})));
}

TEST(BackendSwitch, SecondRunChangesNothing) {
    FakeFileSystem files(Installation());
    SwitchRenderingBackend(files, "opengl");
    const FileTree once = files.Contents();
    SwitchRenderingBackend(files, "opengl");
    EXPECT_EQ(files.Contents(), once);
}

// The merge runs after the switch, so an update for one of the five files is what stays.
TEST(BackendSwitch, PatchedRuntimeFileWinsOverTheSwitch) {
    FileTree tree = Installation();
    tree["patch\\jre\\bin\\j3d.dll"] = "patched";
    FakeFileSystem files(tree);
    SwitchRenderingBackend(files, "opengl");
    MergePatchDirectory(files, ".\\patch\\", ".\\");
    FileTree expected = Switched(Installation(), "opengl");
    expected["jre\\bin\\j3d.dll"] = "patched";
    expected["patch"] = kDirectory;
    EXPECT_EQ(files.Contents(), WithParents(expected));
}

} // namespace
