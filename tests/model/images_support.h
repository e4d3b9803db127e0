// Shared by the image and preset-file tests: a recording window view, a
// model with a distinctive in-range value in every field, and a snapshot of
// every model global (with the delays and the graph mask) to compare.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "model/codecs.h"
#include "model/eq_images.h"
#include "model/image_view.h"
#include "model/params.h"
#include "model_fakes.h"

struct FakeImageView : IImageView {
    FakeDelays delays;
    FakeText gainField[kChannels];
    FakeSlider gainSlider[kChannels];
    FakeText muteButton[kChannels];
    int phaseCaption[kChannels] = {};
    FakeText masterField, masterMute;
    FakeSlider masterSlider;
    std::map<int, FakeEdit> bandGainFields;
    int visibleMask = 0;
    int routeRepaints[kChannels] = {};
    int eqRefreshes = 0;
    int buttonRepaints = 0;  // channel, link and curve buttons
    int calls = 0;           // every call that may change the window

    IDelayFields& DelayFields() override
    {
        ++calls;
        return delays;
    }
    ITextControl& GainField(int c) override
    {
        ++calls;
        return gainField[c];
    }
    ISlider& GainSlider(int c) override
    {
        ++calls;
        return gainSlider[c];
    }
    ITextControl& MuteButton(int c) override
    {
        ++calls;
        return muteButton[c];
    }
    void SetPhaseButtonCaption(int c, int id) override
    {
        ++calls;
        phaseCaption[c] = id;
    }
    ITextControl& MasterVolumeField() override
    {
        ++calls;
        return masterField;
    }
    ISlider& MasterSlider() override
    {
        ++calls;
        return masterSlider;
    }
    ITextControl& MasterMuteButton() override
    {
        ++calls;
        return masterMute;
    }
    IEditControl& BandGainFieldOfId(int id) override
    {
        ++calls;
        return bandGainFields[id];
    }
    void ClearSpeakerDistances() override { ++calls; }
    void InvalidateChannelButtons() override
    {
        ++calls;
        ++buttonRepaints;
    }
    void InvalidateLinkButton(int) override { ++calls; }
    void InvalidateLinkButtons() override
    {
        ++calls;
        ++buttonRepaints;
    }
    void InvalidateCurveButtons() override
    {
        ++calls;
        ++buttonRepaints;
    }
    void InvalidateRouteButton(int output, int) override
    {
        ++calls;
        ++routeRepaints[output];
    }
    void RefreshEqControls() override
    {
        ++calls;
        ++eqRefreshes;
    }
    void FeedSpectrum(bool) override { ++calls; }
    bool AskCopyQuestion(const std::wstring&, const std::wstring&) override
    {
        ++calls;
        return true;
    }
    int GetVisibleChannels() const override { return visibleMask; }
    void SetVisibleChannels(int mask) override
    {
        ++calls;
        visibleMask = mask & 0xFFFF;
    }
};

// Every field of the model with its own in-range value; the mute mask
// follows the gains. Covers all 112 Q steps across the 372 bands.
inline void FillDistinctiveModel(FakeImageView& v)
{
    const int gains[kChannels] = {600, 128, 1, 599, 300, 0, 455, 127, 256, 511, 77, 598};
    const int bridges[6] = {1, 0, 1, 1, 0, 1};
    g_phaseMask = 0xA53;
    g_masterVolume = 17;
    g_muteMask = 0;
    for (int c = 0; c < kChannels; ++c) {
        v.delays.value[c] = 599 - 37 * c;
        g_channelGain[c] = gains[c];
        if (gains[c] == 600) g_muteMask |= MuteBitOf(c);
        for (int b = 0; b < kBands; ++b) {
            const int slot = c * kBands + b;
            g_eqFreq[c][b] = 20 + slot * 53 % 19981;
            g_eqGain[c][b] = (slot + b * 6 + 5) % 301;
            g_eqQStep[c][b] = slot % kQSteps;
            g_eqQ[c][b] = g_qStepTable[slot % kQSteps];
        }
        g_hpType[c] = (c + 1) % 2;
        g_lpType[c] = c % 2;
        g_hpSlope[c] = (c + 2) % 9;
        g_lpSlope[c] = (c + 5) % 9;
        g_hpFreq[c] = 20 + 97 * c;
        g_lpFreq[c] = 20000 - 1013 * c;
        g_routingMask[c] = (0x2A5A5u + 0x1357u * c) & 0x3FFFF;
        for (int j = 0; j < kInputs; ++j) g_inputMixVolume[c][j] = (c * kInputs + j) % 61;
        g_linkGroup[c] = (c * 0x155) & 0xFFF;
    }
    g_eqFreq[0][0] = 20;
    g_eqFreq[11][30] = 20000;
    g_hiLevelMix = 1;
    g_hiLevelMixVolume = 45;
    v.visibleMask = 0x0A5C;
    for (int p = 0; p < 6; ++p) BridgeFlagOf(2 * p) = bridges[p];
    g_selectedChannel = 3;
}

