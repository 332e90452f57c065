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

// A copy is written beside its destination under the destination's name followed by this suffix,
// and takes the destination's name only once complete, so a copy cut short (the process ended,
// the disk full) never leaves a half-written file in the destination's place. A copy cut short
// by the end of the process leaves this file behind; the file that it was copying still waits
// in the patch, and the next copy to the same destination overwrites it and puts it in place.
constexpr char kPartialCopySuffix[] = ".quorvanta-partial";
constexpr std::size_t kLongestName = 255; // of one path component

// Writes destination + kPartialCopySuffix into path; false when that name would be too long for
// the ANSI file calls or for one component.
bool PartialCopyPath(const char* destination, char (&path)[MAX_PATH]) {
    const std::size_t length = std::strlen(destination);
    const char* separator = std::strrchr(destination, '\\');
    const std::size_t nameLength =
        separator == nullptr ? length
                             : length - static_cast<std::size_t>(separator + 1 - destination);
    if (length + sizeof kPartialCopySuffix > sizeof path ||
        nameLength + sizeof kPartialCopySuffix - 1 > kLongestName) {
        return false;
    }
    std::memcpy(path, destination, length);
    std::memcpy(path + length, kPartialCopySuffix, sizeof kPartialCopySuffix);
    return true;
}

// A copy of a read-only file is read-only, and a read-only file can't be deleted.
void RemovePartialCopy(const char* path) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
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
    char partial[MAX_PATH];
    if (!PartialCopyPath(destination, partial)) {
        // Too long for a second name beside it: the file is copied in place, as it always could.
        return CopyFileA(source, destination, FALSE) != 0;
    }
    // The replacing rename fails, as the copy would, where the destination is in use, read-only
    // or a directory; the destination then keeps its old bytes.
    if (!CopyFileA(source, partial, FALSE) ||
        !MoveFileExA(partial, destination, MOVEFILE_REPLACE_EXISTING)) {
        RemovePartialCopy(partial);
        return false;
    }
    return true;
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
