#include "win32_file_system.h"

#include <windows.h>

#include <cstring>

static_assert(kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY, "directory bit");
static_assert(kFileAttributeReparsePoint == FILE_ATTRIBUTE_REPARSE_POINT, "reparse point bit");
static_assert(sizeof(DirectoryEntry::name) == sizeof(WIN32_FIND_DATAA::cFileName), "name size");

namespace {

void CopyEntry(const WIN32_FIND_DATAA& found, DirectoryEntry& entry) {
    std::memcpy(entry.name, found.cFileName, sizeof entry.name);
    entry.name[sizeof entry.name - 1] = '\0';
    entry.attributes = found.dwFileAttributes;
}

// A listing is a find handle; a handle that can't be opened becomes kNoListing, so that the
// one failure value of the file operations is null whatever the platform's own value.
ListingHandle ToListing(HANDLE find) {
    return find == INVALID_HANDLE_VALUE ? kNoListing : find;
}

} // namespace

ListingHandle Win32FileSystem::OpenListing(const char* pattern, DirectoryEntry& entry) {
    WIN32_FIND_DATAA found;
    const ListingHandle listing = ToListing(FindFirstFileA(pattern, &found));
    if (listing != kNoListing) {
        CopyEntry(found, entry);
    }
    return listing;
}

bool Win32FileSystem::NextEntry(ListingHandle listing, DirectoryEntry& entry) {
    WIN32_FIND_DATAA found;
    if (!FindNextFileA(static_cast<HANDLE>(listing), &found)) {
        return false;
    }
    CopyEntry(found, entry);
    return true;
}

void Win32FileSystem::CloseListing(ListingHandle listing) {
    FindClose(static_cast<HANDLE>(listing));
}

bool Win32FileSystem::CopyReplacing(const char* source, const char* destination) {
    return CopyFileA(source, destination, FALSE) != 0;
}

bool Win32FileSystem::RemoveFile(const char* path) {
    return DeleteFileA(path) != 0;
}

bool Win32FileSystem::MakeDirectory(const char* path) {
    return CreateDirectoryA(path, nullptr) != 0;
}

bool Win32FileSystem::RemoveEmptyDirectory(const char* path) {
    return RemoveDirectoryA(path) != 0;
}
