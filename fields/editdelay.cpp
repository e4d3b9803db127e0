#include "fields/editdelay.h"

#include "fields/field_messages.h"
#include "model/value_kinds.h"

void CEditDelay::SetValue(int samples)
{
    m_nValue = samples;
    UpdateText();
}

void CEditDelay::UpdateText()
{
    if (m_hWnd) SetWindowText(DelayKind(&m_nValue, m_distance).Format());
}

bool CEditDelay::StepValue(StepDirection direction) { return DelayKind(&m_nValue, m_distance).Step(direction); }

void CEditDelay::ShowStep(bool byWheel)
{
    UpdateText();
    if (byWheel) {
        SetFocus();
        SelectAll();
    }
    NotifyChanged();
}

void CEditDelay::CommitEnter()
{
    // The main window hears of an accepted text while the field still shows
    // what was typed.
    if (DelayKind(&m_nValue, m_distance).Commit(GetWindowTextString())) NotifyChanged();
    UpdateText();
    SelectAll();
}

void CEditDelay::Navigate(UINT key)
{
    if (m_distance || (key != VK_LEFT && key != VK_RIGHT)) return;
    if (CWnd* owner = FieldOwnerWindow()) owner->SendMessage(WM_EDIT_NAVIGATE, key, 0);
}

void CEditDelay::NotifyChanged()
{
    if (m_distance) return;
    if (CWnd* owner = FieldOwnerWindow()) owner->SendMessage(WM_DELAY_CHANGED, 0, 0);
}
