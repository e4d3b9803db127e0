// The standard controls. Each class only talks to the window it refers to,
// so GetDlgItem's object of a control can be used through its class
// (static_cast<CEdit*>(GetDlgItem(id))) and classes derived from these can be
// attached to template controls with SubclassDlgItem or DDX_Control.
//
// Notifications go to the parent as WM_COMMAND (wParam: id in the low word,
// code in the high word; lParam: the control's handle): EN_SETFOCUS,
// EN_KILLFOCUS and EN_CHANGE of edits, BN_CLICKED of buttons, CBN_SELCHANGE
// (user choices only), CBN_DROPDOWN / CBN_CLOSEUP of combo boxes, STN_CLICKED
// of SS_NOTIFY statics. Sliders send WM_VSCROLL (TBS_VERT) or WM_HSCROLL with
// the scroll code in the low word of wParam and the slider as lParam.
// Owner-drawn buttons, statics and combo items ask their parent with
// WM_DRAWITEM; the parent's default handling hands it to DrawItem of the
// control's object.
#pragma once

#include <string>

#include "platform/wnd.h"

class CEdit : public CWnd {
public:
    // end -1 selects to the end; start -1 removes the selection.
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
};

class CButton : public CWnd {
public:
    void SetState(BOOL highlight);
};

class CStatic : public CWnd {};

class CComboBox : public CWnd {
public:
    // The index of the new item (sorted into place with CBS_SORT).
    int AddString(const wchar_t* text);
    int InsertString(int index, const wchar_t* text);  // -1 appends
    int DeleteString(UINT index);                      // the count left, CB_ERR for a bad index
    void ResetContent();
    int GetCount() const;
    // -1 when nothing is selected. SetCurSel(-1) clears the selection; an
    // index out of range clears it too and returns CB_ERR. Neither sends
    // CBN_SELCHANGE.
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetLBText(int index, std::wstring& text) const;  // the length, CB_ERR for a bad index
    // index -1: the selection field.
    int SetItemHeight(int index, UINT height);
    void ShowDropDown(BOOL show = TRUE);
    // The drop-down list: the item the mouse was last over (-1: none); while
    // the mouse moves over the list the box gets WM_CTLCOLORLISTBOX (lParam:
    // the box), as from the system's list. An item's rectangle in the list,
    // and its repainting; FALSE for an index outside the list.
    int GetListItemUnderCursor() const;
    BOOL GetListItemRect(int index, LPRECT rect) const;
    BOOL InvalidateListItem(int index);
};

class CSliderCtrl : public CWnd {
public:
    void SetRange(int minPos, int maxPos, BOOL redraw = FALSE);
    void SetPos(int pos);  // clamped into the range; no notification
    int GetPos() const;
    int SetLineSize(int size);  // the previous size
    int SetPageSize(int size);
    // The thumb's length along the track in pixels, for a thumb drawn from a
    // picture: the track then spans the whole window, the thumb travels from
    // one end to the other, and while the page size is 0 a press on the track
    // moves nothing. 0 returns to the style's thumb.
    void SetThumbLength(int pixels);
    // The thumb and the channel in client coordinates.
    void GetThumbRect(LPRECT rect) const;
    void GetChannelRect(LPRECT rect) const;
};

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    int SetPos(int pos);  // the previous position
    int GetPos() const;
};
