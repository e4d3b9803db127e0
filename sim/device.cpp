#include "sim/device.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

using namespace simwire;

namespace {

std::string Hex(unsigned v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", v);
    return buf;
}

// A 20-byte name as text: printable ASCII as is, other bytes as \xNN, up to
// the first zero.
std::string NameText(const uint8_t* p)
{
    std::string s = "\"";
    for (size_t i = 0; i < kNameLen && p[i] != 0; ++i) {
        if (p[i] >= 0x20 && p[i] < 0x7F && p[i] != '"' && p[i] != '\\') {
            s += static_cast<char>(p[i]);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", p[i]);
            s += buf;
        }
    }
    return s + "\"";
}

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

SimBytes FwRequest(uint16_t index)
{
    return {RSP_FW_REQUEST, static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index)};
}

// The loader cannot tell padding from data: the image is accepted when some
// run of trailing 0xFF bytes within the last chunk, taken as padding, makes
// the sum of the rest equal the checksum. Each 0xFF moves the sum by one, so
// the longest such run is taken (exact unless the data itself ends in 256
// or more 0xFF bytes). Returns the data length.
std::optional<size_t> AcceptedLength(const SimBytes& got, size_t chunk, uint8_t checksum)
{
    if (got.empty()) return std::nullopt;
    size_t run = 0;
    while (run + 1 < chunk && run < got.size() && got[got.size() - 1 - run] == 0xFF) ++run;
    uint8_t sum = Sum8(got.data(), got.size() - run);
    for (size_t pad = run + 1; pad-- > 0;) {
        if (sum == checksum) return got.size() - pad;
        if (pad > 0) sum = static_cast<uint8_t>(sum + 0xFF);
    }
    return std::nullopt;
}

bool ValidSource(uint8_t s) { return (s >= 1 && s <= 6) || s == 9; }

}  // namespace

SimDevice::SimDevice(std::string_view deviceString)
{
    state_.deviceString = SimMakeDeviceString(deviceString);
    std::copy_n(kSimDefaultDeviceInfoEx.begin(), std::min(kSimDefaultDeviceInfoEx.size(), kDeviceInfoExLen),
                state_.deviceInfoEx.begin());
    FactoryReset();
}

void SimDevice::FactoryReset()
{
    state_.eqUser = SimFactoryEqUser(SimEqUserSize(state_.deviceString));
    state_.eqUser2 = SimFactoryEqUser2();
    for (SimPreset& p : state_.presets) p = {state_.eqUser, state_.eqUser2, {}};
    state_.channelNames = {};
    state_.inputSource = 1;
    state_.presetSlot = 0;
    state_.saveSlot = 0;
    state_.options &= static_cast<uint8_t>(~kOptNoSignalMute);  // bit 6 is hardware
}

void SimDevice::FitImages()
{
    const size_t size = SimEqUserSize(state_.deviceString);
    const SimBytes factory = SimFactoryEqUser(size);
    auto fit = [&](SimBytes& img) {
        const size_t old = std::min(img.size(), size);
        img.resize(size);
        std::copy(factory.begin() + static_cast<std::ptrdiff_t>(old), factory.end(),
                  img.begin() + static_cast<std::ptrdiff_t>(old));
    };
    fit(state_.eqUser);
    state_.eqUser2.resize(kEqUser2Size, 0);
    for (SimPreset& p : state_.presets) {
        fit(p.eqUser);
        p.eqUser2.resize(kEqUser2Size, 0);
    }
}

SimState SimDevice::State() const
{
    std::lock_guard lock(mutex_);
    return state_;
}

void SimDevice::Update(const std::function<void(SimState&)>& edit)
{
    std::lock_guard lock(mutex_);
    edit(state_);
    FitImages();
}

bool SimDevice::InLoader() const
{
    std::lock_guard lock(mutex_);
    return state_.loaderMode;
}

SimFaults SimDevice::Faults() const
{
    std::lock_guard lock(mutex_);
    return faults_;
}

void SimDevice::SetFaults(SimFaults faults)
{
    std::lock_guard lock(mutex_);
    faults_ = std::move(faults);
}

