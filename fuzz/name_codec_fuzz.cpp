// Arbitrary 20-byte name records and typed names in both code pages: a
// decode never reads past the record, an encode never gives more than the
// bytes asked for and always whole characters, which decode back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/codepage.h"

uint16_t g_languageId = 0x0409;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (int codePage : {936, 1252}) {
        // A record exactly as long as the device's, in a buffer of its own
        // size: the sanitizer catches any read past it.
        const size_t n = size < 20 ? size : 20;
        std::unique_ptr<char[]> record(new char[n ? n : 1]);
        if (n) std::memcpy(record.get(), data, n);
        const std::wstring text = DecodeAnsi(record.get(), n, codePage);

        // The decoded text (and the raw bytes taken as characters) encode
        // to at most 20 bytes, cut on a whole character.
        std::wstring typed;
        for (size_t i = 0; i + 1 < size && i < 80; i += 2)
            typed.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
        for (const std::wstring& t : {text, typed}) {
            const std::string bytes = EncodeAnsi(t, 20, codePage);
            if (bytes.size() > 20) std::abort();
            const std::wstring back = DecodeAnsi(bytes.data(), bytes.size(), codePage);
            if (back.find(L'\xFFFD') != std::wstring::npos && t.find(L'\xFFFD') == std::wstring::npos) std::abort();
        }
    }
    return 0;
}
