// Dotted IPv4 text. Addresses are held as 32-bit values in host byte order
// (127.0.0.1 is 0x7F000001).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Exactly four decimal parts 0..255 separated by dots, nothing else: no
// spaces, signs, empty parts or leading zeros (which some parsers read as
// octal).
std::optional<uint32_t> ParseIpv4(std::string_view text);

// True for 127.0.0.0/8.
constexpr bool IsLoopbackIpv4(uint32_t address) { return (address >> 24) == 127; }

constexpr uint32_t kIpv4Loopback = 0x7F000001;