SimFrameFaultKind SimDevice::TakeFrameFault(const SimBytes& reply)
{
    if (reply.empty()) return SimFrameFaultKind::None;
    std::lock_guard lock(mutex_);
    for (SimFrameFault& f : faults_.frameFaults) {
        if (f.kind == SimFrameFaultKind::None || f.count == 0) continue;
        if (f.code != 0 && f.code != reply[0]) continue;
        if (f.arg >= 0 && (reply.size() < 2 || reply[1] != f.arg)) continue;
        if (f.count > 0) --f.count;
        return f.kind;
    }
    return SimFrameFaultKind::None;
}

void SimDevice::Note(const SimSession& s, const std::string& line)
{
    log_.Add((s.link == SimLink::Hid ? "hid " : "tcp ") + line);
}

void SimDevice::Restart(SimOutcome& out)
{
    out.restart = true;
    ++generation_;
}

void SimDevice::AddEqUserPages(SimOutcome& out)
{
    const SimBytes& img = state_.eqUser;
    const int pages = static_cast<int>((img.size() + kEqUserPage - 1) / kEqUserPage);
    std::vector<int> order = faults_.eqUserPages;
    if (order.empty())
        for (int k = 0; k < pages; ++k) order.push_back(k);
    const bool losing = ++eqUserReads_ == faults_.losePageRead;
    for (int k : order) {
        if (k < 0 || k > 255 || (losing && k == faults_.losePage)) continue;
        SimBytes page{RSP_EQUSER_PAGE, static_cast<uint8_t>(k)};
        const size_t at = static_cast<size_t>(k) * kEqUserPage;
        if (at < img.size()) {
            const size_t n = std::min(kEqUserPage, img.size() - at);
            page.insert(page.end(), img.begin() + static_cast<std::ptrdiff_t>(at),
                        img.begin() + static_cast<std::ptrdiff_t>(at + n));
        } else {
            page.resize(2 + kEqUserPage, 0);  // a page past the image carries zeros
        }
        out.replies.push_back(std::move(page));
        if (k == faults_.removeAfterPage) {
            faults_.removeAfterPage = -1;
            out.removeAfter = static_cast<int>(out.replies.size()) - 1;
            return;
        }
    }
    const int k = faults_.repeatPage;
    if (k < 0 || k >= pages || faults_.repeatTimes <= 0) return;
    const size_t at = static_cast<size_t>(k) * kEqUserPage;
    SimBytes page{RSP_EQUSER_PAGE, static_cast<uint8_t>(k)};
    page.insert(page.end(), img.begin() + static_cast<std::ptrdiff_t>(at),
                img.begin() + static_cast<std::ptrdiff_t>(std::min(img.size(), at + kEqUserPage)));
    for (int i = 0; i < faults_.repeatTimes; ++i) out.replies.push_back(page);
}

void SimDevice::AddEqUser2Pages(SimOutcome& out)
{
    const SimBytes& img = state_.eqUser2;
    std::vector<int> order = faults_.eqUser2Pages;
    if (order.empty())
        for (int k = 0; k < 8; ++k) order.push_back(k);
    for (int k : order) {
        if (k < 0 || k > 255) continue;
        SimBytes page{RSP_EQUSER2_PAGE, static_cast<uint8_t>(k)};
        const size_t at = static_cast<size_t>(k) * kEqUser2Page;
        if (at < img.size()) {
            const size_t n = std::min(kEqUser2Page, img.size() - at);
            page.insert(page.end(), img.begin() + static_cast<std::ptrdiff_t>(at),
                        img.begin() + static_cast<std::ptrdiff_t>(at + n));
        } else {
            page.resize(2 + kEqUser2Page, 0);
        }
        out.replies.push_back(std::move(page));
    }
}

