#include "platform/net/network_alive.h"

#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

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

namespace {

// The socket the interface ioctls go through, kept for the program's life:
// the keeper asks every few hundred milliseconds, and two ioctls on a kept
// socket cost a fraction of the netlink dumps of getifaddrs.
class QuerySocket {
public:
    QuerySocket() : m_fd(Kept()), m_own(m_fd < 0)
    {
        if (m_own) m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    }
    ~QuerySocket()
    {
        if (m_own && m_fd >= 0) close(m_fd);
    }
    QuerySocket(const QuerySocket&) = delete;
    QuerySocket& operator=(const QuerySocket&) = delete;
    int Fd() const { return m_fd; }

private:
    static int Kept()
    {
        static const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        return fd;
    }
    int m_fd;
    bool m_own;  // the kept one could not be made: this one is closed after use
};

}  // namespace

std::vector<NetInterfaceInfo> ListIpv4Interfaces()
{
    std::vector<NetInterfaceInfo> found;
    const QuerySocket query;
    const int fd = query.Fd();
    if (fd < 0) return found;
    std::vector<ifreq> requests;
    ifconf conf{};
    conf.ifc_req = nullptr;  // asks for the length the list needs
    int needed = ioctl(fd, SIOCGIFCONF, &conf) == 0 ? conf.ifc_len : 0;
    for (;;) {
        // Room for one more than asked: a full buffer may have cut the list.
        requests.assign(static_cast<size_t>(needed) / sizeof(ifreq) + 1, ifreq{});
        conf.ifc_len = static_cast<int>(requests.size() * sizeof(ifreq));
        conf.ifc_req = requests.data();
        if (ioctl(fd, SIOCGIFCONF, &conf) != 0) {
            requests.clear();
            break;
        }
        if (conf.ifc_len < static_cast<int>(requests.size() * sizeof(ifreq))) {
            requests.resize(static_cast<size_t>(conf.ifc_len) / sizeof(ifreq));
            break;
        }
        needed = conf.ifc_len * 2;
    }
    for (const ifreq& r : requests) {
        if (r.ifr_addr.sa_family != AF_INET) continue;
        ifreq flags{};
        std::memcpy(flags.ifr_name, r.ifr_name, sizeof(flags.ifr_name));
        if (ioctl(fd, SIOCGIFFLAGS, &flags) != 0) continue;  // gone meanwhile
        sockaddr_in in{};
        std::memcpy(&in, &r.ifr_addr, sizeof(in));
        NetInterfaceInfo info;
        info.address = ntohl(in.sin_addr.s_addr);
        info.up = (flags.ifr_flags & IFF_UP) != 0;
        info.running = (flags.ifr_flags & IFF_RUNNING) != 0;
        info.loopback = (flags.ifr_flags & IFF_LOOPBACK) != 0;
        found.push_back(info);
    }
    return found;
}

bool IsNetworkAlive(std::string_view deviceAddress)
{
    const auto device = ParseIpv4(deviceAddress);
    if (!device) return false;
    return CanReachDevice(ListIpv4Interfaces(), *device);
}
