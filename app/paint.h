// How the main window's owner-drawn buttons, status pictures and labels
// look: the picture of each button family by the state it shows, bucket and
// device model; the pictures of the link states; the colours of the labels.
// The state a button shows is its family's query (ChannelStrips::IsSelected,
// EqBands::IsAtZeroDb, ...); CTarvelDlg draws the faces.
#pragma once

#include "platform/gdi.h"
#include "platform/skin_palette.h"

class EqBands;
class LinksAndCurves;

// What a draw reads besides the model globals.
struct FaceContext {
    int model = 4;   // g_deviceModel
    int bucket = 0;  // DPI bucket
    const LinksAndCurves& links;
    const EqBands& bands;
};

enum class FaceFont { None, Button, Channel };

struct ButtonFace {
    int bitmap = 0;          // 0 (and no linkChannelBit): none of the families
    int linkChannelBit = 0;  // a Link button: its picture is LoadLinkButtonBitmap's
    int stringId = 0;        // the caption, or 0
    int channel = -1;        // a channel button: the caption is ChannelStrips::ChannelCaption
    FaceFont font = FaceFont::None;
    const char* family = "";
};
ButtonFace FaceOf(int controlId, bool pressed, const FaceContext& ctx);

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

constexpr COLORREF kButtonTextColour = kSkinTextColour;
constexpr COLORREF kWindowColour = kSkinPanelColour;
constexpr COLORREF kGreyText = RGB(105, 105, 105);
