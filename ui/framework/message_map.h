// Message maps: each window class keeps a small static table of the messages it handles and
// names the table of its base class, so a message is looked up from the most derived class
// down to CWnd.
#pragma once

#include <windows.h>

#include <cstddef>

class CWnd;

// Calls one handler of a window class; the window is the object the message was sent to.
using MessageHandler = LRESULT (*)(CWnd& window, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* base; // null for the root of the chain
    const MessageMapEntry* entries;
    std::size_t count;
};

// The handler for message in map or in one of its bases; null when no class handles it.
const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message);

template <std::size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* base, const MessageMapEntry (&entries)[N]) {
    return MessageMap{base, entries, N};
}
