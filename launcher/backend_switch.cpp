#include "backend_switch.h"

#include <cstring>

void SwitchRenderingBackend(FileSystem& files, const char* graphicsRequest) {
    const bool openGl = std::strcmp(graphicsRequest, "opengl") == 0;
    for (const BackendFile& file : kBackendFiles) {
        files.CopyReplacing(openGl ? file.openGlSource : file.directXSource, file.destination);
    }
}
