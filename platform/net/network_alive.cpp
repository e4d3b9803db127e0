#include "platform/net/network_alive.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "platform/net/ipv4.h"

bool CanReachDevice(const std::vector<NetInterfaceInfo>& interfaces, uint32_t deviceAddress)
{
    const bool wantLoopback = IsLoopbackIpv4(deviceAddress);
    for (const NetInterfaceInfo& i : interfaces) {
        if (!i.up || !i.running) continue;
        const bool loopback = i.loopback || IsLoopbackIpv4(i.address);
        if (loopback == wantLoopback) return true;
    }
    return false;
}

std::vector<NetInterfaceInfo> ListIpv4Interfaces()
{
    std::vector<NetInterfaceInfo> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (const ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
        if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        NetInterfaceInfo info;
        info.address = ntohl(in->sin_addr.s_addr);
        info.up = (a->ifa_flags & IFF_UP) != 0;
        info.running = (a->ifa_flags & IFF_RUNNING) != 0;
        info.loopback = (a->ifa_flags & IFF_LOOPBACK) != 0;
        found.push_back(info);
    }
    freeifaddrs(list);
    return found;
}

bool IsNetworkAlive(std::string_view deviceAddress)
{
    const auto device = ParseIpv4(deviceAddress);
    if (!device) return false;
    return CanReachDevice(ListIpv4Interfaces(), *device);
}
