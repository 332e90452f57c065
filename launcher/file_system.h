// The few file operations that the backend switch and the patch merge need. The running launcher
// realises them with the Windows file calls; tests use an in-memory tree.
#pragma once

#include <cstddef>
#include <cstdint>

// Attribute bits of a listed entry, as the Windows file system reports them.
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;

// Every path that the launcher builds for these calls: at most 255 bytes and the terminator.
constexpr std::size_t kPathBufferSize = 256;
// Room for a listed name: the platform's longest path and its terminator.
constexpr std::size_t kEntryNameSize = 260;

struct DirectoryEntry {
    char name[kEntryNameSize];
    std::uint32_t attributes;
};

// An open directory listing; kNoListing when a directory could not be listed.
using ListingHandle = void*;
constexpr ListingHandle kNoListing = nullptr;

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens a listing of the directory that pattern names (the directory's path followed by "*")
    // and writes its first entry into entry. The listing yields every entry, "." and ".."
    // included. Returns kNoListing when the directory can't be listed.
    virtual ListingHandle OpenListing(const char* pattern, DirectoryEntry& entry) = 0;
    // Writes the listing's next entry into entry; false when none is left or the listing fails.
    virtual bool NextEntry(ListingHandle listing, DirectoryEntry& entry) = 0;
    virtual void CloseListing(ListingHandle listing) = 0;

    // Copies the whole file source to destination, replacing a file that is there already.
    virtual bool CopyReplacing(const char* source, const char* destination) = 0;
    virtual bool RemoveFile(const char* path) = 0;
    // Creates one directory; fails when something of that name exists already.
    virtual bool MakeDirectory(const char* path) = 0;
    // Removes a directory only if it is empty.
    virtual bool RemoveEmptyDirectory(const char* path) = 0;
};
