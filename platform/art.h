// The skin art: every picture of res/art.tsv, drawn from its SVG source at
// the size its row gives for each DPI bucket, once, and kept. The bitmap and
// PNG loaders (CBitmap::LoadBitmap, gfx::Image::FromResource) take a picture
// from here before anything else.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi.h"

struct ArtPicture {
    std::string name;    // the row's name (IDB_CH_SLIDER_THUMB)
    std::string family;  // "channel slider"
    std::string state;   // "thumb"
    std::string svg;     // file of res/art/
    bool png = false;    // a PNG image with transparency (IDP_), else an opaque bitmap
    int width = 0;
    int height = 0;
};

// The art of an id in a DPI bucket (0..4); false when the table does not
// list the id in that bucket.
bool FindArt(int id, int bucket, ArtPicture* out);
// The bucket an id is drawn for when it is loaded without one: the bucket of
// g_screenDpi when the id serves it, else the first bucket it serves; -1 for
// an id without art.
int ArtBucketOf(int id);

struct ArtEntry {
    int id = 0;
    int bucket = 0;
    ArtPicture picture;
};
// Every (id, bucket) of the table.
std::vector<ArtEntry> ArtEntries();
// Faults of res/art.tsv (a missing SVG, an unknown name, a bad size); empty
// when it is sound.
std::vector<std::string> ArtTableErrors();

// Draws bitmap id (its art in the bucket of g_screenDpi, or the resource)
// stretched over rect; false when it does not load.
BOOL DrawBitmapStretched(CDC* dc, int bitmapId, const RECT& rect);
// The same for a loaded bitmap.
BOOL DrawBitmapStretched(CDC* dc, CBitmap& bitmap, const RECT& rect);
