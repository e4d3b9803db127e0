// Window and control style bits, as used by the dialog templates of res/
// and by the window code that creates controls from them.
#pragma once

#include <cstdint>

constexpr uint32_t WS_OVERLAPPED = 0x00000000;
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_MINIMIZE = 0x20000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_DISABLED = 0x08000000;
constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000;
constexpr uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr uint32_t WS_MAXIMIZE = 0x01000000;
constexpr uint32_t WS_CAPTION = 0x00C00000;
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_DLGFRAME = 0x00400000;
constexpr uint32_t WS_VSCROLL = 0x00200000;
constexpr uint32_t WS_HSCROLL = 0x00100000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_THICKFRAME = 0x00040000;
constexpr uint32_t WS_GROUP = 0x00020000;
constexpr uint32_t WS_TABSTOP = 0x00010000;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;

constexpr uint32_t WS_EX_DLGMODALFRAME = 0x00000001;
constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr uint32_t WS_EX_TRANSPARENT = 0x00000020;
constexpr uint32_t WS_EX_TOOLWINDOW = 0x00000080;
constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200;
constexpr uint32_t WS_EX_STATICEDGE = 0x00020000;
constexpr uint32_t WS_EX_APPWINDOW = 0x00040000;

constexpr uint32_t DS_ABSALIGN = 0x0001;
constexpr uint32_t DS_SYSMODAL = 0x0002;
constexpr uint32_t DS_3DLOOK = 0x0004;
constexpr uint32_t DS_FIXEDSYS = 0x0008;
constexpr uint32_t DS_SETFONT = 0x0040;
constexpr uint32_t DS_MODALFRAME = 0x0080;
constexpr uint32_t DS_SETFOREGROUND = 0x0200;
constexpr uint32_t DS_CONTROL = 0x0400;
constexpr uint32_t DS_CENTER = 0x0800;
constexpr uint32_t DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

constexpr uint32_t BS_PUSHBUTTON = 0x0000;
constexpr uint32_t BS_DEFPUSHBUTTON = 0x0001;
constexpr uint32_t BS_CHECKBOX = 0x0002;
constexpr uint32_t BS_AUTOCHECKBOX = 0x0003;
constexpr uint32_t BS_RADIOBUTTON = 0x0004;
constexpr uint32_t BS_3STATE = 0x0005;
constexpr uint32_t BS_AUTO3STATE = 0x0006;
constexpr uint32_t BS_GROUPBOX = 0x0007;
constexpr uint32_t BS_AUTORADIOBUTTON = 0x0009;
constexpr uint32_t BS_OWNERDRAW = 0x000B;
constexpr uint32_t BS_TYPEMASK = 0x000F;
constexpr uint32_t BS_LEFTTEXT = 0x0020;
constexpr uint32_t BS_BITMAP = 0x0080;
constexpr uint32_t BS_LEFT = 0x0100;
constexpr uint32_t BS_RIGHT = 0x0200;
constexpr uint32_t BS_CENTER = 0x0300;
constexpr uint32_t BS_TOP = 0x0400;
constexpr uint32_t BS_BOTTOM = 0x0800;
constexpr uint32_t BS_VCENTER = 0x0C00;
constexpr uint32_t BS_MULTILINE = 0x2000;
constexpr uint32_t BS_NOTIFY = 0x4000;
constexpr uint32_t BS_FLAT = 0x8000;

constexpr uint32_t ES_LEFT = 0x0000;
constexpr uint32_t ES_CENTER = 0x0001;
constexpr uint32_t ES_RIGHT = 0x0002;
constexpr uint32_t ES_MULTILINE = 0x0004;
constexpr uint32_t ES_UPPERCASE = 0x0008;
constexpr uint32_t ES_LOWERCASE = 0x0010;
constexpr uint32_t ES_PASSWORD = 0x0020;
constexpr uint32_t ES_AUTOVSCROLL = 0x0040;
constexpr uint32_t ES_AUTOHSCROLL = 0x0080;
constexpr uint32_t ES_NOHIDESEL = 0x0100;
constexpr uint32_t ES_READONLY = 0x0800;
constexpr uint32_t ES_WANTRETURN = 0x1000;
constexpr uint32_t ES_NUMBER = 0x2000;

constexpr uint32_t SS_LEFT = 0x0000;
constexpr uint32_t SS_CENTER = 0x0001;
constexpr uint32_t SS_RIGHT = 0x0002;
constexpr uint32_t SS_ICON = 0x0003;
constexpr uint32_t SS_BLACKRECT = 0x0004;
constexpr uint32_t SS_GRAYRECT = 0x0005;
constexpr uint32_t SS_WHITERECT = 0x0006;
constexpr uint32_t SS_BLACKFRAME = 0x0007;
constexpr uint32_t SS_SIMPLE = 0x000B;
constexpr uint32_t SS_LEFTNOWORDWRAP = 0x000C;
constexpr uint32_t SS_OWNERDRAW = 0x000D;
constexpr uint32_t SS_BITMAP = 0x000E;
constexpr uint32_t SS_TYPEMASK = 0x001F;
constexpr uint32_t SS_NOPREFIX = 0x0080;
constexpr uint32_t SS_NOTIFY = 0x0100;
constexpr uint32_t SS_CENTERIMAGE = 0x0200;
constexpr uint32_t SS_RIGHTJUST = 0x0400;
constexpr uint32_t SS_SUNKEN = 0x1000;

constexpr uint32_t CBS_SIMPLE = 0x0001;
constexpr uint32_t CBS_DROPDOWN = 0x0002;
constexpr uint32_t CBS_DROPDOWNLIST = 0x0003;
constexpr uint32_t CBS_OWNERDRAWFIXED = 0x0010;
constexpr uint32_t CBS_OWNERDRAWVARIABLE = 0x0020;
constexpr uint32_t CBS_AUTOHSCROLL = 0x0040;
constexpr uint32_t CBS_SORT = 0x0100;
constexpr uint32_t CBS_HASSTRINGS = 0x0200;
constexpr uint32_t CBS_NOINTEGRALHEIGHT = 0x0400;

constexpr uint32_t TBS_AUTOTICKS = 0x0001;
constexpr uint32_t TBS_VERT = 0x0002;
constexpr uint32_t TBS_HORZ = 0x0000;
constexpr uint32_t TBS_TOP = 0x0004;
constexpr uint32_t TBS_BOTTOM = 0x0000;
constexpr uint32_t TBS_LEFT = 0x0004;
constexpr uint32_t TBS_RIGHT = 0x0000;
constexpr uint32_t TBS_BOTH = 0x0008;
constexpr uint32_t TBS_NOTICKS = 0x0010;
constexpr uint32_t TBS_ENABLESELRANGE = 0x0020;
constexpr uint32_t TBS_FIXEDLENGTH = 0x0040;
constexpr uint32_t TBS_NOTHUMB = 0x0080;
constexpr uint32_t TBS_TOOLTIPS = 0x0100;

constexpr uint32_t PBS_SMOOTH = 0x0001;
constexpr uint32_t PBS_VERTICAL = 0x0004;
