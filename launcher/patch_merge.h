// Moves the update files waiting in a patch tree into the installation directory.
#pragma once

#include "file_system.h"

// Moves every file below source to the same relative place below destination, creating the
// directories it needs there, and removes each source subdirectory that it has emptied. Both
// paths end in a backslash. A file that can't be put in place stays where it is, and so does its
// directory, so it is tried again at the next start; the top directory ".\patch\" always stays.
// Entries that would need a path longer than 255 bytes, and directories that are reparse points
// (junctions, directory links), are left where they are and keep their directory too.
void MergePatchDirectory(FileSystem& files, const char* source, const char* destination);
