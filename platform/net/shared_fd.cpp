#include "platform/net/shared_fd.h"

#include <sys/socket.h>
#include <unistd.h>

SharedFd::Use::Use(SharedFd& owner) : m_owner(owner)
{
    // Counted before the descriptor is read: Close, which takes it away
    // before reading the count, either is seen here or sees this call.
    m_owner.m_users.fetch_add(1);
    m_fd = m_owner.m_fd.load();
}

SharedFd::Use::~Use() { m_owner.Leave(); }

void SharedFd::Leave()
{
    if (m_users.fetch_sub(1) == 1) m_users.notify_all();
}

bool SharedFd::Publish(int fd)
{
    std::lock_guard<std::mutex> lock(m_lifecycle);
    if (m_fd.load() >= 0) return false;
    m_down.store(false);
    m_fd.store(fd);
    return true;
}

void SharedFd::Shutdown()
{
    Use use(*this);
    if (!use) return;
    m_down.store(true);
    ::shutdown(use.Fd(), SHUT_RDWR);
}

bool SharedFd::Close()
{
    std::lock_guard<std::mutex> lock(m_lifecycle);
    const int fd = m_fd.exchange(-1);
    if (fd < 0) return false;
    m_down.store(true);
    ::shutdown(fd, SHUT_RDWR);
    for (int n = m_users.load(); n != 0; n = m_users.load()) m_users.wait(n);
    ::close(fd);
    return true;
}
