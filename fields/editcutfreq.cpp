#include "fields/editcutfreq.h"

#include "fields/field_messages.h"
#include "model/value_kinds.h"

namespace {

CutFreqKind KindOf(int kind) { return kind == 1 ? CutFreqKind::HighPass() : CutFreqKind::LowPass(); }

}  // namespace

std::wstring CEditCutFreq::ValueText() const { return KindOf(m_nKind).Format(); }

bool CEditCutFreq::StepValue(StepDirection direction) { return KindOf(m_nKind).Step(direction); }

void CEditCutFreq::ShowStep(bool) { UpdateText(); }

void CEditCutFreq::CommitEnter()
{
    if (KindOf(m_nKind).Commit(GetWindowTextString())) return;
    UpdateText();
    SelectAll();
}

void CEditCutFreq::Navigate(UINT key)
{
    if ((key == VK_LEFT || key == VK_RIGHT) && m_pPartner && m_pPartner->m_hWnd)
        m_pPartner->SendMessage(WM_EDIT_NAVIGATE, 0, 0);
}
