#include "platform/resources.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>

#include "platform/art.h"
#include "platform/fonts.h"
#include "platform/fonts_qt.h"
#include "platform/look.h"
#include "platform/resources_data.h"
#include "platform/resources_styles.h"

uint16_t g_languageId = 0;

namespace {

constexpr uint16_t kPrimaryChinese = 0x04;

bool IsChinese(uint16_t langId) { return (langId & 0x3FF) == kPrimaryChinese; }

std::wstring FromUtf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toStdWString();
}

std::string_view ResText(const char* path)
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (!FindResData(path, &data, &size)) return {};
    return {reinterpret_cast<const char*>(data), size};
}

// Lines without their end-of-line characters.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
    return lines;
}

bool IsBlankOrComment(std::string_view line)
{
    const auto first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

std::string_view Trim(std::string_view s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// A decimal (optionally negative) or 0x-prefixed hexadecimal integer.
std::optional<long long> ParseInt(std::string_view s)
{
    s = Trim(s);
    bool negative = false;
    if (!s.empty() && s.front() == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return std::nullopt;
    long long v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || p != s.data() + s.size() || v > 0x7FFFFFFFLL) return std::nullopt;
    return negative ? -v : v;
}

std::optional<int> ParseInt32(std::string_view s)
{
    const auto v = ParseInt(s);
    if (!v || *v < -0x7FFFFFFFLL) return std::nullopt;
    return static_cast<int>(*v);
}

bool IsSymbol(std::string_view s)
{
    if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// \t, \n and \\ in texts.
std::string Unescape(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char n = s[i + 1];
            if (n == 't' || n == 'n' || n == '\\') {
                out += n == 't' ? '\t' : n == 'n' ? '\n' : '\\';
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

std::vector<std::string_view> SplitTabs(std::string_view line)
{
    std::vector<std::string_view> cells;
    while (true) {
        const auto tab = line.find('\t');
        cells.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
    return cells;
}

// Names every template may use without defining them.
struct BuiltinId {
    const char* name;
    int value;
};
// clang-format off
constexpr BuiltinId kBuiltinIds[] = {
    {"IDC_STATIC", -1}, {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3},
    {"IDRETRY", 4},     {"IDIGNORE", 5}, {"IDYES", 6}, {"IDNO", 7},
};
// clang-format on

const BuiltinId* FindBuiltin(std::string_view name)
{
    for (const auto& b : kBuiltinIds)
        if (name == b.name) return &b;
    return nullptr;
}

struct StyleName {
    const char* name;
    uint32_t value;
};
// clang-format off
#define STYLE(x) {#x, x}
constexpr StyleName kStyleNames[] = {
    STYLE(WS_OVERLAPPED), STYLE(WS_POPUP), STYLE(WS_CHILD), STYLE(WS_MINIMIZE), STYLE(WS_VISIBLE),
    STYLE(WS_DISABLED), STYLE(WS_CLIPSIBLINGS), STYLE(WS_CLIPCHILDREN), STYLE(WS_MAXIMIZE), STYLE(WS_CAPTION),
    STYLE(WS_BORDER), STYLE(WS_DLGFRAME), STYLE(WS_VSCROLL), STYLE(WS_HSCROLL), STYLE(WS_SYSMENU),
    STYLE(WS_THICKFRAME), STYLE(WS_GROUP), STYLE(WS_TABSTOP), STYLE(WS_MINIMIZEBOX), STYLE(WS_MAXIMIZEBOX),
    STYLE(WS_EX_DLGMODALFRAME), STYLE(WS_EX_TOPMOST), STYLE(WS_EX_TRANSPARENT), STYLE(WS_EX_TOOLWINDOW),
    STYLE(WS_EX_CLIENTEDGE), STYLE(WS_EX_STATICEDGE), STYLE(WS_EX_APPWINDOW),
    STYLE(DS_ABSALIGN), STYLE(DS_SYSMODAL), STYLE(DS_3DLOOK), STYLE(DS_FIXEDSYS), STYLE(DS_SETFONT),
    STYLE(DS_MODALFRAME), STYLE(DS_SETFOREGROUND), STYLE(DS_CONTROL), STYLE(DS_CENTER), STYLE(DS_SHELLFONT),
    STYLE(BS_PUSHBUTTON), STYLE(BS_DEFPUSHBUTTON), STYLE(BS_CHECKBOX), STYLE(BS_AUTOCHECKBOX),
    STYLE(BS_RADIOBUTTON), STYLE(BS_3STATE), STYLE(BS_AUTO3STATE), STYLE(BS_GROUPBOX), STYLE(BS_AUTORADIOBUTTON),
    STYLE(BS_OWNERDRAW), STYLE(BS_LEFTTEXT), STYLE(BS_BITMAP), STYLE(BS_LEFT), STYLE(BS_RIGHT), STYLE(BS_CENTER),
    STYLE(BS_TOP), STYLE(BS_BOTTOM), STYLE(BS_VCENTER), STYLE(BS_MULTILINE), STYLE(BS_NOTIFY), STYLE(BS_FLAT),
    STYLE(ES_LEFT), STYLE(ES_CENTER), STYLE(ES_RIGHT), STYLE(ES_MULTILINE), STYLE(ES_UPPERCASE),
    STYLE(ES_LOWERCASE), STYLE(ES_PASSWORD), STYLE(ES_AUTOVSCROLL), STYLE(ES_AUTOHSCROLL), STYLE(ES_NOHIDESEL),
    STYLE(ES_READONLY), STYLE(ES_WANTRETURN), STYLE(ES_NUMBER),
    STYLE(SS_LEFT), STYLE(SS_CENTER), STYLE(SS_RIGHT), STYLE(SS_ICON), STYLE(SS_BLACKRECT), STYLE(SS_GRAYRECT),
    STYLE(SS_WHITERECT), STYLE(SS_BLACKFRAME), STYLE(SS_SIMPLE), STYLE(SS_LEFTNOWORDWRAP), STYLE(SS_OWNERDRAW),
    STYLE(SS_BITMAP), STYLE(SS_NOPREFIX), STYLE(SS_NOTIFY), STYLE(SS_CENTERIMAGE), STYLE(SS_RIGHTJUST),
    STYLE(SS_SUNKEN),
    STYLE(CBS_SIMPLE), STYLE(CBS_DROPDOWN), STYLE(CBS_DROPDOWNLIST), STYLE(CBS_OWNERDRAWFIXED),
    STYLE(CBS_OWNERDRAWVARIABLE), STYLE(CBS_AUTOHSCROLL), STYLE(CBS_SORT), STYLE(CBS_HASSTRINGS),
    STYLE(CBS_NOINTEGRALHEIGHT),
    STYLE(TBS_AUTOTICKS), STYLE(TBS_VERT), STYLE(TBS_HORZ), STYLE(TBS_TOP), STYLE(TBS_BOTTOM), STYLE(TBS_LEFT),
    STYLE(TBS_RIGHT), STYLE(TBS_BOTH), STYLE(TBS_NOTICKS), STYLE(TBS_ENABLESELRANGE), STYLE(TBS_FIXEDLENGTH),
    STYLE(TBS_NOTHUMB), STYLE(TBS_TOOLTIPS),
    STYLE(PBS_SMOOTH), STYLE(PBS_VERTICAL),
};
// clang-format on
#undef STYLE

// "A | B | 0x10 | NOT C": the named or numeric bits, NOT clearing the next
// one; start holds the bits before the first one.
bool ParseFlags(std::string_view text, uint32_t start, uint32_t* out, std::string* error)
{
    uint32_t bits = start;
    bool clearNext = false;
    std::string token;
    auto flush = [&]() -> bool {
        if (token.empty()) return true;
        if (token == "NOT") {
            clearNext = true;
            token.clear();
            return true;
        }
        std::optional<uint32_t> value;
        for (const auto& s : kStyleNames)
            if (token == s.name) value = s.value;
        if (!value) {
            if (const auto n = ParseInt(token); n && *n >= 0) value = static_cast<uint32_t>(*n);
        }
        if (!value) {
            *error = "unknown style '" + token + "'";
            return false;
        }
        bits = clearNext ? (bits & ~*value) : (bits | *value);
        clearNext = false;
        token.clear();
        return true;
    };
    for (char c : text) {
        if (c == '|' || c == ' ' || c == '\t') {
            if (!flush()) return false;
        } else {
            token += c;
        }
    }
    if (!flush()) return false;
    if (clearNext) {
        *error = "NOT without a style";
        return false;
    }
    *out = bits;
    return true;
}

struct Rect4 {
    int x = 0, y = 0, cx = 0, cy = 0;
};

bool ParseRect(std::string_view text, Rect4* out)
{
    int v[4];
    for (int i = 0; i < 4; ++i) {
        text = Trim(text);
        const auto sp = text.find_first_of(" \t");
        const auto n = ParseInt32(text.substr(0, sp));
        if (!n) return false;
        v[i] = *n;
        text = sp == std::string_view::npos ? std::string_view() : text.substr(sp);
    }
    if (!Trim(text).empty()) return false;
    *out = {v[0], v[1], v[2], v[3]};
    return true;
}

// A value given for every language, with optional per-language overrides.
template <class T>
struct PerLanguage {
    std::optional<T> both, en, zh;
    T Get(bool chinese, const T& fallback) const
    {
        const auto& own = chinese ? zh : en;
        if (own) return *own;
        return both ? *both : fallback;
    }
    std::optional<T>* Slot(std::string_view lang)
    {
        if (lang.empty()) return &both;
        if (lang == "en") return &en;
        if (lang == "zh") return &zh;
        return nullptr;
    }
};

struct FontSpec {
    int points = 9;
    std::string face;
};

struct ProtoControl {
    int id = 0;
    std::string name, kind;
    uint32_t style = WS_CHILD | WS_VISIBLE;
    uint32_t exStyle = 0;
    int imageId = 0;
    PerLanguage<Rect4> rect;
    PerLanguage<std::string> text;
    bool en = true, zh = true;  // in the template of that language
};

struct ProtoDialog {
    int id = 0;
    std::string name;
    bool en = true, zh = true;
    uint32_t style = 0, exStyle = 0;
    PerLanguage<Rect4> rect;
    PerLanguage<FontSpec> font;
    PerLanguage<std::string> caption;
    std::vector<ProtoControl> controls;
};

DialogTemplate Resolve(const ProtoDialog& p, bool chinese)
{
    DialogTemplate t;
    t.id = p.id;
    t.name = p.name;
    t.language = chinese ? LANG_CHINESE_PRC : LANG_ENGLISH_US;
    t.style = p.style;
    t.exStyle = p.exStyle;
    const Rect4 r = p.rect.Get(chinese, {});
    t.x = r.x, t.y = r.y, t.cx = r.cx, t.cy = r.cy;
    t.caption = FromUtf8(p.caption.Get(chinese, {}));
    const FontSpec f = p.font.Get(chinese, FontSpec{9, "MS Shell Dlg"});
    t.fontFace = FromUtf8(f.face);
    t.fontPointSize = f.points;
    for (const auto& pc : p.controls) {
        if (!(chinese ? pc.zh : pc.en)) continue;
        DialogControl c;
        c.id = pc.id;
        c.name = pc.name;
        c.kind = pc.kind;
        c.style = pc.style;
        c.exStyle = pc.exStyle;
        c.imageId = pc.imageId;
        const Rect4 cr = pc.rect.Get(chinese, {});
        c.x = cr.x, c.y = cr.y, c.cx = cr.cx, c.cy = cr.cy;
        c.text = FromUtf8(pc.text.Get(chinese, {}));
        t.controls.push_back(std::move(c));
    }
    return t;
}

// Id, name and (for controls) kind of a "dialog" or "control" line.
bool ParseHeader(std::string_view value, bool wantKind, int* id, std::string* name, std::string* kind,
                 std::string* error)
{
    std::vector<std::string_view> parts;
    for (std::string_view rest = Trim(value); !rest.empty(); rest = Trim(rest)) {
        const auto sp = rest.find_first_of(" \t");
        parts.push_back(rest.substr(0, sp));
        rest = sp == std::string_view::npos ? std::string_view() : rest.substr(sp);
    }
    if (parts.size() != (wantKind ? 3u : 2u)) {
        *error = wantKind ? "expected: control <id> <NAME> <KIND>" : "expected: dialog <id> <NAME>";
        return false;
    }
    const auto n = ParseInt32(parts[0]);
    if (!n) {
        *error = "bad id '" + std::string(parts[0]) + "'";
        return false;
    }
    if (!IsSymbol(parts[1])) {
        *error = "bad name '" + std::string(parts[1]) + "'";
        return false;
    }
    if (const BuiltinId* b = FindBuiltin(parts[1]); b && b->value != *n) {
        *error = std::string(parts[1]) + " must have the id " + std::to_string(b->value);
        return false;
    }
    if (!wantKind && FindBuiltin(parts[1])) {
        *error = "a dialog cannot be named " + std::string(parts[1]);
        return false;
    }
    *id = *n;
    *name = std::string(parts[1]);
    if (wantKind) {
        *kind = std::string(parts[2]);
        if (!std::all_of(kind->begin(), kind->end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
            *error = "bad control kind '" + *kind + "'";
            return false;
        }
    }
    return true;
}

bool ParseDialogLines(const std::string& text, ProtoDialog* d, std::string* error)
{
    bool haveDialog = false;
    int lineNo = 0;
    for (std::string_view line : SplitLines(text)) {
        ++lineNo;
        if (IsBlankOrComment(line)) continue;
        auto fail = [&](const std::string& what) {
            *error = "line " + std::to_string(lineNo) + ": " + what;
            return false;
        };
        const auto sep = line.find_first_of(" \t");
        std::string_view key = line.substr(0, sep);
        const std::string_view value = sep == std::string_view::npos ? std::string_view() : line.substr(sep + 1);
        std::string_view lang;
        if (const auto dot = key.find('.'); dot != std::string_view::npos) {
            lang = key.substr(dot + 1);
            key = key.substr(0, dot);
            if (lang != "en" && lang != "zh") return fail("unknown language '" + std::string(lang) + "'");
        }
        const bool perLanguage =
            key == "rect" || key == "text" || key == "caption" || key == "font" || key == "control";
        if (!lang.empty() && !perLanguage) return fail("'" + std::string(key) + "' has no language variants");

        if (key == "dialog") {
            if (haveDialog) return fail("a second dialog line");
            std::string kind;
            if (!ParseHeader(value, false, &d->id, &d->name, &kind, error)) return fail(*error);
            haveDialog = true;
            continue;
        }
        if (!haveDialog) return fail("the file must start with a dialog line");
        ProtoControl* c = d->controls.empty() ? nullptr : &d->controls.back();

        if (key == "control") {
            ProtoControl nc;
            if (!ParseHeader(value, true, &nc.id, &nc.name, &nc.kind, error)) return fail(*error);
            // control.en / control.zh: a control of one language's template only.
            if (!lang.empty()) nc.en = nc.zh = false;
            if (lang == "en") nc.en = true;
            if (lang == "zh") nc.zh = true;
            d->controls.push_back(std::move(nc));
        } else if (key == "languages") {
            if (c) return fail("languages belongs before the first control");
            d->en = d->zh = false;
            for (std::string_view rest = Trim(value); !rest.empty(); rest = Trim(rest)) {
                const auto sp = rest.find_first_of(" \t");
                const std::string_view l = rest.substr(0, sp);
                if (l == "en") d->en = true;
                else if (l == "zh") d->zh = true;
                else return fail("unknown language '" + std::string(l) + "'");
                rest = sp == std::string_view::npos ? std::string_view() : rest.substr(sp);
            }
            if (!d->en && !d->zh) return fail("no language");
        } else if (key == "style" || key == "exstyle") {
            uint32_t* target = key == "style" ? (c ? &c->style : &d->style) : (c ? &c->exStyle : &d->exStyle);
            if (!ParseFlags(value, *target, target, error)) return fail(*error);
        } else if (key == "rect") {
            Rect4 r;
            if (!ParseRect(value, &r)) return fail("expected: rect <x> <y> <cx> <cy>");
            *(c ? c->rect.Slot(lang) : d->rect.Slot(lang)) = r;
        } else if (key == "text") {
            if (!c) return fail("text belongs to a control (the dialog has a caption)");
            *c->text.Slot(lang) = Unescape(value);
        } else if (key == "caption") {
            if (c) return fail("caption belongs to the dialog (a control has a text)");
            *d->caption.Slot(lang) = Unescape(value);
        } else if (key == "font") {
            if (c) return fail("font belongs to the dialog");
            const std::string_view v = Trim(value);
            const auto sp = v.find_first_of(" \t");
            const auto pts = ParseInt32(v.substr(0, sp));
            if (!pts || *pts <= 0 || sp == std::string_view::npos || Trim(v.substr(sp)).empty())
                return fail("expected: font <points> <face>");
            *d->font.Slot(lang) = FontSpec{*pts, std::string(Trim(v.substr(sp)))};
        } else if (key == "image") {
            if (!c) return fail("image belongs to a control");
            const auto n = ParseInt32(value);
            if (!n || *n <= 0) return fail("bad image id");
            c->imageId = *n;
        } else {
            return fail("unknown keyword '" + std::string(key) + "'");
        }
    }
    if (!haveDialog) {
        *error = "no dialog line";
        return false;
    }
    return true;
}

// The embedded data -----------------------------------------------------

struct LoadedData {
    StringTable strings;
    std::map<int, ParsedDialog> dialogs;
    std::map<int, BitmapPlaceholder> placeholders;
    std::vector<ResSymbol> symbols;
    std::vector<std::string> errors;
};

void LoadStrings(LoadedData& d)
{
    std::vector<std::string> errors;
    ParseStringTable(std::string(ResText("strings.tsv")), &d.strings, &errors);
    for (auto& e : errors) d.errors.push_back("strings.tsv " + e);
    for (const auto& [id, e] : d.strings.entries) d.symbols.push_back({e.name, id});
}

void LoadIds(LoadedData& d)
{
    int lineNo = 0;
    for (std::string_view line : SplitLines(ResText("ids.tsv"))) {
        ++lineNo;
        if (IsBlankOrComment(line)) continue;
        const auto cells = SplitTabs(line);
        const auto v = cells.size() >= 2 ? ParseInt32(cells[0]) : std::nullopt;
        if (!v || !IsSymbol(cells[1]))
            d.errors.push_back("ids.tsv line " + std::to_string(lineNo) + ": expected: value, name[, note]");
        else d.symbols.push_back({std::string(cells[1]), *v});
    }
}

void LoadPlaceholders(LoadedData& d)
{
    int lineNo = 0;
    for (std::string_view line : SplitLines(ResText("bitmaps.tsv"))) {
        ++lineNo;
        if (IsBlankOrComment(line)) continue;
        const auto cells = SplitTabs(line);
        const std::string where = "bitmaps.tsv line " + std::to_string(lineNo) + ": ";
        const auto id = cells.size() >= 4 ? ParseInt32(cells[0]) : std::nullopt;
        const auto w = id && IsSymbol(cells[1]) ? ParseInt32(cells[2]) : std::nullopt;
        const auto h = w ? ParseInt32(cells[3]) : std::nullopt;
        if (!h || *id <= 0 || *w <= 0 || *h <= 0) {
            d.errors.push_back(where + "expected: id, name, width, height[, #rrggbb[, note]]");
            continue;
        }
        d.symbols.push_back({std::string(cells[1]), *id});
        BitmapPlaceholder p{*w, *h, 0};
        const std::string_view colour = cells.size() >= 5 ? Trim(cells[4]) : std::string_view();
        if (colour.empty()) {
            // A muted colour of its own for every id, so neighbours differ.
            const uint32_t hsh = static_cast<uint32_t>(*id) * 2654435761u;
            p.rgb =
                ((0x30 + (hsh >> 24) % 0x50) << 16) | ((0x30 + (hsh >> 16) % 0x50) << 8) | (0x40 + (hsh >> 8) % 0x60);
        } else if (colour.size() == 7 && colour[0] == '#') {
            const auto v = ParseInt("0x" + std::string(colour.substr(1)));
            if (!v) {
                d.errors.push_back(where + "bad colour");
                continue;
            }
            p.rgb = static_cast<uint32_t>(*v);
        } else {
            d.errors.push_back(where + "bad colour");
            continue;
        }
        if (!d.placeholders.emplace(*id, p).second) d.errors.push_back(where + "bitmap given twice");
    }
}

void LoadDialogs(LoadedData& d)
{
    for (std::size_t i = 0; i < kEmbeddedResFileCount; ++i) {
        const std::string_view path = kEmbeddedResFiles[i].path;
        if (path.substr(0, 8) != "dialogs/" || path.size() < 4 || path.substr(path.size() - 4) != ".dlg") continue;
        const std::string text(reinterpret_cast<const char*>(kEmbeddedResFiles[i].data), kEmbeddedResFiles[i].size);
        ParsedDialog pd;
        std::string error;
        if (!ParseDialogText(text, &pd, &error)) {
            d.errors.push_back(std::string(path) + ": " + error);
            continue;
        }
        const DialogTemplate& any = pd.hasEnglish ? pd.english : pd.chinese;
        if (path != "dialogs/" + std::to_string(any.id) + ".dlg")
            d.errors.push_back(std::string(path) + ": the file of dialog " + std::to_string(any.id) +
                               " must be dialogs/" + std::to_string(any.id) + ".dlg");
        d.symbols.push_back({any.name, any.id});
        for (const auto& c : any.controls)
            if (!FindBuiltin(c.name)) d.symbols.push_back({c.name, c.id});
        // Controls of the other language's template only.
        if (pd.hasEnglish && pd.hasChinese) {
            for (const auto& c : pd.chinese.controls) {
                const bool shared = std::any_of(any.controls.begin(), any.controls.end(),
                                                [&](const DialogControl& e) { return e.name == c.name; });
                if (!shared && !FindBuiltin(c.name)) d.symbols.push_back({c.name, c.id});
            }
        }
        d.dialogs.emplace(any.id, std::move(pd));
    }
}

const LoadedData& Data()
{
    static const LoadedData data = [] {
        LoadedData d;
        LoadStrings(d);
        LoadIds(d);
        LoadPlaceholders(d);
        LoadDialogs(d);
        // One value per name across all of the data.
        std::map<std::string, int> seen;
        for (const auto& s : d.symbols) {
            const auto [it, fresh] = seen.emplace(s.name, s.value);
            if (!fresh && it->second != s.value)
                d.errors.push_back(s.name + " is both " + std::to_string(it->second) + " and " +
                                   std::to_string(s.value));
        }
        return d;
    }();
    return data;
}

int MulDivRound(int a, int b, int c)
{
    const long long n = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(n >= 0 ? (n + half) / c : (n - half) / c);
}

}  // namespace

const DialogControl* DialogTemplate::FindControl(int controlId) const
{
    for (const auto& c : controls)
        if (c.id == controlId) return &c;
    return nullptr;
}

bool FindResData(const std::string& path, const unsigned char** data, std::size_t* size)
{
    for (std::size_t i = 0; i < kEmbeddedResFileCount; ++i) {
        if (path == kEmbeddedResFiles[i].path) {
            *data = kEmbeddedResFiles[i].data;
            *size = kEmbeddedResFiles[i].size;
            return true;
        }
    }
    return false;
}

bool HasPngResource(int id)
{
    ArtPicture art;
    for (int bucket = 0; bucket < kDpiBuckets; ++bucket)
        if (FindArt(id, bucket, &art) && art.png) return true;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    return FindResData("png/" + std::to_string(id) + ".png", &data, &size);
}

bool ParseDialogText(const std::string& text, ParsedDialog* out, std::string* error)
{
    ProtoDialog p;
    std::string err;
    if (!ParseDialogLines(text, &p, &err)) {
        if (error) *error = err;
        return false;
    }
    *out = ParsedDialog{};
    out->hasEnglish = p.en;
    out->hasChinese = p.zh;
    if (p.en) out->english = Resolve(p, false);
    if (p.zh) out->chinese = Resolve(p, true);
    return true;
}

bool ParseStringTable(const std::string& text, StringTable* out, std::vector<std::string>* errors)
{
    bool ok = true;
    auto fault = [&](int lineNo, const std::string& what) {
        ok = false;
        if (errors) errors->push_back("line " + std::to_string(lineNo) + ": " + what);
    };
    int lineNo = 0;
    for (std::string_view line : SplitLines(text)) {
        ++lineNo;
        if (IsBlankOrComment(line)) continue;
        const auto cells = SplitTabs(line);
        const auto id = cells.size() >= 3 && cells.size() <= 4 ? ParseInt32(cells[0]) : std::nullopt;
        if (!id || *id < 0 || *id > 0xFFFF || !IsSymbol(cells[1])) {
            fault(lineNo, "expected: id, name, English[, Chinese] separated by tabs");
            continue;
        }
        if (out->entries.count(*id)) {
            fault(lineNo, "string " + std::to_string(*id) + " given twice");
            continue;
        }
        StringTable::Entry e;
        e.name = std::string(cells[1]);
        e.hasEnglish = !cells[2].empty();
        e.english = FromUtf8(Unescape(cells[2]));
        e.hasChinese = cells.size() == 4 && !cells[3].empty();
        if (e.hasChinese) e.chinese = FromUtf8(Unescape(cells[3]));
        if (!e.hasEnglish && !e.hasChinese) {
            fault(lineNo, "string without a text");
            continue;
        }
        out->entries.emplace(*id, std::move(e));
    }
    return ok;
}

std::wstring StringTable::Load(int id, uint16_t langId) const
{
    const auto it = entries.find(id);
    if (it == entries.end()) return {};
    const Entry& e = it->second;
    if (IsChinese(langId)) return e.hasChinese ? e.chinese : e.english;
    return e.hasEnglish ? e.english : e.chinese;
}

bool StringTable::Has(int id, uint16_t langId) const
{
    const auto it = entries.find(id);
    return it != entries.end() && (IsChinese(langId) ? it->second.hasChinese : it->second.hasEnglish);
}

const DialogTemplate* FindDialogTemplate(int id) { return FindDialogTemplate(id, g_languageId); }

const DialogTemplate* FindDialogTemplate(int id, uint16_t langId)
{
    const auto& dialogs = Data().dialogs;
    const auto it = dialogs.find(id);
    if (it == dialogs.end()) return nullptr;
    const ParsedDialog& pd = it->second;
    const bool chinese = IsChinese(langId);
    if (chinese ? pd.hasChinese : pd.hasEnglish) return chinese ? &pd.chinese : &pd.english;
    return chinese ? &pd.english : &pd.chinese;
}

std::vector<int> DialogTemplateIds()
{
    std::vector<int> ids;
    for (const auto& [id, _] : Data().dialogs) ids.push_back(id);
    return ids;
}

std::wstring LoadResString(int id) { return LoadResString(id, g_languageId); }

std::wstring LoadResString(int id, uint16_t langId) { return Data().strings.Load(id, langId); }

bool HasResString(int id, uint16_t langId) { return Data().strings.Has(id, langId); }

std::vector<int> ResStringIds()
{
    std::vector<int> ids;
    for (const auto& [id, _] : Data().strings.entries) ids.push_back(id);
    return ids;
}

bool FindBitmapPlaceholder(int id, BitmapPlaceholder* out)
{
    const auto& table = Data().placeholders;
    const auto it = table.find(id);
    if (it == table.end()) return false;
    if (out) *out = it->second;
    return true;
}

std::vector<ResSymbol> ResourceSymbols() { return Data().symbols; }
std::vector<std::string> ResourceDataErrors() { return Data().errors; }

DialogBaseUnits GetDialogBaseUnits(const std::wstring& fontFace, int pointSize, int dpi)
{
    LOGFONTW lf;
    lf.lfHeight = -PointsToPixels(pointSize, dpi);
    lf.lfWeight = FW_NORMAL;
    const std::size_t n = std::min<std::size_t>(fontFace.size(), LF_FACESIZE - 1);
    std::copy_n(fontFace.begin(), n, lf.lfFaceName);
    const QFontMetrics fm(MakeQFont(lf));
    const int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, fm.height()};
}

DialogBaseUnits GetDialogBaseUnits(const DialogTemplate& dlg, int dpi)
{
    return GetDialogBaseUnits(dlg.fontFace, dlg.fontPointSize, dpi);
}

int DluToPixelsX(int du, const DialogBaseUnits& units) { return MulDivRound(du, units.x, 4); }
int DluToPixelsY(int du, const DialogBaseUnits& units) { return MulDivRound(du, units.y, 8); }
