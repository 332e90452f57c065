// The launch settings that the installer leaves in "install.txt", and the diagnostics file
// "output.txt".
#pragma once

#include <cstddef>

// A text value: at most 255 bytes and the terminator.
constexpr std::size_t kTextFieldSize = 256;
constexpr char kRuntimeProgramName[] = "javaw";
// childProgram holds a whole runtimePrefix followed by "javaw", so no prefix is ever cut into
// the name of a different program.
constexpr std::size_t kChildProgramSize = kTextFieldSize + sizeof(kRuntimeProgramName) - 1;

// The six lines of "install.txt", in file order, and the program they name.
struct InstallSettings {
    char runtimePrefix[kTextFieldSize];   // line 1
    char childArg2[kTextFieldSize];       // line 2: third word of the game's command line
    char childArg1[kTextFieldSize];       // line 3: second word
    char colourDepth[kTextFieldSize];     // line 4: "32" or anything else for 16
    char graphicsRequest[kTextFieldSize]; // line 5: "opengl", "directx" or no request
    char childArg0[kTextFieldSize];       // line 6: first word
    char childProgram[kChildProgramSize]; // runtimePrefix + "javaw"; empty without "install.txt"
};

// The one record the running launcher reads; filled once while the splash is created.
extern InstallSettings g_installSettings;

constexpr char kInstallFileName[] = "install.txt";
constexpr char kDiagnosticsFileName[] = "output.txt";
constexpr char kInstallReadError[] = "ERROR READING install.txt";
constexpr char kGraphicsRequestTaken[] = "graphicsChanged";

// Ends text at its first carriage return or line feed.
void CutAtLineEnd(char* text);

// True only for exactly "opengl" or exactly "directx".
bool IsBackendRequest(const char* graphicsRequest);

// Reads "install.txt" from the working directory into settings. A pending backend request is
// taken at once: the file is rewritten with "graphicsChanged" in line 5, while settings keep
// the request for this run. Without a readable "install.txt", "output.txt" says so and every
// value stays empty.
void ReadInstallSettings(InstallSettings& settings = g_installSettings);

// Overwrites "output.txt" with childProgram followed by childArg1, without any line end.
void WriteLaunchDiagnostics(const InstallSettings& settings = g_installSettings);
