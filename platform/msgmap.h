// Message maps: a static table per window class that binds window messages,
// control notifications and command ids to member handlers, searched from
// the most derived class to its bases. Every entry holds a typed thunk made
// from the handler's member pointer, so a handler with the wrong signature
// does not compile.
//
//   class MyDlg : public CDialogEx {
//       ...
//       afx_msg void OnTimer(UINT_PTR id);
//       afx_msg LRESULT OnStep(WPARAM w, LPARAM l);
//       afx_msg void OnClickedMute(UINT id);
//       afx_msg void OnClickedRoute(int index);
//       afx_msg void OnDrawRoute(int index, LPDRAWITEMSTRUCT dis);
//       DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(MyDlg, CDialogEx)
//       ON_WM_TIMER()
//       ON_MESSAGE(WM_MY_STEP, &MyDlg::OnStep)
//       ON_CONTROL_RANGE(BN_CLICKED, 1300, 1311, &MyDlg::OnClickedMute)
//       ON_CONTROL_TABLE(BN_CLICKED, g_routeButtonId, &MyDlg::OnClickedRoute)
//       ON_DRAWITEM_TABLE(g_routeButtonId, &MyDlg::OnDrawRoute)
//   END_MESSAGE_MAP()
//
// A table entry binds a family of controls whose ids need not be
// contiguous (a built-in array of int, of any rank, a std::array or a
// std::span) to one handler, which gets the index of the control in the
// table (row-major for a table of rows). Lookups are remembered per map,
// message and control, so a window with hundreds of controls in tables pays
// the scan once per control.
#pragma once

#include <cstddef>
#include <iterator>
#include <type_traits>

#include "platform/messages.h"
#include "platform/types.h"

class CWnd;

