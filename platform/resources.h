// Resources by id: the string table and dialog templates in English (1033)
// and Chinese (2052), bitmaps and PNG images. Lookups follow g_languageId.
// The data lives in res/ and is compiled into the library; the symbolic ids
// are in the generated header "res/resource.h".
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

constexpr uint16_t LANG_ENGLISH_US = 0x0409;
constexpr uint16_t LANG_CHINESE_PRC = 0x0804;

// Language of the user interface for the whole run (set once at start-up).
// Any Chinese language id (primary language 4) selects the Chinese
// resources; every other value, 0 included, the English ones.
extern uint16_t g_languageId;

// One control of a dialog template. Positions are in dialog units.
struct DialogControl {
    int id = 0;
    std::string name;    // symbolic id, e.g. "IDC_SPECTRUM"
    std::string kind;    // "EDIT", "BUTTON", "STATIC", "COMBOBOX", "SLIDER", "PROGRESS", ...
    uint32_t style = 0;  // Win32-style bits (WS_*, BS_*, ES_*, SS_*, CBS_*, TBS_*)
    uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring text;
    int imageId = 0;  // icon or bitmap resource of an SS_ICON / SS_BITMAP static
};

struct DialogTemplate {
    int id = 0;
    std::string name;       // e.g. "IDD_ABOUTBOX"
    uint16_t language = 0;  // LANG_ENGLISH_US or LANG_CHINESE_PRC
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    std::wstring fontFace;  // e.g. "MS Shell Dlg", "宋体"
    int fontPointSize = 9;
    std::vector<DialogControl> controls;

    // The first control with that id, or nullptr.
    const DialogControl* FindControl(int controlId) const;
};

// The template in the current language, falling back to the other one;
// nullptr when there is none with that id.
const DialogTemplate* FindDialogTemplate(int id);
const DialogTemplate* FindDialogTemplate(int id, uint16_t langId);
std::vector<int> DialogTemplateIds();

// String-table text in the current language (falling back to the other
// language, then to an empty string).
std::wstring LoadResString(int id);
std::wstring LoadResString(int id, uint16_t langId);
// Whether the table holds the id in exactly that language (no fallback).
bool HasResString(int id, uint16_t langId);
std::vector<int> ResStringIds();

// A string table as parsed from the text of res/strings.tsv (the format is
// described in res/README.md); LoadResString uses the embedded one.
struct StringTable {
    struct Entry {
        std::string name;
        bool hasEnglish = false;
        bool hasChinese = false;
        std::wstring english;
        std::wstring chinese;
    };
    std::map<int, Entry> entries;

    std::wstring Load(int id, uint16_t langId) const;
    bool Has(int id, uint16_t langId) const;
};
// False when a line is faulty; the sound lines are kept all the same.
bool ParseStringTable(const std::string& text, StringTable* out, std::vector<std::string>* errors);

// Dialog units. The base units of a font are its average width of the
// letters A..Z and a..z (rounded) and its height, in pixels; a horizontal
// dialog unit is a quarter of the first, a vertical one an eighth of the
// second, rounded to the nearest pixel. Measuring a font needs the
// application object (gfx::Startup).
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};
DialogBaseUnits GetDialogBaseUnits(const std::wstring& fontFace, int pointSize, int dpi);
DialogBaseUnits GetDialogBaseUnits(const DialogTemplate& dlg, int dpi);
int DluToPixelsX(int du, const DialogBaseUnits& units);
int DluToPixelsY(int du, const DialogBaseUnits& units);

// Bitmaps without an image of their own: the size and colour of their
// placeholder from res/bitmaps.tsv. False for an id the table does not list.
struct BitmapPlaceholder {
    int width = 0;
    int height = 0;
    uint32_t rgb = 0;  // 0xRRGGBB
};
bool FindBitmapPlaceholder(int id, BitmapPlaceholder* out);

// Raw embedded files by their path below res/ ("png/202.png").
bool FindResData(const std::string& path, const unsigned char** data, std::size_t* size);
bool HasPngResource(int id);

// Parsing of one dialog file (the format is described in res/README.md).
struct ParsedDialog {
    bool hasEnglish = false;
    bool hasChinese = false;
    DialogTemplate english;
    DialogTemplate chinese;
};
bool ParseDialogText(const std::string& text, ParsedDialog* out, std::string* error);

// Every symbolic name the data defines with its value, and every fault
// found while loading the embedded data (empty when all of it is sound).
struct ResSymbol {
    std::string name;
    int value = 0;
};
std::vector<ResSymbol> ResourceSymbols();
std::vector<std::string> ResourceDataErrors();
