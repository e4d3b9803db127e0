#include "platform/menu.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPixmap>

#include "platform/gdi_qt.h"
#include "platform/messages.h"
#include "platform/resources_styles.h"
#include "platform/wnd_qt.h"

namespace {

constexpr UINT kScMove = 0xF010;

SystemMenuChooser& Chooser()
{
    static SystemMenuChooser r;
    return r;
}

std::shared_ptr<CMenu> StandardMenu()
{
    auto m = std::make_shared<CMenu>();
    m->AppendMenu(MF_STRING, SC_RESTORE, L"Restore");
    m->AppendMenu(MF_STRING, kScMove, L"Move");
    m->AppendMenu(MF_STRING, SC_MINIMIZE, L"Minimize");
    m->AppendMenu(MF_SEPARATOR);
    m->AppendMenu(MF_STRING, SC_CLOSE, L"Close\tAlt+F4");
    return m;
}

WndCore* TopLevel(WndCore* c)
{
    while (c && c->parent) c = c->parent;
    return c;
}

}  // namespace

HICON LoadIconResource(int id)
{
    if (id <= 0 || LoadIconImage(id).isNull()) return nullptr;
    return reinterpret_cast<HICON>(static_cast<intptr_t>(id));
}

void SetWindowIcon(CWnd* wnd, HICON icon)
{
    if (!wnd || !WndAccess::Widget(wnd) || !icon) return;
    const QImage image = LoadIconImage(static_cast<int>(reinterpret_cast<intptr_t>(icon)));
    if (!image.isNull()) WndAccess::Widget(wnd)->setWindowIcon(QIcon(QPixmap::fromImage(image)));
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const wchar_t* text)
{
    Item item;
    item.flags = flags;
    item.id = (flags & MF_SEPARATOR) ? 0 : id;
    if (text && !(flags & MF_SEPARATOR)) item.text = text;
    m_items.push_back(std::move(item));
    return TRUE;
}

CMenu* GetSystemMenu(CWnd* wnd, BOOL revert)
{
    WndCore* c = wnd ? WndCore::FromHwnd(wnd->m_hWnd) : nullptr;
    if (!c || !(c->style & WS_SYSMENU)) return nullptr;
    if (revert) {
        c->sysMenu.reset();
        return nullptr;
    }
    if (!c->sysMenu) c->sysMenu = StandardMenu();
    return c->sysMenu.get();
}

bool ShowSystemMenu(HWND hwnd, POINT screenPoint)
{
    WndCore* top = TopLevel(WndCore::FromHwnd(hwnd));
    if (!top || !(top->style & WS_SYSMENU) || !top->owner) return false;
    if (!top->sysMenu) top->sysMenu = StandardMenu();
    const std::shared_ptr<CMenu> menu = top->sysMenu;
    const HWND target = top->hwnd;
    UINT_PTR chosen = 0;
    if (Chooser()) {
        chosen = Chooser()(menu->Items());
    } else {
        QMenu popup;
        for (const CMenu::Item& item : menu->Items()) {
            if (item.flags & MF_SEPARATOR) {
                popup.addSeparator();
                continue;
            }
            QString text = QString::fromStdWString(item.text);
            const qsizetype tab = text.indexOf(u'\t');
            if (tab >= 0) text = text.left(tab);
            QAction* a = popup.addAction(text);
            a->setData(QVariant::fromValue<qulonglong>(item.id));
        }
        const PopupLoopScope loop([&popup] { popup.close(); });
        QAction* a = popup.exec(QPoint(screenPoint.x, screenPoint.y));
        if (a && !loop.Ended()) chosen = a->data().toULongLong();
    }
    if (chosen && IsWindow(target)) ::SendMessage(target, WM_SYSCOMMAND, chosen, 0);
    return true;
}

void SetSystemMenuChooser(SystemMenuChooser chooser) { Chooser() = std::move(chooser); }
