// Message map lookups: the walk over a class chain's entries, and the
// lookups remembered per map, message and control.
#include "platform/msgmap.h"

#include <unordered_map>

#include "platform/wnd.h"

namespace msgmap {

namespace {

// What part of wParam picks an entry: the code and id of WM_COMMAND, the
// control id of WM_DRAWITEM; nothing for other messages.
uint32_t Selector(UINT message, WPARAM wParam)
{
    if (message == WM_COMMAND) return static_cast<uint32_t>(wParam & 0xFFFFFFFFu);
    if (message == WM_DRAWITEM) return static_cast<uint32_t>(wParam & 0xFFFFFFFFu);
    return 0;
}

struct Key {
    const Map* map;
    UINT message;
    uint32_t selector;
    bool operator==(const Key&) const = default;
};

struct KeyHash {
    size_t operator()(const Key& k) const
    {
        const size_t h = std::hash<const void*>()(k.map);
        return h ^ ((static_cast<size_t>(k.message) << 32 | k.selector) * 0x9E3779B97F4A7C15ull);
    }
};

}  // namespace

int IndexOf(const IdTable& table, UINT id)
{
    for (size_t i = 0; i < table.count; ++i) {
        if (static_cast<UINT>(table.ids[i]) == id) return static_cast<int>(i);
    }
    return -1;
}

Match Scan(const Map* map, UINT message, WPARAM wParam)
{
    const UINT code = HIWORD(wParam);
    const UINT id = LOWORD(wParam);
    for (; map; map = map->base ? map->base() : nullptr) {
        for (const Entry* e = map->entries; e->kind != EntryKind::End; ++e) {
            if (message < e->message || message > e->messageLast) continue;
            switch (e->kind) {
            case EntryKind::Command:
                if (code != e->code || id < e->idFirst || id > e->idLast) continue;
                return Match{e, -1};
            case EntryKind::CommandTable: {
                if (code != e->code) continue;
                const int index = IndexOf(e->table, id);
                if (index < 0) continue;
                return Match{e, index};
            }
            case EntryKind::DrawItemTable: {
                const int index = IndexOf(e->table, static_cast<UINT>(wParam));
                if (index < 0) continue;
                return Match{e, index};
            }
            case EntryKind::Message:
            case EntryKind::End: return Match{e, -1};
            }
        }
    }
    return Match{};
}

Match Find(const Map* map, UINT message, WPARAM wParam)
{
    // Maps and their entries are static, so what a lookup found holds for
    // the life of the program. Messages are handled on the UI thread only.
    static thread_local std::unordered_map<Key, Match, KeyHash> s_found;
    const Key key{map, message, Selector(message, wParam)};
    if (auto it = s_found.find(key); it != s_found.end()) return it->second;
    const Match m = Scan(map, message, wParam);
    s_found.emplace(key, m);
    return m;
}

void Invoke(const Match& match, CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const Entry* e = match.entry;
    if (e->indexed) e->indexed(self, match.index, wParam, lParam, result);
    else e->thunk(self, wParam, lParam, result);
}

}  // namespace msgmap
