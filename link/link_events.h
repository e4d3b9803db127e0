// Changes of the links: a connection made or lost, a device that identified
// itself. Threads that wait for one wake at once, and the main dialog gets
// one WM_LINK_CHANGED (posted again only once it has taken the last one), so
// that nothing needs to poll the link state.
#pragma once

#include <chrono>
#include <cstdint>
#include <stop_token>

// Wakes the waiters and tells the main dialog.
void NotifyLinkChange();
// A new connection (HID device opened, TCP connected): counted before the
// link shows as up, so that whoever sees it up sees the new count.
void CountLinkConnection();
uint64_t LinkConnections();

// Changes so far; read before looking at the state a wait is about.
uint64_t LinkChanges();
// Returns true once the count differs from since, false when longest passed
// or stop was requested first.
bool WaitForLinkChange(const std::stop_token& stop, uint64_t since, std::chrono::milliseconds longest);

// The main dialog, before it looks at the links: the next change posts again.
void LinkChangeTaken();
