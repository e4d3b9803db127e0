// How the main window's owner-drawn buttons, status pictures and labels
// look: the picture of each button family by the state it shows, bucket and
// device model; the pictures of the link states; the colours of the labels.
// Pure choices over the model; CTarvelDlg draws them.
#pragma once

#include <string>

#include "platform/gdi.h"

// What a draw reads besides the model globals.
struct FaceContext {
    int model = 4;            // g_deviceModel
    int bucket = 0;           // DPI bucket
    int visibleChannels = 0;  // the graph's visible-curve mask
    bool peqMode = true;
};

enum class FaceFont { None, Button, Channel };

struct ButtonFace {
    int bitmap = 0;          // 0 (and no linkChannelBit): none of the families
    int linkChannelBit = 0;  // a Link button: its picture is LoadLinkButtonBitmap's
    int stringId = 0;  // the caption, or 0
    int channel = -1;  // a channel button: the caption is the channel's name
    FaceFont font = FaceFont::None;
    const char* family = "";
};
ButtonFace FaceOf(int controlId, bool pressed, const FaceContext& ctx);

// A channel button shows the selected look: its channel is the selected
// one, its bridge partner is selected with their pair flag set, or a link
// group holds both.
bool ChannelLooksSelected(int channel);
// The name on a channel button: the device's name (system code page, at
// most 20 bytes), else "CH1".."CH12" from the string table.
std::wstring ChannelName(int channel);

// LoadLinkButtonBitmap's choice: the picture of the first link group that
// holds a channel of channelBit, or of no group.
int LinkButtonBitmap(int channelBit, int bucket);

// Status pictures.
int TcpStatusBitmap(int tcpState, int bucket);  // 0 closed, 1 connected, 2 network down
int UsbStatusBitmap(bool connected, int bucket);
int TitleBitmap(int bucket);

// The text colour of a static or button of the window: white, or grey for a
// matrix input caption whose source group is not the selected source.
COLORREF StaticTextColour(int controlId, int sourceGroup, int inputSource);
// The fields that report CTLCOLOR_STATIC while read-only or disabled and
// keep the window's brush.
bool KeepsWindowBrush(int controlId);

constexpr COLORREF kButtonTextColour = RGB(254, 254, 254);
constexpr COLORREF kWindowColour = RGB(33, 44, 61);
constexpr COLORREF kGreyText = RGB(105, 105, 105);
