#include "model/firmware_file.h"

namespace {

struct ModelImage {
    int model;
    const wchar_t* name;
};
// clang-format off
constexpr ModelImage kImageNames[] = {
    {1, L"system_Halvo.img"}, {1, L"system_Berin.img"}, {2, L"system_Pelno.img"},
    {3, L"system_Okrit.img"}, {4, L"system_Yastu.img"}, {5, L"system_Wunra.img"},
    {6, L"system_Lupic.img"}, {7, L"system_Fenro.img"}, {8, L"system_Tamek.img"},
};
// clang-format on

}  // namespace

bool FirmwareNameAccepted(const std::wstring& fileName, int deviceModel, bool allowAny)
{
    for (const ModelImage& m : kImageNames) {
        if (fileName == m.name && (allowAny || m.model == deviceModel)) return true;
    }
    return false;
}

FirmwareFileCheck CheckFirmwareFile(const uint8_t* file, size_t size)
{
    if (size < 2) return FirmwareFileCheck::kTooShort;
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < size; ++i) sum = static_cast<uint8_t>(sum + file[i]);
    return sum == file[size - 1] ? FirmwareFileCheck::kOk : FirmwareFileCheck::kBadChecksum;
}

uint64_t FirmwareChunkCount(uint64_t fileSize, uint64_t chunkBytes)
{
    if (fileSize < 2 || chunkBytes == 0) return 0;
    return (fileSize - 1 + chunkBytes - 1) / chunkBytes;
}
