// Writes the seed corpora of the fuzz targets: preset files and images the
// model's own writers make from the defaults and from a busy model.
// Usage: fuzz_seeds DIR  (makes DIR/preset_loader, DIR/eq_user, DIR/eq_user2,
// DIR/firmware_file, DIR/name_codec, DIR/tcp_replies, DIR/hid_reports)
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "model/device_state.h"
#include "model/eq_images.h"
#include "model/preset_file.h"
#include "model/resets.h"
#include "tests/support/store_view.h"

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

// The replies of a whole session as payloads: identification, both images
// page by page (the first read missing a page, then a resend), a save, and
// the loader's requests.
std::vector<std::vector<uint8_t>> SessionReplies()
{
    std::vector<std::vector<uint8_t>> r;
    std::vector<uint8_t> info = {1, 19, 0};
    for (char ch : std::string("46AK10240315V1")) info.push_back(static_cast<uint8_t>(ch));
    info.insert(info.end(), {1, 0, 0x41});
    r.push_back(info);
    r.push_back({10});
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k < 99; ++k) {
            if (pass == 0 && k == 40) continue;
            std::vector<uint8_t> page = {4, static_cast<uint8_t>(k)};
            const int n = k == 98 ? 27 : 32;
            page.insert(page.end(), g_eqUser + 32 * k, g_eqUser + 32 * k + n);
            r.push_back(page);
        }
    }
    r.push_back({4, 98, 1, 2, 3});
    for (int k = 7; k >= 0; --k) {
        std::vector<uint8_t> page = {14, static_cast<uint8_t>(k)};
        const int n = k == 7 ? 13 : 56;
        page.insert(page.end(), g_eqUser2 + 56 * k, g_eqUser2 + 56 * k + n);
        r.push_back(page);
    }
    r.push_back({10});
    r.push_back({254});
    for (int k = 0; k < 4; ++k) r.push_back({255, 0, static_cast<uint8_t>(k)});
    r.push_back({255, 0xFF, 0xFF});
    return r;
}

uint8_t Sum(const std::vector<uint8_t>& p)
{
    unsigned s = 0;
    for (uint8_t b : p) s += b;
    return static_cast<uint8_t>(s);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const fs::path dir = argv[1];
    for (const char* sub :
         {"preset_loader", "eq_user", "eq_user2", "firmware_file", "name_codec", "tcp_replies", "hid_reports"})
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

        // The first byte: identified (1), images being read (2), a firmware
        // image chosen (4, HID).
        for (uint8_t flags : {uint8_t{2}, uint8_t{7}}) {
            std::vector<uint8_t> tcp = {flags};
            std::vector<uint8_t> hid = {flags, 150};
            for (const std::vector<uint8_t>& p : SessionReplies()) {
                tcp.insert(tcp.end(), {0xA5, static_cast<uint8_t>(p.size())});
                tcp.insert(tcp.end(), p.begin(), p.end());
                tcp.push_back(Sum(p));
                std::vector<uint8_t> report(65, 0);
                report[1] = static_cast<uint8_t>(p.size());
                std::copy(p.begin(), p.end(), report.begin() + 2);
                report[2 + p.size()] = Sum(p);
                hid.insert(hid.end(), report.begin(), report.end());
            }
            const std::string f = n + "_" + std::to_string(flags);
            ok &= Write(dir / "tcp_replies" / ("session" + f), tcp);
            ok &= Write(dir / "hid_reports" / ("session" + f), hid);
        }
    }

    // An image with its sum, a name of the table, and name records in both
    // code pages (ten Chinese characters in GBK fill all 20 bytes).
    std::vector<uint8_t> image(1001);
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < image.size(); ++i)
        sum = static_cast<uint8_t>(sum + (image[i] = static_cast<uint8_t>(i * 7)));
    image.back() = sum;
    ok &= Write(dir / "firmware_file" / "image", image);
    const std::string name = "\x04system_Yastu.img";
    ok &= Write(dir / "firmware_file" / "name", {name.begin(), name.end()});
    const std::string gbk = "\xC7\xB0\xD7\xF3\xC0\xAE\xB0\xC8\xB1\xBB\xC9\xE8\xD6\xC3\xCE\xAA\xBE\xB2\xD2\xF4";
    ok &= Write(dir / "name_codec" / "gbk", {gbk.begin(), gbk.end()});
    const std::string latin =
        "Caf\xE9 Gr\xF6\xDF"
        "e";
    ok &= Write(dir / "name_codec" / "latin", {latin.begin(), latin.end()});
    return ok ? 0 : 1;
}
