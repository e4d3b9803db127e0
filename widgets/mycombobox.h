// The skinned drop-down list: the closed face is painted here (dark fill,
// frame, the selected item's text in its own colour, the drop-arrow picture)
// and the items of an owner-drawn list too, with the item under the mouse
// marked. Selection, keys and the list itself are the platform combo box's;
// the parent hears of a user's choice by CBN_SELCHANGE only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/graphics.h"
#include "platform/msgmap.h"
#include "platform/skin_palette.h"
#include "platform/types.h"

// One item: the record at index i belongs to list item i.
struct tagITEMLIST {
    int hIcon = 0;  // icon resource drawn before the text; 0: none
    std::wstring strText;
    COLORREF crText = 0;
    int nIndex = 0;  // the index AddString gave the item
};

class CMyComboBox : public CComboBox {
public:
    static constexpr int kNoItem = 666666666;
    static constexpr COLORREF kBack = kSkinPanelColour;
    static constexpr COLORREF kHotFill = RGB(0, 0, 255);
    static constexpr COLORREF kHotFrame = RGB(141, 178, 227);

    CMyComboBox();
    ~CMyComboBox() override;

    // Adds an item with its text colour (and icon, 0 for none) at the end.
    void AddItem(const std::wstring& text, int iconId, COLORREF color);
    // The font of the face and the list: height and face name; the flag and
    // colour are kept only.
    void SetComboFont(int height, const std::wstring& face, int flag, COLORREF color);
    // The PNG pictures of the drop arrow; when either is missing the face
    // shows the flat platform arrow.
    void SetArrowImages(int pressedPng, int normalPng);
    // Repaints the whole face.
    void InvalidateFace();

    const std::vector<tagITEMLIST>& Items() const { return m_items; }
    int GetHotItem() const { return m_nHotItem; }
    bool HasArrowImages() const { return m_pArrowNormal && m_pArrowPressed; }

    // The item under the mouse became found (a list index): the hot item
    // follows, and the items whose look changed are returned (the previous
    // hot item only when it is an item of the list).
    std::vector<int> TrackHotItem(int found);

    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override;
    void DrawFace(CDC* dc);
    void DrawListItem(UINT state, const RECT& rect, CDC* dc, int index);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DrawItemText(CDC* dc, const tagITEMLIST& item, const RECT& rect);

    BOOL m_bHover = FALSE;
    CPen m_penFrame;
    BOOL m_bPressed = FALSE;
    CFont m_font;
    int m_nHotItem = kNoItem;
    int m_nPrevHotItem = kNoItem;
    COLORREF m_crHotFill = kHotFill;
    COLORREF m_crBack = kBack;
    std::vector<tagITEMLIST> m_items;
    std::unique_ptr<gfx::Image> m_pArrowPressed;
    std::unique_ptr<gfx::Image> m_pArrowNormal;
    int m_fontFlag = 0;
    COLORREF m_fontColor = 0;
};
