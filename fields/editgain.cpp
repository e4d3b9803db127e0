#include "fields/editgain.h"

#include "fields/field_messages.h"
#include "model/value_kinds.h"

CWnd* CEditGain::Owner() const { return IsMixerCell() ? GetParent() : FieldOwnerWindow(); }

void CEditGain::Tell(UINT message, WPARAM wParam)
{
    if (CWnd* owner = Owner()) owner->SendMessage(message, wParam, static_cast<LPARAM>(m_nSourceBit));
}

bool CEditGain::StepValue(StepDirection direction)
{
    if (IsMixerCell()) return MixerCellKind(m_nChannel, m_nSourceBit).Step(direction);
    return ChannelGainKind(m_nChannel).Step(direction);
}

void CEditGain::ShowStep(bool byWheel)
{
    Tell(WM_EDIT_STEP, static_cast<WPARAM>(m_nChannel));
    // After the owner's rewrite of the text, so that the selection stays.
    if (byWheel) {
        SetFocus();
        SelectAll();
    }
}

void CEditGain::CommitEnter()
{
    Tell(WM_EDIT_COMMIT, static_cast<WPARAM>(m_nChannel));
    SelectAll();
}

void CEditGain::Navigate(UINT key)
{
    if (key == VK_LEFT || key == VK_RIGHT || IsMixerCell()) {
        if (CWnd* owner = Owner()) owner->SendMessage(WM_EDIT_NAVIGATE, key, 0);
    }
}

// The main window commits its gain fields on EN_KILLFOCUS itself.
void CEditGain::OnFocusLost()
{
    if (IsMixerCell()) Tell(WM_EDIT_COMMIT, static_cast<WPARAM>(m_nChannel));
}
