// Starting the game and waiting for it, replacing the launcher with a fresh copy, and the
// launcher's normal end.
#pragma once

#include <cstdint>

// Starts program (its name resolved in the working directory, then along PATH) with the command
// line "word0 word1 word2", waits with no time limit until it has ended and returns its exit
// code as a signed value; -1 when no process could be started. No window message is handled
// while the program runs.
std::int32_t StartChildAndWait(const char* program, const char* word0, const char* word1,
                               const char* word2);

// Starts ".\quorvanta.exe" with the command line "noargs" and, once it has been created, ends
// this process at once with status 0: no exit routine runs and no stream is flushed. Returns
// -1 only when the copy could not be started.
int RelaunchLauncher();

// The normal end: exit routines run, streams are flushed, the process ends with status.
[[noreturn]] void ExitLauncher(int status);
