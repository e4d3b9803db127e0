#include "app/paint.h"

#include "app/control_ids.h"
#include "controls/channel_strips.h"
#include "controls/eq_bands.h"
#include "controls/links_curves.h"
#include "controls/routing.h"
#include "model/device_models.h"
#include "model/device_state.h"
#include "model/params.h"
#include "platform/look.h"
#include "platform/resources.h"

namespace {

bool ModelKnown(int model) { return DeviceModelFactsOf(model) != nullptr; }
bool TwelveOutputs(int model)
{
    const DeviceModelFacts* facts = DeviceModelFactsOf(model);
    return facts && facts->outputs.value == 12;
}

// clang-format off
constexpr SkinId kCurveVisible[kChannels] = {
    SKIN_CURVE_VISIBLE_CH1, SKIN_CURVE_VISIBLE_CH2,  SKIN_CURVE_VISIBLE_CH3,  SKIN_CURVE_VISIBLE_CH4,
    SKIN_CURVE_VISIBLE_CH5, SKIN_CURVE_VISIBLE_CH6,  SKIN_CURVE_VISIBLE_CH7,  SKIN_CURVE_VISIBLE_CH8,
    SKIN_CURVE_VISIBLE_CH9, SKIN_CURVE_VISIBLE_CH10, SKIN_CURVE_VISIBLE_CH11, SKIN_CURVE_VISIBLE_CH12,
};
constexpr SkinId kLinkGroup[kChannels] = {
    SKIN_LINK_GROUP1, SKIN_LINK_GROUP2, SKIN_LINK_GROUP3, SKIN_LINK_GROUP4,  SKIN_LINK_GROUP5,  SKIN_LINK_GROUP6,
    SKIN_LINK_GROUP7, SKIN_LINK_GROUP8, SKIN_LINK_GROUP9, SKIN_LINK_GROUP10, SKIN_LINK_GROUP11, SKIN_LINK_GROUP12,
};
// clang-format on

// A hidden curve's picture: one per channel, the same at every bucket.
// clang-format off
constexpr int kCurveHidden[kChannels] = {
    IDB_CURVE_HIDDEN_CH1, IDB_CURVE_HIDDEN_CH2,  IDB_CURVE_HIDDEN_CH3,  IDB_CURVE_HIDDEN_CH4,
    IDB_CURVE_HIDDEN_CH5, IDB_CURVE_HIDDEN_CH6,  IDB_CURVE_HIDDEN_CH7,  IDB_CURVE_HIDDEN_CH8,
    IDB_CURVE_HIDDEN_CH9, IDB_CURVE_HIDDEN_CH10, IDB_CURVE_HIDDEN_CH11, IDB_CURVE_HIDDEN_CH12,
};
// clang-format on

}  // namespace

int LinkButtonBitmap(int channelBit, int bucket)
{
    for (int g = 0; g < kChannels; ++g) {
        if (g_linkGroup[g] & channelBit) return SkinBitmap(kLinkGroup[g], bucket);
    }
    return SkinBitmap(SKIN_LINK_NONE, bucket);
}

