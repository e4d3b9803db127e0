#include "graph_window.h"

#include "platform/graphics.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "res/resource.h"
#include "widgets/spectrum.h"

struct GraphWindow::Impl {
    CWnd parent;
    CWnd other;
    CSpectrum graph;
    HWND hwnd = nullptr;
};

GraphWindow::GraphWindow(int dpi, int width, int height) : m(std::make_unique<Impl>())
{
    EnsureUiApplication();
    gfx::Startup();
    m->parent.Create(nullptr, L"main", WS_VISIBLE, CRect(0, 0, width + 40, height + 40), nullptr, 0);
    m->graph.Create(L"SpectrumClass", L"", WS_CHILD | WS_VISIBLE, CRect(20, 20, 20 + width, 20 + height), &m->parent,
                    IDC_SPECTRUM);
    m->other.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &m->parent, 1234);
    m->hwnd = m->graph.GetSafeHwnd();
    m->graph.SetScreenDpi(dpi);
    RECT rc;
    m->graph.GetClientRect(&rc);
    m->graph.SetPlotRect(rc.left, rc.top, rc.right, rc.bottom);
    m->graph.m_nHoverBand = -1;
    m->graph.m_nHoverCrossover = -1;
    platform_testing::PumpEvents();
}

GraphWindow::~GraphWindow()
{
    m->graph.DestroyWindow();
    m->parent.DestroyWindow();
    platform_testing::PumpEvents();
}

SpectrumData& GraphWindow::Data() { return m->graph; }

void GraphWindow::Paint()
{
    const GraphRect& rc = m->graph.m_rcClient;
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(nullptr, rc.right - rc.left, rc.bottom - rc.top);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    m->graph.PaintGraph(&dc);
    dc.SelectObject(old);
}

void GraphWindow::Hover(int x, int y) { platform_testing::MouseMoveTo(m->hwnd, x, y, false); }
void GraphWindow::Press(int x, int y) { platform_testing::MousePressAt(m->hwnd, x, y); }
void GraphWindow::Move(int x, int y) { platform_testing::MouseMoveTo(m->hwnd, x, y, true); }
void GraphWindow::Release(int x, int y) { platform_testing::MouseReleaseAt(m->hwnd, x, y); }

void GraphWindow::GrabBand(int band, int x, int y)
{
    const GraphPoint p3 = m->graph.m_bezier.m_ptBand[band][3];
    Hover(p3.x, p3.y);
    Press(p3.x, p3.y);
    Move(x, y);
}

bool GraphWindow::HoldsCapture() const
{
    CWnd* cap = CWnd::GetCapture();
    return cap && cap->GetSafeHwnd() == m->hwnd && g_dragHookWnd == m->hwnd;
}

int GraphWindow::RemoveHook() { return RemoveDragHook(m->hwnd); }
int GraphWindow::RemoveHookOfOtherWindow() { return RemoveDragHook(m->other.GetSafeHwnd()); }
