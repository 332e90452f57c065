// CWnd: a C++ object bound to one window handle, with the calls the splash dialog makes on it.
#pragma once

#include <windows.h>

#include "message_map.h"

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    BOOL EnableWindow(BOOL enable = TRUE);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL ShowWindow(int showCommand);
    void UpdateWindow();
    BOOL DestroyWindow();
    // Sends the thread's mouse input to this window; yields the window that had it before.
    HWND SetCapture();

    // The table of messages this class handles; derived classes with handlers override it.
    virtual const MessageMap* GetMessageMap() const;
    const MessageMapEntry* FindMessageEntry(UINT message) const;

    HWND m_hWnd = nullptr;

  protected:
    static const MessageMap messageMap;
};
