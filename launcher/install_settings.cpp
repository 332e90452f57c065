#include "install_settings.h"

#include <cstdio>
#include <cstring>

#include "windows_text_file.h"

InstallSettings g_installSettings;

void CutAtLineEnd(char* text) {
    text[std::strcspn(text, "\r\n")] = '\0';
}

bool IsBackendRequest(const char* graphicsRequest) {
    return std::strcmp(graphicsRequest, "opengl") == 0 ||
           std::strcmp(graphicsRequest, "directx") == 0;
}

namespace {

void WriteDiagnostics(const char* first, const char* second) {
    std::FILE* file = std::fopen(kDiagnosticsFileName, "wb");
    if (!file) {
        return;
    }
    std::fputs(first, file);
    std::fputs(second, file);
    std::fclose(file);
}

// One value: the line's first 255 bytes without its line end. The rest of a longer line is
// passed over, so that it never becomes the value of the settings after it.
void ReadValue(WindowsTextReader& reader, char (&field)[kTextFieldSize]) {
    std::size_t length = reader.ReadLine(field, sizeof field);
    if (length == sizeof field - 1 && field[length - 1] != '\n') {
        reader.SkipRestOfLine();
    }
    CutAtLineEnd(field);
}

void ReadValues(std::FILE* file, InstallSettings& settings) {
    WindowsTextReader reader(file);
    ReadValue(reader, settings.runtimePrefix);
    ReadValue(reader, settings.childArg2);
    ReadValue(reader, settings.childArg1);
    ReadValue(reader, settings.colourDepth);
    ReadValue(reader, settings.graphicsRequest);
    ReadValue(reader, settings.childArg0);
}

void FormChildProgram(InstallSettings& settings) {
    std::strcpy(settings.childProgram, settings.runtimePrefix);
    std::strcat(settings.childProgram, kRuntimeProgramName);
}

// Rewrites the file with the request replaced, so each request is carried out in one run only.
// When the file cannot be created the request stays in it and the next run takes it again.
void RecordRequestTaken(const InstallSettings& settings) {
    std::FILE* file = std::fopen(kInstallFileName, "wb");
    if (!file) {
        return;
    }
    WriteWindowsTextLine(file, settings.runtimePrefix);
    WriteWindowsTextLine(file, settings.childArg2);
    WriteWindowsTextLine(file, settings.childArg1);
    WriteWindowsTextLine(file, settings.colourDepth);
    WriteWindowsTextLine(file, kGraphicsRequestTaken);
    WriteWindowsTextLine(file, settings.childArg0);
    std::fclose(file);
}

} // namespace

void ReadInstallSettings(InstallSettings& settings) {
    std::FILE* file = std::fopen(kInstallFileName, "rb");
    if (!file) {
        WriteDiagnostics(kInstallReadError, "");
        return;
    }
    ReadValues(file, settings);
    FormChildProgram(settings);
    std::fclose(file);

    if (IsBackendRequest(settings.graphicsRequest)) {
        RecordRequestTaken(settings);
    }
}

void WriteLaunchDiagnostics(const InstallSettings& settings) {
    WriteDiagnostics(settings.childProgram, settings.childArg1);
}
