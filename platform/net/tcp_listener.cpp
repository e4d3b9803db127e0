#include "platform/net/tcp_listener.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>

#include "platform/net/ipv4.h"
#include "platform/net/socket_wait.h"
#include "platform/net/tcp_socket.h"

namespace {

constexpr int kBacklog = 4;

}  // namespace

NetStatus TcpListener::Listen(std::string_view address, uint16_t port)
{
    const auto ip = ParseIpv4(address);
    if (!ip) return NetStatus::kInvalidAddress;
    if (*ip != kIpv4Loopback) return NetStatus::kAddressNotAllowed;
    if (m_fd.IsOpen()) return NetStatus::kAlreadyOpen;

    // Non-blocking, so that an accept after a ready poll never waits.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return NetStatusFromErrno(errno);
    const int on = 1;
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    at.sin_addr.s_addr = htonl(*ip);
    socklen_t len = sizeof at;
    if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0 || ::listen(fd, kBacklog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &len) != 0) {
        const NetStatus why = NetStatusFromErrno(errno);
        ::close(fd);
        return why;
    }
    const uint16_t bound = ntohs(at.sin_port);
    if (!m_fd.Publish(fd)) {
        ::close(fd);
        return NetStatus::kAlreadyOpen;
    }
    m_port.store(bound);
    return NetStatus::kOk;
}

NetStatus TcpListener::Accept(TcpSocket& peer, int timeoutMs)
{
    SharedFd::Use use(m_fd);
    if (!use) return NetStatus::kNotOpen;
    if (peer.IsOpen()) return NetStatus::kAlreadyOpen;
    const Deadline deadline(timeoutMs);
    for (;;) {
        if (m_fd.IsDown(use.Fd())) return NetStatus::kShutdown;
        const NetStatus ready = WaitReady(use.Fd(), false, deadline);
        if (ready != NetStatus::kOk) return m_fd.IsDown(use.Fd()) ? NetStatus::kShutdown : ready;
        const int fd = ::accept4(use.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            // A connection reset before it was taken leaves nothing to take.
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED) {
                if (deadline.Passed()) return NetStatus::kTimeout;
                continue;
            }
            return m_fd.IsDown(use.Fd()) ? NetStatus::kShutdown : NetStatusFromErrno(errno);
        }
        return peer.Adopt(fd);
    }
}

bool TcpListener::Close()
{
    m_port.store(0);
    return m_fd.Close();
}
