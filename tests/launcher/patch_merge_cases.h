// Patch trees and what a merge of ".\patch\" into ".\" leaves of them. The same cases run on the
// in-memory tree and, under Wine, on real directories.
#pragma once

#include <ostream>
#include <string>

#include "file_tree.h"

struct PatchMergeCase {
    const char* name;
    FileTree before; // files and empty directories; their parents exist too
    FileTree after;
    const char* source = ".\\patch\\";
    const char* destination = ".\\";
};

inline std::ostream& operator<<(std::ostream& out, const PatchMergeCase& c) { return out << c.name; }

inline const PatchMergeCase kPatchMergeCases[] = {
    {"NoPatchDirectory", {{"game.txt", "old"}}, {{"game.txt", "old"}}},
    {"EmptyPatchDirectory",
     {{"patch", kDirectory}, {"game.txt", "old"}},
     {{"patch", kDirectory}, {"game.txt", "old"}}},
    {"TopFileReplacesInstalledFile",
     {{"patch\\game.txt", "new"}, {"game.txt", "old"}, {"other.txt", "kept"}},
     {{"patch", kDirectory}, {"game.txt", "new"}, {"other.txt", "kept"}}},
    {"NestedFilesCreateMissingDirectories",
     {{"patch\\data\\maps\\m1.dat", "m1"}, {"patch\\data\\x.dat", "x"}, {"data\\old.dat", "o"}},
     {{"patch", kDirectory},
      {"data\\old.dat", "o"},
      {"data\\x.dat", "x"},
      {"data\\maps\\m1.dat", "m1"}}},
    {"NestedEmptyDirectoriesAreCreatedAndRemoved",
     {{"patch\\a\\b\\c", kDirectory}, {"patch\\a\\d", kDirectory}},
     {{"patch", kDirectory}, {"a\\b\\c", kDirectory}, {"a\\d", kDirectory}}},
    {"NamesBeginningWithADotMove",
     {{"patch\\.hidden", "h"}, {"patch\\..two", "t"}, {"patch\\.config\\.settings", "s"}},
     {{"patch", kDirectory}, {".hidden", "h"}, {"..two", "t"}, {".config\\.settings", "s"}}},
    // Every file below "lib" stays, with each directory that holds one; the directories
    // without a file below them go.
    {"DirectoryWhereDestinationHoldsAFile",
     {{"patch\\lib\\x.jar", "new"},
      {"patch\\lib\\empty", kDirectory},
      {"patch\\lib\\deep\\more\\y.jar", "y"},
      {"patch\\lib\\deep\\none\\deeper", kDirectory},
      {"patch\\top.txt", "top"},
      {"lib", "a file"}},
     {{"patch\\lib\\x.jar", "new"},
      {"patch\\lib\\deep\\more\\y.jar", "y"},
      {"lib", "a file"},
      {"top.txt", "top"}}},
    {"FileWhereDestinationHoldsADirectory",
     {{"patch\\config", "a file"}, {"patch\\other.txt", "o"}, {"config\\inner.txt", "i"}},
     {{"patch\\config", "a file"}, {"other.txt", "o"}, {"config\\inner.txt", "i"}}},
    // A failed subdirectory keeps its parent from going, but the parent still moves its own
    // files.
    {"FailedSubdirectoryDoesNotMarkItsParent",
     {{"patch\\a\\b\\f.txt", "f"}, {"patch\\a\\ok.txt", "ok"}, {"a\\b", "a file"}},
     {{"patch\\a\\b\\f.txt", "f"}, {"a\\ok.txt", "ok"}, {"a\\b", "a file"}}},
    {"OtherSourceIsRemovedOnceEmptied",
     {{"update\\u.txt", "u"}, {"update\\sub\\v.txt", "v"}},
     {{"u.txt", "u"}, {"sub\\v.txt", "v"}},
     ".\\update\\"},
    {"MergeIntoASubdirectory",
     {{"patch\\u.txt", "u"}, {"target", kDirectory}},
     {{"patch", kDirectory}, {"target\\u.txt", "u"}},
     ".\\patch\\",
     ".\\target\\"},
};
