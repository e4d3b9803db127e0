// Waiting on one descriptor against a deadline, for the socket classes.
#pragma once

#include <chrono>

#include "platform/net/net_status.h"

class Deadline {
public:
    // Negative: no deadline.
    explicit Deadline(int timeoutMs);
    // Milliseconds left, rounded up, 0 once passed; -1 without a deadline.
    int RemainingMs() const;
    bool Passed() const { return RemainingMs() == 0; }

private:
    bool m_bounded;
    std::chrono::steady_clock::time_point m_end;
};

// Polls fd until it is readable (or writable) or the deadline passes,
// retrying on signals: kOk when ready (hang-up and errors count as ready, for
// the next call to report), kTimeout, or the status of a failed poll.
NetStatus WaitReady(int fd, bool forWrite, const Deadline& deadline);
