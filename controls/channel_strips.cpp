#include "controls/channel_strips.h"

#include "model/codecs.h"
#include "model/params.h"
#include "platform/resources.h"

void ChannelStrips::InvalidateChannelButtons()
{
    for (int c = 0; c < kChannels; ++c) m_view.InvalidateChannelButton(c);
}

void ChannelStrips::InvalidateChannelButton(int channel)
{
    if (channel >= 0 && channel < kChannels) m_view.InvalidateChannelButton(channel);
}

void ChannelStrips::SetPhaseButtonCaption(int channel, int stringId)
{
    m_view.PhaseButton(channel).SetText(LoadResString(stringId));
}

bool ChannelStrips::IsSelected(int channel) { return channel == g_selectedChannel; }

bool ChannelStrips::IsMuted(int channel) { return (g_muteMask & MuteBitOf(channel)) != 0; }

bool ChannelStrips::IsMasterMuted() { return ((g_muteMask >> 6) & 1) != 0; }

std::wstring ChannelStrips::ChannelCaption(int channel, const std::wstring& text)
{
    return text.empty() ? L"CH" + std::to_wstring(channel + 1) : text;
}
