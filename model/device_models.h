// What each device model (g_deviceModel 1..8) is: its outputs, the main
// window's layout group, which views take AUX-3/AUX-4 away with the
// device's option (g_noAux34), and its default routing. Every value says
// whether it is given or derived, and by which rule.
#pragma once

#include <cstdint>

#include "model/origin.h"

constexpr int kDeviceModels = 8;  // codes 1..8
constexpr int kLayoutGroups = 3;  // 8, 10 and 12 outputs
// The outputs of layout group 0..2.
constexpr int kLayoutGroupOutputs[kLayoutGroups] = {8, 10, 12};

template <class T>
struct Fact {
    T value;
    Origin origin;
    const char* rule = "";  // how a derived value was found
};

// The default routing the reset takes (the model picker always goes by
// g_noAux34).
enum class ResetRouting : unsigned char { ByOption, WithoutAux34, WithAux34 };

struct DeviceModelFacts {
    int model;
    Fact<int> outputs;                     // CH1..CH(outputs)
    Fact<int> layoutGroup;                 // index into kLayoutGroupOutputs
    Fact<bool> matrixAux34ByOption;        // the main window's matrix hides AUX-3/AUX-4 with g_noAux34
    Fact<bool> mixerAux34ByOption;         // the input mixer hides its AUX-3/AUX-4 rows with g_noAux34
    Fact<const uint32_t*> routingNoAux34;  // CH1..CH12 masks while g_noAux34 is 1
    Fact<const uint32_t*> routingAux34;    // ... while it is 0
    Fact<ResetRouting> resetRouting;
};

// The table, model 1 first.
extern const DeviceModelFacts g_deviceModelFacts[kDeviceModels];
// The facts of a model code, nullptr outside 1..8.
const DeviceModelFacts* DeviceModelFactsOf(int model);
