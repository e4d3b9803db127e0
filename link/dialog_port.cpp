#include "link/dialog_port.h"

#include <atomic>

namespace {

class SilentPort final : public IDialogPort {
public:
    LRESULT Send(UINT, WPARAM, LPARAM) override { return 0; }
    void Post(UINT, WPARAM, LPARAM) override {}
    void SetDeviceStringLabel(const std::string&) override {}
    void ShowMessageOnUi(const std::wstring&, UINT) override {}
    void ShowStringOnUi(int) override {}
    void HidDeviceRemoved() override {}
    void ReleaseSenders() override {}
};

SilentPort g_silentPort;
std::atomic<IDialogPort*> g_port{nullptr};

}  // namespace

void SetDialogPort(IDialogPort* port) { g_port.store(port); }

IDialogPort& DialogPort()
{
    IDialogPort* port = g_port.load();
    return port != nullptr ? *port : g_silentPort;
}
