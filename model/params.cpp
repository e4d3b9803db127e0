#include "model/params.h"

int g_selectedChannel = 0;
int g_channelGain[kChannels] = {};
int g_savedGain[kChannels] = {};
int g_masterVolume = 0;
int g_masterVolumeSaved = 0;
int g_muteMask = 0;
int g_phaseMask = 0;

int g_eqFreq[kChannels][kBands] = {};
int g_eqGain[kChannels][kBands] = {};
double g_eqQ[kChannels][kBands] = {};
int g_eqQStep[kChannels][kBands] = {};
int g_eqGainSaved[kChannels][kBands] = {};
bool g_eqGainFlattened[kChannels][kBands] = {};
int g_graphEqFreq[kChannels][kBands] = {};
int g_graphEqGain[kChannels][kBands] = {};
double g_graphEqQ[kChannels][kBands] = {};

int g_hpFreq[kChannels] = {};
int g_lpFreq[kChannels] = {};
int g_hpType[kChannels] = {};
int g_lpType[kChannels] = {};
int g_hpSlope[kChannels] = {};
int g_lpSlope[kChannels] = {};
int g_graphHpFreq[kChannels] = {};
int g_graphLpFreq[kChannels] = {};

uint32_t g_routingMask[kChannels] = {};
uint32_t g_inputMixVolume[kChannels][kInputs] = {};
uint8_t g_hiLevelMix = 0;
int g_hiLevelMixVolume = 0;

int g_linkGroup[kChannels] = {};
int g_btlPair12 = 0, g_btlPair34 = 0, g_btlPair56 = 0, g_btlPair78 = 0, g_btlPair910 = 0, g_btlPair1112 = 0;
int g_delayInCm = 0;

std::wstring g_channelLabel[kChannels] = {L"CH1", L"CH2", L"CH3", L"CH4",  L"CH5",  L"CH6",
                                          L"CH7", L"CH8", L"CH9", L"CH10", L"CH11", L"CH12"};
std::wstring g_devicePath;
std::wstring g_firmwarePath;
std::wstring g_msgCaption;
int g_languageChoice = 0;

const int g_isoBandFreq[kBands] = {20,   25,   32,   40,   50,   63,    80,    100,   125,  160,  200,
                                   250,  315,  400,  500,  630,  800,   1000,  1250,  1600, 2000, 2500,
                                   3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

// clang-format off
const double g_qStepTable[kQSteps] = {
    0.10, 0.11, 0.12, 0.13, 0.14, 0.15, 0.16, 0.17,
    0.18, 0.19, 0.20, 0.21, 0.22, 0.23, 0.24, 0.25,
    0.26, 0.27, 0.28, 0.29, 0.30, 0.32, 0.34, 0.36,
    0.38, 0.40, 0.42, 0.44, 0.46, 0.48, 0.50, 0.54,
    0.58, 0.62, 0.66, 0.70, 0.74, 0.78, 0.82, 0.86,
    0.90, 0.95, 1.00, 1.05, 1.10, 1.15, 1.20, 1.25,
    1.30, 1.35, 1.41, 1.45, 1.50, 1.56, 1.62, 1.68,
    1.74, 1.80, 1.86, 1.92, 1.98, 2.04, 2.10, 2.18,
    2.26, 2.34, 2.42, 2.50, 2.58, 2.66, 2.74, 2.82,
    2.90, 2.98, 3.06, 3.14, 3.22, 3.30, 3.38, 3.46,
    3.54, 3.62, 3.70, 3.82, 3.94, 4.06, 4.18, 4.32,
    4.42, 4.54, 4.66, 4.78, 4.90, 5.2, 5.4, 5.6,
    5.8, 6.0, 6.2, 6.4, 6.6, 6.8, 7.0, 7.2,
    7.4, 7.6, 7.8, 8.0, 8.5, 9.0, 9.5, 10.0,
};
// clang-format on

int QStepIndexFor(double q)
{
    for (int i = 0; i < kQSteps; ++i)
        if (!(g_qStepTable[i] < q)) return i;
    return kQSteps - 1;
}

int& BridgeFlagOf(int channel)
{
    static int dummy = 0;
    switch (channel / 2) {
    case 0: return g_btlPair12;
    case 1: return g_btlPair34;
    case 2: return g_btlPair56;
    case 3: return g_btlPair78;
    case 4: return g_btlPair910;
    case 5: return g_btlPair1112;
    }
    dummy = 0;
    return dummy;
}
