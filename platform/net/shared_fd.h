// A socket descriptor that several threads use at once. Close closes it
// exactly once: it takes the descriptor out of reach, shuts the socket down
// to wake every call blocked on it, waits for those calls to leave and only
// then closes, so no call ever reaches a descriptor number the system has
// handed out again.
#pragma once

#include <atomic>
#include <mutex>

class SharedFd {
public:
    SharedFd() = default;
    ~SharedFd() { Close(); }
    SharedFd(const SharedFd&) = delete;
    SharedFd& operator=(const SharedFd&) = delete;

    // Holds the descriptor for the length of one call; false when none is open.
    class Use {
    public:
        explicit Use(SharedFd& owner);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        explicit operator bool() const { return m_fd >= 0; }
        int Fd() const { return m_fd; }

    private:
        SharedFd& m_owner;
        int m_fd;
    };

    // Takes ownership of fd; false (fd left to the caller) while one is held.
    bool Publish(int fd);
    bool IsOpen() const { return m_fd.load() >= 0; }
    // True once Shutdown or Close has been called on this descriptor: a call
    // that fails then was ended by this side.
    bool IsDown(int fd) const { return m_down.load() || m_fd.load() != fd; }
    // Shuts the socket down both ways; the descriptor stays held.
    void Shutdown();
    // True for the one call that closed the descriptor.
    bool Close();

private:
    void Leave();

    std::atomic<int> m_fd{-1};
    std::atomic<int> m_users{0};
    std::atomic<bool> m_down{false};
    std::mutex m_lifecycle;  // orders Publish against Close
};
