// Splash bitmap files for tests: each pixel has its own colour, so a test can tell which part
// of the bitmap landed where.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "scratch_directory.h"

// The pattern's colour at (x, y), as 0xRRGGBB.
inline std::uint32_t PatternPixel(int x, int y) {
    return 0x800000u | (static_cast<std::uint32_t>(x & 0x3FF) << 10) |
           static_cast<std::uint32_t>(y & 0x3FF);
}

// Writes the pattern as a 24-bit bottom-up .bmp file.
inline void WritePatternBmp(const char* file, int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER fileHeader{};
    BITMAPINFOHEADER infoHeader{};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof fileHeader + sizeof infoHeader;
    fileHeader.bfSize = fileHeader.bfOffBits + rowBytes * height;
    infoHeader.biSize = sizeof infoHeader;
    infoHeader.biWidth = width;
    infoHeader.biHeight = height;
    infoHeader.biPlanes = 1;
    infoHeader.biBitCount = 24;
    infoHeader.biCompression = BI_RGB;
    std::string bytes(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
    bytes.append(reinterpret_cast<const char*>(&infoHeader), sizeof infoHeader);
    for (int y = height - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = PatternPixel(x, y);
            row[x * 3] = static_cast<char>(pixel & 0xFF);
            row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
        }
        bytes += row;
    }
    WriteFileBytes(file, bytes);
}
