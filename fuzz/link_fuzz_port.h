// What the reply dispatcher asks of the main dialog, for the link's fuzz
// targets: counts of the announcements, checked against the pages that
// really came, and of the boxes.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>

#include "link/dialog_port.h"
#include "link/link_messages.h"
#include "model/device_state.h"
#include "model/eq_images.h"
#include "tests/support/globals.h"
#include "tests/support/store_view.h"

class FuzzPort final : public IDialogPort {
public:
    LRESULT Send(UINT msg, WPARAM, LPARAM) override
    {
        if (msg == WM_PARAM_IMAGE_RECEIVED) {
            // Only an image read whole is announced, once per read.
            FUZZ_CHECK(static_cast<int>(eqUserPages.count()) == EqUserPages());
            FUZZ_CHECK(eqUserAnnounced == 0);
            ++eqUserAnnounced;
        } else if (msg == WM_ROUTING_IMAGE_RECEIVED) {
            FUZZ_CHECK(eqUser2Pages.count() == 8);
            FUZZ_CHECK(eqUser2Announced == 0);
            ++eqUser2Announced;
        }
        return 0;
    }
    void Post(UINT, WPARAM, LPARAM) override {}
    void SetDeviceStringLabel(const std::string& bytes) override { FUZZ_CHECK(bytes.size() <= 14); }
    void ShowMessageOnUi(const std::wstring&, UINT) override {}
    void ShowStringOnUi(int) override
    {
        // A box only for a device that identified itself.
        FUZZ_CHECK(g_deviceInfoReceived.load() == 1);
    }
    void HidDeviceRemoved() override {}
    void ReleaseSenders() override {}

    static int EqUserPages() { return (GetEqUserSize() + 31) / 32; }

    // A well-formed page reply as the dispatcher will take it (payload
    // after the framing).
    void Saw(const uint8_t* p, size_t len)
    {
        if (len < 2) return;
        if (p[0] == RSP_EQUSER_PAGE) {
            const int pages = EqUserPages(), k = p[1];
            // Another image size (the device identified itself meanwhile):
            // the pages are counted anew.
            if (pages != eqUserPageCount) eqUserPages.reset();
            eqUserPageCount = pages;
            const int n = k + 1 == pages ? GetEqUserSize() - 32 * k : 32;
            if (k < pages && len >= static_cast<size_t>(2 + n)) eqUserPages.set(k);
        } else if (p[0] == RSP_EQUSER2_PAGE) {
            const int k = p[1];
            const size_t n = k == 7 ? 13 : 56;
            if (k < 8 && len >= 2 + n) eqUser2Pages.set(k);
        }
    }

    std::bitset<256> eqUserPages, eqUser2Pages;
    int eqUserPageCount = 0;
    int eqUserAnnounced = 0, eqUser2Announced = 0;
};

// The link's globals at their start; the first input byte chooses whether
// the device identified itself and whether both images are being read.
inline void StartLinkFuzzCase(uint8_t flags)
{
    ResetGlobals();
    g_deviceInfoReceived = flags & 1;
    if (flags & 2) {
        BeginEqUserRead();
        BeginEqUser2Read();
    }
}
