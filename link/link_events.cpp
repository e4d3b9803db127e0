#include "link/link_events.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "link/dialog_port.h"
#include "link/link_messages.h"

namespace {

std::mutex g_mutex;
std::condition_variable_any g_cv;
uint64_t g_changes = 0;
std::atomic<uint64_t> g_connections{0};
std::atomic<bool> g_posted{false};

}  // namespace

void NotifyLinkChange()
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        ++g_changes;
    }
    g_cv.notify_all();
    if (!g_posted.exchange(true)) DialogPort().Post(WM_LINK_CHANGED, 0, 0);
}

void CountLinkConnection() { g_connections.fetch_add(1); }

uint64_t LinkConnections() { return g_connections.load(); }

uint64_t LinkChanges()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_changes;
}

bool WaitForLinkChange(const std::stop_token& stop, uint64_t since, std::chrono::milliseconds longest)
{
    std::unique_lock<std::mutex> lock(g_mutex);
    return g_cv.wait_for(lock, stop, longest, [&] { return g_changes != since; });
}

void LinkChangeTaken() { g_posted.store(false); }
