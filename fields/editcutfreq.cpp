#include "fields/editcutfreq.h"

#include "fields/field_messages.h"
#include "model/value_kinds.h"

namespace {

CutFreqKind KindOf(int kind) { return kind == 1 ? CutFreqKind::HighPass() : CutFreqKind::LowPass(); }

}  // namespace

std::wstring EditCutFreq::ValueText() const { return KindOf(m_kind).Format(); }

bool EditCutFreq::StepValue(StepDirection direction) { return KindOf(m_kind).Step(direction); }

void EditCutFreq::ShowStep(bool) { UpdateText(); }

void EditCutFreq::CommitEnter()
{
    if (KindOf(m_kind).Commit(GetWindowTextString())) return;
    UpdateText();
    SelectAll();
}

void EditCutFreq::Navigate(UINT key)
{
    if ((key == VK_LEFT || key == VK_RIGHT) && m_partner && m_partner->m_hWnd)
        m_partner->SendMessage(WM_EDIT_NAVIGATE, 0, 0);
}
