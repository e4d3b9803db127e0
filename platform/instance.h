// One running copy of the program per user. The first start holds a lock on
// a file in the runtime folder, which the system frees when the process ends
// in any way (a crash leaves no stale lock), and listens on a local socket
// beside it; a later start finds the lock taken and may ask the first, over
// that socket, to come to the front.
#pragma once

#include <functional>
#include <memory>
#include <string>

class SingleInstance {
public:
    // The folder of the lock: $XDG_RUNTIME_DIR, else the home folder; empty
    // when neither is known.
    static std::string RuntimeFolder();

    // Takes the lock "<name>.lock" in folder when it is free (in the home
    // folder the files are hidden: ".<name>.lock").
    SingleInstance(const std::string& folder, const std::string& name);
    // Frees the lock and stops listening.
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another process holds the lock. A folder where no lock
    // can be made does not keep the program from running: true then.
    bool IsFirst() const;
    // First copy: onRaise runs on the UI thread each time a later start asks.
    // False when the socket could not be made (nobody can ask then).
    bool ListenForRaise(std::function<void()> onRaise);
    // Later copy: asks the first to come to the front; false when it could
    // not be reached. Never waits on the first.
    bool AskFirstToRaise() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
