#include "fields/editdelay.h"

#include "model/value_kinds.h"

void CEditDelay::SetValue(int samples)
{
    m_nValue = samples;
    UpdateText();
}

void CEditDelay::UpdateText()
{
    if (m_hWnd) SetWindowText(DelayKind(&m_nValue, false).Format());
}
