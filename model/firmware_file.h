// The firmware image file: its accepted names by device model and its
// checksum (the last byte is the 8-bit sum of all bytes before it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The bare file name (with extension, case-sensitive) is the image name of
// the device model, or, with allowAny, any of the known image names.
bool FirmwareNameAccepted(const std::wstring& fileName, int deviceModel, bool allowAny);

enum class FirmwareFileCheck {
    kOk,
    kTooShort,     // under 2 bytes: no data or no checksum
    kBadChecksum,  // the last byte is not the 8-bit sum of the others
};
FirmwareFileCheck CheckFirmwareFile(const uint8_t* file, size_t size);

// Chunks of chunkBytes that the image data of a file of fileSize bytes
// takes (0 for a file under 2 bytes).
uint64_t FirmwareChunkCount(uint64_t fileSize, uint64_t chunkBytes);
