// Icons of windows and the system menu of top-level windows. The system
// menu opens on Alt+Space and on a right click where the window's hit test
// says caption; the chosen entry reaches the window as WM_SYSCOMMAND.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

class CWnd;

// An icon resource (res/icons/<id>.png); nullptr when there is none.
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
HICON LoadIconResource(int id);
// Sets the window's icon (the big and the small one are the same here).
void SetWindowIcon(CWnd* wnd, HICON icon);

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;

class CMenu {
public:
    struct Item {
        UINT flags = MF_STRING;
        UINT_PTR id = 0;
        std::wstring text;
    };
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const wchar_t* text = nullptr);
    const std::vector<Item>& Items() const { return m_items; }

private:
    std::vector<Item> m_items;
};

// The window's system menu, made on first use with the standard entries
// (Restore, Move, Minimize, Close); nullptr for a window without WS_SYSMENU.
// revert TRUE puts back the standard entries and returns nullptr.
CMenu* GetSystemMenu(CWnd* wnd, BOOL revert);
// Opens the system menu of the top-level window that holds hwnd at a screen
// point and sends the chosen entry as WM_SYSCOMMAND. False without one.
bool ShowSystemMenu(HWND hwnd, POINT screenPoint);
