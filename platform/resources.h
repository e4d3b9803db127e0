// Resources by id: the string table and dialog templates in English (1033)
// and Chinese (2052), bitmaps and PNG images. Lookups follow g_languageId.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t LANG_ENGLISH_US = 0x0409;
constexpr uint16_t LANG_CHINESE_PRC = 0x0804;

// Language of the user interface for the whole run (set once at start-up).
extern uint16_t g_languageId;

// One control of a dialog template. Positions are in dialog units.
struct DialogControl {
    int id = 0;
    std::string name;        // symbolic id, e.g. "IDC_SPECTRUM"
    std::string kind;        // "EDIT", "BUTTON", "STATIC", "COMBOBOX", "SLIDER", "PROGRESS", ...
    uint32_t style = 0;      // Win32-style bits (WS_*, BS_*, ES_*, SS_*, CBS_*, TBS_*)
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring text;
};

struct DialogTemplate {
    int id = 0;
    uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    std::wstring fontFace;   // e.g. "MS Shell Dlg", "宋体"
    int fontPointSize = 9;
    std::vector<DialogControl> controls;
};

// The template in the current language, falling back to the other one;
// nullptr when there is none with that id.
const DialogTemplate* FindDialogTemplate(int id);
const DialogTemplate* FindDialogTemplate(int id, uint16_t langId);

// String-table text in the current language (falling back to the other
// language, then to an empty string).
std::wstring LoadResString(int id);
std::wstring LoadResString(int id, uint16_t langId);
