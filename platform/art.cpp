// The skin art of res/art.tsv, drawn from the SVG sources of res/art/.
#include "platform/art.h"

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>

#include <charconv>
#include <map>
#include <mutex>
#include <string_view>

#include "platform/gdi_qt.h"
#include "platform/look.h"
#include "platform/resources.h"

namespace {

struct ArtRow {
    ArtPicture picture[kDpiBuckets];
    int ids[kDpiBuckets] = {};
    std::vector<std::pair<std::string, std::string>> substitutions;
};

struct ArtTable {
    std::vector<ArtRow> rows;
    std::map<std::pair<int, int>, std::size_t> byIdBucket;  // (id, bucket) -> row
    std::vector<std::string> errors;
};

std::vector<std::string_view> Split(std::string_view text, char sep)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(sep, start);
        out.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return out;
}

bool ParseSize(std::string_view cell, int* w, int* h)
{
    const std::size_t x = cell.find('x');
    if (x == std::string_view::npos) return false;
    auto num = [](std::string_view s, int* v) {
        const auto r = std::from_chars(s.data(), s.data() + s.size(), *v);
        return r.ec == std::errc() && r.ptr == s.data() + s.size() && *v > 0;
    };
    return num(cell.substr(0, x), w) && num(cell.substr(x + 1), h);
}

std::string_view ResString(const std::string& path)
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (!FindResData(path, &data, &size)) return {};
    return {reinterpret_cast<const char*>(data), size};
}

ArtTable LoadTable()
{
    ArtTable t;
    std::map<std::string, int> symbols;
    for (const ResSymbol& s : ResourceSymbols()) symbols.emplace(s.name, s.value);
    auto id = [&](const std::string& name) {
        auto it = symbols.find(name);
        return it == symbols.end() ? 0 : it->second;
    };
    int lineNo = 0;
    for (std::string_view line : Split(ResString("art.tsv"), '\n')) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const auto cells = Split(line, '\t');
        const std::string where = "art.tsv line " + std::to_string(lineNo) + ": ";
        if (cells.size() < 9) {
            t.errors.push_back(where + "expected: name, family, state, svg, five sizes[, how[, substitutions]]");
            continue;
        }
        ArtRow row;
        const std::string name(cells[0]);
        bool sound = true;
        if (ResString("art/" + std::string(cells[3])).empty()) {
            t.errors.push_back(where + "art/" + std::string(cells[3]) + " is missing");
            sound = false;
        }
        for (int b = 0; b < kDpiBuckets && sound; ++b) {
            ArtPicture& p = row.picture[b];
            p.name = name;
            p.family = cells[1];
            p.state = cells[2];
            p.svg = cells[3];
            p.png = name.rfind("IDP_", 0) == 0;
            row.ids[b] = id(name + "_B" + std::to_string(b));
            if (row.ids[b] == 0) row.ids[b] = id(name);
            if (row.ids[b] == 0) {
                t.errors.push_back(where + "no id " + name + "_B" + std::to_string(b) + " or " + name);
                sound = false;
            }
            if (!ParseSize(cells[4 + static_cast<std::size_t>(b)], &p.width, &p.height)) {
                t.errors.push_back(where + "bad size in bucket " + std::to_string(b));
                sound = false;
            }
        }
        if (cells.size() > 10) {
            for (std::string_view kv : Split(cells[10], ' ')) {
                const std::size_t eq = kv.find('=');
                if (kv.empty()) continue;
                if (eq == std::string_view::npos) {
                    t.errors.push_back(where + "substitution without '='");
                    sound = false;
                    continue;
                }
                row.substitutions.emplace_back("@" + std::string(kv.substr(0, eq)) + "@",
                                               std::string(kv.substr(eq + 1)));
            }
        }
        if (!sound) continue;
        for (int b = 0; b < kDpiBuckets; ++b) {
            if (!t.byIdBucket.emplace(std::make_pair(row.ids[b], b), t.rows.size()).second)
                t.errors.push_back(where + "id " + std::to_string(row.ids[b]) + " has art twice in bucket " +
                                   std::to_string(b));
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

const ArtTable& Table()
{
    static const ArtTable table = LoadTable();
    return table;
}

const ArtRow* FindRow(int id, int bucket)
{
    const ArtTable& t = Table();
    auto it = t.byIdBucket.find({id, bucket});
    return it == t.byIdBucket.end() ? nullptr : &t.rows[it->second];
}

QImage Render(const ArtRow& row, int bucket)
{
    const ArtPicture& p = row.picture[bucket];
    std::string svg(ResString("art/" + p.svg));
    for (const auto& [key, value] : row.substitutions) {
        for (std::size_t at = svg.find(key); at != std::string::npos; at = svg.find(key, at + value.size()))
            svg.replace(at, key.size(), value);
    }
    QSvgRenderer renderer(QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
    if (!renderer.isValid()) return {};
    renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
    QImage image(p.width, p.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, p.width, p.height));
    }
    return p.png ? image : image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

bool FindArt(int id, int bucket, ArtPicture* out)
{
    if (bucket < 0 || bucket >= kDpiBuckets) return false;
    const ArtRow* row = FindRow(id, bucket);
    if (!row) return false;
    if (out) *out = row->picture[bucket];
    return true;
}

int ArtBucketOf(int id)
{
    const int current = DpiBucket(g_screenDpi);
    if (FindRow(id, current)) return current;
    for (int b = 0; b < kDpiBuckets; ++b)
        if (FindRow(id, b)) return b;
    return -1;
}

std::vector<ArtEntry> ArtEntries()
{
    std::vector<ArtEntry> out;
    for (const auto& [key, index] : Table().byIdBucket)
        out.push_back({key.first, key.second, Table().rows[index].picture[key.second]});
    return out;
}

std::vector<std::string> ArtTableErrors() { return Table().errors; }

QImage ArtImage(int id, int bucket)
{
    if (bucket < 0) bucket = ArtBucketOf(id);
    const ArtRow* row = bucket >= 0 ? FindRow(id, bucket) : nullptr;
    if (!row) return {};
    static std::mutex lock;
    static std::map<std::pair<int, int>, QImage> cache;
    const std::lock_guard<std::mutex> guard(lock);
    auto it = cache.find({id, bucket});
    if (it == cache.end()) it = cache.emplace(std::make_pair(id, bucket), Render(*row, bucket)).first;
    return it->second;
}

BOOL DrawBitmapStretched(CDC* dc, int bitmapId, const RECT& rect)
{
    if (!dc) return FALSE;
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(static_cast<UINT>(bitmapId))) return FALSE;
    return DrawBitmapStretched(dc, bitmap, rect);
}

BOOL DrawBitmapStretched(CDC* dc, CBitmap& bitmap, const RECT& rect)
{
    if (!dc) return FALSE;
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) return FALSE;
    memory.SelectObject(&bitmap);
    const CSize size = bitmap.GetSize();
    const int oldMode = dc->SetStretchBltMode(COLORONCOLOR);
    const BOOL done = dc->StretchBlt(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, &memory, 0, 0,
                                     size.cx, size.cy, SRCCOPY);
    dc->SetStretchBltMode(oldMode);
    return done;
}
