// CDialog: a dialog made from a template resource and run modally by its own message loop.
#pragma once

#include <windows.h>

#include "window.h"

// What a dialog's data exchange works on. The splash has no controls, so it carries only the
// direction of the exchange.
class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Creates the window from the template, hidden and owned by the parent's window (none when
    // there is no parent), delivers WM_INITDIALOG, then runs the modal loop: the window is shown
    // and updated the first time the message queue runs empty, and messages are pumped until
    // EndDialog. Yields EndDialog's result, or -1 when the window could not be created.
    virtual INT_PTR DoModal();
    // Ends the modal loop; DoModal then destroys the window and yields result.
    void EndDialog(int result);

    const MessageMap* GetMessageMap() const override;

  protected:
    // Moves data between the dialog's controls and its members.
    virtual void DoDataExchange(CDataExchange* exchange);

  public:
    // Called on WM_INITDIALOG while the window is still hidden. TRUE lets the system set the
    // input focus.
    virtual BOOL OnInitDialog();

  protected:
    static const MessageMap messageMap;

  private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void RunModalLoop();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_inModalLoop = false;
    INT_PTR m_modalResult = -1;
};
