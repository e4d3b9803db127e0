// The files of res/, compiled into the library by the build (the table is
// generated from the folder's contents).
#pragma once

#include <cstddef>

struct EmbeddedResFile {
    const char* path;  // below res/, e.g. "dialogs/100.dlg"
    const unsigned char* data;
    std::size_t size;
};

extern const EmbeddedResFile kEmbeddedResFiles[];
extern const std::size_t kEmbeddedResFileCount;
