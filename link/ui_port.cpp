#include "link/ui_port.h"

UiThreadPort::UiThreadPort(IDialogTarget& target, Executor runOnUi)
    : m_target(target), m_runOnUi(std::move(runOnUi)), m_uiThread(std::this_thread::get_id())
{}

UiThreadPort::~UiThreadPort() { ReleaseSenders(); }

void UiThreadPort::RunLater(std::function<void(IDialogTarget&)> fn)
{
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (m_shared->released) return;
    }
    m_runOnUi([shared = m_shared, target = &m_target, fn = std::move(fn)] {
        {
            std::lock_guard<std::mutex> lock(shared->mutex);
            if (shared->released) return;
        }
        fn(*target);
    });
}

LRESULT UiThreadPort::Send(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (std::this_thread::get_id() == m_uiThread) {
        {
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            if (m_shared->released) return 0;
        }
        return m_target.HandleMessage(msg, wParam, lParam);
    }

    struct Call {
        bool done = false;
        LRESULT result = 0;
    };
    auto call = std::make_shared<Call>();
    std::shared_ptr<Shared> shared = m_shared;
    RunLater([shared, call, msg, wParam, lParam](IDialogTarget& target) {
        const LRESULT result = target.HandleMessage(msg, wParam, lParam);
        std::lock_guard<std::mutex> lock(shared->mutex);
        call->result = result;
        call->done = true;
        shared->cv.notify_all();
    });
    std::unique_lock<std::mutex> lock(shared->mutex);
    shared->cv.wait(lock, [&] { return call->done || shared->released; });
    return call->done ? call->result : 0;
}

void UiThreadPort::Post(UINT msg, WPARAM wParam, LPARAM lParam)
{
    RunLater([msg, wParam, lParam](IDialogTarget& target) { target.HandleMessage(msg, wParam, lParam); });
}

void UiThreadPort::SetDeviceStringLabel(const std::string& bytes)
{
    RunLater([bytes](IDialogTarget& target) { target.SetDeviceStringLabel(bytes); });
}

bool UiThreadPort::ClaimBox(const std::wstring& key)
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return !m_shared->released && m_shared->boxes.insert(key).second;
}

void UiThreadPort::ShowMessageOnUi(const std::wstring& text, UINT postAfterOk)
{
    const std::wstring key = L"text:" + text;
    if (!ClaimBox(key)) return;
    RunLater([shared = m_shared, text, key, postAfterOk](IDialogTarget& target) {
        target.ShowMessageBox(text);
        {
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->boxes.erase(key);
            if (postAfterOk == 0 || shared->released) return;
        }
        target.HandleMessage(postAfterOk, 0, 0);  // already on the UI thread, after the box
    });
}

void UiThreadPort::ShowStringOnUi(int stringId)
{
    const std::wstring key = L"string:" + std::to_wstring(stringId);
    if (!ClaimBox(key)) return;
    RunLater([shared = m_shared, stringId, key](IDialogTarget& target) {
        target.ShowStringBox(stringId);
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->boxes.erase(key);
    });
}

void UiThreadPort::HidDeviceRemoved()
{
    RunLater([](IDialogTarget& target) { target.HidDeviceRemoved(); });
}

void UiThreadPort::ReleaseSenders()
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->released = true;
    m_shared->cv.notify_all();
}
