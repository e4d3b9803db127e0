// The skinned trackbar: the track is copied from two pictures of the whole
// track, split at the thumb (before it: the first picture's part, after it:
// the second's), and the thumb picture is drawn on top. Input, positions and
// the scroll notifications to the parent (WM_VSCROLL / WM_HSCROLL) are the
// platform trackbar's; SetPos never notifies. Vertical sliders have their
// minimum at the top.
#pragma once

#include <memory>

#include "platform/controls.h"
#include "platform/msgmap.h"
#include "widgets/newslideritem.h"
#include "widgets/newsliderwnd.h"

class CNewSliderCtrl : public CSliderCtrl {
public:
    CNewSliderCtrl() = default;
    ~CNewSliderCtrl() override;

    // Pixels by which the thumb picture is moved across the track (right on
    // a vertical slider, down on a horizontal one); from the next paint.
    void SetThumbOffset(int offset);
    // The thumb picture and the size of one frame of its strip; once per
    // slider (a later call, or one with id 0, changes nothing). The
    // trackbar's thumb takes the frame's length along the track.
    void SetThumb(int bitmapId, int frameWidth, int frameHeight);
    // The track pictures: after the thumb, before it. The slider takes the
    // size of the before picture, keeping its place.
    void SetBitmaps(int afterId, int beforeId);
    void FreeBitmaps();

    // Paints the track split at the thumb; with painting set the whole track
    // and the thumb, else the track outside the thumb.
    void DrawChannel(CDC* dc, BOOL painting);
    // Where the thumb picture goes: centred on the trackbar's thumb, moved
    // across by the offset.
    void GetThumbWndRect(LPRECT rect) const;

    int GetThumbOffset() const { return m_nThumbOffset; }
    int GetThumbBitmap() const { return m_thumbBitmap; }
    // Whether the thumb and both pictures are set (until then the platform's
    // own trackbar is shown).
    bool IsSkinned() const { return m_thumbWnd.HasStrip() && m_pBeforeItem && m_pAfterItem; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    bool IsVertical() const { return (GetStyle() & TBS_VERT) != 0; }
    // The trackbar's thumb takes the thumb picture's length (once the window exists).
    void ApplyThumbLength();

    CNewSliderWnd m_thumbWnd;
    std::unique_ptr<CNewSliderItem> m_pBeforeItem;
    std::unique_ptr<CNewSliderItem> m_pAfterItem;
    int m_nThumbOffset = 0;
    BOOL m_bOwnBitmaps = FALSE;
    int m_thumbBitmap = 0;
    bool m_thumbPressed = false;
    bool m_thumbLengthSet = false;
};