SimOutcome SimDevice::Handle(SimSession& s, const uint8_t* p, size_t len)
{
    SimOutcome out;
    std::lock_guard lock(mutex_);
    out.generation = generation_.load();
    if (len == 0) return out;
    const uint8_t code = p[0];
    if (s.silent) {
        Note(s, "code " + Hex(code) + " ignored: silent");
        return out;
    }
    if (!s.greeted) {
        s.greeted = true;
        for (int i = 0; i < faults_.saveDoneAtConnect; ++i) out.replies.push_back({RSP_SAVE_DONE});
    }

    if (code >= CMD_FW_START || state_.loaderMode) {
        HandleLoader(s, p, len, out);
        out.generation = generation_.load();
        return out;
    }

    // Each command has one length; anything else is refused whole.
    auto lengthOk = [&](const char* name, size_t want) {
        if (len == want) return true;
        Note(s, std::string(name) + " ignored: length " + std::to_string(len) + ", expected " + std::to_string(want));
        return false;
    };
    auto blockOk = [&](const char* name) {
        if (len < 4) return lengthOk(name, 4);
        if (p[3] > kMaxWriteBlock) {
            Note(s, std::string(name) + " n=" + std::to_string(p[3]) + " ignored: block too long");
            return false;
        }
        return lengthOk(name, 4u + p[3]);
    };

    switch (code) {
    case CMD_DEVICE_INFO: {
        if (!lengthOk("CMD_DEVICE_INFO", 2)) break;
        if (p[1] != kInfoTag) {
            Note(s, "CMD_DEVICE_INFO tag=" + std::to_string(p[1]) + " ignored: tag");
            break;
        }
        Note(s, "CMD_DEVICE_INFO tag=19");
        SimBytes info{RSP_DEVICE_INFO, kInfoTag, state_.saveSlot};
        info.insert(info.end(), state_.deviceString.begin(), state_.deviceString.end());
        info.push_back(state_.inputSource);
        info.push_back(state_.presetSlot);
        if (!faults_.shortDeviceInfo) info.push_back(state_.options);
        out.replies.push_back(std::move(info));
        if (!s.identified) {
            // The first identification of a session also brings the extended
            // info and the preset names.
            s.identified = true;
            SimBytes ex{RSP_DEVICE_INFO_EX, kInfoTag, 0};
            ex.insert(ex.end(), state_.deviceInfoEx.begin(), state_.deviceInfoEx.end());
            out.replies.push_back(std::move(ex));
            for (int slot = 0; slot < kPresetSlots; ++slot) {
                SimBytes name{RSP_PRESET_NAME, static_cast<uint8_t>(slot)};
                name.insert(name.end(), state_.presets[slot].name.begin(), state_.presets[slot].name.end());
                out.replies.push_back(std::move(name));
            }
        }
        break;
    }
    case CMD_SAVE_PRESET: {
        if (!lengthOk("CMD_SAVE_PRESET", 2)) break;
        const uint8_t slot = p[1];
        if (slot >= kPresetSlots) {
            Note(s, "CMD_SAVE_PRESET slot=" + std::to_string(slot) + " ignored: slot");
            break;
        }
        Note(s, "CMD_SAVE_PRESET slot=" + std::to_string(slot));
        state_.presets[slot].eqUser = state_.eqUser;
        state_.presets[slot].eqUser2 = state_.eqUser2;
        state_.presetSlot = slot;
        state_.saveSlot = slot;
        for (int i = 0; i < faults_.saveDoneCopies; ++i) out.replies.push_back({RSP_SAVE_DONE});
        break;
    }
    case CMD_READ_EQUSER: {
        if (!lengthOk("CMD_READ_EQUSER", 3)) break;
        const uint8_t slot = p[2];
        std::string line = "CMD_READ_EQUSER pages=" + std::to_string(p[1]) + " slot=";
        if (slot < kPresetSlots) {
            line += std::to_string(slot);
            state_.eqUser = state_.presets[slot].eqUser;
            state_.eqUser2 = state_.presets[slot].eqUser2;
            state_.presetSlot = slot;
        } else {
            // 0xFF, and any slot the device does not have, reads the current settings.
            line += slot == 0xFF ? "current" : std::to_string(slot) + " (no such slot: current)";
        }
        Note(s, line);
        AddEqUserPages(out);
        break;
    }
    case CMD_SET_SOURCE:
        if (!lengthOk("CMD_SET_SOURCE", 2)) break;
        if (!ValidSource(p[1])) {
            Note(s, "CMD_SET_SOURCE source=" + std::to_string(p[1]) + " ignored: source");
            break;
        }
        Note(s, "CMD_SET_SOURCE source=" + std::to_string(p[1]));
        state_.inputSource = p[1];
        break;
    case CMD_WRITE_EQUSER:
    case CMD_WRITE_EQUSER2: {
        const bool main = code == CMD_WRITE_EQUSER;
        const char* name = main ? "CMD_WRITE_EQUSER" : "CMD_WRITE_EQUSER2";
        if (!blockOk(name)) break;
        SimBytes& img = main ? state_.eqUser : state_.eqUser2;
        const size_t at = Be16(p + 1), n = p[3];
        std::string line = std::string(name) + " offset=" + std::to_string(at) + " n=" + std::to_string(n);
        const size_t end = std::min(at + n, img.size());
        if (end < at + n) line += " (cut to the image's " + std::to_string(img.size()) + " bytes)";
        Note(s, line);
        for (size_t i = at; i < end; ++i) img[i] = p[4 + i - at];
        break;
    }
    case CMD_WRITE_PRESET_NAME:
    case CMD_WRITE_CHANNEL_NAME: {
        const bool preset = code == CMD_WRITE_PRESET_NAME;
        const char* name = preset ? "CMD_WRITE_PRESET_NAME" : "CMD_WRITE_CHANNEL_NAME";
        if (!lengthOk(name, 2 + kNameLen)) break;
        const uint8_t index = p[1];
        const int count = preset ? kPresetSlots : kChannels;
        std::string line =
            std::string(name) + (preset ? " slot=" : " channel=") + std::to_string(index) + " name=" + NameText(p + 2);
        if (index >= count) {
            Note(s, line + " ignored: index");
            break;
        }
        Note(s, line);
        SimName& dst = preset ? state_.presets[index].name : state_.channelNames[index];
        std::copy_n(p + 2, kNameLen, dst.begin());
        break;
    }
    case CMD_READ_EQUSER2:
        if (!lengthOk("CMD_READ_EQUSER2", 1)) break;
        Note(s, "CMD_READ_EQUSER2");
        AddEqUser2Pages(out);
        if (faults_.silentAfterImport) s.silent = true;
        break;
    case CMD_ENTER_UPGRADE:
        if (!lengthOk("CMD_ENTER_UPGRADE", 1)) break;
        Note(s, "CMD_ENTER_UPGRADE");
        state_.loaderMode = true;
        state_.loader = {};
        // Over USB the device comes back as the loader; over the network the
        // loader announces itself on the same connection.
        if (s.link == SimLink::Hid) Restart(out);
        else out.replies.push_back({RSP_FW_RESTART});
        break;
    case CMD_FACTORY_RESET:
        if (!lengthOk("CMD_FACTORY_RESET", 1)) break;
        Note(s, "CMD_FACTORY_RESET");
        FactoryReset();
        Restart(out);  // so that the host reads the factory settings back
        break;
    case CMD_READ_CHANNEL_NAMES:
        if (!lengthOk("CMD_READ_CHANNEL_NAMES", 1)) break;
        Note(s, "CMD_READ_CHANNEL_NAMES");
        for (int ch = 0; ch < kChannels; ++ch) {
            SimBytes name{RSP_CHANNEL_NAME, static_cast<uint8_t>(ch)};
            name.insert(name.end(), state_.channelNames[ch].begin(), state_.channelNames[ch].end());
            out.replies.push_back(std::move(name));
        }
        break;
    case CMD_SET_NO_SIGNAL_MUTE:
        if (!lengthOk("CMD_SET_NO_SIGNAL_MUTE", 2)) break;
        Note(s, "CMD_SET_NO_SIGNAL_MUTE on=" + std::to_string(p[1]));
        if (p[1] != 0) state_.options |= kOptNoSignalMute;
        else state_.options &= static_cast<uint8_t>(~kOptNoSignalMute);
        break;
    default: Note(s, "code " + Hex(code) + " (" + std::to_string(len) + " bytes) ignored: unknown"); break;
    }
    out.generation = generation_.load();
    return out;
}

