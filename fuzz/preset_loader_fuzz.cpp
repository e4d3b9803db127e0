// Arbitrary preset files: a refused file changes nothing; a loaded one
// leaves the model in range, and what the writer then makes loads back to
// the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "tests/support/store_view.h"
#include "model/device_state.h"
#include "model/params.h"
#include "model/preset_file.h"
#include "res/resource.h"

namespace {

struct Probe {
    int delays[kChannels];
    int gains[kChannels];
    double q[kChannels][kBands];
    uint32_t routing[kChannels];
    int links[kChannels];
    int visible;

    explicit Probe(const StoreView& v)
    {
        std::memset(this, 0, sizeof *this);  // padding too, for the byte compare
        std::memcpy(delays, v.delays.value, sizeof delays);
        std::memcpy(gains, g_channelGain, sizeof gains);
        std::memcpy(q, g_eqQ, sizeof q);
        std::memcpy(routing, g_routingMask, sizeof routing);
        std::memcpy(links, g_linkGroup, sizeof links);
        visible = v.visibleMask;
    }
    bool operator==(const Probe& o) const { return std::memcmp(this, &o, sizeof *this) == 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static StoreView view;
    g_firmwareDate = size > 0 && (data[0] & 1) ? FW_DATE_NEW_FEATURES : 0;
    const Probe before(view);

    const PresetLoadResult r = LoadPresetFile(std::span<const uint8_t>(data, size), view);
    if (!r.applied) {
        FUZZ_CHECK(r.messageId == IDS_PRESET_LOAD_FAILED);
        FUZZ_CHECK(Probe(view) == before);
        return 0;
    }
    FUZZ_CHECK(r.messageId == 0 || r.messageId == IDS_FILE_ERROR);
    for (int c = 0; c < kChannels; ++c) {
        FUZZ_CHECK(view.delays.value[c] >= 0 && view.delays.value[c] <= kMaxDelaySamples);
        FUZZ_CHECK(g_channelGain[c] >= 0 && g_channelGain[c] <= 600);
        for (int b = 0; b < kBands; ++b) FUZZ_CHECK(g_eqQ[c][b] >= 0.1 && g_eqQ[c][b] <= 10.0);
    }

    const std::vector<uint8_t> saved = SavePresetFile(view);
    const PresetLoadResult again = LoadPresetFile(saved, view);
    FUZZ_CHECK(again.applied);
    FUZZ_CHECK(SavePresetFile(view) == saved);
    return 0;
}
