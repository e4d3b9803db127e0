// Every window message and timer id the program declares, read from the
// source tree, so that an id added anywhere is checked without being listed:
// - the window system's own messages live in platform/messages.h, below
//   WM_USER; every other WM_ name is a private message above WM_USER and
//   below WM_APP (0x8000), and no two messages share a value: any window of
//   the program may be handed a private message;
// - a test's own message (under tests/) may repeat in another test, but never
//   takes the value of one of the program's messages, which reach the same
//   windows;
// - every IDT_ timer (IDT_..._MS are periods) is set on the main dialog,
//   by the dialog itself or by the sync timers through ISyncHost, so their
//   ids differ; popups set their own timers on their own windows, with their
//   own constants, and may reuse these values.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/tarveldlg.h"
#include "link/link_messages.h"
#include "link/sync_timers.h"
#include "platform/messages.h"
#include "tests/support/source_tree.h"

namespace {

constexpr long kWmApp = 0x8000;

struct Definition {
    std::string name;
    std::string where;  // path:line
    long value;
};

// Every WM_ and IDT_ name given a value (constexpr/const, enum entry or
// #define) in the folders. A value this cannot work out fails the test: it
// takes integer literals and sums of them and of names defined anywhere.
std::vector<Definition> Definitions(const std::vector<std::string>& folders, std::map<std::string, long> known = {})
{
    static const std::regex assignment(R"(\b((?:WM|IDT)_[A-Z0-9_]+)\s*=(?!=)\s*([^;,}\n]+))");
    static const std::regex define(R"(#\s*define\s+((?:WM|IDT)_[A-Z0-9_]+)\s+([^\n]+))");
    static const std::regex term(R"(\s*(?:(0[xX][0-9A-Fa-f]+|[0-9]+)[uUlL]*|([A-Za-z_]\w*))\s*)");
    struct Raw {
        std::string name, expr, where;
    };
    std::vector<Raw> raw;
    for (const source_tree::File& f : source_tree::Read(folders)) {
        for (const std::regex* re : {&assignment, &define}) {
            for (std::sregex_iterator it(f.text.begin(), f.text.end(), *re), end; it != end; ++it) {
                raw.push_back(
                    {(*it)[1], (*it)[2], f.path + ":" + std::to_string(source_tree::LineOf(f.text, it->position()))});
            }
        }
    }
    // The value of a sum, once every name in it is known.
    const auto evaluate = [&](const std::string& expr) -> std::optional<long> {
        long value = 0;
        for (size_t from = 0; from <= expr.size();) {
            const size_t plus = std::min(expr.find('+', from), expr.size());
            const std::string part = expr.substr(from, plus - from);
            std::smatch m;
            if (!std::regex_match(part, m, term)) return std::nullopt;
            if (m[1].matched) value += std::strtol(m[1].str().c_str(), nullptr, 0);
            else if (known.count(m[2])) value += known[m[2]];
            else return std::nullopt;
            from = plus + 1;
        }
        return value;
    };
    std::vector<Definition> out;
    std::vector<bool> done(raw.size(), false);
    for (bool progress = true; progress;) {
        progress = false;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (done[i]) continue;
            const std::optional<long> value = evaluate(raw[i].expr);
            if (!value) continue;
            known[raw[i].name] = *value;
            out.push_back({raw[i].name, raw[i].where, *value});
            done[i] = progress = true;
        }
    }
    for (size_t i = 0; i < raw.size(); ++i) {
        if (!done[i]) {
            ADD_FAILURE() << raw[i].where << ": the value of " << raw[i].name
                          << " is not a literal or a sum: " << raw[i].expr;
        }
    }
    return out;
}

const std::vector<std::string> kProductFolders = {"model",    "platform", "link", "widgets", "fields",
                                                  "controls", "dialogs",  "app",  "sim"};

bool IsTimer(const Definition& d) { return d.name.starts_with("IDT_") && !d.name.ends_with("_MS"); }

