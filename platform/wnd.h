// Windows: CWnd is the C++ object of one window (a dialog, a control, or a
// custom child window). Messages reach it through WindowProc and its message
// map; whatever the map does not take gets the window's default processing
// (for a control: the control's own behaviour). All windows live on the UI
// thread. Worker threads reach them only with ::PostMessage (or PostToUi).
//
// Several C++ objects can refer to the same window (GetDlgItem's object and
// an object attached with SubclassDlgItem or DDX_Control); the attached one
// receives the messages. When the window is destroyed every object that
// refers to it is detached (m_hWnd becomes nullptr).
#pragma once

#include <string>

#include "platform/gdi.h"
#include "platform/messages.h"
#include "platform/msgmap.h"
#include "platform/resources_styles.h"
#include "platform/types.h"

struct WndCore;  // the window itself, defined by the platform sources

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};
using LPMSG = MSG*;

// Owner-draw record of WM_DRAWITEM. hDC is the painter of the item; pDC a
// device context on it that lives as long as the message.
struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    RECT rcItem;
    DWORD_PTR itemData = 0;
    CDC* pDC = nullptr;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

struct MEASUREITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    DWORD_PTR itemData = 0;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = HOVER_DEFAULT;
};

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;

// SetWindowPos flags.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;

// Called instead of WM_TIMER when given to SetTimer.
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

class CDataExchange;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Positions in the sibling order for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;

    // The window this object refers to, nullptr when none.
    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object that receives the messages of a window; nullptr for a
    // handle of no live window.
    static CWnd* FromHandle(HWND hwnd);

    // A custom child window (the class name is only kept for the record).
    virtual BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id);
    virtual BOOL DestroyWindow();
    // Makes this object the receiver of the messages of the parent's child
    // control with that id (or of hwnd). FALSE when there is no such control
    // or this object already refers to a window.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    BOOL SubclassWindow(HWND hwnd);

    int GetDlgCtrlID() const;
    // The direct child with that id (the first one), nullptr when none.
    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;
    DWORD GetStyle() const;

    void SetWindowText(const std::wstring& text);
    void GetWindowText(std::wstring& text) const;
    std::wstring GetWindowTextString() const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int id, const std::wstring& text);
    UINT GetDlgItemText(int id, std::wstring& text) const;

    BOOL ShowWindow(int cmdShow);
    BOOL IsWindowVisible() const;
    // Raises and activates the window's top-level window (a hidden one
    // stays hidden; the window manager may only mark it as asking for
    // attention); a modal popup in front of the program's windows comes along
    // on top of it.
    BOOL SetForegroundWindow();
    BOOL EnableWindow(BOOL enable = TRUE);  // the previous state: nonzero when it was disabled
    BOOL IsWindowEnabled() const;

    // Children are placed in their parent's client coordinates, top-level
    // windows in screen coordinates.
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;  // screen coordinates
    void ClientToScreen(LPPOINT point) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement);

    // Every repaint erases first (WM_ERASEBKGND, then WM_PAINT); erase is
    // kept for the callers' record.
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void UpdateWindow();

    CWnd* SetFocus();  // the window that had the focus
    static CWnd* GetFocus();
    CWnd* SetCapture();  // mouse messages come here until ReleaseCapture
    static CWnd* GetCapture();

    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;

    // Window timers: SetTimer on a live id restarts it; a tick reaches the
    // handler straight from the event loop, without a posted event; ticks go
    // on while the handler of one of them runs a modal loop. Returns the id, 0 without a window.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // A direct call, on the UI thread only (see ::SendMessage).
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* dx);

    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing of the message being handled.
    LRESULT Default();

    // Owner draw reflected from the parent's default WM_DRAWITEM /
    // WM_MEASUREITEM handling.
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}

protected:
    static const ::msgmap::Map* GetThisMessageMap();
    virtual const ::msgmap::Map* GetMessageMap() const;

    // Default handlers: each gives the message its default processing.
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnPaint();
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMouseHover(UINT flags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnRButtonDown(UINT flags, CPoint point);
    afx_msg void OnRButtonUp(UINT flags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint screenPoint);
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnKeyUp(UINT key, UINT repeat, UINT flags);
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnSetFocus(CWnd* oldWnd);
    afx_msg void OnKillFocus(CWnd* newWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    afx_msg void OnDrawItem(int ctlId, LPDRAWITEMSTRUCT dis);
    afx_msg void OnMeasureItem(int ctlId, LPMEASUREITEMSTRUCT mis);
    afx_msg void OnVScroll(UINT code, UINT pos, CWnd* scrollBar);
    afx_msg void OnHScroll(UINT code, UINT pos, CWnd* scrollBar);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg LRESULT OnNcHitTest(CPoint screenPoint);
    afx_msg void OnSysCommand(UINT id, LPARAM lParam);
    afx_msg BOOL OnDeviceChange(UINT eventType, DWORD_PTR data);
    afx_msg void OnShowWindow(BOOL show, UINT status);

private:
    WndCore* m_core = nullptr;  // this layer's own sources reach it through WndAccess (wnd_qt.h)
    friend struct WndCore;
    friend struct WndAccess;
};

// Handles work from any thread.
BOOL IsWindow(HWND hwnd);
// Calls the window procedure at once and returns its result (UI thread
// only: from another thread it returns 0 without running anything); 0 for a
// window that is gone.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues the message for the UI thread (first in, first out); FALSE for a
// handle of no live window. A message whose window is gone by then is
// dropped.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL ReleaseCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
// High bit set while the key is down (VK_SHIFT, VK_CONTROL, VK_MENU, mouse buttons).
int16_t GetKeyState(int virtualKey);

inline HWND ToHwnd(LPARAM l) { return reinterpret_cast<HWND>(static_cast<intptr_t>(l)); }
inline LPARAM LParamFromHwnd(HWND h) { return static_cast<LPARAM>(reinterpret_cast<intptr_t>(h)); }

// Device contexts of a window: during WM_PAINT (or WM_ERASEBKGND) they draw
// on the window; elsewhere on a scratch surface, after which the window is
// repainted.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

private:
    struct Scratch;
    Scratch* m_scratch = nullptr;
    CWnd* m_wnd;
};
class CClientDC : public CPaintDC {
public:
    explicit CClientDC(CWnd* wnd) : CPaintDC(wnd) {}
};

