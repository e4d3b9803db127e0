#include "link/eq_sync.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "model/codecs.h"
#include "model/params.h"
#include "model/propagation.h"

namespace {

constexpr int kAllBandPoints = 31;  // UpdateBandPoints: every band
constexpr int kAllValues = kChannels * kBands;

// Copies the selected channel's changed values into their graph copies;
// calls onChange(band) for each. True when any differed.
template <typename T, typename F>
bool CatchUp(const T (&model)[kBands], T (&copy)[kBands], F onChange)
{
    bool any = false;
    for (int b = 0; b < kBands; ++b) {
        if (copy[b] != model[b]) {
            copy[b] = model[b];
            onChange(b);
            any = true;
        }
    }
    return any;
}

void PushAllChannels(ISpectrum& g)
{
    g.SetChannelQs(&g_eqQ[0][0], kAllValues);
    g.SetChannelFreqs(&g_eqFreq[0][0], kAllValues);
    g.SetChannelGains(&g_eqGain[0][0], kAllValues);
}

void PushChannelCrossovers(ISpectrum& g)
{
    g.SetChannelCrossovers(g_hpFreq, g_lpFreq, g_hpSlope, g_lpSlope, g_hpType, g_lpType);
}

// Step A: the first kind of model change found goes into the graph.
EqSyncResult PushModelToGraph(IEqSyncView& view, int c)
{
    ISpectrum& g = view.Graph();
    auto none = [](int) {};
    if (CatchUp(g_eqQ[c], g_graphEqQ[c], none)) {
        g.SetBandQs(g_eqQ[c], kBands);
        g.SetChannelQs(&g_eqQ[0][0], kAllValues);
        g.UpdateBandPoints(1, kAllBandPoints);
        return EqSyncResult::PushedQ;
    }
    if (CatchUp(g_eqFreq[c], g_graphEqFreq[c], none)) {
        g.SetBandFreqs(g_eqFreq[c], kBands);
        g.SetChannelFreqs(&g_eqFreq[0][0], kAllValues);
        g.UpdateBandPoints(1, kAllBandPoints);
        return EqSyncResult::PushedFreq;
    }
    if (CatchUp(g_eqGain[c], g_graphEqGain[c], [&view](int b) { view.RepaintBypassButton(b); })) {
        g.SetBandGains(g_eqGain[c], kBands);
        g.SetChannelGains(&g_eqGain[0][0], kAllValues);
        g.UpdateBandPoints(1, kAllBandPoints);
        return EqSyncResult::PushedGain;
    }
    const bool hpChanged = g_hpFreq[c] != g_graphHpFreq[c];
    if (hpChanged || g_lpFreq[c] != g_graphLpFreq[c]) {
        g.SelectCrossover(hpChanged ? 0 : 1);
        g_graphHpFreq[c] = g_hpFreq[c];
        g_graphLpFreq[c] = g_lpFreq[c];
        PushChannelCrossovers(g);
        g.SetCrossover(g_hpFreq[c], g_lpFreq[c], g_hpSlope[c], g_lpSlope[c], g_hpType[c], g_lpType[c], 1);
        return EqSyncResult::PushedCrossover;
    }
    return EqSyncResult::Idle;
}

// Gives value to every receiving channel's model entry and graph copy.
template <typename T, typename Entry>
void GiveToReceivers(int receivers, T value, Entry entry)
{
    for (int ch = 0; ch < kChannels; ++ch) {
        if (receivers & (1 << ch)) {
            auto [model, copy] = entry(ch);
            model = value;
            copy = value;
        }
    }
}

// Step B: every value dragged in the graph goes into the model.
bool PullGraphToModel(IEqSyncView& view, int c)
{
    ISpectrum& g = view.Graph();
    const int receivers = TiedChannels(c) | (1 << c);
    bool changed = false;

    // At most one crossover per tick, the low-pass first.
    if (const int lp = g.GetLowPassFreq(); lp != g_lpFreq[c]) {
        GiveToReceivers(receivers, lp, [](int ch) { return std::tie(g_lpFreq[ch], g_graphLpFreq[ch]); });
        view.LpFreqField().SetText(std::to_wstring(g_lpFreq[c]));
        changed = true;
    } else if (const int hp = g.GetHighPassFreq(); hp != g_hpFreq[c]) {
        GiveToReceivers(receivers, hp, [](int ch) { return std::tie(g_hpFreq[ch], g_graphHpFreq[ch]); });
        view.HpFreqField().SetText(std::to_wstring(g_hpFreq[c]));
        changed = true;
    }

    const int* freqs = g.GetBandFreqs();
    const double* qs = g.GetBandQs();
    const double* gains = g.GetBandGains();
    for (int b = 0; b < kBands; ++b) {
        if (freqs[b] != g_eqFreq[c][b]) {
            GiveToReceivers(receivers, freqs[b],
                            [b](int ch) { return std::tie(g_eqFreq[ch][b], g_graphEqFreq[ch][b]); });
            view.EqFreqField(b).SetText(std::to_wstring(g_eqFreq[c][b]));
            changed = true;
        }
        if (qs[b] != g_eqQ[c][b]) {
            // The step cursor g_eqQStep stays where it was.
            GiveToReceivers(receivers, qs[b], [b](int ch) { return std::tie(g_eqQ[ch][b], g_graphEqQ[ch][b]); });
            view.EqQField(b).SetText(FormatDecimal(g_eqQ[c][b], 2));
            changed = true;
        }
        if (const int code = EqGainCodeOfDb(gains[b]); code != g_eqGain[c][b]) {
            GiveToReceivers(receivers, code, [b](int ch) { return std::tie(g_eqGain[ch][b], g_graphEqGain[ch][b]); });
            PropagateEqGainByHand(b);  // the receivers are the tied channels
            std::wstring text;
            FormatEqGain(text, b);
            view.EqGainField(b).SetText(text);
            ISlider& slider = view.EqGainSlider(b);
            slider.SetPos(code);
            slider.Invalidate();
            view.RepaintBypassButton(b);
            changed = true;
        }
    }

    if (changed) {
        // The receiving channels' curves follow.
        PushAllChannels(g);
        PushChannelCrossovers(g);
        view.InvalidateGraph();
    }
    return changed;
}

}  // namespace

EqSyncResult RunEqSyncTick(IEqSyncView& view)
{
    const int c = g_selectedChannel;
    if (c < 0 || c >= kChannels) return EqSyncResult::Idle;
    const EqSyncResult pushed = PushModelToGraph(view, c);
    if (pushed != EqSyncResult::Idle && pushed != EqSyncResult::PushedCrossover) return pushed;
    return PullGraphToModel(view, c) ? EqSyncResult::Pulled : pushed;
}