namespace msgmap {

// Calls the handler of one entry; the result goes to *result.
using Thunk = void (*)(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result);

// Calls the handler of a table entry with the control's index in the table.
using IndexedThunk = void (*)(CWnd* self, int index, WPARAM wParam, LPARAM lParam, LRESULT* result);

enum class EntryKind : uint8_t {
    End,
    Message,        // a window message (or a range of them)
    Command,        // WM_COMMAND with a notification code and a control id range
    CommandTable,   // WM_COMMAND with a notification code and a table of control ids
    DrawItemTable,  // WM_DRAWITEM for a table of control ids
};

// The control ids of a table entry.
struct IdTable {
    const int* ids = nullptr;
    size_t count = 0;
};

struct Entry {
    EntryKind kind = EntryKind::End;
    UINT message = 0;      // first message (Message entries)
    UINT messageLast = 0;  // last message of the range
    UINT code = 0;         // notification code (Command entries)
    UINT idFirst = 0;      // control id range (Command entries)
    UINT idLast = 0;
    Thunk thunk = nullptr;
    IdTable table;                   // table entries
    IndexedThunk indexed = nullptr;  // table entries
};

struct Map {
    const Map* (*base)();  // nullptr for the root
    const Entry* entries;  // ends with an End entry
};

// The entry of the map chain that takes a message, and for a table entry the
// index of the control in its table.
struct Match {
    const Entry* entry = nullptr;
    int index = -1;
    explicit operator bool() const { return entry != nullptr; }
};

// The first entry of the map chain that takes this message; an empty match
// when none does. Called on the UI thread.
Match Find(const Map* map, UINT message, WPARAM wParam);
// The first entry by a plain walk over the chain, without the remembered
// lookups (what Find remembers).
Match Scan(const Map* map, UINT message, WPARAM wParam);
// Runs the entry's handler.
void Invoke(const Match& match, CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The index of id in the table, -1 when absent.
int IndexOf(const IdTable& table, UINT id);

// A table of ids from a built-in array of int of any rank (flattened row by
// row), or a contiguous range of int (std::array, std::span).
template <class T>
IdTable MakeIdTable(const T& table)
{
    if constexpr (std::is_array_v<T>) {
        static_assert(std::is_same_v<std::remove_cv_t<std::remove_all_extents_t<T>>, int>, "a table of int ids");
        return IdTable{reinterpret_cast<const int*>(&table), sizeof(T) / sizeof(int)};
    } else {
        static_assert(std::is_same_v<std::remove_cv_t<std::remove_reference_t<decltype(*std::data(table))>>, int>,
                      "a table of int ids");
        return IdTable{std::data(table), std::size(table)};
    }
}

template <class T>
struct MemberTraits;
template <class C, class R, class... A>
struct MemberTraits<R (C::*)(A...)> {
    using Class = C;
};

// Builds the thunk of handler Fn with the argument cracker Crack, which
// turns (wParam, lParam) into the handler's arguments and its return value
// into the message result.
template <auto Fn, class Crack>
void CallCracked(CWnd* self, WPARAM w, LPARAM l, LRESULT* result)
{
    using C = typename MemberTraits<decltype(Fn)>::Class;
    *result = Crack::Call(static_cast<C*>(self), Fn, w, l);
}

// The same for a handler that takes the index of the control first.
template <auto Fn, class Crack>
void CallIndexed(CWnd* self, int index, WPARAM w, LPARAM l, LRESULT* result)
{
    using C = typename MemberTraits<decltype(Fn)>::Class;
    *result = Crack::Call(static_cast<C*>(self), Fn, index, w, l);
}

template <auto Fn, class Crack>
constexpr Entry MessageEntry(UINT message, UINT messageLast)
{
    return Entry{EntryKind::Message, message, messageLast, 0, 0, 0, &CallCracked<Fn, Crack>, {}, nullptr};
}
template <auto Fn, class Crack>
constexpr Entry MessageEntry(UINT message)
{
    return MessageEntry<Fn, Crack>(message, message);
}
template <auto Fn, class Crack>
constexpr Entry CommandEntry(UINT code, UINT idFirst, UINT idLast)
{
    return Entry{EntryKind::Command,      WM_COMMAND, WM_COMMAND, code, idFirst, idLast,
                 &CallCracked<Fn, Crack>, {},         nullptr};
}
template <auto Fn, class Crack>
Entry CommandTableEntry(UINT code, IdTable table)
{
    return Entry{EntryKind::CommandTable, WM_COMMAND, WM_COMMAND, code, 0, 0, nullptr, table, &CallIndexed<Fn, Crack>};
}
template <auto Fn, class Crack>
Entry DrawItemTableEntry(IdTable table)
{
    return Entry{EntryKind::DrawItemTable, WM_DRAWITEM, WM_DRAWITEM, 0, 0, 0, nullptr, table, &CallIndexed<Fn, Crack>};
}

}  // namespace msgmap

#define afx_msg

#define DECLARE_MESSAGE_MAP()                        \
protected:                                           \
    static const ::msgmap::Map* GetThisMessageMap(); \
    const ::msgmap::Map* GetMessageMap() const override;

// clang-format off
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                    \
    const ::msgmap::Map* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const ::msgmap::Map* theClass::GetThisMessageMap()                            \
    {                                                                             \
        using ThisClass [[maybe_unused]] = theClass;                              \
        using TheBaseClass = baseClass;                                           \
        static const ::msgmap::Entry entries[] = {

#define END_MESSAGE_MAP()                                                   \
    ::msgmap::Entry{}};                                                     \
    static const ::msgmap::Map map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                            \
    }
// clang-format on

// Generic entries.
#define ON_MESSAGE(message, memberFxn) ::msgmap::MessageEntry<memberFxn, ::msgmap::CrackRaw>(message),
#define ON_COMMAND(id, memberFxn) ::msgmap::CommandEntry<memberFxn, ::msgmap::CrackVoid>(0, id, id),
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn) \
    ::msgmap::CommandEntry<memberFxn, ::msgmap::CrackId>(0, idFirst, idLast),
#define ON_CONTROL(code, id, memberFxn) ::msgmap::CommandEntry<memberFxn, ::msgmap::CrackVoid>(code, id, id),
#define ON_CONTROL_RANGE(code, idFirst, idLast, memberFxn) \
    ::msgmap::CommandEntry<memberFxn, ::msgmap::CrackId>(code, idFirst, idLast),
// A family of controls: the handler takes (int index) for notifications and
// commands, (int index, LPDRAWITEMSTRUCT) for owner draw.
#define ON_CONTROL_TABLE(code, table, memberFxn) \
    ::msgmap::CommandTableEntry<memberFxn, ::msgmap::CrackIndex>(code, ::msgmap::MakeIdTable(table)),
#define ON_COMMAND_TABLE(table, memberFxn) ON_CONTROL_TABLE(0, table, memberFxn)
#define ON_DRAWITEM_TABLE(table, memberFxn) \
    ::msgmap::DrawItemTableEntry<memberFxn, ::msgmap::CrackIndexDrawItem>(::msgmap::MakeIdTable(table)),

