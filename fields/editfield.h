// The skeleton every numeric entry field shares. A click gives the field
// the focus and selects its whole text (no caret, no drag selection); Up
// and Down step the stored value, never the typed text, one step per key
// press, auto-repeats included, and their release selects the whole text;
// a wheel message steps only while the field has the focus and only for a
// delta of exactly +120 (Up) or -120 (Down); Enter commits the typed text
// and goes no further (no dialog sees it); Left, Right, Page Up and Page Down
// go to the family's navigation and on to the edit control; WM_EDIT_NAVIGATE
// (0, 0) makes the field take the focus and select its whole text. At a
// limit a step does nothing at all.
//
// Each family (band fields, cut frequencies, delays, gains, volumes) fills
// in the policy below: how a step changes the value, what follows a change,
// what Enter commits, where the keys lead and what losing the focus does.
#pragma once

#include "model/codecs.h"
#include "platform/controls.h"

class EditField : public CEdit {
public:
    // The whole text, the caret not scrolled into view.
    void SelectAll() { SetSel(0, -1, TRUE); }

protected:
    EditField() = default;

    // Steps the stored value; true when it changed.
    virtual bool StepValue(StepDirection direction) = 0;
    // After a step that changed the value (byWheel: a wheel notch).
    virtual void ShowStep(bool byWheel) = 0;
    // Enter pressed.
    virtual void CommitEnter() = 0;
    // Enter released.
    virtual void OnEnterReleased() { SelectAll(); }
    // Up or Down released, after the whole text was selected.
    virtual void OnStepKeyReleased() {}
    // Left, Right, Page Up or Page Down pressed.
    virtual void Navigate(UINT /*key*/) {}
    // The focus went to another window (after the default processing).
    virtual void OnFocusLost() {}

    BOOL PreTranslateMessage(MSG* msg) override;
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnKeyUp(UINT key, UINT repeat, UINT flags);
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint screenPoint);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnKillFocus(CWnd* newWnd);
    afx_msg LRESULT OnEditNavigate(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    // A press the field took for itself: its moves and release stay away
    // from the edit control too.
    bool m_clickTaken = false;
};

// The main window, which the main window's fields talk to.
CWnd* FieldOwnerWindow();
