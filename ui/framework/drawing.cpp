#include "drawing.h"

#include "window.h"

CClientDC::CClientDC(CWnd* window) : CDC(::GetDC(window->m_hWnd)), m_hWnd(window->m_hWnd) {}

CClientDC::~CClientDC() {
    if (m_hDC != nullptr) {
        ::ReleaseDC(m_hWnd, m_hDC);
    }
}

CPaintDC::CPaintDC(CWnd* window) : m_ps{}, m_hWnd(window->m_hWnd) {
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    if (m_hDC != nullptr) {
        ::EndPaint(m_hWnd, &m_ps);
    }
}
