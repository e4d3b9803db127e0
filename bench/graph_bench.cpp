// The response graph: the time of one full repaint (all responses rebuilt
// and drawn into the memory bitmap) with all twelve channels visible at the
// graph sizes of DPI buckets 0 and 4, and the time of one graph sync tick.
// Prints Google Benchmark's table; the counters median_ms and p90_ms are
// taken over the single frames of a run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "link/eq_sync.h"
#include "platform/app.h"
#include "platform/graphics.h"
#include "widgets/tool/demo_graph.h"

namespace {

void ReportFrames(benchmark::State& state, std::vector<double>& ms)
{
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
}

// arg 0: bucket index into kDemoBuckets; arg 1: 1 paints, 0 only rebuilds the responses.
void BM_GraphRepaint(benchmark::State& state)
{
    const DemoBucket& b = kDemoBuckets[state.range(0)];
    const bool paint = state.range(1) != 0;
    CSpectrum graph;
    FeedDemoGraph(graph, b, 0x0FFF);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(nullptr, b.width, b.height);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    std::vector<ResponseCurve> curves;
    std::vector<double> ms;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (paint)
            graph.PaintGraph(&dc);
        else
            graph.BuildResponses(curves);
        benchmark::ClobberMemory();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    dc.SelectObject(old);
    state.SetLabel("bucket " + std::to_string(b.bucket) + " " + std::to_string(b.width) + "x" +
                   std::to_string(b.height) + (paint ? " paint" : " responses only"));
    ReportFrames(state, ms);
}
BENCHMARK(BM_GraphRepaint)->Args({0, 1})->Args({1, 1})->Args({0, 0})->Args({1, 0})->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

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
    CSpectrumData graph;
    BenchSyncView view(graph);
    while (RunEqSyncTick(view) != EqSyncResult::Idle) {
    }
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
