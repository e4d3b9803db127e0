#include "controls/links_curves.h"

#include "model/params.h"
#include "model/propagation.h"

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

void LinksAndCurves::ClickLink(IModelView& model, int channel)
{
    if (channel >= 0 && channel < kChannels) EditLinkGroup(model, 1 << channel);
}

void LinksAndCurves::ClickCurve(int channel)
{
    if (channel < 0 || channel >= kChannels) return;
    m_view.Graph().ToggleChannelVisible(channel);
    m_view.InvalidateGraph();
    m_view.InvalidateCurveButton(channel);
}

bool LinksAndCurves::IsCurveShown(int channel) const
{
    return channel >= 0 && channel < kChannels && ((m_view.Graph().GetVisibleChannels() >> channel) & 1) != 0;
}
