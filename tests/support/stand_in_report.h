// Reading what the stand-in game (stand_in_game.cpp) recorded: one block of "key=value" lines per
// run, each ended by a line "end".
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

using StandInRun = std::map<std::string, std::string>;

// The complete blocks of the report, in run order; a block still being written is left out.
// No file gives no runs.
std::vector<StandInRun> ReadStandInReport(const std::filesystem::path& report);