// Argument crackers of the message map entries.
namespace msgmap {

struct CrackRaw {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        return (c->*f)(w, l);
    }
};
struct CrackVoid {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM, LPARAM)
    {
        (c->*f)();
        return 0;
    }
};
struct CrackId {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM)
    {
        (c->*f)(static_cast<UINT>(LOWORD(w)));
        return 0;
    }
};
// Table entries: the index of the control in its table comes first.
struct CrackIndex {
    template <class C, class F>
    static LRESULT Call(C* c, F f, int index, WPARAM, LPARAM)
    {
        (c->*f)(index);
        return 0;
    }
};
struct CrackIndexDrawItem {
    template <class C, class F>
    static LRESULT Call(C* c, F f, int index, WPARAM, LPARAM l)
    {
        (c->*f)(index, reinterpret_cast<LPDRAWITEMSTRUCT>(static_cast<intptr_t>(l)));
        return TRUE;
    }
};
struct CrackTimer {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM)
    {
        (c->*f)(static_cast<UINT_PTR>(w));
        return 0;
    }
};
struct CrackMouse {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        (c->*f)(static_cast<UINT>(w), CPoint(l));
        return 0;
    }
};
struct CrackWheel {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        return (c->*f)(static_cast<UINT>(LOWORD(w)), static_cast<short>(HIWORD(w)), CPoint(l));
    }
};
struct CrackKey {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        (c->*f)(static_cast<UINT>(w), static_cast<UINT>(l & 0xFFFF), static_cast<UINT>((l >> 16) & 0xFFFF));
        return 0;
    }
};
struct CrackFocus {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM)
    {
        (c->*f)(CWnd::FromHandle(ToHwnd(static_cast<LPARAM>(w))));
        return 0;
    }
};
struct CrackEraseBkgnd {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM)
    {
        return (c->*f)(CDC::FromHandle(reinterpret_cast<HDC>(static_cast<uintptr_t>(w))));
    }
};
struct CrackCtlColor {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l);  // needs the message: see CWnd::OnWndMsg
};
struct CrackDrawItem {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        (c->*f)(static_cast<int>(w), reinterpret_cast<LPDRAWITEMSTRUCT>(static_cast<intptr_t>(l)));
        return TRUE;
    }
};
struct CrackMeasureItem {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        (c->*f)(static_cast<int>(w), reinterpret_cast<LPMEASUREITEMSTRUCT>(static_cast<intptr_t>(l)));
        return TRUE;
    }
};
struct CrackScroll {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        (c->*f)(static_cast<UINT>(LOWORD(w)), static_cast<UINT>(HIWORD(w)), CWnd::FromHandle(ToHwnd(l)));
        return 0;
    }
};
struct CrackSize {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        (c->*f)(static_cast<UINT>(w), static_cast<int>(LOWORD(l)), static_cast<int>(HIWORD(l)));
        return 0;
    }
};
struct CrackHitTest {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM, LPARAM l)
    {
        return (c->*f)(CPoint(l));
    }
};
struct CrackSysCommand {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        (c->*f)(static_cast<UINT>(w), l);
        return 0;
    }
};
struct CrackDeviceChange {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        return (c->*f)(static_cast<UINT>(w), static_cast<DWORD_PTR>(l));
    }
};
struct CrackShowWindow {
    template <class C, class F>
    static LRESULT Call(C* c, F f, WPARAM w, LPARAM l)
    {
        (c->*f)(static_cast<BOOL>(w), static_cast<UINT>(l));
        return 0;
    }
};

// The kind of control-colour request under way (set around the call of a
// WM_CTLCOLOR* handler).
UINT CurrentCtlColorKind();

template <class C, class F>
LRESULT CrackCtlColor::Call(C* c, F f, WPARAM w, LPARAM l)
{
    HBRUSH brush = (c->*f)(CDC::FromHandle(reinterpret_cast<HDC>(static_cast<uintptr_t>(w))),
                           CWnd::FromHandle(ToHwnd(l)), CurrentCtlColorKind());
    return static_cast<LRESULT>(reinterpret_cast<intptr_t>(brush));
}

}  // namespace msgmap
