// The graph keeps the other channels' responses and their painted layer
// between paints: a paint from the cache shows what a graph painting
// everything afresh shows, after every kind of change.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "model/codecs.h"
#include "platform/graphics.h"
#include "platform/platform.h"
#include "widgets/tool/demo_graph.h"

namespace {

using Change = std::function<void(CSpectrum&)>;

class GraphCache : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(EnsureUiApplication());
        ASSERT_EQ(gfx::Startup(), gfx::Ok);
    }

    // The graph's picture, pixel by pixel.
    static std::vector<COLORREF> Paint(CSpectrum& g)
    {
        const GraphRect& rc = g.m_rcClient;
        CBitmap bitmap;
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, rc.right, rc.bottom));
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap* old = dc.SelectObject(&bitmap);
        g.PaintGraph(&dc);
        std::vector<COLORREF> pixels;
        pixels.reserve(static_cast<size_t>(rc.right) * static_cast<size_t>(rc.bottom));
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x) pixels.push_back(dc.GetPixel(x, y));
        dc.SelectObject(old);
        return pixels;
    }

    static void SetOtherGain(CSpectrum& g, int channel, int band, int code)
    {
        int codes[kGraphChannelValues];
        for (int i = 0; i < kGraphChannelValues; ++i)
            codes[i] = EqGainCodeOfDb(g.m_dChannelGain[i / kGraphBands][i % kGraphBands]);
        codes[channel * kGraphBands + band] = code;
        g.SetChannelGains(codes, kGraphChannelValues);
    }

    static void SetOtherHighPass(CSpectrum& g, int channel, int freq)
    {
        int hp[kGraphChannels], lp[kGraphChannels], hs[kGraphChannels], ls[kGraphChannels], ht[kGraphChannels],
            lt[kGraphChannels];
        for (int c = 0; c < kGraphChannels; ++c) {
            hp[c] = g.m_nChannelHighPassFreq[c];
            lp[c] = g.m_nChannelLowPassFreq[c];
            hs[c] = (g.m_nChannelFilterOff[c] & 1) ? 0 : g.m_nChannelHighPassSlope[c];
            ls[c] = (g.m_nChannelFilterOff[c] & 2) ? 0 : g.m_nChannelLowPassSlope[c];
            ht[c] = g.m_nChannelHighPassType[c];
            lt[c] = g.m_nChannelLowPassType[c];
        }
        hp[channel] = freq;
        g.SetChannelCrossovers(hp, lp, hs, ls, ht, lt);
    }
};

TEST_F(GraphCache, CachedPaintsMatchFreshOnesAfterEveryChange)
{
    const DemoBucket& b = kDemoBuckets[0];
    struct Step {
        const char* what;
        Change change;
        bool rebuildsOthers;
    };
    // clang-format off
    const Step steps[] = {
        {"nothing", [](CSpectrum&) {}, false},
        {"current band dragged",
         [](CSpectrum& g) {
             g.m_dBandGain[14] = -6.5;
             g.UpdateBandPoints(0, 14);
         },
         false},
        {"hover readout", [](CSpectrum& g) { g.m_nHoverBand = 3; }, false},
        {"current crossover", [](CSpectrum& g) { g.SetCrossover(80, 12000, 24, 12, 1, 0, 0); }, false},
        {"another channel's gain", [](CSpectrum& g) { SetOtherGain(g, 5, 9, 30); }, true},
        {"another channel's crossover", [](CSpectrum& g) { SetOtherHighPass(g, 8, 400); }, true},
        {"hidden channel's gain", [](CSpectrum& g) { SetOtherGain(g, 11, 2, 290); }, false},
        {"channels shown", [](CSpectrum& g) { g.SetVisibleChannels(0x0A55); }, true},
        {"current channel", [](CSpectrum& g) { g.SetCurrentChannel(4, 0); }, true},
        {"plot rectangle", [](CSpectrum& g) { g.SetPlotRect(0, 0, 900, 280); }, true},
        {"nothing again", [](CSpectrum&) {}, false},
    };
    // clang-format on

    CSpectrum cached;
    FeedDemoGraph(cached, b, 0x0FFF);
    cached.SetVisibleChannels(0x07FF);  // channel 11 hidden
    Paint(cached);
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(steps[i].what);
        steps[i].change(cached);
        const uint64_t builds = cached.OtherResponsesBuilt();
        const std::vector<COLORREF> picture = Paint(cached);
        EXPECT_EQ(cached.OtherResponsesBuilt() != builds, steps[i].rebuildsOthers);

        CSpectrum fresh;
        FeedDemoGraph(fresh, b, 0x0FFF);
        fresh.SetVisibleChannels(0x07FF);
        for (size_t k = 0; k <= i; ++k) steps[k].change(fresh);
        const std::vector<COLORREF> expected = Paint(fresh);
        ASSERT_EQ(picture.size(), expected.size());
        size_t differing = 0;
        for (size_t p = 0; p < picture.size(); ++p) differing += picture[p] != expected[p];
        EXPECT_EQ(differing, 0u);
    }
}

// A channel whose crossover frequency is out of range keeps the crossover
// points drawn before it, so its response follows the current channel's
// crossover: the cache must not keep it across that change.
TEST_F(GraphCache, OutOfRangeCrossoverFollowsTheCurrentChannel)
{
    CSpectrum g;
    FeedDemoGraph(g, kDemoBuckets[0], 0x0004, 1);  // channel 2 besides the current channel 1
    std::vector<ResponseCurve> curves;
    g.BuildResponses(curves);
    const uint64_t first = g.OtherResponsesBuilt();
    g.SetCrossover(60, 15000, 12, 12, 0, 0, 0);
    g.BuildResponses(curves);
    EXPECT_EQ(g.OtherResponsesBuilt(), first);  // in range: kept

    SetOtherHighPass(g, 2, 0);
    g.BuildResponses(curves);
    const uint64_t second = g.OtherResponsesBuilt();
    EXPECT_EQ(second, first + 1);
    g.SetCrossover(70, 15000, 12, 12, 0, 0, 0);
    g.BuildResponses(curves);
    EXPECT_EQ(g.OtherResponsesBuilt(), second + 1);
}

}  // namespace
