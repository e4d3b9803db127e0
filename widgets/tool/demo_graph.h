// A distinctive graph for screenshots and timings: several channels with
// their own bands and crossovers, a selected band with its Q handles and a
// band readout, at the graph sizes of two DPI buckets.
#pragma once

#include <cmath>

#include "widgets/spectrum.h"

struct DemoBucket {
    int bucket;
    int dpi;
    int width, height;  // the graph control's client size
};

// DPI buckets 0 (below 110) and 4 (188 and above).
constexpr DemoBucket kDemoBuckets[] = {{0, 96, 1000, 300}, {4, 192, 1900, 520}};

// Feeds the graph as the main dialog does, from channel-major arrays made up
// here. visibleMask chooses the channels drawn besides the current one.
inline void FeedDemoGraph(CSpectrum& g, const DemoBucket& b, int visibleMask = 0x0F3F, int current = 1)
{
    constexpr int kChannels = kGraphChannels, kBands = kGraphBands;
    static int freqs[kChannels][kBands], codes[kChannels][kBands];
    static double qs[kChannels][kBands];
    static int hp[kChannels], lp[kChannels], hpSlope[kChannels], lpSlope[kChannels], hpType[kChannels],
        lpType[kChannels];
    const SpectrumData fresh;  // starts on the standard band frequencies
    for (int c = 0; c < kChannels; ++c) {
        for (int band = 0; band < kBands; ++band) {
            freqs[c][band] = fresh.GetBandFreqs()[band];
            qs[c][band] = 4.32;
            // A few bumps per channel, each channel its own.
            const double phase = 0.7 * c + 0.45 * band;
            codes[c][band] = (band % 5 == c % 5) ? 150 - static_cast<int>(std::lround(60 * std::sin(phase))) : 150;
        }
        hp[c] = 30 + 12 * c;
        lp[c] = 20000 - 1300 * c;
        hpSlope[c] = c % 8;
        lpSlope[c] = (c + 3) % 9;  // 8: off
        hpType[c] = c % 2;
        lpType[c] = (c / 2) % 2;
    }
    // The current channel: a wide cut, a narrow boost, a shelf-like low end.
    codes[current][3] = 70;
    qs[current][3] = 0.5;
    codes[current][14] = 270;
    qs[current][14] = 2.0;
    freqs[current][14] = 900;
    codes[current][22] = 40;
    qs[current][22] = 6.0;
    codes[current][27] = 185;
    hp[current] = 45;
    lp[current] = 9000;
    hpSlope[current] = 3;
    lpSlope[current] = 1;

    g.SetScreenDpi(b.dpi);
    g.SetBandQs(qs[current], kBands);
    g.SetBandFreqs(freqs[current], kBands);
    g.SetBandGains(codes[current], kBands);
    g.SetChannelQs(&qs[0][0], kChannels * kBands);
    g.SetChannelFreqs(&freqs[0][0], kChannels * kBands);
    g.SetChannelGains(&codes[0][0], kChannels * kBands);
    g.SetPlotRect(0, 0, b.width, b.height);
    g.SetCrossover(hp[current], lp[current], hpSlope[current], lpSlope[current], hpType[current], lpType[current], 0);
    g.SetChannelCrossovers(hp, lp, hpSlope, lpSlope, hpType, lpType);
    g.SetCurrentChannel(current, 0);
    g.SetVisibleChannels(visibleMask);
    g.SelectCrossover(-1);
    g.m_nHoverBand = -1;
    g.m_nHoverCrossover = -1;
    g.SetPeqMode(1);
    g.SelectBand(22);
    g.m_nHoverBand = 14;
}
