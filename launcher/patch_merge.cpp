#include "patch_merge.h"

#include <cstring>

#include "launch_sequence.h"

namespace {

using PathBuffer = char[kPathBufferSize];

// Writes base + name + suffix into path. Returns false, with path left empty, when the result
// would not fit: a path is never cut, since a cut path names a different file.
bool JoinPath(PathBuffer& path, const char* base, const char* name, const char* suffix) {
    const std::size_t baseLength = std::strlen(base);
    const std::size_t nameLength = std::strlen(name);
    const std::size_t suffixLength = std::strlen(suffix);
    path[0] = '\0';
    if (baseLength + nameLength + suffixLength >= kPathBufferSize) {
        return false;
    }
    std::memcpy(path, base, baseLength);
    std::memcpy(path + baseLength, name, nameLength);
    std::memcpy(path + baseLength + nameLength, suffix, suffixLength + 1);
    return true;
}

bool IsDirectoryItself(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Moves one file; false when it stays in the source. The source is deleted only after a good
// copy, and a failed delete leaves a copy in both places, which loses nothing.
bool MoveOneFile(FileSystem& files, const char* sourcePath, const char* destinationPath) {
    if (!files.CopyReplacing(sourcePath, destinationPath)) {
        return false;
    }
    files.RemoveFile(sourcePath);
    return true;
}

// Handles one entry of the level at source; false when the entry stays in the source.
bool MergeEntry(FileSystem& files, const char* source, const char* destination,
                const DirectoryEntry& entry) {
    PathBuffer sourcePath;
    PathBuffer destinationPath;
    if ((entry.attributes & kFileAttributeDirectory) == 0) {
        return JoinPath(sourcePath, source, entry.name, "") &&
               JoinPath(destinationPath, destination, entry.name, "") &&
               MoveOneFile(files, sourcePath, destinationPath);
    }
    // A junction or directory link leads out of the patch tree: moving what lies behind it
    // would delete files elsewhere.
    if ((entry.attributes & kFileAttributeReparsePoint) != 0) {
        return false;
    }
    // The level below needs room for its listing pattern, its path followed by "*".
    if (!JoinPath(sourcePath, source, entry.name, "\\*") ||
        !JoinPath(destinationPath, destination, entry.name, "\\")) {
        return false;
    }
    JoinPath(destinationPath, destination, entry.name, "");
    files.MakeDirectory(destinationPath);
    JoinPath(sourcePath, source, entry.name, "\\");
    JoinPath(destinationPath, destination, entry.name, "\\");
    MergePatchDirectory(files, sourcePath, destinationPath);
    return true;
}

} // namespace

void MergePatchDirectory(FileSystem& files, const char* source, const char* destination) {
    PathBuffer pattern;
    if (std::strlen(destination) >= kPathBufferSize || !JoinPath(pattern, source, "*", "")) {
        return;
    }
    DirectoryEntry entry;
    const ListingHandle listing = files.OpenListing(pattern, entry);
    if (listing == kNoListing) {
        return;
    }
    // Set when an entry of this level stays; what happens below a subdirectory concerns that
    // subdirectory's own level only.
    bool entryStayed = false;
    do {
        if (!IsDirectoryItself(entry.name) && !MergeEntry(files, source, destination, entry)) {
            entryStayed = true;
        }
    } while (files.NextEntry(listing, entry));
    files.CloseListing(listing);

    if (!entryStayed && std::strcmp(source, kPatchSource) != 0) {
        files.RemoveEmptyDirectory(source);
    }
}
