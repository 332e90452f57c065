// Byte-exact reading and writing of Windows text files, the same on every C runtime: no
// runtime's text mode is used, so the rules hold on Windows and natively alike.
#pragma once

#include <cstddef>
#include <cstdio>

// Reads a file opened in binary mode as Windows text: CR LF reads as LF, a lone CR is kept,
// and a byte 0x1A ends the file.
class WindowsTextReader {
public:
    explicit WindowsTextReader(std::FILE* file) : file_(file) {}

    // Reads one line as the runtime's line read does with a buffer of `size` bytes: at most
    // size - 1 bytes, stopping after a line feed, then a terminator. Returns the number of bytes
    // read; 0, with buffer untouched, when the end of the file comes before any byte.
    std::size_t ReadLine(char* buffer, std::size_t size);

    // Passes over the rest of the current line, through its line feed.
    void SkipRestOfLine();

private:
    int Next();

    std::FILE* file_;
    bool ended_ = false;
};

// Writes text followed by a CR LF line end.
void WriteWindowsTextLine(std::FILE* file, const char* text);
