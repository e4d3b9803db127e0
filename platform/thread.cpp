#include "platform/thread.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

struct StopToken::State {
    std::mutex mutex;
    std::condition_variable cv;
    bool stop = false;
};

bool StopToken::StopRequested() const
{
    if (!m_state) return false;
    std::lock_guard lock(m_state->mutex);
    return m_state->stop;
}

bool StopToken::SleepFor(int ms) const
{
    if (!m_state) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return true;
    }
    std::unique_lock lock(m_state->mutex);
    return !m_state->cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_state->stop; });
}

struct WorkerThread::Impl {
    std::shared_ptr<StopToken::State> state = std::make_shared<StopToken::State>();
    std::thread thread;
    std::atomic<bool> running{false};
};

namespace {

std::mutex g_threadsMutex;
std::vector<WorkerThread*> g_threads;

}  // namespace

WorkerThread::WorkerThread() : m_impl(std::make_unique<Impl>())
{
    std::lock_guard lock(g_threadsMutex);
    g_threads.push_back(this);
}

WorkerThread::~WorkerThread()
{
    {
        std::lock_guard lock(g_threadsMutex);
        g_threads.erase(std::remove(g_threads.begin(), g_threads.end(), this), g_threads.end());
    }
    RequestStop();
    Join();
}

bool WorkerThread::Start(std::function<void(const StopToken&)> body, const std::string& name)
{
    if (m_impl->thread.joinable()) return false;
    {
        std::lock_guard lock(m_impl->state->mutex);
        m_impl->state->stop = false;
    }
    m_impl->running = true;
    Impl* impl = m_impl.get();
    StopToken token(impl->state);
    impl->thread = std::thread([impl, token, body = std::move(body), name] {
        if (!name.empty()) pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
        body(token);
        impl->running = false;
    });
    return true;
}

void WorkerThread::RequestStop()
{
    {
        std::lock_guard lock(m_impl->state->mutex);
        m_impl->state->stop = true;
    }
    m_impl->state->cv.notify_all();
}

bool WorkerThread::StopRequested() const
{
    std::lock_guard lock(m_impl->state->mutex);
    return m_impl->state->stop;
}

void WorkerThread::Join()
{
    if (!m_impl->thread.joinable()) return;
    if (m_impl->thread.get_id() == std::this_thread::get_id()) return;
    m_impl->thread.join();
}

bool WorkerThread::Joinable() const { return m_impl->thread.joinable(); }

bool WorkerThread::Running() const { return m_impl->running.load(); }

void ShutdownPlatform()
{
    std::vector<WorkerThread*> threads;
    {
        std::lock_guard lock(g_threadsMutex);
        threads = g_threads;
    }
    for (WorkerThread* t : threads) t->RequestStop();
    for (WorkerThread* t : threads) t->Join();
}
