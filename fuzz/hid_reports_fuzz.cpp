// Arbitrary 65-byte input reports from the device, with and without a
// firmware image chosen: a report is taken only with a possible length and
// the right sum, an image is announced only when every page of it came,
// boxes only for an identified device, and every answer to the loader is a
// well-formed report carrying image bytes from inside the image.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/link_fuzz_port.h"
#include "link/dispatcher.h"
#include "link/firmware.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    FuzzPort port;
    SetDialogPort(&port);
    StartLinkFuzzCase(data[0]);
    g_usbConnected = 1;
    // Bit 2: an image of 2..2000 bytes chosen by the second byte.
    std::vector<uint8_t> file;
    if (data[0] & 4) {
        file.resize(2 + data[1] * 7u);
        uint8_t sum = 0;
        for (size_t i = 0; i + 1 < file.size(); ++i)
            sum = static_cast<uint8_t>(sum + (file[i] = static_cast<uint8_t>(i * 31 + 7)));
        file.back() = sum;
        SetFirmwareImage(L"system_Yastu.img", file);
    }
    const size_t dataBytes = file.empty() ? 0 : file.size() - 1;
    for (size_t at = 2; at < size; at += 65) {
        std::array<uint8_t, 65> report{};
        std::memcpy(report.data(), data + at, std::min<size_t>(65, size - at));
        const size_t len = report[1];
        if (len >= 1 && len <= 62) {
            uint8_t sum = 0;
            for (size_t k = 0; k < len; ++k) sum = static_cast<uint8_t>(sum + report[2 + k]);
            if (sum == report[2 + len]) {
                port.Saw(report.data() + 2, len);
            }
        }
        ParseHidReport(report.data());
        FUZZ_CHECK(g_progressPermille.load() <= 1000);
        HidRing::Slot out;
        while (g_hidTxRing.Pop(out)) {
            const size_t l = out.bytes[1];
            FUZZ_CHECK(out.bytes[0] == 0 && l >= 1 && l <= 62);
            uint8_t sum = 0;
            for (size_t k = 0; k < l; ++k) sum = static_cast<uint8_t>(sum + out.bytes[2 + k]);
            FUZZ_CHECK(sum == out.bytes[2 + l]);
            if (out.bytes[2] == CMD_FW_CHUNK) {
                // 56 bytes of the image from 56 x index, 0xFF past its data.
                FUZZ_CHECK(!file.empty() && l == 59);
                const size_t index = out.bytes[3] * 256u + out.bytes[4];
                for (size_t k = 0; k < 56; ++k) {
                    const size_t pos = index * 56 + k;
                    FUZZ_CHECK(out.bytes[5 + k] == (pos < dataBytes ? file[pos] : 0xFF));
                }
            }
        }
    }
    SetDialogPort(nullptr);
    ClearFirmwareImage();
    return 0;
}
