// Arbitrary bytes from the device over TCP, through the receive framer into
// the reply dispatcher: nothing outside the images is touched, a frame is
// published only with its length and sum right, an image is announced only
// when every page of it came, boxes only for an identified device, and the
// progress stays within 0..1000.
#include <cstddef>
#include <cstdint>

#include "fuzz/link_fuzz_port.h"
#include "link/dispatcher.h"
#include "link/tcp_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    FuzzPort port;
    SetDialogPort(&port);
    StartLinkFuzzCase(data[0]);
    TcpRxFramer framer;
    for (size_t i = 1; i < size; ++i) {
        if (!framer.Feed(data[i])) continue;
        const auto& slot = framer.Slot();
        const size_t len = slot[0];
        FUZZ_CHECK(len >= 1 && len <= TCP_RX_MAX_PAYLOAD);
        uint8_t sum = 0;
        for (size_t k = 1; k <= len; ++k) sum = static_cast<uint8_t>(sum + slot[k]);
        FUZZ_CHECK(sum == data[i]);
        port.Saw(slot.data() + 1, len);
        ParseTcpSlot(slot.data());
        FUZZ_CHECK(g_progressPermille.load() <= 1000);
    }
    // Answers to the loader go to the TCP ring; none is longer than a frame.
    TcpTxRing::Slot out;
    while (g_tcpTxRing.Pop(out)) FUZZ_CHECK(out.len >= 4 && out.len <= TCP_TX_SLOT_LEN);
    SetDialogPort(nullptr);
    return 0;
}
