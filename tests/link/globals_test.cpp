// The tests' reset of the globals (tests/support/globals.h) covers every
// global that model/ and link/ declare: a global left out would carry one
// test's state into the next test of the same process.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/source_tree.h"

namespace {

struct Global {
    std::string name;
    std::string where;
};

// The g_ names of every extern declaration in the folders' headers that is
// neither const nor a lock.
std::vector<Global> DeclaredGlobals(const std::vector<std::string>& folders)
{
    static const std::regex declaration(R"(\bextern\s+([^;]*);)");
    static const std::regex name(R"(\bg_\w+)");
    std::vector<Global> out;
    for (const source_tree::File& f : source_tree::Read(folders)) {
        if (!f.path.ends_with(".h")) continue;
        for (std::sregex_iterator it(f.text.begin(), f.text.end(), declaration), end; it != end; ++it) {
            const std::string decl = (*it)[1];
            if (std::regex_search(decl, std::regex(R"(\bconst\b|\bstd::mutex\b)"))) continue;
            const std::string where = f.path + ":" + std::to_string(source_tree::LineOf(f.text, it->position()));
            for (std::sregex_iterator n(decl.begin(), decl.end(), name), e; n != e; ++n)
                out.push_back({n->str(), where});
        }
    }
    return out;
}

TEST(Globals, TheResetHasALineForEveryGlobalOfModelAndLink)
{
    const auto reset = source_tree::Read({"tests/support"});
    std::string resetText;
    for (const source_tree::File& f : reset)
        if (f.path == "tests/support/globals.h" || f.path == "tests/support/model_globals.h") resetText += f.text;
    ASSERT_FALSE(resetText.empty());

    const std::vector<Global> globals = DeclaredGlobals({"model", "link"});
    bool sawModel = false, sawLink = false;
    for (const Global& g : globals) {
        sawModel |= g.name == "g_selectedChannel";
        sawLink |= g.name == "g_hidTxRing";
        EXPECT_TRUE(std::regex_search(resetText, std::regex("\\b" + g.name + "\\b")))
            << g.name << " (" << g.where << ") is not put back by ResetGlobals (tests/support/globals.h)";
    }
    EXPECT_TRUE(sawModel && sawLink) << globals.size() << " globals read";
}

}  // namespace
