#include "sim/fault_options.h"

#include <charconv>
#include <vector>

namespace {

bool Number(std::string_view text, int& value, int max)
{
    int v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || v < 0 || v > max) return false;
    value = v;
    return true;
}

}  // namespace

bool ApplyFaultOption(std::string_view text, SimFaults& faults, std::string& error)
{
    const size_t eq = text.find('=');
    const std::string_view name = text.substr(0, eq);
    const std::string_view value = eq == std::string_view::npos ? std::string_view{} : text.substr(eq + 1);
    SimFaults f = faults;
    bool ok = true;
    int n = 0;
    if (name == "spoil-page") {
        ok = Number(value, n, 255);
        f.frameFaults.push_back({SimFrameFaultKind::BadSum, simwire::RSP_EQUSER_PAGE, n, 1});
    } else if (name == "pages") {
        f.eqUserPages.clear();
        for (size_t at = 0; ok && at <= value.size();) {
            const size_t comma = std::min(value.find(',', at), value.size());
            ok = Number(value.substr(at, comma - at), n, 255);
            f.eqUserPages.push_back(n);
            at = comma + 1;
        }
    } else if (name == "page-gap") {
        ok = Number(value, n, 60000);
        f.replyGap = std::chrono::milliseconds(n);
    } else if (name == "lose-page") {
        const size_t at = value.find('@');
        ok = at != std::string_view::npos && Number(value.substr(0, at), f.losePage, 255) &&
             Number(value.substr(at + 1), f.losePageRead, 1000000) && f.losePageRead >= 1;
    } else if (name == "repeat-page") {
        const size_t colon = value.find(':');
        ok = colon != std::string_view::npos && Number(value.substr(0, colon), f.repeatPage, 255) &&
             Number(value.substr(colon + 1), f.repeatTimes, 1000000);
    } else if (name == "save-done-copies") {
        ok = Number(value, f.saveDoneCopies, 1000000);
    } else if (name == "save-done-at-connect") {
        ok = Number(value, f.saveDoneAtConnect, 1000000);
    } else if (name == "silent-after-import") {
        ok = value.empty();
        f.silentAfterImport = true;
    } else {
        error = "unknown fault: " + std::string(name);
        return false;
    }
    if (!ok) {
        error = "bad value for " + std::string(name) + ": " + std::string(value);
        return false;
    }
    faults = f;
    return true;
}
