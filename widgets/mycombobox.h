// The owner-drawn combo box of the main window's selectors. Until its
// skin is drawn its items are plain strings.
#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/types.h"

struct tagITEMLIST {
    int iconId = 0;
    std::wstring text;
    COLORREF color = 0;
    int index = 0;
};

class CMyComboBox : public CComboBox {
public:
    void AddItem(const std::wstring& text, int iconId, COLORREF color)
    {
        tagITEMLIST item;
        item.iconId = iconId;
        item.text = text;
        item.color = color;
        item.index = static_cast<int>(m_items.size());
        m_items.push_back(item);
        if (m_hWnd) AddString(text.c_str());
    }
    void SetComboFont(int height, const std::wstring& face, int /*flag*/, COLORREF /*color*/)
    {
        m_nFontHeight = height;
        m_fontFace = face;
    }
    void SetArrowImages(int pressedPng, int normalPng)
    {
        m_nArrowPressed = pressedPng;
        m_nArrowNormal = normalPng;
    }
    const std::vector<tagITEMLIST>& Items() const { return m_items; }

private:
    std::vector<tagITEMLIST> m_items;
    int m_nFontHeight = 0;
    std::wstring m_fontFace;
    int m_nArrowPressed = 0;
    int m_nArrowNormal = 0;
};
