// The response graph: the time of one repaint with all twelve channels
// visible at the graph sizes of DPI buckets 0 and 4, drawn into a memory
// bitmap and painted for real in a window (back buffer, drawing, copy to
// the window, flush of the window's backing store), and the time of one
// graph sync tick. Each repaint follows a change: none, a band of the
// current channel dragged (the other channels come from the cache), or a
// band of another channel (everything is drawn again).
// Prints Google Benchmark's table; the counters median_ms and p90_ms are
// taken over the single frames of a run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "link/eq_sync.h"
#include "model/codecs.h"
#include "platform/app.h"
#include "platform/graphics.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "res/resource.h"
#include "widgets/tool/demo_graph.h"

namespace {

void ReportFrames(benchmark::State& state, std::vector<double>& ms)
{
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
}

enum Change { kNothing = 0, kCurrentBand = 1, kOtherChannel = 2 };

const char* ChangeName(int change)
{
    switch (change) {
    case kCurrentBand: return "current band dragged";
    case kOtherChannel: return "other channel changed";
    default: return "no change";
    }
}

// One frame's change, alternating between two values.
void ApplyChange(CSpectrum& graph, int change, bool odd)
{
    if (change == kCurrentBand) {
        graph.m_dBandGain[14] = odd ? 6.0 : 9.0;
        graph.UpdateBandPoints(0, 14);
    } else if (change == kOtherChannel) {
        int codes[kGraphChannelValues];
        for (int i = 0; i < kGraphChannelValues; ++i)
            codes[i] = EqGainCodeOfDb(graph.m_dChannelGain[i / kGraphBands][i % kGraphBands]);
        codes[5 * kGraphBands + 9] = odd ? 60 : 90;
        graph.SetChannelGains(codes, kGraphChannelValues);
    }
}

std::string Label(const DemoBucket& b, const char* what, int change)
{
    return "bucket " + std::to_string(b.bucket) + " " + std::to_string(b.width) + "x" + std::to_string(b.height) + " " +
           what + (change >= 0 ? std::string(", ") + ChangeName(change) : std::string());
}

// arg 0: bucket index into kDemoBuckets; arg 1: the change before each
// frame, or -1 to time only the rebuild of every response.
void BM_GraphDraw(benchmark::State& state)
{
    const DemoBucket& b = kDemoBuckets[state.range(0)];
    const int change = static_cast<int>(state.range(1));
    CSpectrum graph;
    FeedDemoGraph(graph, b, 0x0FFF);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(nullptr, b.width, b.height);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    std::vector<ResponseCurve> curves;
    std::vector<double> ms;
    bool odd = false;
    for (auto _ : state) {
        // The responses alone: another channel changes, so all are rebuilt.
        ApplyChange(graph, change < 0 ? kOtherChannel : change, odd = !odd);
        const auto t0 = std::chrono::steady_clock::now();
        if (change >= 0) graph.PaintGraph(&dc);
        else graph.BuildResponses(curves);
        benchmark::ClobberMemory();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    dc.SelectObject(old);
    state.SetLabel(Label(b, change >= 0 ? "drawing into a bitmap" : "all responses only", change));
    ReportFrames(state, ms);
}
BENCHMARK(BM_GraphDraw)
    ->Args({0, kNothing})
    ->Args({0, kCurrentBand})
    ->Args({0, kOtherChannel})
    ->Args({0, -1})
    ->Args({1, kNothing})
    ->Args({1, kCurrentBand})
    ->Args({1, kOtherChannel})
    ->Args({1, -1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

// The real paint: the graph as a child window of a shown window, invalidated
// and painted at once (WM_PAINT: the back buffer, the drawing, the copy to
// the window, then the flush of the window's backing store).
// arg 0: bucket index; arg 1: the change before each frame.
void BM_GraphWindowPaint(benchmark::State& state)
{
    const DemoBucket& b = kDemoBuckets[state.range(0)];
    const int change = static_cast<int>(state.range(1));
    CWnd parent;
    parent.Create(nullptr, L"graph", WS_VISIBLE, CRect(0, 0, b.width + 40, b.height + 40), nullptr, 0);
    CSpectrum graph;
    graph.Create(L"SpectrumClass", L"", WS_CHILD | WS_VISIBLE, CRect(20, 20, 20 + b.width, 20 + b.height), &parent,
                 IDC_SPECTRUM);
    FeedDemoGraph(graph, b, 0x0FFF);
    platform_testing::PumpEvents();
    std::vector<double> ms;
    bool odd = false;
    for (auto _ : state) {
        ApplyChange(graph, change, odd = !odd);
        const auto t0 = std::chrono::steady_clock::now();
        graph.Invalidate(FALSE);
        graph.UpdateWindow();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    state.SetLabel(Label(b, "window paint", change));
    ReportFrames(state, ms);
    graph.DestroyWindow();
    parent.DestroyWindow();
    platform_testing::PumpEvents();
}
BENCHMARK(BM_GraphWindowPaint)
    ->Args({0, kNothing})
    ->Args({0, kCurrentBand})
    ->Args({0, kOtherChannel})
    ->Args({1, kNothing})
    ->Args({1, kCurrentBand})
    ->Args({1, kOtherChannel})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

class NullText : public ITextControl {
public:
    std::wstring GetText() const override { return text; }
    void SetText(const std::wstring& t) override { text = t; }
    std::wstring text;
};
class NullSlider : public ISlider {
public:
    int GetPos() const override { return pos; }
    void SetPos(int p) override { pos = p; }
    void Invalidate() override {}
    int pos = 0;
};
class BenchSyncView : public IEqSyncView {
public:
    explicit BenchSyncView(ISpectrum& g) : graph(g) {}
    ISpectrum& Graph() override { return graph; }
    void InvalidateGraph() override {}
    ITextControl& EqFreqField(int) override { return text; }
    ITextControl& EqQField(int) override { return text; }
    ITextControl& EqGainField(int) override { return text; }
    ISlider& EqGainSlider(int) override { return slider; }
    void RepaintBypassButton(int) override {}
    ITextControl& HpFreqField() override { return text; }
    ITextControl& LpFreqField() override { return text; }
    ISpectrum& graph;
    NullText text;
    NullSlider slider;
};

// arg 0: 0 an idle tick (nothing changed), 1 a tick that takes one dragged
// band into the model, 2 a tick that takes all 31 bands' gains.
void BM_EqSyncTick(benchmark::State& state)
{
    SpectrumData graph;
    BenchSyncView view(graph);
    while (RunEqSyncTick(view) != EqSyncResult::Idle) {}
    const int bands = state.range(0) == 0 ? 0 : (state.range(0) == 1 ? 1 : kGraphBands);
    std::vector<double> ms;
    double gain = 0.0;
    for (auto _ : state) {
        gain = gain == 3.0 ? -3.0 : 3.0;
        for (int b = 0; b < bands; ++b) graph.m_dBandGain[b] = gain;
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(RunEqSyncTick(view));
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    state.SetLabel(bands == 0 ? "idle" : (bands == 1 ? "one band dragged" : "31 bands changed"));
    ReportFrames(state, ms);
}
BENCHMARK(BM_EqSyncTick)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!EnsureUiApplication() || gfx::Startup() != gfx::Ok) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
