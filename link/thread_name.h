// Link threads named as the system shows them (ps -L, /proc/PID/task/*/comm).
#pragma once

#include <pthread.h>

#include <stop_token>
#include <thread>
#include <utility>

// At most 15 characters.
inline void NameThisThread(const char* name) { pthread_setname_np(pthread_self(), name); }

// A thread named `name` that runs loop(stop).
template <class Loop>
std::jthread StartNamedThread(const char* name, Loop loop)
{
    return std::jthread([name, loop = std::move(loop)](std::stop_token stop) {
        NameThisThread(name);
        loop(stop);
    });
}
