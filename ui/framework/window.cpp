#include "window.h"

const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message) {
    for (; map != nullptr; map = map->base) {
        for (std::size_t i = 0; i < map->count; ++i) {
            if (map->entries[i].message == message) {
                return &map->entries[i];
            }
        }
    }
    return nullptr;
}

// CWnd handles nothing itself: every message goes on to the window's default procedure.
const MessageMap CWnd::messageMap{nullptr, nullptr, 0};

const MessageMap* CWnd::GetMessageMap() const {
    return &messageMap;
}

const MessageMapEntry* CWnd::FindMessageEntry(UINT message) const {
    return ::FindMessageEntry(GetMessageMap(), message);
}

BOOL CWnd::EnableWindow(BOOL enable) {
    return ::EnableWindow(m_hWnd, enable);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::ShowWindow(int showCommand) {
    return ::ShowWindow(m_hWnd, showCommand);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::DestroyWindow() {
    return ::DestroyWindow(m_hWnd);
}

HWND CWnd::SetCapture() {
    return ::SetCapture(m_hWnd);
}
