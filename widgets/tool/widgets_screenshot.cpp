// Draws the response graph of a made-up tuning at DPI buckets 0 and 4 and
// writes each picture as a PNG file into the given folder.
#include <cstdio>
#include <string>

#include "platform/app.h"
#include "platform/graphics.h"
#include "platform/image_file.h"
#include "widgets/tool/demo_graph.h"

namespace {

bool Shoot(CSpectrum& graph, const DemoBucket& b, const std::string& path)
{
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(nullptr, b.width, b.height)) return false;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    graph.PaintGraph(&dc);
    dc.SelectObject(old);
    dc.DeleteDC();
    if (!SaveBitmapPng(bitmap, path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    if (!EnsureUiApplication() || gfx::Startup() != gfx::Ok) return 1;
    const std::string dir = argv[1];
    bool ok = true;
    for (const DemoBucket& b : kDemoBuckets) {
        const std::string stem = dir + "/graph_bucket" + std::to_string(b.bucket);
        CSpectrum bands;
        FeedDemoGraph(bands, b);
        ok = Shoot(bands, b, stem + ".png") && ok;

        // The low-pass selected, with its readout; every channel visible.
        CSpectrum crossover;
        FeedDemoGraph(crossover, b, 0x0FFF);
        crossover.SelectCrossover(1);
        crossover.m_nHoverBand = -1;
        crossover.m_nHoverCrossover = 1;
        ok = Shoot(crossover, b, stem + "_lowpass.png") && ok;
    }
    return ok ? 0 : 1;
}
