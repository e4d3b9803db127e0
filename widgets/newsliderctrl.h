// The skinned vertical trackbar. Its position is the model value it shows.
// Until the skins are drawn it keeps what it is given and draws as a plain
// trackbar.
#pragma once

#include "platform/controls.h"

class CNewSliderCtrl : public CSliderCtrl {
public:
    // The thumb's offset in pixels across the track.
    void SetThumbOffset(int offset) { m_nThumbOffset = offset; }
    // The thumb bitmap and the size of one thumb frame.
    void SetThumb(int bitmapId, int width, int height)
    {
        if (bitmapId == 0 || m_nThumbBitmap != 0) return;
        m_nThumbBitmap = bitmapId;
        m_nThumbWidth = width;
        m_nThumbHeight = height;
    }
    // Track bitmaps: drawn after the thumb (first) and before it (second).
    void SetBitmaps(int afterThumb, int beforeThumb)
    {
        m_nTrackAfter = afterThumb;
        m_nTrackBefore = beforeThumb;
    }

    int GetThumbOffset() const { return m_nThumbOffset; }
    int GetThumbBitmap() const { return m_nThumbBitmap; }

private:
    int m_nThumbOffset = 0;
    int m_nThumbBitmap = 0;
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
    int m_nTrackAfter = 0;
    int m_nTrackBefore = 0;
};