ButtonFace FaceOf(int id, bool pressed, const FaceContext& ctx)
{
    const int b = ctx.bucket;
    ButtonFace f;
    int i = IndexOfId(&g_routeButtonId[0][0], kChannels * kInputs, id);
    if (i >= 0) {
        const int out = i / kInputs, bit = i % kInputs;
        const bool on = RoutingMatrix::IsRouted(out, bit);
        const bool left = bit % 2 == 0;
        f.bitmap = SkinBitmap(
            left ? (on ? SKIN_ROUTE_LEFT_ON : SKIN_ROUTE_LEFT_OFF) : (on ? SKIN_ROUTE_RIGHT_ON : SKIN_ROUTE_RIGHT_OFF),
            b);
        f.family = "routing";
        return f;
    }
    if ((i = IndexOfId(g_channelButtonId, kChannels, id)) >= 0) {
        SkinId skin;
        if (ChannelStrips::IsSelected(i))
            skin = ModelKnown(ctx.model) ? SKIN_CHANNEL_SELECTED : SKIN_CHANNEL_SELECTED_UNKNOWN;
        else if (!ModelKnown(ctx.model)) skin = SKIN_CHANNEL_UNKNOWN;
        else skin = TwelveOutputs(ctx.model) ? SKIN_CHANNEL_NARROW : SKIN_CHANNEL;
        f.bitmap = SkinBitmap(skin, b);
        f.channel = i;
        f.font = FaceFont::Channel;
        f.family = "channel";
        return f;
    }
    if ((i = IndexOfId(g_phaseButtonId, kChannels, id)) >= 0) {
        const bool inverted = ((g_phaseMask >> i) & 1) != 0;
        f.bitmap = SkinBitmap(inverted ? SKIN_PHASE_180 : SKIN_PHASE_0, b);
        f.stringId = inverted ? IDS_PHASE_180 : IDS_PHASE_0;
        f.font = FaceFont::Button;
        f.family = "phase";
        return f;
    }
    if ((i = IndexOfId(g_muteButtonId, kChannels, id)) >= 0) {
        const bool muted = ChannelStrips::IsMuted(i);
        f.bitmap = SkinBitmap(muted                      ? SKIN_MUTED
                              : TwelveOutputs(ctx.model) ? SKIN_NOT_MUTED_NARROW
                                                         : SKIN_NOT_MUTED,
                              b);
        f.family = "mute";
        return f;
    }
    if (id == IDC_SYS_MUTE) {
        f.bitmap = SkinBitmap(ChannelStrips::IsMasterMuted() ? SKIN_MASTER_MUTED : SKIN_MASTER_NOT_MUTED, b);
        f.family = "master mute";
        return f;
    }
    if ((i = IndexOfId(g_bypassButtonId, kBands, id)) >= 0) {
        const bool bypassed = EqBands::IsAtZeroDb(i);
        f.bitmap = SkinBitmap(pressed ? SKIN_BYPASS_PRESSED : bypassed ? SKIN_BYPASSED : SKIN_BAND_ACTIVE, b);
        f.family = "band bypass";
        return f;
    }
    if ((i = IndexOfId(g_delayUnitButtonId, kChannels, id)) >= 0) {
        f.stringId = ChannelStrips::DelayUnitCaptionId();
        f.bitmap = SkinBitmap(f.stringId == IDS_DELAY_UNIT_CM ? SKIN_DELAY_UNIT_CM : SKIN_DELAY_UNIT_MS, b);
        f.font = FaceFont::Button;
        f.family = "delay unit";
        return f;
    }
    if ((i = IndexOfId(g_curveButtonId, kChannels, id)) >= 0) {
        f.bitmap = ctx.links.IsCurveShown(i) ? SkinBitmap(kCurveVisible[i], b) : kCurveHidden[i];
        f.family = "curve";
        return f;
    }
    if ((i = IndexOfId(g_linkButtonId, kChannels, id)) >= 0) {
        f.linkChannelBit = 1 << i;
        f.family = "link";
        return f;
    }
    struct Text {
        int id, stringId, normal, pressedBitmap;
        const char* family;
    };
    // clang-format off
    const Text texts[] = {
        {IDC_RESET_BAND_GAIN, IDS_BYPASS_EQ, IDB_TEXT_BUTTON, IDB_TEXT_BUTTON_PRESSED, "text buttons"},
        {IDC_PEQ_MODE, ctx.bands.ModeCaptionId(), IDB_TEXT_BUTTON, IDB_TEXT_BUTTON_PRESSED, "text buttons"},
        {IDC_RESET_ALL, IDS_RESET_ALL, IDB_TEXT_BUTTON, IDB_TEXT_BUTTON_PRESSED, "text buttons"},
        {IDC_RESET_EQ, IDS_RESET_EQ, IDB_TEXT_BUTTON, IDB_TEXT_BUTTON_PRESSED, "text buttons"},
        {IDC_SOURCE, IDS_SELECT_SOURCE, IDB_TEXT_BUTTON, IDB_TEXT_BUTTON_PRESSED, "text buttons"},
        {IDC_INPUT_VOL, IDS_INPUT_VOL, IDB_DIALOG_BUTTON, IDB_DIALOG_BUTTON_PRESSED, "dialog buttons"},
        {IDC_FILE, IDS_FILE, IDB_DIALOG_BUTTON, IDB_DIALOG_BUTTON_PRESSED, "dialog buttons"},
        {IDC_DELAY_CALE, IDS_DELAY_CALE, IDB_DIALOG_BUTTON, IDB_DIALOG_BUTTON_PRESSED, "dialog buttons"},
        {IDC_FILTER_SETUP, IDS_FILTER_SETUP, IDB_DIALOG_BUTTON, IDB_DIALOG_BUTTON_PRESSED, "dialog buttons"},
    };
    // clang-format on
    for (const Text& t : texts) {
        if (t.id != id) continue;
        f.bitmap = pressed ? t.pressedBitmap : t.normal;
        f.stringId = t.stringId;
        f.font = FaceFont::Button;
        f.family = t.family;
        return f;
    }
    struct Frame {
        int id;
        SkinId normal, pressedSkin;
        const char* family;
    };
    const Frame frames[] = {{IDC_MINIMIZE, SKIN_MINIMIZE, SKIN_MINIMIZE_PRESSED, "minimise"},
                            {IDC_CLOSE, SKIN_CLOSE, SKIN_CLOSE_PRESSED, "close"},
                            {IDC_SETUP, SKIN_SETUP, SKIN_SETUP_PRESSED, "settings"}};
    for (const Frame& fr : frames) {
        if (fr.id != id) continue;
        f.bitmap = SkinBitmap(pressed ? fr.pressedSkin : fr.normal, b);
        f.family = fr.family;
        return f;
    }
    return f;
}

int TcpStatusBitmap(int state, int bucket)
{
    switch (state) {
    case 1: return SkinBitmap(SKIN_TCP_CONNECTED, bucket);
    case 2: return SkinBitmap(SKIN_TCP_NETWORK_DOWN, bucket);
    default: return SkinBitmap(SKIN_TCP_CLOSED, bucket);
    }
}

int UsbStatusBitmap(bool connected, int bucket)
{
    return SkinBitmap(connected ? SKIN_USB_CONNECTED : SKIN_USB_DISCONNECTED, bucket);
}

int TitleBitmap(int bucket) { return SkinBitmap(SKIN_TITLE, bucket); }

COLORREF StaticTextColour(int controlId, int group, int source)
{
    if (controlId == IDC_VOLUME_CAPTION || group == 0) return RGB(255, 255, 255);
    const bool selected = (group == 1 && source == kSourceHighLevel) || (group == 2 && source == kSourceLowLevel) ||
                          (group == 3 && (source == kSourceBluetooth || source == kSourceUsb)) ||
                          (group == 5 && source == kSourceOptical);
    return selected ? RGB(255, 255, 255) : kGreyText;
}

bool KeepsWindowBrush(int id)
{
    if (IndexOfId(g_bandFreqEditId, kBands, id) >= 0 || IndexOfId(g_bandQEditId, kBands, id) >= 0) return true;
    for (int c = 8; c < kChannels; ++c) {
        if (id == g_gainEditId[c] || id == g_delayEditId[c]) return true;
    }
    return false;
}
