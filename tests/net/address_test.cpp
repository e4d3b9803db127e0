#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/net/ipv4.h"
#include "platform/net/network_alive.h"

namespace {

struct ParseCase {
    std::string_view text;
    std::optional<uint32_t> expected;
};

TEST(ParseIpv4, AcceptsDottedQuadsOnly)
{
    using namespace std::string_view_literals;
    // clang-format off
    const ParseCase cases[] = {
        {"127.0.0.1", 0x7F000001},
        {"0.0.0.0", 0x00000000},
        {"255.255.255.255", 0xFFFFFFFF},
        {"192.0.2.10", 0xC000020A},
        {"10.0.0.0", 0x0A000000},
        {"", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {"1.2.3.4.", std::nullopt},
        {".1.2.3", std::nullopt},
        {"1..2.3", std::nullopt},
        {"256.0.0.1", std::nullopt},
        {"1.2.3.256", std::nullopt},
        {"1234.1.1.1", std::nullopt},
        {"01.2.3.4", std::nullopt},  // octal to some parsers
        {"1.2.3.00", std::nullopt},
        {"0x7f.0.0.1", std::nullopt},
        {"1.2.3.-4", std::nullopt},
        {"+1.2.3.4", std::nullopt},
        {" 1.2.3.4", std::nullopt},
        {"1.2.3.4 ", std::nullopt},
        {"1.2.3.4\n", std::nullopt},
        {"localhost", std::nullopt},
        {"127.0.0.1\0"sv, std::nullopt},
        {"127.0.0.1:6000", std::nullopt},
    };
    // clang-format on
    for (const ParseCase& c : cases) {
        EXPECT_EQ(ParseIpv4(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(ParseIpv4, LoopbackRange)
{
    EXPECT_TRUE(IsLoopbackIpv4(*ParseIpv4("127.0.0.1")));
    EXPECT_TRUE(IsLoopbackIpv4(*ParseIpv4("127.255.0.9")));
    EXPECT_FALSE(IsLoopbackIpv4(*ParseIpv4("128.0.0.1")));
    EXPECT_FALSE(IsLoopbackIpv4(*ParseIpv4("126.255.255.255")));
}

constexpr uint32_t kLo = 0x7F000001;
constexpr uint32_t kLan = 0xC0000202;     // 192.0.2.2
constexpr uint32_t kDevice = 0xC000020A;  // 192.0.2.10

struct ReachCase {
    const char* name;
    std::vector<NetInterfaceInfo> interfaces;
    uint32_t device;
    bool expected;
};

TEST(CanReachDevice, NeedsAnUpAndRunningInterfaceOfTheRightKind)
{
    const NetInterfaceInfo lo{kLo, true, true, true};
    const NetInterfaceInfo lan{kLan, true, true, false};
    const NetInterfaceInfo lanDown{kLan, false, true, false};
    const NetInterfaceInfo lanNoCarrier{kLan, true, false, false};
    const NetInterfaceInfo loDown{kLo, false, false, true};
    const NetInterfaceInfo loByAddressOnly{0x7F000002, true, true, false};
    // clang-format off
    const ReachCase cases[] = {
        {"no interfaces", {}, kDevice, false},
        {"loopback device over lo", {lo}, kLo, true},
        {"loopback device, lo down", {loDown, lan}, kLo, false},
        {"loopback device, only a LAN interface", {lan}, kLo, false},
        {"LAN device, only lo", {lo}, kDevice, false},
        {"LAN device over a LAN interface", {lo, lan}, kDevice, true},
        {"LAN interface administratively down", {lo, lanDown}, kDevice, false},
        {"LAN interface without carrier", {lo, lanNoCarrier}, kDevice, false},
        {"one good interface among bad ones", {lanDown, lanNoCarrier, lan}, kDevice, true},
        {"127/8 address counts as loopback", {loByAddressOnly}, kLo, true},
        {"127/8 address is no LAN interface", {loByAddressOnly}, kDevice, false},
    };
    // clang-format on
    for (const ReachCase& c : cases) {
        EXPECT_EQ(CanReachDevice(c.interfaces, c.device), c.expected) << c.name;
    }
}

TEST(IsNetworkAlive, LoopbackIsUpAndBadTextIsNot)
{
    EXPECT_TRUE(IsNetworkAlive("127.0.0.1"));
    EXPECT_FALSE(IsNetworkAlive("127.0.0"));
    EXPECT_FALSE(IsNetworkAlive(""));
}

TEST(ListIpv4Interfaces, HoldsTheLoopbackInterfaceUpAndRunning)
{
    const std::vector<NetInterfaceInfo> list = ListIpv4Interfaces();
    const auto lo =
        std::find_if(list.begin(), list.end(), [](const NetInterfaceInfo& i) { return i.address == kIpv4Loopback; });
    ASSERT_NE(lo, list.end());
    EXPECT_TRUE(lo->loopback);
    EXPECT_TRUE(lo->up);
    EXPECT_TRUE(lo->running);
}

}  // namespace
