// The slider's thumb: one frame of a bitmap strip. The slider draws it over
// its track (there is no window of its own), so a press on the picture is a
// press on the slider's thumb.
#pragma once

#include <memory>

#include "widgets/newslideritem.h"

class CNewSliderWnd {
public:
    // Replaces the strip; the frame shown stays.
    BOOL LoadStrip(int bitmapId, int frameWidth, int frameHeight);
    void SetForwardMouse(BOOL forward) { m_bForwardMouse = forward; }
    BOOL GetForwardMouse() const { return m_bForwardMouse; }
    bool HasStrip() const { return m_pStrip != nullptr; }
    // The size of one frame (0 x 0 without a strip).
    CSize GetFrameSize() const;
    int GetFrame() const { return m_nFrame; }

    // A press on the thumb shows frame 2 of a strip of three or more, else 0;
    // the release frame 1 of a strip of two or more, else 0.
    void OnPress();
    void OnRelease();

    // Draws the frame shown at (x, y).
    BOOL Draw(CDC* dc, int x, int y);

private:
    int m_nFrame = 0;
    std::unique_ptr<CNewSliderItem> m_pStrip;
    BOOL m_bForwardMouse = FALSE;
};
