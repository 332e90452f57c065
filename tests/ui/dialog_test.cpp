// The dialog framework on a real window: the modal run of a template, the order in which the
// window is initialised, shown and painted, and the dispatch of messages through chained maps.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/dialog.h"
#include "framework/drawing.h"
#include "resource.h"

namespace {

constexpr UINT kProbeMessage = WM_APP + 1;
constexpr int kProbeResult = 7;
// Ends a dialog that never gets its first paint, so that the test fails instead of hanging.
constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT kGiveUpMilliseconds = 20000;
constexpr int kGaveUp = -2;

std::string Visibility(HWND window) {
    return IsWindowVisible(window) ? "shown" : "hidden";
}

// Records what reaches it; its first paint ends the dialog.
class ProbeDialog : public CDialog {
  public:
    ProbeDialog() : CDialog(IDD_SPLASH) {}

    const MessageMap* GetMessageMap() const override { return &messageMap; }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        events.push_back("init " + Visibility(m_hWnd));
        owner = GetWindow(m_hWnd, GW_OWNER);
        SetTimer(m_hWnd, kGiveUpTimer, kGiveUpMilliseconds, nullptr);
        // Waiting in the queue: it must be handled before the window is shown.
        PostMessageA(m_hWnd, kProbeMessage, 0, 0);
        return TRUE;
    }
    void OnProbe() { events.push_back("probe " + Visibility(m_hWnd)); }
    void OnPaint() {
        CPaintDC paint(this);
        events.push_back("paint " + Visibility(m_hWnd));
        EndDialog(kProbeResult);
    }

    std::vector<std::string> events;
    HWND owner = reinterpret_cast<HWND>(-1);

  protected:
    void DoDataExchange(CDataExchange* exchange) override {
        events.push_back(exchange->m_bSaveAndValidate ? "save" : "load");
    }
    static const MessageMap messageMap;
};

const MessageMapEntry kProbeMessages[] = {
    {WM_PAINT,
     [](CWnd& window, WPARAM, LPARAM) -> LRESULT {
         static_cast<ProbeDialog&>(window).OnPaint();
         return 0;
     }},
    {WM_TIMER,
     [](CWnd& window, WPARAM, LPARAM) -> LRESULT {
         static_cast<ProbeDialog&>(window).EndDialog(kGaveUp);
         return 0;
     }},
    {kProbeMessage,
     [](CWnd& window, WPARAM, LPARAM) -> LRESULT {
         static_cast<ProbeDialog&>(window).OnProbe();
         return 0;
     }},
};
const MessageMap ProbeDialog::messageMap = MakeMessageMap(&CDialog::messageMap, kProbeMessages);

// Adds a handler of its own and relies on its base for the rest.
class DerivedProbeDialog : public ProbeDialog {
  public:
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    BOOL OnInitDialog() override {
        ProbeDialog::OnInitDialog();
        dragIcon = SendMessage(WM_QUERYDRAGICON);
        return TRUE;
    }

    LRESULT dragIcon = 0;

  protected:
    static const MessageMap messageMap;
};

const MessageMapEntry kDerivedMessages[] = {
    {WM_QUERYDRAGICON, [](CWnd&, WPARAM, LPARAM) -> LRESULT { return 0x5A5A; }},
};
const MessageMap DerivedProbeDialog::messageMap =
    MakeMessageMap(&ProbeDialog::messageMap, kDerivedMessages);

TEST(Dialog, IsInitialisedHiddenThenShownAndPaintedOnceItsQueueIsEmpty) {
    ProbeDialog dialog;
    EXPECT_EQ(dialog.DoModal(), kProbeResult);
    EXPECT_EQ(dialog.events,
              (std::vector<std::string>{"load", "init hidden", "probe hidden", "paint shown"}));
    EXPECT_EQ(dialog.owner, nullptr) << "a dialog without a parent has no owner";
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "the window is gone once DoModal returns";
}

TEST(Dialog, DerivedMapsReachTheirBasesHandlersAndReturnDirectResults) {
    DerivedProbeDialog dialog;
    EXPECT_EQ(dialog.DoModal(), kProbeResult);
    EXPECT_EQ(dialog.dragIcon, 0x5A5A);
    EXPECT_EQ(dialog.events,
              (std::vector<std::string>{"load", "init hidden", "probe hidden", "paint shown"}));
}

TEST(Dialog, MissingTemplateFailsWithoutAWindow) {
    class Missing : public CDialog {
      public:
        Missing() : CDialog(9999) {}
    } dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(MessageMap, LooksUpTheMostDerivedEntryFirst) {
    const MessageMapEntry base[] = {{WM_PAINT, nullptr}, {WM_TIMER, nullptr}};
    const MessageMapEntry derived[] = {{WM_PAINT, nullptr}};
    const MessageMap baseMap = MakeMessageMap(nullptr, base);
    const MessageMap derivedMap = MakeMessageMap(&baseMap, derived);
    EXPECT_EQ(FindMessageEntry(&derivedMap, WM_PAINT), &derived[0]);
    EXPECT_EQ(FindMessageEntry(&derivedMap, WM_TIMER), &base[1]);
    EXPECT_EQ(FindMessageEntry(&derivedMap, WM_CLOSE), nullptr);
}

} // namespace
