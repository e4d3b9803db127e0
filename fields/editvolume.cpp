#include "fields/editvolume.h"

#include "fields/field_messages.h"
#include "model/codecs.h"
#include "model/model_view.h"
#include "model/params.h"
#include "model/value_kinds.h"

void CEditSystemVol::UpdateMuteButton()
{
    // The caption is written at OFF, and when the bit was cleared.
    const MasterMuteStep mute = FollowMasterVolumeMute();
    const wchar_t* caption = mute.muted ? kMutedCaption : mute.changed ? kUnmutedCaption : nullptr;
    if (caption && m_pMuteButton && m_pMuteButton->m_hWnd) {
        m_pMuteButton->SetWindowText(caption);
        m_pMuteButton->Invalidate();
    }
}

void CEditSystemVol::UpdateText() { SetWindowText(MasterVolumeKind().Format()); }

void CEditSystemVol::MoveSlider()
{
    if (!m_pSlider || !m_pSlider->m_hWnd) return;
    m_pSlider->SetPos(g_masterVolume);
    m_pSlider->Invalidate();
}

bool CEditSystemVol::StepValue(StepDirection direction) { return MasterVolumeKind().Step(direction); }

void CEditSystemVol::ShowStep(bool byWheel)
{
    UpdateText();
    MoveSlider();
    if (byWheel) {
        SelectAll();
        UpdateMuteButton();
    }
}

// An accepted text is stored and the slider moved even when the value
// stays; the text is the stored value's in every case.
void CEditSystemVol::CommitEnter()
{
    if (MasterVolumeKind().Commit(GetWindowTextString())) MoveSlider();
    UpdateText();
    UpdateMuteButton();
}

void CEditSystemVol::OnEnterReleased()
{
    SelectAll();
    UpdateMuteButton();
}

bool CEditVol::StepValue(StepDirection direction)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_EDIT_STEP, direction == StepDirection::Up ? VK_UP : VK_DOWN, 0);
    return false;  // the dialog stepped and rewrote the text
}

void CEditVol::CommitEnter()
{
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_EDIT_COMMIT, 0, 0);
}

void CEditVol::OnFocusLost()
{
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_EDIT_COMMIT, 0, 0);
}
