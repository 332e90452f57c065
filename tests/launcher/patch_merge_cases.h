// Patch trees and what a merge of ".\patch\" into ".\" leaves of them. The same cases run on the
// in-memory tree and, under Wine, on real directories.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "file_tree.h"

struct PatchMergeCase {
    std::string name;
    FileTree before; // files and empty directories; their parents exist too
    FileTree after;
    std::string source = ".\\patch\\";
    std::string destination = ".\\";
};

inline std::ostream& operator<<(std::ostream& out, const PatchMergeCase& c) {
    return out << c.name;
}

inline std::string Name(std::size_t length, char fill = 'n') {
    return std::string(length, fill);
}

inline std::vector<PatchMergeCase> PatchMergeCases() {
    const std::string d100 = Name(100, 'd');
    const std::string e100 = Name(100, 'e');
    return {
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
        // An entry whose path would pass 255 bytes is never cut to a different name: it stays, and
        // so does its directory.
        {"FileOf255Moves",
         {{"patch\\" + Name(247), "x"}},
         {{"patch", kDirectory}, {Name(247), "x"}}},
        {"FileOf256Stays", {{"patch\\" + Name(248), "x"}}, {{"patch\\" + Name(248), "x"}}},
        {"NestedFileOf255Moves",
         {{"patch\\d\\" + Name(245), "x"}},
         {{"patch", kDirectory}, {"d\\" + Name(245), "x"}}},
        {"NestedFileOf256StaysWithItsDirectory",
         {{"patch\\d\\" + Name(246), "x"}, {"patch\\d\\short.txt", "s"}},
         {{"patch\\d\\" + Name(246), "x"}, {"d\\short.txt", "s"}}},
        {"FileOf300Stays",
         {{"patch\\" + d100 + "\\" + e100 + "\\" + Name(90), "x"}},
         {{"patch\\" + d100 + "\\" + e100 + "\\" + Name(90), "x"},
          {d100 + "\\" + e100, kDirectory}}},
        // A directory's own level lists it with its path followed by "\*", which must fit too.
        {"DirectoryWhoseListingFits",
         {{"patch\\x\\" + Name(243), kDirectory}},
         {{"patch", kDirectory}, {"x\\" + Name(243), kDirectory}}},
        {"DirectoryWhoseListingWouldNotFit",
         {{"patch\\x\\" + Name(244), kDirectory}},
         {{"patch\\x\\" + Name(244), kDirectory}, {"x", kDirectory}}},
        {"LongDestinationKeepsTheFileThatWouldNotFit",
         {{"p\\" + Name(50, 'a'), "a"}, {"p\\" + Name(60, 'b'), "b"}, {Name(200, 'D'), kDirectory}},
         {{"p\\" + Name(60, 'b'), "b"}, {Name(200, 'D') + "\\" + Name(50, 'a'), "a"}},
         ".\\p\\",
         ".\\" + Name(200, 'D') + "\\"},
        {"SourceWithoutRoomForItsListing",
         {{Name(252, 's') + "\\f.txt", "f"}},
         {{Name(252, 's') + "\\f.txt", "f"}},
         ".\\" + Name(252, 's') + "\\"},
    };
}
