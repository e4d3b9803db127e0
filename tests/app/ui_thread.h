// A script thread's hold on the UI thread: run there and wait, poll there,
// find the dialog on top. No test framework here: the benchmarks use it too.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "platform/platform.h"
#include "platform/testing/testing.h"

// Runs f on the UI thread and waits for it (from the script's thread).
inline bool OnUi(const std::function<void()>& f)
{
    auto done = std::make_shared<std::promise<void>>();
    auto fut = done->get_future();
    if (!PostToUi([f, done] {
            f();
            done->set_value();
        }))
        return false;
    return fut.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
}

// Polls pred on the UI thread every step until it holds; false after limit.
inline bool WaitOnUi(const std::function<bool()>& pred,
                     std::chrono::steady_clock::duration limit = std::chrono::seconds(10),
                     std::chrono::steady_clock::duration step = std::chrono::milliseconds(10))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        bool ok = false;
        if (!OnUi([&] { ok = pred(); })) return false;
        if (ok) return true;
        std::this_thread::sleep_for(step);
    }
    return false;
}

// The modal dialog on top once it is a Dialog; nullptr after about 5 s.
template <class Dialog>
Dialog* WaitForModal()
{
    for (int i = 0; i < 500; ++i) {
        Dialog* found = nullptr;
        OnUi([&] {
            HWND top = platform_testing::TopModalDialog();
            found = top ? dynamic_cast<Dialog*>(CWnd::FromHandle(top)) : nullptr;
        });
        if (found) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return nullptr;
}
