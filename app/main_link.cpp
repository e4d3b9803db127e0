#include "app/main_link.h"

#include "link/dialog_port.h"
#include "link/hid_link.h"
#include "platform/hid/hidraw_backend.h"
#include "platform/thread.h"

namespace {

const LinkSetup* g_linkSetupForTests = nullptr;
uint16_t g_loopbackTcpPort = 0;

TcpLinkOptions TcpOptions()
{
    if (g_linkSetupForTests) return g_linkSetupForTests->tcp;
    TcpLinkOptions options;
    if (g_loopbackTcpPort != 0) {
        options.address = "127.0.0.1";
        options.port = g_loopbackTcpPort;
    }
    return options;
}

}  // namespace

void SetLinkSetupForTests(const LinkSetup* setup) { g_linkSetupForTests = setup; }

void SetLoopbackTcpPort(uint16_t port) { g_loopbackTcpPort = port; }

MainLink::MainLink() : m_tcpLink(TcpOptions()) {}

MainLink::~MainLink() { Stop(); }

void MainLink::StartTcp(IDialogTarget& target)
{
    if (g_linkSetupForTests && !g_linkSetupForTests->startLink) return;
    if (!m_port) {
        m_port = std::make_unique<UiThreadPort>(target, [](std::function<void()> fn) { PostToUi(std::move(fn)); });
        SetDialogPort(m_port.get());
    }
    m_tcpLink.Start();
    m_started = true;
}

void MainLink::StartHid()
{
    if (!m_started) return;
    IHidBackend* backend = g_linkSetupForTests ? g_linkSetupForTests->hidBackend : nullptr;
    if (!backend) {
        m_ownHidBackend = std::make_unique<HidrawBackend>();
        backend = m_ownHidBackend.get();
    }
    HidLinkOptions options;
    options.tcpLinkUp = [this] { return m_tcpLink.IsUp(); };
    m_hidLink = std::make_unique<HidLink>(*backend, options);
    m_hidLink->Start();
}

void MainLink::Stop()
{
    if (m_port) m_port->ReleaseSenders();
    if (m_hidLink) m_hidLink->Stop();
    m_tcpLink.Stop();
    m_hidLink.reset();
    if (m_port) {
        SetDialogPort(nullptr);
        m_port.reset();
    }
    m_started = false;
}
