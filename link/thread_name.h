// Names a link thread as the system shows it (ps -L, /proc/PID/task/*/comm).
#pragma once

#include <pthread.h>

// At most 15 characters.
inline void NameThisThread(const char* name) { pthread_setname_np(pthread_self(), name); }
