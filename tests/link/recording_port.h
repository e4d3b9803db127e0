// A dialog port that records what the link asks of the main dialog. Send
// runs an optional handler on the calling thread and returns its result.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/dialog_port.h"

class RecordingPort final : public IDialogPort {
public:
    struct Message {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        bool sent;  // Send rather than Post
    };
    struct Box {
        std::wstring text;
        UINT postAfterOk;
    };

    using Handler = std::function<LRESULT(UINT, WPARAM, LPARAM)>;
    // What Send runs (on the sending thread) before it returns.
    void SetOnSend(Handler handler)
    {
        Locked([&] { m_onSend = std::move(handler); });
    }

    LRESULT Send(UINT msg, WPARAM w, LPARAM l) override
    {
        Record({msg, w, l, true});
        const Handler handler = Get(m_onSend);
        return handler ? handler(msg, w, l) : 0;
    }
    void Post(UINT msg, WPARAM w, LPARAM l) override { Record({msg, w, l, false}); }
    void SetDeviceStringLabel(const std::string& bytes) override
    {
        Locked([&] { labels.push_back(bytes); });
    }
    void ShowMessageOnUi(const std::wstring& text, UINT postAfterOk) override
    {
        Locked([&] { boxes.push_back({text, postAfterOk}); });
    }
    void ShowStringOnUi(int id) override
    {
        Locked([&] { stringBoxes.push_back(id); });
    }
    void HidDeviceRemoved() override
    {
        Locked([&] { ++removals; });
    }
    void ReleaseSenders() override {}

    // Copies under the lock.
    std::vector<Message> Messages() const { return Get(messages); }
    std::vector<std::string> Labels() const { return Get(labels); }
    std::vector<Box> Boxes() const { return Get(boxes); }
    std::vector<int> StringBoxes() const { return Get(stringBoxes); }
    int Removals() const { return Get(removals); }
    int Count(UINT msg) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        int n = 0;
        for (const Message& m : messages) n += m.msg == msg;
        return n;
    }
    // Waits until pred() holds (checked after every record) or a generous
    // limit passes; returns pred().
    bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!pred()) {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_cv.wait_until(lock, std::min(end, std::chrono::steady_clock::now() + std::chrono::milliseconds(5))) ==
                    std::cv_status::timeout &&
                std::chrono::steady_clock::now() >= end)
                break;
        }
        return pred();
    }

private:
    template <class F>
    void Locked(F&& f)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            f();
        }
        m_cv.notify_all();
    }
    void Record(const Message& m)
    {
        Locked([&] { messages.push_back(m); });
    }
    template <class T>
    T Get(const T& v) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return v;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    Handler m_onSend;
    std::vector<Message> messages;
    std::vector<std::string> labels;
    std::vector<Box> boxes;
    std::vector<int> stringBoxes;
    int removals = 0;
};
