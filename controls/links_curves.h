// The two rows of whole-channel buttons: the Link buttons, which edit the
// link groups, and the curve buttons, which choose the channels the graph
// draws besides the selected one.
#pragma once

#include <string>

// What the Link and curve buttons need of the window.
class ILinkCurveView {
public:
    virtual void InvalidateLinkButton(int channel) = 0;
    virtual void InvalidateCurveButton(int channel) = 0;

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

    // The question before a channel joins a group and takes the leader's
    // settings: the format (string IDS_CONFIRM_LINK_COPY) with its first two
    // "%s" replaced by the two labels; a format without two is shown as it is.
    static std::wstring CopyQuestion(const std::wstring& format, const std::wstring& fromLabel,
                                     const std::wstring& toLabel);

private:
    ILinkCurveView& m_view;
};