// Other values in every field the images or the file carry. withFileOnly
// also covers the graph mask and the bridge flags, which only the file
// brings back.
inline void ScrambleCarriedFields(FakeImageView& v, bool withFileOnly)
{
    for (int c = 0; c < kChannels; ++c) {
        v.delays.value[c] = 7;
        g_channelGain[c] = 33;
        for (int b = 0; b < kBands; ++b) {
            g_eqFreq[c][b] = 1000;
            g_eqGain[c][b] = 100;
            g_eqQ[c][b] = 1.0;
            g_eqQStep[c][b] = 0;
        }
        g_hpType[c] = g_lpType[c] = 0;
        g_hpSlope[c] = g_lpSlope[c] = 3;
        g_hpFreq[c] = 500;
        g_lpFreq[c] = 600;
        g_routingMask[c] = 0;
        for (int j = 0; j < kInputs; ++j) g_inputMixVolume[c][j] = 1;
        g_linkGroup[c] = 0;
    }
    g_phaseMask = 0;
    g_muteMask = 0x1FFF;
    g_masterVolume = 5;
    g_hiLevelMix = 0;
    g_hiLevelMixVolume = 0;
    if (withFileOnly) {
        v.visibleMask = 0;
        for (int c = 0; c < kChannels; c += 2) BridgeFlagOf(c) = 0;
    }
}

// Raw bytes of every model global, the delays and the graph mask, by name.
class ModelSnapshot {
public:
    explicit ModelSnapshot(const FakeImageView& v)
    {
        Add("delays", v.delays.value, sizeof v.delays.value);
        Add("visibleMask", &v.visibleMask, sizeof v.visibleMask);
#define SNAP(g) Add(#g, &g, sizeof g)
        SNAP(g_selectedChannel);
        SNAP(g_channelGain);
        SNAP(g_savedGain);
        SNAP(g_masterVolume);
        SNAP(g_masterVolumeSaved);
        SNAP(g_muteMask);
        SNAP(g_phaseMask);
        SNAP(g_eqFreq);
        SNAP(g_eqGain);
        SNAP(g_eqQ);
        SNAP(g_eqQStep);
        SNAP(g_eqGainSaved);
        SNAP(g_eqGainFlattened);
        SNAP(g_graphEqFreq);
        SNAP(g_graphEqGain);
        SNAP(g_graphEqQ);
        SNAP(g_hpFreq);
        SNAP(g_lpFreq);
        SNAP(g_hpType);
        SNAP(g_lpType);
        SNAP(g_hpSlope);
        SNAP(g_lpSlope);
        SNAP(g_graphHpFreq);
        SNAP(g_graphLpFreq);
        SNAP(g_routingMask);
        SNAP(g_inputMixVolume);
        SNAP(g_hiLevelMix);
        SNAP(g_hiLevelMixVolume);
        SNAP(g_linkGroup);
        SNAP(g_btlPair12);
        SNAP(g_btlPair34);
        SNAP(g_btlPair56);
        SNAP(g_btlPair78);
        SNAP(g_btlPair910);
        SNAP(g_btlPair1112);
        SNAP(g_delayInCm);
        SNAP(g_eqUser);
        SNAP(g_eqUser2);
#undef SNAP
    }

    // Names of the parts that differ ("" when none), for readable failures.
    std::string DiffersFrom(const ModelSnapshot& other, const std::vector<std::string>& ignore = {}) const
    {
        std::string names;
        for (const auto& [name, bytes] : m_parts) {
            bool skip = false;
            for (const auto& i : ignore) skip = skip || i == name;
            if (!skip && other.m_parts.at(name) != bytes) names += name + " ";
        }
        return names;
    }

    const std::vector<uint8_t>& Bytes(const std::string& name) const { return m_parts.at(name); }

private:
    void Add(const char* name, const void* p, size_t n)
    {
        const auto* b = static_cast<const uint8_t*>(p);
        m_parts[name].assign(b, b + n);
    }
    std::map<std::string, std::vector<uint8_t>> m_parts;
};

// The model fixture plus clean images, a known firmware date and a view.
class ImagesTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        g_firmwareDate = FW_DATE_NEW_FEATURES;
    }

    FakeImageView iv;
};
