#include "platform/net/tcp_socket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <climits>

#include "platform/net/ipv4.h"
#include "platform/net/socket_wait.h"

namespace {

int Fail(NetStatus* status, NetStatus why)
{
    if (status) *status = why;
    return -1;
}

NetStatus ConnectStatus(int err) { return err == ETIMEDOUT ? NetStatus::kTimeout : NetStatusFromErrno(err); }

// Waits for a non-blocking connect to finish.
NetStatus FinishConnect(int fd, int timeoutMs)
{
    const NetStatus ready = WaitReady(fd, true, Deadline(timeoutMs));
    if (ready != NetStatus::kOk) return ready;
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return NetStatusFromErrno(errno);
    return ConnectStatus(err);
}

// A connect to a free local port in the ephemeral range can meet itself
// (the system picks that very port as the source): nobody listens there.
bool ConnectedToSelf(int fd)
{
    sockaddr_in self{};
    sockaddr_in peer{};
    socklen_t selfLen = sizeof self;
    socklen_t peerLen = sizeof peer;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&self), &selfLen) != 0) return false;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0) return false;
    return self.sin_port == peer.sin_port && self.sin_addr.s_addr == peer.sin_addr.s_addr;
}

// Back to blocking mode, with Nagle's delay off.
NetStatus MakeStream(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return NetStatusFromErrno(errno);
    const int on = 1;
    if (::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0) return NetStatusFromErrno(errno);
    return NetStatus::kOk;
}

}  // namespace

NetStatus TcpSocket::Connect(std::string_view address, uint16_t port, int timeoutMs)
{
    const auto ip = ParseIpv4(address);
    if (!ip) return NetStatus::kInvalidAddress;
    if (port == 0) return NetStatus::kInvalidArgument;
    if (m_fd.IsOpen()) return NetStatus::kAlreadyOpen;

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return NetStatusFromErrno(errno);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(*ip);
    NetStatus status = NetStatus::kOk;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        // EINTR leaves the connect going on, as EINPROGRESS does.
        if (errno == EINPROGRESS || errno == EINTR) status = FinishConnect(fd, timeoutMs);
        else status = ConnectStatus(errno);
    }
    if (status == NetStatus::kOk && ConnectedToSelf(fd)) status = NetStatus::kRefused;
    if (status != NetStatus::kOk) {
        ::close(fd);
        return status;
    }
    return Adopt(fd);
}

NetStatus TcpSocket::Adopt(int fd)
{
    NetStatus status = MakeStream(fd);
    if (status == NetStatus::kOk && !m_fd.Publish(fd)) status = NetStatus::kAlreadyOpen;
    if (status != NetStatus::kOk) ::close(fd);
    return status;
}

int TcpSocket::Send(const void* data, size_t len, NetStatus* status)
{
    SharedFd::Use use(m_fd);
    if (!use) return Fail(status, NetStatus::kNotOpen);
    if (len > static_cast<size_t>(INT_MAX)) return Fail(status, NetStatus::kInvalidArgument);
    if (m_fd.IsDown(use.Fd())) return Fail(status, NetStatus::kShutdown);
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t sent = 0;
    while (sent < len) {
        const ssize_t n = ::send(use.Fd(), bytes + sent, len - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        const NetStatus why = n == 0 ? NetStatus::kError : NetStatusFromErrno(errno);
        return Fail(status, m_fd.IsDown(use.Fd()) ? NetStatus::kShutdown : why);
    }
    if (status) *status = NetStatus::kOk;
    return static_cast<int>(len);
}

int TcpSocket::Receive(void* buffer, size_t len, int timeoutMs, NetStatus* status)
{
    SharedFd::Use use(m_fd);
    if (!use) return Fail(status, NetStatus::kNotOpen);
    if (len == 0) return Fail(status, NetStatus::kInvalidArgument);
    if (len > static_cast<size_t>(INT_MAX)) len = static_cast<size_t>(INT_MAX);
    const Deadline deadline(timeoutMs);
    for (;;) {
        if (m_fd.IsDown(use.Fd())) return Fail(status, NetStatus::kShutdown);
        const NetStatus ready = WaitReady(use.Fd(), false, deadline);
        if (ready != NetStatus::kOk) {
            return Fail(status, m_fd.IsDown(use.Fd()) ? NetStatus::kShutdown : ready);
        }
        const ssize_t n = ::recv(use.Fd(), buffer, len, MSG_DONTWAIT);
        if (n > 0) {
            if (status) *status = NetStatus::kOk;
            return static_cast<int>(n);
        }
        if (n == 0) {
            if (m_fd.IsDown(use.Fd())) return Fail(status, NetStatus::kShutdown);
            if (status) *status = NetStatus::kClosed;
            return 0;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
            if (deadline.Passed()) return Fail(status, NetStatus::kTimeout);
            continue;
        }
        return Fail(status, m_fd.IsDown(use.Fd()) ? NetStatus::kShutdown : NetStatusFromErrno(errno));
    }
}
