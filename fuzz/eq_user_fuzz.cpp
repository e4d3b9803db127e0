// Arbitrary EqUser bytes from the device: the decoder must bring every value
// into range, and decoding what the encoder then writes must change nothing.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/eq_images.h"
#include "model/params.h"
#include "tests/support/store_view.h"

namespace {

bool ModelInRange(const StoreView& v)
{
    if (g_masterVolume < 0 || g_masterVolume > 60) return false;
    for (int c = 0; c < kChannels; ++c) {
        if (v.delays.value[c] < 0 || v.delays.value[c] > kMaxDelaySamples) return false;
        if (g_channelGain[c] < 0 || g_channelGain[c] > 600) return false;
        for (int b = 0; b < kBands; ++b) {
            if (g_eqFreq[c][b] < 20 || g_eqFreq[c][b] > 20000) return false;
            if (g_eqGain[c][b] < 0 || g_eqGain[c][b] > 300) return false;
            if (!(g_eqQ[c][b] >= 0.1 && g_eqQ[c][b] <= 10.0)) return false;
            if (g_eqQStep[c][b] < 0 || g_eqQStep[c][b] >= kQSteps) return false;
        }
        if (g_hpType[c] > 1 || g_lpType[c] > 1 || g_hpSlope[c] > 8 || g_lpSlope[c] > 8) return false;
        if (g_hpFreq[c] < 20 || g_hpFreq[c] > 20000 || g_lpFreq[c] < 20 || g_lpFreq[c] > 20000) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static StoreView view;
    std::memset(g_eqUser, 0, sizeof g_eqUser);
    std::memcpy(g_eqUser, data, size < sizeof g_eqUser ? size : sizeof g_eqUser);
    g_selectedChannel = size > 0 ? data[0] % kChannels : 0;

    DecodeEqUser(view);
    FUZZ_CHECK(ModelInRange(view));

    BuildEqUser(view.delays);
    uint8_t first[EQ_USER_PARA_NUM];
    std::memcpy(first, g_eqUser, sizeof first);
    double q[kChannels][kBands];
    std::memcpy(q, g_eqQ, sizeof q);
    DecodeEqUser(view);
    FUZZ_CHECK(std::memcmp(q, g_eqQ, sizeof q) == 0);
    BuildEqUser(view.delays);
    FUZZ_CHECK(std::memcmp(first, g_eqUser, sizeof first) == 0);
    return 0;
}
