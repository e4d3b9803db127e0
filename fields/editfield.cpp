#include "fields/editfield.h"

#include <utility>

#include "fields/field_messages.h"
#include "model/value_kinds.h"
#include "platform/app.h"

BEGIN_MESSAGE_MAP(EditField, CEdit)
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_MOUSEWHEEL()
    ON_MESSAGE(WM_EDIT_NAVIGATE, &EditField::OnEditNavigate)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CWnd* FieldOwnerWindow() { return AfxGetMainWnd(); }

BOOL EditField::PreTranslateMessage(MSG* msg)
{
    if (msg->hwnd == m_hWnd) {
        // The key code first, then the kind of message: a character or a
        // system key with the same code does nothing here.
        switch (msg->wParam) {
        case VK_RETURN:
            if (msg->message == WM_KEYDOWN) {
                CommitEnter();
                return TRUE;
            }
            if (msg->message == WM_KEYUP) OnEnterReleased();
            break;
        case VK_RIGHT:
        case VK_LEFT:
        case VK_NEXT:
        case VK_PRIOR:
            if (msg->message == WM_KEYDOWN) Navigate(static_cast<UINT>(msg->wParam));
            break;
        default: break;
        }
    }
    return CEdit::PreTranslateMessage(msg);
}

void EditField::OnKeyDown(UINT key, UINT, UINT)
{
    if (key == VK_UP || key == VK_DOWN) {
        if (StepValue(key == VK_UP ? StepDirection::Up : StepDirection::Down)) ShowStep(false);
    }
    Default();
}

void EditField::OnKeyUp(UINT key, UINT, UINT)
{
    if (key == VK_UP || key == VK_DOWN) {
        SelectAll();
        OnStepKeyReleased();
    }
    Default();
}

BOOL EditField::OnMouseWheel(UINT, short delta, CPoint)
{
    if (GetFocus() == this) {
        if (const std::optional<StepDirection> direction = WheelDirection(delta); direction && StepValue(*direction))
            ShowStep(true);
    }
    return static_cast<BOOL>(Default());
}

void EditField::OnLButtonDown(UINT, CPoint)
{
    SetFocus();
    SetSel(0, -1, FALSE);
    m_clickTaken = true;
}

// A second click selects the whole text as the first did.
void EditField::OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }

void EditField::OnLButtonUp(UINT, CPoint)
{
    if (std::exchange(m_clickTaken, false)) return;
    Default();
}

void EditField::OnMouseMove(UINT flags, CPoint)
{
    if (m_clickTaken && (flags & MK_LBUTTON)) return;
    m_clickTaken = false;
    Default();
}

void EditField::OnKillFocus(CWnd*)
{
    Default();
    m_clickTaken = false;
    OnFocusLost();
}

LRESULT EditField::OnEditNavigate(WPARAM, LPARAM)
{
    SetFocus();
    SelectAll();
    return 0;
}
