#include "sim/factory.h"

#include <algorithm>

using namespace simwire;

SimIdentity SimDecodeIdentity(const SimDeviceString& s)
{
    SimIdentity id;
    const char c0 = s[0], c1 = s[1], c2 = s[2];
    switch (c2) {
    case 'A': id.model = c1 == '6' ? 4 : c1 == '2' ? 7 : 3; break;
    case '8':
        if (c1 == '4') id.model = 5;
        else if (c1 == '6') id.model = c0 == '1' ? 6 : 1;
        else id.model = 6;
        break;
    case 'C': id.model = c1 == '0' ? 8 : c1 == '8' ? 2 : 0; break;
    default: id.model = 2; break;
    }
    for (size_t i = 6; i < 12 && s[i] >= '0' && s[i] <= '9'; ++i) id.date = id.date * 10 + (s[i] - '0');
    return id;
}

size_t SimEqUserSize(const SimDeviceString& s)
{
    const SimIdentity id = SimDecodeIdentity(s);
    return id.model == 1 && id.date < kEqUserFullDate ? kEqUserShortSize : kEqUserSize;
}

SimDeviceString SimMakeDeviceString(std::string_view text)
{
    SimDeviceString s{};
    std::copy_n(text.begin(), std::min(text.size(), s.size()), s.begin());
    return s;
}

namespace {

constexpr int kIsoBands[31] = {20,   25,   32,   40,   50,   63,    80,    100,   125,  160,  200,
                               250,  315,  400,  500,  630,  800,   1000,  1250,  1600, 2000, 2500,
                               3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};
constexpr int kFlatGain = 150;
constexpr int kDefaultQ100 = 432;
constexpr int kSlopeOff = 8;

void Put16(std::vector<uint8_t>& img, size_t at, int v)
{
    img[at] = static_cast<uint8_t>(v >> 8);
    img[at + 1] = static_cast<uint8_t>(v);
}

void PutBands(std::vector<uint8_t>& img, size_t at)
{
    for (int b = 0; b < 31; ++b) {
        Put16(img, at + 2 * b, kIsoBands[b]);
        Put16(img, at + 62 + 2 * b, kFlatGain);
        Put16(img, at + 124 + 2 * b, kDefaultQ100);
    }
}

}  // namespace

std::vector<uint8_t> SimFactoryEqUser(size_t size)
{
    std::vector<uint8_t> img(kEqUserSize, 0);
    // CH1..CH6: 194-byte blocks from 19, crossovers type, frequency, slope.
    for (int c = 0; c < 6; ++c) {
        const size_t b = 19 + 194 * c;
        PutBands(img, b);
        Put16(img, b + 187, 20);
        img[b + 189] = kSlopeOff;
        Put16(img, b + 191, 20000);
        img[b + 193] = kSlopeOff;
    }
    // CH7..CH12 and the four spare blocks: 198 bytes from 1183, crossovers
    // type, slope, frequency.
    for (int k = 0; k < 10; ++k) {
        const size_t b = 1183 + 198 * k;
        PutBands(img, b + 4);
        img[b + 191] = kSlopeOff;
        Put16(img, b + 192, 20);
        img[b + 195] = kSlopeOff;
        Put16(img, b + 196, 20000);
    }
    img.resize(std::min(size, kEqUserSize));
    return img;
}

std::vector<uint8_t> SimFactoryEqUser2()
{
    static constexpr uint32_t kRouting[12] = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0,
                                              0x04501, 0x08A02, 0x00544, 0x00A88, 0,       0};
    std::vector<uint8_t> img(kEqUser2Size, 0);
    for (int i = 0; i < 12; ++i) {
        img[3 * i] = static_cast<uint8_t>(kRouting[i] >> 16);
        img[3 * i + 1] = static_cast<uint8_t>(kRouting[i] >> 8);
        img[3 * i + 2] = static_cast<uint8_t>(kRouting[i]);
    }
    return img;
}
