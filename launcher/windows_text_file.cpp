#include "windows_text_file.h"

namespace {
constexpr int kEndOfFileMark = 0x1A;
}

int WindowsTextReader::Next() {
    if (ended_) {
        return EOF;
    }
    int byte = std::getc(file_);
    if (byte == EOF || byte == kEndOfFileMark) {
        ended_ = true;
        return EOF;
    }
    if (byte == '\r') {
        int following = std::getc(file_);
        if (following == '\n') {
            return '\n';
        }
        if (following != EOF) {
            std::ungetc(following, file_);
        }
    }
    return byte;
}

std::size_t WindowsTextReader::ReadLine(char* buffer, std::size_t size) {
    std::size_t length = 0;
    while (length + 1 < size) {
        int byte = Next();
        if (byte == EOF) {
            break;
        }
        buffer[length++] = static_cast<char>(byte);
        if (byte == '\n') {
            break;
        }
    }
    if (length > 0) {
        buffer[length] = '\0';
    }
    return length;
}

void WindowsTextReader::SkipRestOfLine() {
    int byte;
    do {
        byte = Next();
    } while (byte != EOF && byte != '\n');
}

void WriteWindowsTextLine(std::FILE* file, const char* text) {
    std::fputs(text, file);
    std::fputs("\r\n", file);
}
