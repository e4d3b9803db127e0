// Arbitrary preset files: a refused file changes nothing of the model; a
// loaded one leaves every value in range, and what the writer then makes
// loads back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "model/device_state.h"
#include "model/params.h"
#include "model/preset_file.h"
#include "res/resource.h"
#include "tests/support/store_view.h"

namespace {

// Every value of the model the loader writes, as bytes.
std::vector<uint8_t> Model(const StoreView& v)
{
    std::vector<uint8_t> out;
    auto add = [&out](const auto& x) {
        const auto* p = reinterpret_cast<const uint8_t*>(&x);
        out.insert(out.end(), p, p + sizeof x);
    };
    add(v.delays.value);
    add(g_channelGain);
    add(g_phaseMask);
    add(g_masterVolume);
    add(g_eqFreq);
    add(g_eqGain);
    add(g_eqQ);
    add(g_eqQStep);
    add(g_hpType);
    add(g_hpFreq);
    add(g_hpSlope);
    add(g_lpType);
    add(g_lpFreq);
    add(g_lpSlope);
    add(g_routingMask);
    add(g_hiLevelMix);
    add(g_hiLevelMixVolume);
    add(g_inputMixVolume);
    add(g_linkGroup);
    add(v.visibleMask);
    for (int* pair : {&g_btlPair12, &g_btlPair34, &g_btlPair56, &g_btlPair78, &g_btlPair910, &g_btlPair1112})
        add(*pair);
    return out;
}

bool InRange(const StoreView& v)
{
    constexpr int kMask = (1 << kChannels) - 1;
    bool ok = g_masterVolume >= 0 && g_masterVolume <= 60 && g_hiLevelMixVolume >= 0 && g_hiLevelMixVolume <= 60 &&
              v.visibleMask >= 0 && v.visibleMask <= kMask;
    for (int c = 0; c < kChannels; ++c) {
        ok = ok && v.delays.value[c] >= 0 && v.delays.value[c] <= kMaxDelaySamples;
        ok = ok && g_channelGain[c] >= 0 && g_channelGain[c] <= 600;
        ok = ok && g_hpFreq[c] >= 20 && g_hpFreq[c] <= 20000 && g_lpFreq[c] >= 20 && g_lpFreq[c] <= 20000;
        ok = ok && g_hpType[c] >= 0 && g_hpType[c] <= 1 && g_lpType[c] >= 0 && g_lpType[c] <= 1;
        ok = ok && g_hpSlope[c] >= 0 && g_hpSlope[c] <= 8 && g_lpSlope[c] >= 0 && g_lpSlope[c] <= 8;
        ok = ok && g_linkGroup[c] >= 0 && g_linkGroup[c] <= kMask;
        for (int b = 0; b < kBands; ++b) {
            ok = ok && g_eqQ[c][b] >= 0.1 && g_eqQ[c][b] <= 10.0;
            ok = ok && g_eqFreq[c][b] >= 20 && g_eqFreq[c][b] <= 20000;
            ok = ok && g_eqGain[c][b] >= 0 && g_eqGain[c][b] <= 300;
        }
        for (int j = 0; j < kInputs; ++j) ok = ok && g_inputMixVolume[c][j] <= 60;
    }
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static StoreView view;
    g_firmwareDate = size > 0 && (data[0] & 1) ? FW_DATE_NEW_FEATURES : 0;
    const std::vector<uint8_t> before = Model(view);

    const PresetLoadResult r = LoadPresetFile(std::span<const uint8_t>(data, size), view);
    if (!r.applied) {
        // All or nothing: a refused file leaves every value as it was.
        FUZZ_CHECK(r.messageId == IDS_PRESET_LOAD_FAILED);
        FUZZ_CHECK(Model(view) == before);
        return 0;
    }
    FUZZ_CHECK(r.messageId == 0 || r.messageId == IDS_FILE_ERROR);
    FUZZ_CHECK(InRange(view));

    const std::vector<uint8_t> saved = SavePresetFile(view);
    const PresetLoadResult again = LoadPresetFile(saved, view);
    FUZZ_CHECK(again.applied);
    FUZZ_CHECK(SavePresetFile(view) == saved);
    return 0;
}
