// Arbitrary EqUser2 bytes from the device: decoded as they come, and the
// encoder writes every byte it owns back as it was (the graph mask and the
// bridge bits excepted, which the decoder does not take).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/eq_images.h"
#include "tests/support/store_view.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static StoreView view;
    std::memset(g_eqUser2, 0, sizeof g_eqUser2);
    std::memcpy(g_eqUser2, data, size < sizeof g_eqUser2 ? size : sizeof g_eqUser2);
    uint8_t received[SAVE_PARA_2_END];
    std::memcpy(received, g_eqUser2, sizeof received);

    DecodeEqUser2(view);
    BuildEqUser2(view.visibleMask);
    for (int i = 0; i < SAVE_PARA_2_END; ++i)
        if (i < 338 || i > 340) FUZZ_CHECK(g_eqUser2[i] == received[i]);
    return 0;
}
