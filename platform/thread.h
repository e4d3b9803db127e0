// Worker threads, and their one way to the UI thread (PostToUi).
//
// A WorkerThread runs one function that is handed a StopToken; the function
// polls the token (or sleeps on it) and returns once a stop is asked for.
// A worker reaches the UI only by queueing a function with PostToUi; one that
// must wait for the UI's answer goes through the link's UiThreadPort, whose
// ReleaseSenders frees it before its thread is joined.
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
    // Waits for the thread's end (nothing runs on the calling thread
    // meanwhile).
    void Join();
    bool Joinable() const;
    // True from Start until the body has returned.
    bool Running() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Asks every WorkerThread that exists to stop, then joins them all. The
// program does not call it: the main dialog stops its link (MainLink::Stop)
// and the scripted start its own threads.
void ShutdownPlatform();

// Queues fn to run on the UI thread, after what waits there (first in,
// first out); false without a UI.
bool PostToUi(std::function<void()> fn);
