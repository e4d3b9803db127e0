// A bitmap from the resources, divided into equal frames (a strip), kept in
// a memory device context for copying.
#pragma once

#include "platform/gdi.h"

class CNewSliderItem {
public:
    // A frame width or height of 0 stands for the bitmap's own.
    CNewSliderItem(int bitmapId, int frameWidth, int frameHeight);
    ~CNewSliderItem();
    CNewSliderItem(const CNewSliderItem&) = delete;
    CNewSliderItem& operator=(const CNewSliderItem&) = delete;

    UINT GetFrameCount() const { return m_nFrameCount; }
    int GetFrameWidth() const { return m_nFrameWidth; }
    int GetFrameHeight() const { return m_nFrameHeight; }
    BOOL IsVertical() const { return m_bVertical; }
    int GetBitmapWidth() const { return m_bmInfo.bmWidth; }
    int GetBitmapHeight() const { return m_bmInfo.bmHeight; }
    // Whether the bitmap loaded.
    bool IsLoaded() const { return m_nFrameCount > 0; }

    // Frame i inside the strip; FALSE (rect untouched) for i past the frames.
    BOOL GetFrameRect(LPRECT rect, UINT frame) const;
    // Copies frame i to (x, y) of dc.
    BOOL DrawFrame(CDC* dc, UINT frame, int x = 0, int y = 0);
    // Copies the w x h rectangle at (xSrc, ySrc) to (x, y); 0 for w or h
    // stands for the bitmap's width or height.
    BOOL Blit(CDC* dc, int x, int y, int w, int h, int xSrc, int ySrc);

private:
    UINT m_nFrameCount = 0;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    BOOL m_bVertical = FALSE;
    BITMAP m_bmInfo{};
    CBitmap m_bitmap;
    CDC m_dc;
};
