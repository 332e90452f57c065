// The launcher's file operations on the Windows file calls, in their ANSI forms.
#pragma once

#include "file_system.h"

class Win32FileSystem : public FileSystem {
public:
    ListingHandle OpenListing(const char* pattern, DirectoryEntry& entry) override;
    bool NextEntry(ListingHandle listing, DirectoryEntry& entry) override;
    void CloseListing(ListingHandle listing) override;
    bool CopyReplacing(const char* source, const char* destination) override;
    bool RemoveFile(const char* path) override;
    bool MakeDirectory(const char* path) override;
    bool RemoveEmptyDirectory(const char* path) override;
};
