#include "link/image_decode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <mutex>

#include "link/image_lock.h"
#include "model/eq_images.h"

void DecodeReceivedEqUser(IModelView& view)
{
    std::array<uint8_t, EQ_USER_PARA_NUM> received{};
    {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        std::copy(std::begin(g_eqUser), std::end(g_eqUser), received.begin());
    }
    std::array<uint8_t, EQ_USER_PARA_NUM> repaired = received;
    DecodeEqUser(view, repaired.data());
    // Only the repaired bytes: a page stored meanwhile keeps the others.
    std::lock_guard<std::mutex> lock(g_imageMutex);
    for (size_t i = 0; i < repaired.size(); ++i)
        if (repaired[i] != received[i]) g_eqUser[i] = repaired[i];
}

void DecodeEqUserBytes(IModelView& view, const uint8_t* eqUser)
{
    std::array<uint8_t, EQ_USER_PARA_NUM> repaired{};
    std::copy(eqUser, eqUser + EQ_USER_PARA_NUM, repaired.begin());
    DecodeEqUser(view, repaired.data());
    std::lock_guard<std::mutex> lock(g_imageMutex);
    std::copy(repaired.begin(), repaired.end(), g_eqUser);
}

void DecodeReceivedEqUser2(IModelView& view)
{
    std::array<uint8_t, SAVE_PARA_2_END> received{};
    {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        std::copy(std::begin(g_eqUser2), std::end(g_eqUser2), received.begin());
    }
    DecodeEqUser2(view, received.data());
}
