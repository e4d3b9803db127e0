// art_sheet <dir> [bucket ...]: every picture of the skin art of a DPI bucket
// on one sheet (art_b<k>.png), enlarged to be looked at pixel by pixel.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/art.h"
#include "platform/graphics.h"
#include "platform/image_file.h"
#include "platform/skin_palette.h"

namespace {

bool Sheet(int bucket, const std::string& path)
{
    std::vector<ArtEntry> entries;
    for (const ArtEntry& e : ArtEntries())
        if (e.bucket == bucket) entries.push_back(e);
    const int zoom = bucket == 0 ? 4 : 2;
    const int columns = 8;
    int cellW = 0, cellH = 0;
    for (const ArtEntry& e : entries) {
        cellW = std::max(cellW, e.picture.width * zoom + 8);
        cellH = std::max(cellH, e.picture.height * zoom + 8);
    }
    const int rows = (static_cast<int>(entries.size()) + columns - 1) / columns;
    CBitmap sheet;
    if (!sheet.CreateCompatibleBitmap(nullptr, columns * cellW, rows * cellH)) return false;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&sheet);
    const CRect all(0, 0, columns * cellW, rows * cellH);
    dc.FillSolidRect(&all, RGB(80, 80, 80));
    dc.SetStretchBltMode(COLORONCOLOR);
    for (size_t i = 0; i < entries.size(); ++i) {
        const ArtEntry& e = entries[i];
        const int x = static_cast<int>(i % columns) * cellW + 4;
        const int y = static_cast<int>(i / columns) * cellH + 4;
        const int w = e.picture.width * zoom, h = e.picture.height * zoom;
        if (e.picture.png) {
            dc.FillSolidRect(x, y, w, h, kSkinPanelColour);
            const auto image = gfx::Image::FromResource(e.id);
            gfx::Graphics g(&dc);
            if (image)
                g.DrawImage(image.get(), static_cast<gfx::REAL>(x), static_cast<gfx::REAL>(y),
                            static_cast<gfx::REAL>(w), static_cast<gfx::REAL>(h));
            continue;
        }
        CBitmap picture;
        if (!picture.LoadSkinBitmap(static_cast<UINT>(e.id), bucket)) continue;
        CDC src;
        src.CreateCompatibleDC(&dc);
        src.SelectObject(&picture);
        dc.StretchBlt(x, y, w, h, &src, 0, 0, e.picture.width, e.picture.height, SRCCOPY);
    }
    dc.DeleteDC();
    if (!SaveBitmapPng(sheet, path)) return false;
    std::printf("%s: %zu pictures\n", path.c_str(), entries.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder> [bucket ...]\n", argv[0]);
        return 2;
    }
    if (!EnsureUiApplication() || gfx::Startup() != gfx::Ok) return 1;
    for (const std::string& fault : ArtTableErrors()) std::fprintf(stderr, "%s\n", fault.c_str());
    std::vector<int> buckets;
    for (int i = 2; i < argc; ++i) buckets.push_back(std::atoi(argv[i]));
    if (buckets.empty()) buckets = {0, 1, 2, 3, 4};
    bool ok = true;
    for (int b : buckets) ok = Sheet(b, std::string(argv[1]) + "/art_b" + std::to_string(b) + ".png") && ok;
    return ok ? 0 : 1;
}
