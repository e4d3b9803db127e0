// An IDialogPort that hands every call to the UI thread through an executor
// (a function that queues a task to run later on the UI thread, in order).
// The main dialog supplies the target and the executor; this class does the
// waiting of Send and its release at shut-down.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "link/dialog_port.h"

// The main dialog's side, always called on the UI thread.
class IDialogTarget {
public:
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual void SetDeviceStringLabel(const std::string& bytes) = 0;
    // Modal boxes: return when the user has closed them.
    virtual void ShowMessageBox(const std::wstring& text) = 0;
    virtual void ShowStringBox(int stringId) = 0;
    virtual void HidDeviceRemoved() = 0;

protected:
    ~IDialogTarget() = default;
};

class UiThreadPort final : public IDialogPort {
public:
    using Executor = std::function<void(std::function<void()>)>;

    // Construct on the UI thread: a Send made on it calls the handler
    // directly instead of waiting for itself.
    UiThreadPort(IDialogTarget& target, Executor runOnUi);
    ~UiThreadPort() override;
    UiThreadPort(const UiThreadPort&) = delete;
    UiThreadPort& operator=(const UiThreadPort&) = delete;

    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Post(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetDeviceStringLabel(const std::string& bytes) override;
    // A box that is queued or showing is not queued again: repeats while
    // it is up are absorbed.
    void ShowMessageOnUi(const std::wstring& text, UINT postAfterOk) override;
    void ShowStringOnUi(int stringId) override;
    void HidDeviceRemoved() override;
    // Also drops every task not yet run: the target is not called again.
    void ReleaseSenders() override;

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable cv;
        bool released = false;
        std::set<std::wstring> boxes;  // queued or showing, by text or string id
    };
    // Claims the box; false when it is queued or showing already.
    bool ClaimBox(const std::wstring& key);
    // Queues fn(target) unless released by the time it runs.
    void RunLater(std::function<void(IDialogTarget&)> fn);

    IDialogTarget& m_target;
    Executor m_runOnUi;
    std::thread::id m_uiThread;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};
