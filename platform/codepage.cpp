#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "platform/resources.h"

namespace {

const char* CharsetOf(int codePage) { return codePage == 936 ? "GBK" : "CP1252"; }

// One iconv descriptor for one call.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (Ok()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // Converts in..in+n whole; false when the input is not one whole
    // sequence or the output does not fit outMax.
    bool Convert(const char* in, size_t n, std::string& out, size_t outMax)
    {
        std::vector<char> buffer(outMax + 1);
        char* src = const_cast<char*>(in);
        size_t left = n;
        char* dst = buffer.data();
        size_t room = buffer.size();
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &src, &left, &dst, &room) == static_cast<size_t>(-1)) return false;
        if (iconv(m_cd, nullptr, nullptr, &dst, &room) == static_cast<size_t>(-1)) return false;
        out.assign(buffer.data(), static_cast<size_t>(dst - buffer.data()));
        return out.size() <= outMax;
    }

private:
    iconv_t m_cd;
};

std::string CodePointToUtf32(char32_t c) { return std::string(reinterpret_cast<const char*>(&c), sizeof c); }

}  // namespace

int SystemAnsiCodePage() { return (g_languageId & 0x3FF) == 0x04 ? 936 : 1252; }

std::string EncodeAnsi(const std::wstring& text, size_t maxBytes)
{
    return EncodeAnsi(text, maxBytes, SystemAnsiCodePage());
}

std::string EncodeAnsi(const std::wstring& text, size_t maxBytes, int codePage)
{
    Converter cd(CharsetOf(codePage), "UTF-32LE");
    std::string out;
    if (!cd.Ok()) return out;
    for (wchar_t w : text) {
        // One character at a time, so the cut falls between whole characters.
        const std::string in = CodePointToUtf32(static_cast<char32_t>(w));
        std::string bytes;
        if (!cd.Convert(in.data(), in.size(), bytes, 4) || bytes.empty()) bytes = "?";
        if (out.size() + bytes.size() > maxBytes) break;
        out += bytes;
    }
    return out;
}

std::wstring DecodeAnsi(const char* bytes, size_t n) { return DecodeAnsi(bytes, n, SystemAnsiCodePage()); }

std::wstring DecodeAnsi(const char* bytes, size_t n, int codePage)
{
    size_t len = 0;
    while (len < n && bytes[len] != 0) ++len;
    std::wstring out;
    if (len == 0) return out;
    iconv_t cd = iconv_open("UTF-32LE", CharsetOf(codePage));
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    char* src = const_cast<char*>(bytes);
    size_t left = len;
    while (left > 0) {
        char32_t c[8];
        char* dst = reinterpret_cast<char*>(c);
        size_t room = sizeof c;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        const size_t got = (sizeof c - room) / sizeof(char32_t);
        for (size_t i = 0; i < got; ++i) out.push_back(static_cast<wchar_t>(c[i]));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or cut sequence: one replacement, one byte skipped.
            out.push_back(L'\xFFFD');
            ++src;
            --left;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

std::string WideToUtf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t w : text) {
        const auto c = static_cast<uint32_t>(w);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::wstring Utf8ToWide(const std::string& text)
{
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80           ? 0
                          : (lead >> 5) == 0x6  ? 1
                          : (lead >> 4) == 0xE  ? 2
                          : (lead >> 3) == 0x1E ? 3
                                                : -1;
        uint32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        bool ok = extra >= 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= text.size()) {
                ok = false;
                break;
            }
            const auto b = static_cast<unsigned char>(text[i + k]);
            ok = (b & 0xC0) == 0x80;
            c = (c << 6) | (b & 0x3F);
        }
        if (!ok) {
            out.push_back(L'\xFFFD');
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(c));
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}
