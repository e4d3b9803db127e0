#include "platform/fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <map>
#include <mutex>

#include "platform/fonts_qt.h"

namespace {

constexpr const char* kCjkFamily = "WenQuanYi Micro Hei";
constexpr const char* kSansFamily = "DejaVu Sans";

// Faces asked for by name, compared without letter case.
// clang-format off
constexpr const char* kCjkFaces[] = {
    "宋体", "新宋体", "黑体", "微软雅黑", "楷体", "仿宋", "simsun", "nsimsun", "simhei", "microsoft yahei", "kaiti",
    "fangsong",
};
// clang-format on
// The dialog faces: their stand-in must give the dialog base units the
// templates were measured with (6 x 13 at 8 pt, 7 x 14 at 9 pt on a 96-dpi
// screen, 13 x 28 at 9 pt on 192). WenQuanYi Micro Hei gives exactly these
// at every DPI; DejaVu Sans is a unit wider, so its dialogs run off their
// right edge.
// clang-format off
constexpr const char* kDialogFaces[] = {
    "", "ms shell dlg", "ms shell dlg 2", "ms sans serif", "microsoft sans serif", "tahoma", "system",
};
constexpr const char* kLatinFaces[] = {
    "arial", "verdana", "segoe ui", "helvetica", "times new roman", "courier new",
};
// clang-format on

bool HasCjkCharacter(const QString& s)
{
    for (QChar c : s) {
        const ushort u = c.unicode();
        if ((u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF) ||
            c.isSurrogate())
            return true;
    }
    return false;
}

bool Listed(const QString& key, const char* const* begin, const char* const* end)
{
    for (auto it = begin; it != end; ++it)
        if (key == QString::fromUtf8(*it)) return true;
    return false;
}

// The CJK family under the name the font database knows it by: a Chinese
// locale lists it by its Chinese name only.
QString CjkFamily()
{
    for (const char* name : {kCjkFamily, "文泉驿微米黑", "文泉驛微米黑"}) {
        const QString family = QString::fromUtf8(name);
        if (QFontDatabase::hasFamily(family)) return family;
    }
    return {};
}

QString SansFamily()
{
    if (QFontDatabase::hasFamily(QString::fromLatin1(kSansFamily))) return QString::fromLatin1(kSansFamily);
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

FontFaceMapping Resolve(const QString& face)
{
    const QString key = face.trimmed().toLower();
    FontFaceMapping m;
    const QString cjk = CjkFamily();
    if (Listed(key, std::begin(kDialogFaces), std::end(kDialogFaces)) && !cjk.isEmpty()) {
        m.kind = FontFaceKind::Dialog;
        m.family = cjk.toStdWString();
    } else if (Listed(key, std::begin(kCjkFaces), std::end(kCjkFaces)) || HasCjkCharacter(key)) {
        m.kind = FontFaceKind::Cjk;
        m.family = (cjk.isEmpty() ? SansFamily() : cjk).toStdWString();
    } else if (!Listed(key, std::begin(kLatinFaces), std::end(kLatinFaces)) &&
               QFontDatabase::hasFamily(face.trimmed())) {
        m.kind = FontFaceKind::Installed;
        m.family = face.trimmed().toStdWString();
    } else {
        m.kind = FontFaceKind::LatinSans;
        m.family = SansFamily().toStdWString();
    }
    return m;
}

}  // namespace

FontFaceMapping MapFontFace(const std::wstring& face)
{
    static std::mutex mutex;
    static std::map<std::wstring, FontFaceMapping> cache;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.find(face);
    if (it == cache.end()) it = cache.emplace(face, Resolve(QString::fromStdWString(face))).first;
    return it->second;
}

QString MapFontFamily(const QString& face) { return QString::fromStdWString(MapFontFace(face.toStdWString()).family); }

int PointsToPixels(int points, int dpi)
{
    const long long n = static_cast<long long>(points) * dpi;
    return static_cast<int>((n >= 0 ? n + 36 : n - 36) / 72);
}

QFont MakeQFont(const LOGFONTW& lf)
{
    QString face = QString::fromWCharArray(lf.lfFaceName, static_cast<int>(wcsnlen(lf.lfFaceName, LF_FACESIZE)));
    QFont f(MapFontFamily(face));
    f.setKerning(false);
    f.setItalic(lf.lfItalic != 0);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);
    if (lf.lfWeight > 0) f.setWeight(static_cast<QFont::Weight>(std::clamp<LONG>(lf.lfWeight, 1, 1000)));

    int pixels = 12;  // the size of a font that asks for none
    if (lf.lfHeight < 0) {
        pixels = -lf.lfHeight;
    } else if (lf.lfHeight > 0) {
        // A cell height: scale the em so that ascent + descent fills it.
        QFont probe(f);
        probe.setPixelSize(100);
        const QFontMetricsF fm(probe);
        const double cell = fm.ascent() + fm.descent();
        pixels = cell > 0 ? static_cast<int>(std::lround(lf.lfHeight * 100.0 / cell)) : lf.lfHeight;
    }
    f.setPixelSize(std::max(1, pixels));

    if (lf.lfWidth > 0) {
        const double natural = QFontMetricsF(f).averageCharWidth();
        if (natural > 0) f.setStretch(std::clamp(static_cast<int>(std::lround(lf.lfWidth * 100.0 / natural)), 1, 4000));
    }
    return f;
}
