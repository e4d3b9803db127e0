#include "platform/instance.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

struct SingleInstance::State {
    std::string socketPath;
    int lockFd = -1;
    bool first = true;
    int listenFd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    std::function<void()> onRaise;
};

namespace {

// The socket's address; false when the path does not fit one.
bool SocketAddress(const std::string& path, sockaddr_un* address)
{
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address->sun_path)) return false;
    std::memcpy(address->sun_path, path.data(), path.size());
    return true;
}

}  // namespace

std::string SingleInstance::RuntimeFolder()
{
    for (const char* var : {"XDG_RUNTIME_DIR", "HOME"}) {
        const char* v = std::getenv(var);
        if (v && *v) return v;
    }
    return {};
}

SingleInstance::SingleInstance(const std::string& folder, const std::string& name) : m_state(std::make_unique<State>())
{
    if (folder.empty()) return;
    const char* home = std::getenv("HOME");
    const std::string prefix = folder + "/" + (home && folder == home ? "." : "") + name;
    m_state->socketPath = prefix + ".socket";
    m_state->lockFd = ::open((prefix + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_state->lockFd < 0) return;
    // flock, not fcntl: a lock of an open file, which a second open in the
    // same process does not share.
    if (::flock(m_state->lockFd, LOCK_EX | LOCK_NB) != 0) {
        m_state->first = errno != EWOULDBLOCK;
        ::close(m_state->lockFd);
        m_state->lockFd = -1;
    }
}

SingleInstance::~SingleInstance()
{
    m_state->notifier.reset();
    if (m_state->listenFd >= 0) {
        ::close(m_state->listenFd);
        ::unlink(m_state->socketPath.c_str());
    }
    // The lock file stays: another start may have it open already.
    if (m_state->lockFd >= 0) ::close(m_state->lockFd);
}

bool SingleInstance::IsFirst() const { return m_state->first; }

bool SingleInstance::ListenForRaise(std::function<void()> onRaise)
{
    sockaddr_un address;
    if (m_state->lockFd < 0 || m_state->listenFd >= 0 || !SocketAddress(m_state->socketPath, &address)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    // A socket left by a copy that crashed: the lock says it is gone.
    ::unlink(m_state->socketPath.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return false;
    }
    ::chmod(m_state->socketPath.c_str(), 0600);
    m_state->listenFd = fd;
    m_state->onRaise = std::move(onRaise);
    m_state->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    State* state = m_state.get();
    QObject::connect(state->notifier.get(), &QSocketNotifier::activated, [state] {
        bool asked = false;
        for (int peer; (peer = ::accept4(state->listenFd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            ::close(peer);
            asked = true;
        }
        if (asked && state->onRaise) state->onRaise();
    });
    return true;
}

bool SingleInstance::AskFirstToRaise() const
{
    sockaddr_un address;
    if (m_state->first || !SocketAddress(m_state->socketPath, &address)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool reached = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return reached;
}
