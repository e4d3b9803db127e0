// Arbitrary firmware files and names: the sum test agrees with a plain sum,
// a file under 2 bytes never passes, the chunk count covers the data
// exactly once, and only the known names pass.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/firmware_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FirmwareFileCheck check = CheckFirmwareFile(data, size);
    if (size < 2) {
        if (check != FirmwareFileCheck::kTooShort) std::abort();
    } else {
        uint8_t sum = 0;
        for (size_t i = 0; i + 1 < size; ++i) sum = static_cast<uint8_t>(sum + data[i]);
        const bool ok = sum == data[size - 1];
        if ((check == FirmwareFileCheck::kOk) != ok) std::abort();
    }
    for (uint64_t chunk : {56u, 512u}) {
        const uint64_t n = FirmwareChunkCount(size, chunk);
        if (size < 2 ? n != 0 : (n * chunk < size - 1 || (n - 1) * chunk >= size - 1)) std::abort();
    }

    // The bytes as a name: only a name of the table passes, for its model.
    std::wstring name;
    for (size_t i = 0; i < size && i < 64; ++i) name.push_back(static_cast<wchar_t>(data[i]));
    const int model = size > 0 ? data[0] % 10 : 0;
    const bool any = FirmwareNameAccepted(name, model, true);
    if (FirmwareNameAccepted(name, model, false) && !any) std::abort();
    if (any && (name.size() != 16 || name.compare(0, 7, L"system_") != 0)) std::abort();
    return 0;
}