// Control notifications.
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)

// Window messages with their handlers' usual names and arguments.
#define MSGMAP_ON_WM(msg, fn, crack) ::msgmap::MessageEntry<&ThisClass::fn, ::msgmap::crack>(msg),
#define ON_WM_TIMER() MSGMAP_ON_WM(WM_TIMER, OnTimer, CrackTimer)
#define ON_WM_PAINT() MSGMAP_ON_WM(WM_PAINT, OnPaint, CrackVoid)
#define ON_WM_CLOSE() MSGMAP_ON_WM(WM_CLOSE, OnClose, CrackVoid)
#define ON_WM_DESTROY() MSGMAP_ON_WM(WM_DESTROY, OnDestroy, CrackVoid)
#define ON_WM_MOUSELEAVE() MSGMAP_ON_WM(WM_MOUSELEAVE, OnMouseLeave, CrackVoid)
#define ON_WM_MOUSEHOVER() MSGMAP_ON_WM(WM_MOUSEHOVER, OnMouseHover, CrackMouse)
#define ON_WM_MOUSEMOVE() MSGMAP_ON_WM(WM_MOUSEMOVE, OnMouseMove, CrackMouse)
#define ON_WM_LBUTTONDOWN() MSGMAP_ON_WM(WM_LBUTTONDOWN, OnLButtonDown, CrackMouse)
#define ON_WM_LBUTTONUP() MSGMAP_ON_WM(WM_LBUTTONUP, OnLButtonUp, CrackMouse)
#define ON_WM_LBUTTONDBLCLK() MSGMAP_ON_WM(WM_LBUTTONDBLCLK, OnLButtonDblClk, CrackMouse)
#define ON_WM_RBUTTONDOWN() MSGMAP_ON_WM(WM_RBUTTONDOWN, OnRButtonDown, CrackMouse)
#define ON_WM_RBUTTONUP() MSGMAP_ON_WM(WM_RBUTTONUP, OnRButtonUp, CrackMouse)
#define ON_WM_MOUSEWHEEL() MSGMAP_ON_WM(WM_MOUSEWHEEL, OnMouseWheel, CrackWheel)
#define ON_WM_KEYDOWN() MSGMAP_ON_WM(WM_KEYDOWN, OnKeyDown, CrackKey)
#define ON_WM_KEYUP() MSGMAP_ON_WM(WM_KEYUP, OnKeyUp, CrackKey)
#define ON_WM_CHAR() MSGMAP_ON_WM(WM_CHAR, OnChar, CrackKey)
#define ON_WM_SETFOCUS() MSGMAP_ON_WM(WM_SETFOCUS, OnSetFocus, CrackFocus)
#define ON_WM_KILLFOCUS() MSGMAP_ON_WM(WM_KILLFOCUS, OnKillFocus, CrackFocus)
#define ON_WM_ERASEBKGND() MSGMAP_ON_WM(WM_ERASEBKGND, OnEraseBkgnd, CrackEraseBkgnd)
#define ON_WM_DRAWITEM() MSGMAP_ON_WM(WM_DRAWITEM, OnDrawItem, CrackDrawItem)
#define ON_WM_MEASUREITEM() MSGMAP_ON_WM(WM_MEASUREITEM, OnMeasureItem, CrackMeasureItem)
#define ON_WM_VSCROLL() MSGMAP_ON_WM(WM_VSCROLL, OnVScroll, CrackScroll)
#define ON_WM_HSCROLL() MSGMAP_ON_WM(WM_HSCROLL, OnHScroll, CrackScroll)
#define ON_WM_SIZE() MSGMAP_ON_WM(WM_SIZE, OnSize, CrackSize)
#define ON_WM_NCHITTEST() MSGMAP_ON_WM(WM_NCHITTEST, OnNcHitTest, CrackHitTest)
#define ON_WM_SYSCOMMAND() MSGMAP_ON_WM(WM_SYSCOMMAND, OnSysCommand, CrackSysCommand)
#define ON_WM_DEVICECHANGE() MSGMAP_ON_WM(WM_DEVICECHANGE, OnDeviceChange, CrackDeviceChange)
#define ON_WM_SHOWWINDOW() MSGMAP_ON_WM(WM_SHOWWINDOW, OnShowWindow, CrackShowWindow)
#define ON_WM_CTLCOLOR() \
    ::msgmap::MessageEntry<&ThisClass::OnCtlColor, ::msgmap::CrackCtlColor>(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC),
