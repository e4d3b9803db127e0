// What the image decoders and the preset file need of the main window: the
// model's window view (delay fields, channel strips, master volume, EQ
// refresh and repaints) plus the response graph's curve-visibility mask.
// The main dialog implements it; the model calls it on the UI thread only.
#pragma once

#include "model/model_view.h"

class IImageView : public IModelView {
public:
    // The graph's mask of channels drawn besides the current one (bit c =
    // channel c); setting keeps the low 16 bits and does not redraw.
    virtual int GetVisibleChannels() const = 0;
    virtual void SetVisibleChannels(int mask) = 0;

protected:
    ~IImageView() = default;
};
