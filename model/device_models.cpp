#include "model/device_models.h"

#include "model/params.h"

namespace {

using Row = uint32_t[kChannels];

// Default routing rows, CH1..CH12.
const Row kModel1NoAux = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x00541, 0x00A82, 0, 0, 0, 0};
const Row kModel1Aux = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x04501, 0x08A02, 0, 0, 0, 0};
const Row kModel2NoAux = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0,
                          0x01540, 0x02A80, 0x00541, 0x00A82, 0x00544, 0x00A88};
const Row kModel2Aux = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0,
                        0x05500, 0x0AA00, 0x00541, 0x00A82, 0x04504, 0x08A08};
const Row kModel3 = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0,
                     0x04501, 0x08A02, 0x00544, 0x00A88, 0x04510, 0x08A20};
const Row kModel4A = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x00541, 0x00A82, 0x00544, 0x00A88, 0, 0};
const Row kModel4B = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x04501, 0x08A02, 0x00544, 0x00A88, 0, 0};
const Row kModel5 = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00541, 0x00A82, 0x00544, 0x00A88, 0, 0, 0, 0};
const Row kModel6A = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x01540, 0x02A80, 0, 0, 0, 0};
const Row kModel6B = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x05500, 0x0AA00, 0, 0, 0, 0};
const Row kModel7 = {0x00541, 0x00A82, 0x00541, 0x00A82, 0x00541, 0x00A82, 0x00541, 0x00A82, 0x00541, 0x00A82, 0, 0};
const Row kModel8 = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0,
                     0x01540, 0x02A80, 0x10540, 0x20A80, 0x00541, 0x00A82};

constexpr Origin G = Origin::Given;
constexpr Origin D = Origin::Derived;
constexpr const char* kByOutputs = "the group of its outputs";
constexpr const char* kOneRow = "the model's one routing, whatever the option";
using enum ResetRouting;

}  // namespace

// clang-format off
const DeviceModelFacts g_deviceModelFacts[kDeviceModels] = {
    {1, {8, G}, {0, D, kByOutputs}, {true, G}, {true, G}, {kModel1NoAux, G}, {kModel1Aux, G}, {ByOption, G}},
    {2, {12, G}, {2, D, kByOutputs}, {false, G}, {true, G}, {kModel2NoAux, G}, {kModel2Aux, G}, {ByOption, G}},
    {3, {10, G}, {1, D, kByOutputs}, {false, G}, {false, G}, {kModel3, G}, {kModel3, D, kOneRow}, {ByOption, G}},
    {4, {10, G}, {1, D, kByOutputs}, {true, G}, {true, G}, {kModel4A, G}, {kModel4B, G}, {WithoutAux34, G}},
    {5, {8, G}, {0, D, kByOutputs}, {false, G}, {false, G}, {kModel5, G}, {kModel5, D, kOneRow}, {ByOption, G}},
    {6, {8, G}, {0, D, kByOutputs}, {false, G}, {false, G}, {kModel6A, G}, {kModel6B, G}, {WithAux34, G}},
    {7, {10, G}, {1, D, kByOutputs}, {false, G}, {false, G}, {kModel7, G}, {kModel7, D, kOneRow}, {ByOption, G}},
    {8, {12, G}, {2, D, kByOutputs}, {false, G}, {false, G}, {kModel8, G}, {kModel8, D, kOneRow}, {ByOption, G}},
};
// clang-format on

const DeviceModelFacts* DeviceModelFactsOf(int model)
{
    return model >= 1 && model <= kDeviceModels ? &g_deviceModelFacts[model - 1] : nullptr;
}
