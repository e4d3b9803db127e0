// Writes the seed corpora of the fuzz targets: preset files and images the
// model's own writers make from the defaults and from a busy model.
// Usage: fuzz_seeds DIR  (makes DIR/preset_loader, DIR/eq_user, DIR/eq_user2,
// DIR/firmware_file, DIR/name_codec)
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/store_view.h"
#include "model/device_state.h"
#include "model/eq_images.h"
#include "model/preset_file.h"
#include "model/resets.h"

namespace fs = std::filesystem;

namespace {

void FillBusyModel(StoreView& v)
{
    for (int c = 0; c < kChannels; ++c) {
        v.delays.value[c] = 599 - 41 * c;
        g_channelGain[c] = (c * 113) % 601;
        for (int b = 0; b < kBands; ++b) {
            const int slot = c * kBands + b;
            g_eqFreq[c][b] = 20 + slot * 59 % 19981;
            g_eqGain[c][b] = slot % 301;
            g_eqQ[c][b] = g_qStepTable[slot % kQSteps];
        }
        g_hpType[c] = c % 2;
        g_lpType[c] = (c + 1) % 2;
        g_hpSlope[c] = c % 9;
        g_lpSlope[c] = (c + 3) % 9;
        g_hpFreq[c] = 20 + 211 * c;
        g_lpFreq[c] = 20000 - 997 * c;
        g_routingMask[c] = (0x15A5Au * (c + 1)) & 0x3FFFF;
        for (int j = 0; j < kInputs; ++j) g_inputMixVolume[c][j] = (c + j) % 61;
        g_linkGroup[c] = c % 3 == 0 ? 0x7 << c : 0;
    }
    g_phaseMask = 0x5A5;
    g_masterVolume = 23;
    g_hiLevelMix = 1;
    g_hiLevelMixVolume = 31;
    v.visibleMask = 0x0F0F;
    g_btlPair34 = 1;
}

bool Write(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    if (WriteFileBytes(path, bytes)) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const fs::path dir = argv[1];
    for (const char* sub : {"preset_loader", "eq_user", "eq_user2", "firmware_file", "name_codec"})
        fs::create_directories(dir / sub);

    StoreView view;
    g_firmwareDate = FW_DATE_NEW_FEATURES;
    bool ok = true;
    for (int model = 0; model < 2; ++model) {
        ResetAll(view);
        if (model == 1) FillBusyModel(view);
        const std::string n = std::to_string(model);

        std::vector<uint8_t> file = SavePresetFile(view);
        ok &= Write(dir / "preset_loader" / ("model" + n), file);
        file.erase(file.end() - 40, file.end());
        ok &= Write(dir / "preset_loader" / ("cut" + n), file);

        BuildEqUser(view.delays);
        ok &= Write(dir / "eq_user" / ("model" + n), {g_eqUser, g_eqUser + EQ_USER_PARA_NUM});
        ok &= Write(dir / "eq_user" / ("short" + n), {g_eqUser, g_eqUser + EQ_USER_SHORT_SIZE});
        BuildEqUser2(view.visibleMask);
        ok &= Write(dir / "eq_user2" / ("model" + n), {g_eqUser2, g_eqUser2 + SAVE_PARA_2_END});
    }

    // An image with its sum, a name of the table, and name records in both
    // code pages (ten Chinese characters in GBK fill all 20 bytes).
    std::vector<uint8_t> image(1001);
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < image.size(); ++i) sum = static_cast<uint8_t>(sum + (image[i] = static_cast<uint8_t>(i * 7)));
    image.back() = sum;
    ok &= Write(dir / "firmware_file" / "image", image);
    const std::string name = "\x04system_Yastu.img";
    ok &= Write(dir / "firmware_file" / "name", {name.begin(), name.end()});
    const std::string gbk = "\xC7\xB0\xD7\xF3\xC0\xAE\xB0\xC8\xB1\xBB\xC9\xE8\xD6\xC3\xCE\xAA\xBE\xB2\xD2\xF4";
    ok &= Write(dir / "name_codec" / "gbk", {gbk.begin(), gbk.end()});
    const std::string latin = "Caf\xE9 Gr\xF6\xDF" "e";
    ok &= Write(dir / "name_codec" / "latin", {latin.begin(), latin.end()});
    return ok ? 0 : 1;
}
