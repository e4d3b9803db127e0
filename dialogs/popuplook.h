// The skin shared by the main window's popups: a captionless window painted
// with a stretched background bitmap, dragged by any point of its body, with
// owner-drawn bitmap buttons whose captions come from the string table, and
// control colours answered in WM_CTLCOLOR. Each popup states its own values
// in a PopupLook; PopupDialog carries the handlers once for all of them.
#pragma once

#include <vector>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/look.h"
#include "platform/skin_palette.h"
#include "res/resource.h"

// Face and size of the labels and button texts.
constexpr const wchar_t* kPopupFontFace = L"宋体";
constexpr int kPopupFontHeight = 12;  // before ScaleForDpi

// One owner-drawn text button: its bitmaps (pressed / not) stretched over
// it and its caption from the string table.
struct PopupTextButton {
    int controlId = 0;
    int stringId = 0;
    int bitmapPressed = IDB_TEXT_BUTTON_PRESSED;
    int bitmap = IDB_TEXT_BUTTON;
};

// A static shown in the label font, with its text from the string table
// (stringId 0: the template's text stays).
struct PopupLabel {
    int controlId = 0;
    int stringId = 0;
};

enum class CloseButtonSize {
    None,      // no skinned close button
    Fixed,     // ScaleForDpi(42) x ScaleForDpi(22), position kept
    ToBitmap,  // the size of its bitmap
};

struct PopupLook {
    int backgroundBitmap = 0;  // 0: no background
    CloseButtonSize closeButton = CloseButtonSize::None;
    bool labelFont = true;                       // create the label font and set it on the labels
    COLORREF staticTextColor = kSkinTextColour;  // statics and buttons, transparent
    COLORREF buttonTextColor = kSkinTextColour;
    bool buttonTextInPopupFont = true;  // false: in the button's own font
    std::vector<PopupTextButton> textButtons;
    std::vector<PopupLabel> labels;
};

class PopupDialog : public CDialogEx {
public:
    PopupDialog(UINT templateId, CWnd* parent, PopupLook look);
    ~PopupDialog() override;

    const PopupLook& Look() const { return m_look; }
    // The size of the background bitmap (0 x 0 before OnInitDialog).
    CSize BackgroundSize() const { return {m_bmBackground.bmWidth, m_bmBackground.bmHeight}; }

protected:
    // The look part of the initialisation: background, close button, label
    // font and label texts.
    BOOL OnInitDialog() override;

    // Draws one owner-drawn control; false when the popup does not draw it.
    // The base draws the close button and the text buttons of the look.
    virtual bool DrawPopupItem(LPDRAWITEMSTRUCT dis);
    // Statics and buttons: the look's colour, transparent; the rest keeps
    // the framework's answer.
    virtual HBRUSH PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework);

    // Stretches the whole bitmap over the item rectangle.
    static void DrawBitmapItem(LPDRAWITEMSTRUCT dis, int bitmapId);
    // Centres text on one line over the item, in the popup font or in the
    // font the item's context holds (the control's).
    static void DrawItemText(LPDRAWITEMSTRUCT dis, const std::wstring& text, COLORREF color, bool popupFont = true);
    // Resizes the control to the bitmap's size, position kept.
    void SizeToBitmap(int controlId, int bitmapId);

    afx_msg LRESULT OnNcHitTest(CPoint screenPoint);
    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    afx_msg void OnDrawItem(int ctlId, LPDRAWITEMSTRUCT dis);
    DECLARE_MESSAGE_MAP()

    PopupLook m_look;
    CBitmap m_bmpBackground;
    BITMAP m_bmBackground;
    CFont m_fontLabel;
};

// Creates the popup font at ScaleForDpi(kPopupFontHeight).
BOOL CreatePopupFont(CFont& font);
