// The main window's device link: the TCP link, the HID link's threads on
// the system's HID devices (or a test's backend), and the port that carries
// their calls to the window on the UI thread.
#pragma once

#include <cstdint>
#include <memory>

#include "link/tcp_link.h"
#include "link/ui_port.h"

class HidLink;
class IHidBackend;

// How the main window reaches the device; the program uses the system's
// HID devices and the device's TCP address, tests give their own.
struct LinkSetup {
    IHidBackend* hidBackend = nullptr;  // nullptr: the hidraw backend
    TcpLinkOptions tcp;
    bool startLink = true;
};
void SetLinkSetupForTests(const LinkSetup* setup);
// The TCP link of the links made from now on talks to 127.0.0.1 at port
// instead of the build's device address (0: the device's address and port
// again). A test's LinkSetup, when set, wins.
void SetLoopbackTcpPort(uint16_t port);

class MainLink {
public:
    MainLink();
    ~MainLink();  // stops the link
    MainLink(const MainLink&) = delete;
    MainLink& operator=(const MainLink&) = delete;

    // Opens the port to the target and starts the TCP link's threads
    // (nothing when the setup says no link).
    void StartTcp(IDialogTarget& target);
    // Starts the HID link's threads, once the TCP link runs.
    void StartHid();
    // Stops the link before anything it uses goes away: a parser waiting on
    // the UI is released first, then the threads are joined and the device
    // closed. Stopping twice is harmless.
    void Stop();

    bool IsRunning() const { return m_started; }
    // CTcpLink::GetState: any non-zero state is a link.
    int TcpLinkState() const { return m_tcpLink.GetState(); }

private:
    CTcpLink m_tcpLink;
    std::unique_ptr<IHidBackend> m_ownHidBackend;
    std::unique_ptr<HidLink> m_hidLink;
    std::unique_ptr<UiThreadPort> m_port;
    bool m_started = false;
};
