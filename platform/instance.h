// One running copy of the program per user. The first start holds a lock on
// a file, which the system frees when the process ends in any way (a crash
// leaves no stale lock), and listens on a local socket beside it; a later
// start finds the lock taken and may ask the first, over that socket, to
// come to the front.
#pragma once

#include <functional>
#include <memory>
#include <string>

class SingleInstance {
public:
    // The folder of the lock, the same for every start of the user whatever
    // its environment says ($HOME, $XDG_RUNTIME_DIR): the home folder of the
    // user's account when the lock "<name>" can be made there, else the
    // user's own runtime folder /run/user/<uid>; empty when neither serves.
    // The folder set by SetLockFolderForTests instead, while set.
    static std::string LockFolder(const std::string& name);
    // Tests and the scripted start: the folder LockFolder gives (empty: the
    // user's again).
    static void SetLockFolderForTests(const std::string& folder);

    // Takes the lock "<name>.lock" in folder when it is free (in the home
    // folder the files are hidden: ".<name>.lock"). Where no lock can be
    // made it says so on stderr.
    SingleInstance(const std::string& folder, const std::string& name);
    // Frees the lock and stops listening.
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another process holds the lock. A folder where no lock
    // can be made does not keep the program from running: true then.
    bool IsFirst() const;
    // First copy: onRaise runs on the UI thread each time a later start asks.
    // False when the socket could not be made (nobody can ask then); what
    // lies at its path and is not a socket stays.
    bool ListenForRaise(std::function<void()> onRaise);
    // Later copy: asks the first to come to the front; false when it could
    // not be reached. Never waits on the first.
    bool AskFirstToRaise() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
