#include "platform/net/socket_wait.h"

#include <poll.h>
#include <cerrno>

Deadline::Deadline(int timeoutMs)
    : m_bounded(timeoutMs >= 0),
      m_end(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs >= 0 ? timeoutMs : 0))
{}

int Deadline::RemainingMs() const
{
    if (!m_bounded) return -1;
    const auto left = m_end - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

NetStatus WaitReady(int fd, bool forWrite, const Deadline& deadline)
{
    for (;;) {
        pollfd p{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
        const int r = ::poll(&p, 1, deadline.RemainingMs());
        if (r > 0) return NetStatus::kOk;
        if (r == 0) return NetStatus::kTimeout;
        if (errno != EINTR) return NetStatusFromErrno(errno);
    }
}
