// The launcher's whole run after start-up, with every decision it takes.
#pragma once

#include <cstdint>

#include "install_settings.h"
#include "launch_operations.h"

constexpr int kRunWidth = 800;
constexpr int kRunHeight = 600;
// The game's exit code that asks for a fresh launcher (0xFFFFFFFE as an unsigned code).
constexpr std::int32_t RESTART_EXIT_CODE = -2;
constexpr char kPatchSource[] = ".\\patch\\";
constexpr char kPatchDestination[] = ".\\";

// 32 bits per pixel only for exactly "32"; 16 for anything else.
int ColourDepthFor(const char* colourDepth);

// Prepares the desktop, applies pending updates, runs the game, puts the desktop back and ends
// the process through operations: it does not return.
void RunLaunchSequence(LaunchOperations& operations,
                       const InstallSettings& settings = g_installSettings);
