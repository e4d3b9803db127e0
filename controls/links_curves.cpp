#include "controls/links_curves.h"

#include "model/params.h"

void LinksAndCurves::InvalidateLinkButton(int channel)
{
    if (channel >= 0 && channel < kChannels) m_view.InvalidateLinkButton(channel);
}

void LinksAndCurves::InvalidateLinkButtons()
{
    for (int c = 0; c < kChannels; ++c) m_view.InvalidateLinkButton(c);
}

void LinksAndCurves::InvalidateCurveButtons()
{
    for (int c = 0; c < kChannels; ++c) m_view.InvalidateCurveButton(c);
}

std::wstring LinksAndCurves::CopyQuestion(const std::wstring& format, const std::wstring& fromLabel,
                                          const std::wstring& toLabel)
{
    const size_t first = format.find(L"%s");
    const size_t second = first == std::wstring::npos ? std::wstring::npos : format.find(L"%s", first + 2);
    if (second == std::wstring::npos) return format;
    return format.substr(0, first) + fromLabel + format.substr(first + 2, second - first - 2) + toLabel +
           format.substr(second + 2);
}
