#include "fields/editdelay.h"

#include <string>

#include "model/codecs.h"

void CEditDelay::SetValue(int samples)
{
    m_nValue = samples;
    UpdateText();
}

void CEditDelay::UpdateText()
{
    std::wstring text;
    FormatDelay(&m_nValue, text, 0);
    if (m_hWnd) SetWindowText(text);
}
