#include "dialog.h"

#include "application.h"

namespace {

// The messages whose result a dialog procedure returns itself instead of storing it in
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}

} // namespace

const MessageMap CDialog::messageMap{&CWnd::messageMap, nullptr, 0};

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

const MessageMap* CDialog::GetMessageMap() const {
    return &messageMap;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    CDataExchange exchange(this, FALSE);
    DoDataExchange(&exchange);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    m_modalResult = -1;
    m_inModalLoop = true;
    HWND window = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                     DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        m_inModalLoop = false;
        return -1;
    }
    RunModalLoop();
    if (m_hWnd != nullptr) {
        DestroyWindow();
    }
    return m_modalResult;
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_inModalLoop = false;
    // Wakes the loop if it is waiting for a message.
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void CDialog::RunModalLoop() {
    bool shown = false;
    MSG message;
    while (m_inModalLoop) {
        if (!shown && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            shown = true;
            ShowWindow(SW_SHOWNORMAL);
            UpdateWindow();
            continue;
        }
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT ends the loop; it is posted again for whichever loop runs next.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        if (!IsDialogMessageA(m_hWnd, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

INT_PTR CALLBACK CDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = window;
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        return dialog->OnInitDialog();
    }
    // Messages before WM_INITDIALOG (WM_SETFONT among them) find no object yet.
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
        return FALSE;
    }
    const MessageMapEntry* entry = dialog->FindMessageEntry(message);
    if (entry == nullptr) {
        return FALSE;
    }
    LRESULT result = entry->handler(*dialog, wParam, lParam);
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}
