#include "platform/net/ipv4.h"

std::optional<uint32_t> ParseIpv4(std::string_view text)
{
    uint32_t address = 0;
    size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.') return std::nullopt;
            ++pos;
        }
        const size_t start = pos;
        uint32_t value = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 3) {
            value = value * 10 + static_cast<uint32_t>(text[pos] - '0');
            ++pos;
        }
        const size_t digits = pos - start;
        if (digits == 0 || value > 255) return std::nullopt;
        if (digits > 1 && text[start] == '0') return std::nullopt;
        address = (address << 8) | value;
    }
    if (pos != text.size()) return std::nullopt;
    return address;
}
