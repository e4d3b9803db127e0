#include "platform/instance.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

struct SingleInstance::State {
    std::string socketPath;
    dev_t socketDevice = 0;  // the socket this copy made, once it listens
    ino_t socketInode = 0;
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

// The home folder of the user's account (not $HOME, which a start may have
// changed); empty when the account has none.
std::string AccountHome()
{
    const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? static_cast<size_t>(hint) : 16384);
    passwd entry;
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
        return {};
    return found->pw_dir;
}

int OpenLock(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600); }

// True when a socket lies at path (never a file or folder put there).
bool IsSocketAt(const std::string& path, struct stat* st)
{
    return ::lstat(path.c_str(), st) == 0 && S_ISSOCK(st->st_mode);
}

std::string g_testLockFolder;  // SetLockFolderForTests

}  // namespace

std::string SingleInstance::LockFolder(const std::string& name)
{
    if (!g_testLockFolder.empty()) return g_testLockFolder;
    const std::string home = AccountHome();
    if (!home.empty()) {
        const int fd = OpenLock(home + "/." + name + ".lock");
        if (fd >= 0) {
            ::close(fd);
            return home;
        }
    }
    // A home that cannot be written: the runtime folder the system makes for
    // the user, at its fixed place, when only the user can write there.
    const std::string run = "/run/user/" + std::to_string(::getuid());
    struct stat st;
    if (::lstat(run.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0)
        return run;
    return {};
}

void SingleInstance::SetLockFolderForTests(const std::string& folder) { g_testLockFolder = folder; }

SingleInstance::SingleInstance(const std::string& folder, const std::string& name) : m_state(std::make_unique<State>())
{
    if (folder.empty()) {
        std::fprintf(stderr, "%s: no folder for the lock against a second copy; this copy runs without one\n",
                     name.c_str());
        return;
    }
    const std::string prefix = folder + "/" + (folder == AccountHome() ? "." : "") + name;
    m_state->socketPath = prefix + ".socket";
    m_state->lockFd = OpenLock(prefix + ".lock");
    if (m_state->lockFd < 0) {
        std::fprintf(stderr, "%s: no lock against a second copy (%s.lock: %s); this copy runs without one\n",
                     name.c_str(), prefix.c_str(), std::strerror(errno));
        return;
    }
    // flock, not fcntl: a lock of an open file, which a second open in the
    // same process does not share.
    if (::flock(m_state->lockFd, LOCK_EX | LOCK_NB) != 0) {
        m_state->first = errno != EWOULDBLOCK;
        if (m_state->first)
            std::fprintf(stderr, "%s: no lock against a second copy (%s.lock: %s); this copy runs without one\n",
                         name.c_str(), prefix.c_str(), std::strerror(errno));
        ::close(m_state->lockFd);
        m_state->lockFd = -1;
    }
}

SingleInstance::~SingleInstance()
{
    m_state->notifier.reset();
    if (m_state->listenFd >= 0) {
        ::close(m_state->listenFd);
        // Only the socket this copy made, never what was put in its place.
        struct stat st;
        if (IsSocketAt(m_state->socketPath, &st) && st.st_dev == m_state->socketDevice &&
            st.st_ino == m_state->socketInode)
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
    struct stat st;
    if (IsSocketAt(m_state->socketPath, &st)) ::unlink(m_state->socketPath.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return false;
    }
    const bool made = IsSocketAt(m_state->socketPath, &st);
    if (!made || ::listen(fd, 4) != 0) {
        ::close(fd);
        if (made) ::unlink(m_state->socketPath.c_str());
        return false;
    }
    m_state->socketDevice = st.st_dev;
    m_state->socketInode = st.st_ino;
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
