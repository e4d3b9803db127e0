// Window pictures for tests and screenshot tools.
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QWindow>

#include "platform/testing/testing.h"
#include "platform/wnd_qt.h"

namespace platform_testing {

namespace {

QImage Grab(HWND hwnd)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    if (!c || !c->widget) return {};
    return c->widget->grab().toImage();
}

}  // namespace

bool GrabWindowToPng(HWND hwnd, const std::string& path)
{
    const QImage image = Grab(hwnd);
    return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}

uint32_t GrabWindowPixel(HWND hwnd, int x, int y)
{
    const QImage image = Grab(hwnd);
    if (image.isNull() || !image.valid(x, y)) return 0xFFFFFFFF;
    const QRgb p = image.pixel(x, y);
    return static_cast<uint32_t>(qRed(p)) | static_cast<uint32_t>(qGreen(p)) << 8 |
           static_cast<uint32_t>(qBlue(p)) << 16;
}

uint32_t ShownWindowPixel(HWND hwnd, int x, int y)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    if (!c || !c->widget) return 0xFFFFFFFF;
    QWidget* top = c->widget->window();
    QWindow* window = top->windowHandle();
    if (!window || !window->screen() || !c->widget->rect().contains(x, y)) return 0xFFFFFFFF;
    const QPoint at = c->widget->mapTo(top, QPoint(x, y));
    const QImage image = window->screen()->grabWindow(window->winId(), at.x(), at.y(), 1, 1).toImage();
    if (image.isNull() || !image.valid(0, 0)) return 0xFFFFFFFF;
    const QRgb p = image.pixel(0, 0);
    return static_cast<uint32_t>(qRed(p)) | static_cast<uint32_t>(qGreen(p)) << 8 |
           static_cast<uint32_t>(qBlue(p)) << 16;
}

}  // namespace platform_testing