TEST(Ids, MessagesAndTimersAreUniqueWhereTheyMeet)
{
    const std::vector<Definition> product = Definitions(kProductFolders);
    std::map<std::string, const Definition*> byName;
    for (const Definition& d : product) {
        const auto [it, added] = byName.emplace(d.name, &d);
        EXPECT_TRUE(added) << d.name << " is defined at " << it->second->where << " and at " << d.where;
    }
    // The reading sees what the compiler sees.
    ASSERT_TRUE(byName.count("WM_USER") && byName.count("WM_LINK_CHANGED") && byName.count("IDT_PARAM_SYNC") &&
                byName.count("IDT_EQ_SYNC"));
    EXPECT_EQ(byName["WM_USER"]->value, static_cast<long>(WM_USER));
    EXPECT_EQ(byName["WM_LINK_CHANGED"]->value, static_cast<long>(WM_LINK_CHANGED));
    EXPECT_EQ(byName["IDT_PARAM_SYNC"]->value, static_cast<long>(IDT_PARAM_SYNC));
    EXPECT_EQ(byName["IDT_EQ_SYNC"]->value, static_cast<long>(IDT_EQ_SYNC));

    std::map<long, const Definition*> messages, timers;
    std::set<std::string> privateHeaders;
    for (const Definition& d : product) {
        if (d.name == "WM_USER") continue;
        if (d.name.starts_with("WM_")) {
            if (d.where.starts_with("platform/messages.h:")) {
                EXPECT_LT(d.value, static_cast<long>(WM_USER)) << d.where << " " << d.name;
            } else {
                privateHeaders.insert(d.where.substr(0, d.where.find(':')));
                EXPECT_GT(d.value, static_cast<long>(WM_USER)) << d.where << " " << d.name;
                EXPECT_LT(d.value, kWmApp) << d.where << " " << d.name;
            }
            const auto [it, added] = messages.emplace(d.value, &d);
            EXPECT_TRUE(added) << d.name << " (" << d.where << ") has the value of " << it->second->name << " ("
                               << it->second->where << ")";
        } else if (IsTimer(d)) {
            EXPECT_GT(d.value, 0) << d.where << " " << d.name;
            const auto [it, added] = timers.emplace(d.value, &d);
            EXPECT_TRUE(added) << d.name << " (" << d.where << ") has the id of " << it->second->name << " ("
                               << it->second->where << ")";
        }
    }
    for (const char* header : {"link/link_messages.h", "dialogs/dialog_messages.h", "fields/field_messages.h"})
        EXPECT_TRUE(privateHeaders.count(header)) << "no private message read in " << header;
    EXPECT_GE(timers.size(), 5u);

    // The tests' own messages, read with the program's names known.
    std::map<std::string, long> known;
    for (const Definition& d : product) known[d.name] = d.value;
    for (const Definition& d : Definitions({"tests"}, known)) {
        if (!d.name.starts_with("WM_")) continue;
        EXPECT_GT(d.value, static_cast<long>(WM_USER)) << d.where << " " << d.name;
        const auto it = messages.find(d.value);
        if (it != messages.end()) {
            ADD_FAILURE() << d.name << " (" << d.where << ") has the value of " << it->second->name << " ("
                          << it->second->where << ")";
        }
    }
}

// An IDT_ timer is set only where the main dialog's timers are: by the
// dialog (app/) or by the sync timers on it (link/).
TEST(Ids, TimersAreSetOnTheMainDialogOnly)
{
    static const std::regex setTimer(R"(\bSetTimer\s*\(\s*(IDT_[A-Z0-9_]+))");
    int calls = 0;
    for (const source_tree::File& f : source_tree::Read(kProductFolders)) {
        for (std::sregex_iterator it(f.text.begin(), f.text.end(), setTimer), end; it != end; ++it) {
            ++calls;
            EXPECT_TRUE(f.path.starts_with("app/") || f.path.starts_with("link/"))
                << f.path << ":" << source_tree::LineOf(f.text, it->position()) << " sets " << (*it)[1]
                << " on another window: give that window's timer its own constant";
        }
    }
    EXPECT_GE(calls, 5);
}

}  // namespace
