// The two rows of whole-channel buttons: the Link buttons, which edit the
// link groups, and the curve buttons, which choose the channels the graph
// draws besides the selected one.
#pragma once

#include <string>

#include "model/model_view.h"
#include "model/ports.h"

// What the Link and curve buttons need of the window.
class ILinkCurveView {
public:
    virtual void InvalidateLinkButton(int channel) = 0;
    virtual void InvalidateCurveButton(int channel) = 0;
    virtual ISpectrum& Graph() = 0;
    // Repaints the whole graph (with erase).
    virtual void InvalidateGraph() = 0;

protected:
    ~ILinkCurveView() = default;
};

class LinksAndCurves {
public:
    explicit LinksAndCurves(ILinkCurveView& view) : m_view(view) {}

    // Repaints (a channel outside 0..11 repaints nothing).
    void InvalidateLinkButton(int channel);
    void InvalidateLinkButtons();
    void InvalidateCurveButtons();

    // The Link button of a channel 0..11: joins or leaves a link group.
    void ClickLink(IModelView& model, int channel);
    // The curve button of a channel 0..11: the graph draws that channel's
    // curve or stops drawing it.
    void ClickCurve(int channel);

    // What a curve button shows (the window's painting asks): the graph
    // draws the channel's curve. A Link button shows its group's picture
    // (CTarvelDlg::LoadLinkButtonBitmap).
    bool IsCurveShown(int channel) const;

    // The question before a channel joins a group and takes the leader's
    // settings: the format (string IDS_CONFIRM_LINK_COPY) with its first two
    // "%s" replaced by the two labels; a format without two is shown as it is.
    static std::wstring CopyQuestion(const std::wstring& format, const std::wstring& fromLabel,
                                     const std::wstring& toLabel);

private:
    ILinkCurveView& m_view;
};
