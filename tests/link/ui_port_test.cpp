// The hand-over to the UI thread: Send waits for the handler and returns its
// result, boxes never hold the caller, and shut-down releases every waiter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <future>
#include <thread>

#include "link/link_messages.h"
#include "link/ui_port.h"

namespace {

// A UI thread with a task queue, and a target recording on it.
class FakeUi final : public IDialogTarget {
public:
    FakeUi()
    {
        m_thread = std::thread([this] { Run(); });
    }
    ~FakeUi()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    void Queue(std::function<void()> task)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_cv.notify_all();
    }
    // Runs fn on the UI thread and waits for it.
    void RunOnUi(std::function<void()> fn)
    {
        std::promise<void> done;
        Queue([&] {
            fn();
            done.set_value();
        });
        done.get_future().wait();
    }

    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM) override
    {
        EXPECT_EQ(std::this_thread::get_id(), m_thread.get_id());
        log.push_back("msg " + std::to_string(msg));
        return static_cast<LRESULT>(w * 2);
    }
    void SetDeviceStringLabel(const std::string& bytes) override { log.push_back("label " + bytes); }
    void ShowMessageBox(const std::wstring& text) override { log.push_back("box " + std::to_string(text.size())); }
    void ShowStringBox(int id) override { log.push_back("string " + std::to_string(id)); }
    void HidDeviceRemoved() override { log.push_back("removed"); }

    std::vector<std::string> log;  // UI thread only

private:
    void Run()
    {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_cv.wait(lock, [&] { return m_quit || !m_tasks.empty(); });
                if (m_tasks.empty()) return;
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_tasks;
    bool m_quit = false;
    std::thread m_thread;
};

TEST(UiThreadPort, CallsReachTheUiInOrderAndSendReturnsTheResult)
{
    FakeUi ui;
    std::unique_ptr<UiThreadPort> port;
    ui.RunOnUi(
        [&] { port = std::make_unique<UiThreadPort>(ui, [&](std::function<void()> t) { ui.Queue(std::move(t)); }); });

    port->SetDeviceStringLabel("8A6K");
    port->Post(WM_DEVICE_OPTION_CHANGED, 0, 0);
    port->ShowMessageOnUi(L"USBD_PID_FS", WM_CLOSE);
    port->ShowStringOnUi(136);
    port->HidDeviceRemoved();
    EXPECT_EQ(port->Send(WM_PARAM_IMAGE_RECEIVED, 21, 0), 42);
    // A Send made on the UI thread itself runs at once.
    LRESULT inline_result = 0;
    ui.RunOnUi([&] { inline_result = port->Send(WM_DEVICE_INFO_RECEIVED, 5, 0); });
    EXPECT_EQ(inline_result, 10);

    std::vector<std::string> log;
    ui.RunOnUi([&] { log = ui.log; });
    EXPECT_THAT(log, ::testing::ElementsAre("label 8A6K", "msg " + std::to_string(WM_DEVICE_OPTION_CHANGED), "box 11",
                                            "msg " + std::to_string(WM_CLOSE), "string 136", "removed",
                                            "msg " + std::to_string(WM_PARAM_IMAGE_RECEIVED),
                                            "msg " + std::to_string(WM_DEVICE_INFO_RECEIVED)));
    ui.RunOnUi([&] { port.reset(); });
}

TEST(UiThreadPort, ReleaseFreesWaitingSendersAndDropsWhatIsQueued)
{
    struct Target final : IDialogTarget {
        LRESULT HandleMessage(UINT, WPARAM, LPARAM) override { return ++calls; }
        void SetDeviceStringLabel(const std::string&) override { ++calls; }
        void ShowMessageBox(const std::wstring&) override { ++calls; }
        void ShowStringBox(int) override { ++calls; }
        void HidDeviceRemoved() override { ++calls; }
        int calls = 0;
    } target;
    std::mutex mutex;
    std::vector<std::function<void()>> held;  // a UI that is busy for ever
    UiThreadPort port(target, [&](std::function<void()> t) {
        std::lock_guard<std::mutex> lock(mutex);
        held.push_back(std::move(t));
    });

    std::atomic<int> returned{0};
    std::vector<std::thread> senders;
    for (int i = 0; i < 3; ++i)
        senders.emplace_back([&] { returned += port.Send(WM_PARAM_IMAGE_RECEIVED, 0, 0) == 0 ? 1 : 100; });
    port.Post(WM_CHANNEL_NAME_CHANGED, 1, 1);
    for (;;) {
        std::lock_guard<std::mutex> lock(mutex);
        if (held.size() == 4) break;
    }
    port.ReleaseSenders();
    for (auto& t : senders) t.join();
    EXPECT_EQ(returned.load(), 3);
    EXPECT_EQ(port.Send(WM_ROUTING_IMAGE_RECEIVED, 0, 0), 0);
    port.ShowStringOnUi(136);
    for (auto& task : held) task();
    EXPECT_EQ(target.calls, 0);
}

}  // namespace