void SimDevice::AddFwRequest(SimOutcome& out, uint16_t index)
{
    out.replies.push_back(FwRequest(index));
    if (faults_.removeAfterFwRequest == index) {
        faults_.removeAfterFwRequest = -1;
        out.removeAfter = static_cast<int>(out.replies.size()) - 1;
    }
}

void SimDevice::HandleLoader(SimSession& s, const uint8_t* p, size_t len, SimOutcome& out)
{
    const uint8_t code = p[0];
    SimLoader& ld = state_.loader;
    if (!state_.loaderMode) {
        Note(s, "code " + Hex(code) + " ignored: not in the loader");
        return;
    }
    switch (code) {
    case CMD_FW_START:
        Note(s, "CMD_FW_START");
        ld = {};
        ld.started = true;
        ld.chunkSize = s.link == SimLink::Hid ? kHidChunk : kTcpChunk;
        AddFwRequest(out, 0);
        return;
    case CMD_FW_CHUNK: {
        if (len < 3) {
            Note(s, "CMD_FW_CHUNK ignored: length " + std::to_string(len));
            return;
        }
        const uint16_t index = Be16(p + 1);
        const size_t n = len - 3;
        std::string line = "CMD_FW_CHUNK index=" + std::to_string(index) + " bytes=" + std::to_string(n);
        if (!ld.started || ld.checked) {
            Note(s, line + " ignored: no transfer");
            return;
        }
        if (n != ld.chunkSize || index != ld.nextChunk) {
            // Ask again for the chunk the loader is waiting for.
            Note(s, line + " ignored: expected chunk " + std::to_string(ld.nextChunk) + " of " +
                        std::to_string(ld.chunkSize) + " bytes");
            AddFwRequest(out, ld.nextChunk);
            return;
        }
        Note(s, line);
        ld.received.insert(ld.received.end(), p + 3, p + len);
        ++ld.nextChunk;
        if (ld.nextChunk == kFwRequestDone) {
            // No index is left to ask for: the image is too large.
            ld.checked = true;
            ld.accepted = false;
            out.replies.push_back(FwRequest(kFwRequestDone));
        } else {
            AddFwRequest(out, ld.nextChunk);
        }
        return;
    }
    case CMD_FW_CHECKSUM: {
        if (len != 2 || !ld.started || ld.checked) {
            Note(s, "CMD_FW_CHECKSUM ignored: " + std::string(len != 2 ? "length" : "no transfer"));
            return;
        }
        const std::optional<size_t> size = AcceptedLength(ld.received, ld.chunkSize, p[1]);
        Note(s, "CMD_FW_CHECKSUM sum=" + Hex(p[1]) + (size ? " (matches)" : " (mismatch)"));
        ld.checked = true;
        ld.accepted = size.has_value();
        if (size) state_.firmware.assign(ld.received.begin(), ld.received.begin() + static_cast<std::ptrdiff_t>(*size));
        out.replies.push_back(FwRequest(kFwRequestDone));
        return;
    }
    case CMD_FW_DONE:
        if (len != 1 || !ld.checked) {
            Note(s, "CMD_FW_DONE ignored: " + std::string(len != 1 ? "length" : "no transfer ended"));
            return;
        }
        Note(s, "CMD_FW_DONE");
        // An accepted image starts the new firmware; a refused one leaves the
        // device in its loader, waiting for another transfer.
        if (ld.accepted) {
            ++state_.firmwareUpdates;
            state_.loaderMode = false;
        } else {
            ++state_.firmwareFailures;
        }
        ld = {};
        Restart(out);
        return;
    case CMD_DEVICE_INFO:
        if (s.link == SimLink::Tcp && (!ld.started || !s.identified)) {
            // Over the network the loader answers identification with its
            // announcement: while idle, and once on a new connection, so that
            // a transfer cut off with its connection can start again.
            Note(s, "CMD_DEVICE_INFO (loader)");
            s.identified = true;
            out.replies.push_back({RSP_FW_RESTART});
            return;
        }
        Note(s, "CMD_DEVICE_INFO ignored: loader");
        return;
    default: Note(s, "code " + Hex(code) + " (" + std::to_string(len) + " bytes) ignored: loader"); return;
    }
}
