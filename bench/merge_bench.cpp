// Times one way of moving the patch tree ".\patch\" into the installation directory ".\" (the
// working directory) and prints "seconds=S files=N".
//
//   merge_bench.exe merge        the launcher's own merge: MergePatchDirectory on the Windows
//                                file system, exactly as a launcher run calls it;
//   merge_bench.exe copy-delete  the floor on the same calls: CopyFileA then DeleteFileA for
//                                each file, every path known before the clock starts;
//   merge_bench.exe file-system  the same floor through Win32FileSystem's CopyReplacing and
//                                RemoveFile, i.e. with whatever calls the launcher's copy uses;
//   merge_bench.exe list         lists the patch tree and moves nothing: the part of the merge's
//                                work that the floors leave out.
//
// The floors make the destination directories before the clock starts and remove the emptied
// patch directories after it stops: they time the per-file work alone.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "patch_merge.h"
#include "win32_file_system.h"

namespace {

const char kPatch[] = ".\\patch\\";
const char kDestination[] = ".\\";

struct PatchTree {
    std::vector<std::string> directories; // relative, parents before children
    std::vector<std::string> files;       // relative
};

void ListTree(const std::string& relative, PatchTree& tree) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((kPatch + relative + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            tree.directories.push_back(relative + name);
            ListTree(relative + name + "\\", tree);
        } else {
            tree.files.push_back(relative + name);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

struct FilePaths {
    std::string source;
    std::string destination;
};

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& stop) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(stop.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

int TimeMerge() {
    PatchTree tree;
    ListTree("", tree);
    Win32FileSystem files;
    LARGE_INTEGER start;
    LARGE_INTEGER stop;
    QueryPerformanceCounter(&start);
    MergePatchDirectory(files, kPatch, kDestination);
    QueryPerformanceCounter(&stop);
    std::printf("seconds=%.3f files=%zu\n", Seconds(start, stop), tree.files.size());
    return 0;
}

int TimeListing() {
    PatchTree tree;
    LARGE_INTEGER start;
    LARGE_INTEGER stop;
    QueryPerformanceCounter(&start);
    ListTree("", tree);
    QueryPerformanceCounter(&stop);
    std::printf("seconds=%.3f files=%zu\n", Seconds(start, stop), tree.files.size());
    return 0;
}

int TimeFloor(bool throughFileSystem) {
    PatchTree tree;
    ListTree("", tree);
    for (const std::string& directory : tree.directories) {
        CreateDirectoryA((kDestination + directory).c_str(), nullptr);
    }
    std::vector<FilePaths> paths;
    paths.reserve(tree.files.size());
    for (const std::string& file : tree.files) {
        paths.push_back({kPatch + file, kDestination + file});
    }

    Win32FileSystem files;
    std::size_t failed = 0;
    LARGE_INTEGER start;
    LARGE_INTEGER stop;
    QueryPerformanceCounter(&start);
    if (throughFileSystem) {
        for (const FilePaths& path : paths) {
            if (files.Win32FileSystem::CopyReplacing(path.source.c_str(),
                                                     path.destination.c_str())) {
                files.Win32FileSystem::RemoveFile(path.source.c_str());
            } else {
                ++failed;
            }
        }
    } else {
        for (const FilePaths& path : paths) {
            if (CopyFileA(path.source.c_str(), path.destination.c_str(), FALSE)) {
                DeleteFileA(path.source.c_str());
            } else {
                ++failed;
            }
        }
    }
    QueryPerformanceCounter(&stop);

    for (auto directory = tree.directories.rbegin(); directory != tree.directories.rend();
         ++directory) {
        RemoveDirectoryA((kPatch + *directory).c_str());
    }
    std::printf("seconds=%.3f files=%zu failed=%zu\n", Seconds(start, stop), paths.size(), failed);
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "merge") == 0) {
        return TimeMerge();
    }
    if (std::strcmp(mode, "copy-delete") == 0) {
        return TimeFloor(false);
    }
    if (std::strcmp(mode, "file-system") == 0) {
        return TimeFloor(true);
    }
    if (std::strcmp(mode, "list") == 0) {
        return TimeListing();
    }
    std::fprintf(stderr, "usage: merge_bench merge|copy-delete|file-system|list\n");
    return 2;
}
