// The routing matrix: per output channel a row of 18 buttons, one per input
// source, each showing whether that input is mixed into that output.
#pragma once

#include "model/params.h"

// The caption string of each input bit 0..17 by default (the matrix's
// captions and the input mixer's rows).
extern const int g_mixerSourceLabelString[kInputs];

// The caption string of input bit 0..17 for a device model and input
// source: model 7's device has a radio, an AUX pair and USB in place of
// Hi.1/Hi.2, AUX-1/AUX-2 and BT-L/BT-R; with source 9 the Bluetooth pair
// reads USB. The one function the main window's layout, its source change
// and the input mixer use, so the captions agree. 0 outside 0..17.
int InputCaptionString(int model, int source, int inputBit);

// What the matrix needs of the window. Outputs 0..11, input bits 0..17.
class IRoutingView {
public:
    virtual void InvalidateRouteButton(int output, int inputBit) = 0;

protected:
    ~IRoutingView() = default;
};

class RoutingMatrix {
public:
    explicit RoutingMatrix(IRoutingView& view) : m_view(view) {}

    // Repaints a cell's button (a cell outside the matrix repaints nothing).
    void InvalidateRouteButton(int output, int inputBit);

    // A click on cell (output, inputBit): the input goes into the output's
    // mix or out of it; while the output's pair flag is exactly 1 the
    // bridged partner takes the cell's new state. Each changed button is
    // repainted. A cell outside the matrix changes nothing.
    void Toggle(int output, int inputBit);

    // What a cell's owner-drawn button shows (the window's painting asks):
    // the input's bit of the output's g_routingMask.
    static bool IsRouted(int output, int inputBit);
    // The input-source group of an input bit (1 high level, 2 AUX, 3
    // Bluetooth, 5 optical), 10 for the inputs device model 7 lacks, 0 for
    // no input.
    static int SourceGroupOf(int inputBit, int deviceModel);

private:
    IRoutingView& m_view;
};
