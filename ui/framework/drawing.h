// Device contexts and drawing objects, each owning its handle for exactly its own lifetime.
#pragma once

#include <windows.h>

class CWnd;

// A solid brush of one colour.
class CBrush {
  public:
    explicit CBrush(COLORREF colour) : m_hObject(CreateSolidBrush(colour)) {}
    ~CBrush() {
        if (m_hObject != nullptr) {
            DeleteObject(m_hObject);
        }
    }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    HBRUSH m_hObject;
};

// Drawing calls on a device context that someone else owns.
class CDC {
  public:
    explicit CDC(HDC dc = nullptr) : m_hDC(dc) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    int FillRect(const RECT* rect, CBrush* brush) {
        return ::FillRect(m_hDC, rect, brush->m_hObject);
    }
    COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }
    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
    BOOL TextOut(int x, int y, const char* text, int length) {
        return ::TextOutA(m_hDC, x, y, text, length);
    }
    BOOL BitBlt(int x, int y, int width, int height, const CDC& source, int sourceX, int sourceY,
                DWORD rasterOperation) {
        return ::BitBlt(m_hDC, x, y, width, height, source.m_hDC, sourceX, sourceY,
                        rasterOperation);
    }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }

    HDC m_hDC;
};

// The client area's device context of a window (GetDC), released again on destruction.
class CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* window);
    ~CClientDC() override;

  private:
    HWND m_hWnd;
};

// The context of one WM_PAINT: BeginPaint on construction, EndPaint on destruction. Drawing
// through it reaches only the part of the window that was invalid when it was made.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

  private:
    HWND m_hWnd;
};

// A memory context compatible with another context, deleted on destruction. An object selected
// into it through Select is deselected first, so the object outlives the context unharmed.
class CMemoryDC : public CDC {
  public:
    explicit CMemoryDC(const CDC& compatibleWith) : CDC(CreateCompatibleDC(compatibleWith.m_hDC)) {}
    ~CMemoryDC() override {
        if (m_previous != nullptr) {
            ::SelectObject(m_hDC, m_previous);
        }
        if (m_hDC != nullptr) {
            DeleteDC(m_hDC);
        }
    }

    // Selects object; yields false when it could not be selected.
    bool Select(HGDIOBJ object) {
        HGDIOBJ previous = ::SelectObject(m_hDC, object);
        if (previous == nullptr || previous == HGDI_ERROR) {
            return false;
        }
        if (m_previous == nullptr) {
            m_previous = previous;
        }
        return true;
    }

  private:
    HGDIOBJ m_previous = nullptr;
};
