// Worker threads and the layer's shutdown.
//
// A WorkerThread runs one function that is handed a StopToken; the function
// polls the token (or sleeps on it) and returns once a stop is asked for.
// The layer's shutdown (ShutdownPlatform, called when the main dialog closes)
// first marks shutdown, which makes every blocked and every later
// cross-thread ::SendMessage return 0 without running, then asks every
// worker to stop and joins them: no join can wait on a worker that waits on
// the UI.
#pragma once

#include <functional>
#include <memory>
#include <string>

class StopToken {
public:
    struct State;
    StopToken() = default;
    explicit StopToken(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    bool StopRequested() const;
    // Sleeps up to ms milliseconds, waking early when a stop is asked for;
    // false when a stop was asked for.
    bool SleepFor(int ms) const;

private:
    std::shared_ptr<State> m_state;
};

class WorkerThread {
public:
    WorkerThread();
    // Asks the thread to stop and joins it.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts body on a new thread; false when this object already runs one.
    bool Start(std::function<void(const StopToken&)> body, const std::string& name = {});
    void RequestStop();
    bool StopRequested() const;
    // Waits for the thread's end. On the UI thread, messages that workers
    // send to the UI meanwhile are run, so a worker blocked in
    // ::SendMessage cannot hold the join.
    void Join();
    bool Joinable() const;
    // True from Start until the body has returned.
    bool Running() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Marks shutdown: blocked and later cross-thread SendMessage calls return 0.
void BeginShutdown();
bool ShutdownBegun();
// BeginShutdown, then asks every worker thread to stop and joins them all.
void ShutdownPlatform();
// Clears the shutdown mark (tests run several "sessions" in one process).
void ResetShutdownForTests();

// Queues fn to run on the UI thread, after what waits there (first in,
// first out); false without a UI.
bool PostToUi(std::function<void()> fn);
