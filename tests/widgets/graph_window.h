// The graph as the main window holds it: child control IDC_SPECTRUM of a
// parent window, driven by mouse input through the window
// layer. Kept free of the window headers so that tests of the model side can
// use it.
#pragma once

#include <memory>

#include "widgets/spectrumdata.h"

class GraphWindow {
public:
    explicit GraphWindow(int dpi = 96, int width = 1000, int height = 300);
    ~GraphWindow();

    SpectrumData& Data();
    // Paints the graph into a bitmap once (as a paint of the window does),
    // which also places the selected band's Q handles.
    void Paint();

    // Mouse input in the graph's client coordinates.
    void Hover(int x, int y);  // a move without a button
    void Press(int x, int y);
    void Move(int x, int y);  // with the button held
    void Release(int x, int y);
    // Hover over the band's peak, press on it and move to (x, y).
    void GrabBand(int band, int x, int y);

    // The graph window holds the mouse grab of a drag.
    bool HoldsCapture() const;
    // What the main dialog's WM_CLOSE does.
    int RemoveHook();
    // RemoveDragHook for some other window.
    int RemoveHookOfOtherWindow();

    struct Impl;

private:
    std::unique_ptr<Impl> m;
};
