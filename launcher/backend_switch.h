// Puts the game runtime's OpenGL or DirectX build of its five 3D files in force.
#pragma once

#include "file_system.h"

// One file of the runtime and where each backend keeps its own build of it.
struct BackendFile {
    const char* destination;
    const char* openGlSource;
    const char* directXSource;
};

// The five files, in the order in which they are copied.
constexpr BackendFile kBackendFiles[] = {
    {".\\jre\\bin\\j3daudio.dll", ".\\jre\\opengl\\bin\\j3daudio.dll",
     ".\\jre\\directx\\bin\\j3daudio.dll"},
    {".\\jre\\bin\\j3d.dll", ".\\jre\\opengl\\bin\\j3d.dll", ".\\jre\\directx\\bin\\j3d.dll"},
    {".\\jre\\lib\\ext\\j3dutils.jar", ".\\jre\\opengl\\lib\\ext\\j3dutils.jar",
     ".\\jre\\directx\\lib\\ext\\j3dutils.jar"},
    {".\\jre\\lib\\ext\\j3dcore.jar", ".\\jre\\opengl\\lib\\ext\\j3dcore.jar",
     ".\\jre\\directx\\lib\\ext\\j3dcore.jar"},
    {".\\jre\\lib\\ext\\j3daudio.jar", ".\\jre\\opengl\\lib\\ext\\j3daudio.jar",
     ".\\jre\\directx\\lib\\ext\\j3daudio.jar"},
};

// Copies the OpenGL build over the five runtime files when graphicsRequest is exactly "opengl",
// the DirectX build otherwise. Each copy stands alone: one that fails leaves its file as it was
// and the others are still made. The backend folders are only read.
void SwitchRenderingBackend(FileSystem& files, const char* graphicsRequest);
