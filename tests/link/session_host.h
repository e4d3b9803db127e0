// A stand-in for the main dialog in link sessions: a UI loop on the calling
// thread with window timers, the link's dialog port, the synchronisation
// timers and the image decoders over a window-less model view. The
// progress dialog runs as a nested loop, as the real one does.
// No test framework here: the session benchmark uses it too.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "link/dialog_port.h"
#include "link/image_decode.h"
#include "link/image_lock.h"
#include "link/link_messages.h"
#include "link/sync_timers.h"
#include "link/ui_port.h"
#include "model/device_state.h"
#include "model/eq_images.h"
#include "model/model_view.h"
#include "model/params.h"
#include "tests/support/store_view.h"

namespace session {

// The controls the decoders write, without windows.
using View = StoreView;

class Dialog final : public ISyncHost, public IDialogTarget {
public:
    using Clock = std::chrono::steady_clock;

    // Construct on the thread that runs the loop; installs the dialog port.
    Dialog() : port(*this, [this](std::function<void()> task) { Enqueue(std::move(task)); }) { SetDialogPort(&port); }
    ~Dialog() { SetDialogPort(nullptr); }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The TCP link's state (CTcpLink::GetState); none when unset.
    std::function<int()> tcpState;
    // Runs after every EqUser2 decode (on the UI thread).
    std::function<void()> onRoutingDecoded;
    // Stands in for the progress dialog's loop when set.
    std::function<void()> modalBody;
    // Runs for every other message the link sends or posts (on the UI thread).
    std::function<void(UINT)> onMessage;
    // Runs while a string box shows (a box is modal: a nested loop).
    std::function<void()> boxBody;

    // Runs the loop until pred holds or limit passes; returns pred().
    bool RunUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        const auto end = Clock::now() + limit;
        while (!pred() && Clock::now() < end) PumpOnce();
        return pred();
    }
    void RunFor(std::chrono::milliseconds span)
    {
        RunUntil([] { return false; }, span);
    }
    // Runs until `count` more ticks of the timer id have been handled.
    bool RunTicks(UINT_PTR id, int count, std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        const int until = ticks[id] + count;
        return RunUntil([&] { return ticks[id] >= until; }, limit);
    }

    bool TimerActive(UINT_PTR id) const { return m_timers.count(id) != 0; }

    // ISyncHost
    void SetTimer(UINT_PTR id, UINT elapseMs) override
    {
        m_timers[id] = {std::chrono::milliseconds(elapseMs), Clock::now() + std::chrono::milliseconds(elapseMs)};
    }
    void KillTimer(UINT_PTR id) override { m_timers.erase(id); }
    int TcpLinkState() const override { return tcpState ? tcpState() : 0; }
    void RunProgressModal() override
    {
        ++modalsOpened;
        ++m_modalDepth;
        maxModalDepth = std::max(maxModalDepth, m_modalDepth);
        if (modalBody) {
            modalBody();
            --m_modalDepth;
            ++modalsClosed;
            return;
        }
        // The dialog looks at the progress on its own 50 ms timer.
        const auto end = Clock::now() + std::chrono::seconds(60);
        auto check = Clock::now() + std::chrono::milliseconds(50);
        while (Clock::now() < end) {
            PumpOnce();
            if (Clock::now() < check) continue;
            check += std::chrono::milliseconds(50);
            if (g_progressPermille.load() >= 1000) break;
        }
        --m_modalDepth;
        ++modalsClosed;
    }
    void ShowStringBox(int stringId) override
    {
        stringBoxes.push_back(stringId);
        if (boxBody) boxBody();
    }
    void PostToSelf(UINT msg, WPARAM, LPARAM) override { ++posted[msg]; }
    IDelayFields& DelayFields() override { return view.delays; }
    int VisibleChannels() const override { return 0; }
    void UpdateSaveModeLabel() override { ++labelUpdates; }
    void UpdateCurrentModeLabel() override { ++labelUpdates; }
    void UpdateSourceLabel() override { ++labelUpdates; }
    void RepaintSourceLabels() override { sourceRepaintSaw.push_back(g_lastInputSource); }
    void DrawWifiPic() override {}
    void DrawUsbPic() override { ++usbPictures; }

    // IDialogTarget
    LRESULT HandleMessage(UINT msg, WPARAM, LPARAM) override
    {
        ++messages[msg];
        if (msg == WM_LINK_CHANGED) {
            sync.OnLinkChange();
        } else if (msg == WM_PARAM_IMAGE_RECEIVED) {
            sync.OnParamImageReceived(view);
        } else if (msg == WM_ROUTING_IMAGE_RECEIVED) {
            sync.OnRoutingImageReceived(view);
            if (onRoutingDecoded) onRoutingDecoded();
        } else if (onMessage) {
            onMessage(msg);
        }
        return 0;
    }
    void SetDeviceStringLabel(const std::string& bytes) override { labels.push_back(bytes); }
    void ShowMessageBox(const std::wstring& text) override { textBoxes.push_back(text); }
    void HidDeviceRemoved() override
    {
        ++removals;
        sync.OnLinkLost();
    }

    // One round of the loop: the timers that are due, then the queued
    // messages, then a short wait.
    void PumpOnce()
    {
        const auto now = Clock::now();
        std::vector<UINT_PTR> due;
        for (auto& [id, t] : m_timers)
            if (t.next <= now) due.push_back(id);
        for (UINT_PTR id : due) {
            auto it = m_timers.find(id);
            if (it == m_timers.end()) continue;  // killed by an earlier handler
            it->second.next = Clock::now() + it->second.period;
            ++ticks[id];
            sync.OnTimer(id);
        }
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard<std::mutex> lock(m_queueMutex);
            tasks.swap(m_queue);
        }
        for (auto& task : tasks) task();
        std::unique_lock<std::mutex> lock(m_queueMutex);
        m_queueCv.wait_for(lock, std::chrono::milliseconds(1), [&] { return !m_queue.empty(); });
    }

    View view;
    UiThreadPort port;
    SyncTimers sync{*this};

    // What the dialog was asked to do (UI thread only).
    std::map<UINT, int> messages;
    std::map<UINT, int> posted;
    std::map<UINT_PTR, int> ticks;
    std::vector<int> stringBoxes;
    std::vector<std::wstring> textBoxes;
    std::vector<std::string> labels;
    std::vector<int> sourceRepaintSaw;  // g_lastInputSource at each repaint
    int modalsOpened = 0;
    int modalsClosed = 0;
    int maxModalDepth = 0;
    int removals = 0;
    int labelUpdates = 0;
    int usbPictures = 0;

private:
    struct Timer {
        Clock::duration period;
        Clock::time_point next;
    };
    void Enqueue(std::function<void()> task)
    {
        {
            std::lock_guard<std::mutex> lock(m_queueMutex);
            m_queue.push_back(std::move(task));
        }
        m_queueCv.notify_all();
    }

    std::map<UINT_PTR, Timer> m_timers;
    int m_modalDepth = 0;
    std::mutex m_queueMutex;
    std::condition_variable m_queueCv;
    std::deque<std::function<void()>> m_queue;
};

}  // namespace session
