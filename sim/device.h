// The emulated amplifier: its stored state and its answers to every command.
// Wire front-ends (SimHidEndpoint, SimTcpStream) frame the bytes and hand
// each command payload to Handle; the core turns it into reply payloads.
// Thread-safe: every member may be called from any thread.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>
#include <vector>

#include "sim/factory.h"
#include "sim/log.h"
#include "sim/protocol.h"

enum class SimLink { Hid, Tcp };

using SimName = std::array<uint8_t, simwire::kNameLen>;
using SimBytes = std::vector<uint8_t>;

struct SimPreset {
    SimBytes eqUser;
    SimBytes eqUser2;
    SimName name{};
};

// The firmware loader's progress through one transfer.
struct SimLoader {
    bool started = false;   // CMD_FW_START seen
    bool checked = false;   // checksum compared, end requested
    bool accepted = false;  // the checksum matched
    size_t chunkSize = 0;   // 56 over HID, 512 over TCP
    uint16_t nextChunk = 0;
    SimBytes received;  // chunks as they came, padding included
};

struct SimState {
    SimDeviceString deviceString{};
    std::array<char, simwire::kDeviceInfoExLen> deviceInfoEx{};
    SimBytes eqUser;   // SimEqUserSize(deviceString) bytes
    SimBytes eqUser2;  // 405 bytes
    std::array<SimPreset, simwire::kPresetSlots> presets;
    std::array<SimName, simwire::kChannels> channelNames{};
    uint8_t inputSource = 1;
    uint8_t presetSlot = 0;
    uint8_t saveSlot = 0;
    uint8_t options = 0;  // bit 0 no-signal mute, bit 6 no AUX-3/AUX-4
    bool loaderMode = false;
    SimLoader loader;
    SimBytes firmware;         // image data the loader last accepted
    int firmwareUpdates = 0;   // transfers that ended accepted
    int firmwareFailures = 0;  // transfers that ended with a checksum mismatch
};

enum class SimFrameFaultKind { None, BadSum, Truncated, Overlong };

// Spoils reply frames of one code (0 = every reply) whose payload byte 1
// (page, slot or channel) equals arg (-1 = any): a wrong sum, a frame cut
// after half its payload, or a length of 63 with the payload zero-padded.
struct SimFrameFault {
    SimFrameFaultKind kind = SimFrameFaultKind::None;
    uint8_t code = 0;
    int arg = -1;
    int count = -1;  // frames left to spoil; -1 = every one
};

// What a real device gets wrong or does slowly. Tests set them through
// SimDevice::SetFaults.
struct SimFaults {
    std::chrono::microseconds replyGap{1000};    // between reply frames; 0 = a burst
    std::chrono::milliseconds restartTime{300};  // away from the bus while restarting
    std::vector<SimFrameFault> frameFaults;
    std::vector<int> eqUserPages;    // pages an EqUser read sends, in this order; empty = all
    std::vector<int> eqUser2Pages;   // the same for EqUser2
    int removeAfterPage = -1;        // unplugged (HID) or hung up (TCP) after this EqUser page; once
    int removeAfterFwRequest = -1;   // the same after the loader asked for this chunk index; once
    int losePage = -1;               // this EqUser page is not sent...
    int losePageRead = 0;            // ...in this EqUser read of the device's life (1 = the first)
    int repeatPage = -1;             // an EqUser read ends with this page sent again...
    int repeatTimes = 0;             // ...this many more times (a page stuck in a loop)
    int saveDoneCopies = 1;          // RSP_SAVE_DONE replies per CMD_SAVE_PRESET
    int saveDoneAtConnect = 0;       // RSP_SAVE_DONE replies before the first answer of a session
    bool silentAfterImport = false;  // after answering CMD_READ_EQUSER2 the session answers nothing
    uint16_t loaderProductId = 0;    // product id in loader mode; 0 = the endpoint's own
    bool shortDeviceInfo = false;    // device info without the option byte (length 19)
};

// Per connection (HID: per plug-in or restart; TCP: per accepted socket).
struct SimSession {
    explicit SimSession(SimLink l) : link(l) {}
    SimLink link;
    bool identified = false;  // the first device info of the session went out
    bool greeted = false;     // the first answer of the session went out
    bool silent = false;      // answers nothing more (SimFaults::silentAfterImport)
};

struct SimOutcome {
    std::vector<SimBytes> replies;
    int removeAfter = -1;     // the view goes away once reply [removeAfter] is out
    bool restart = false;     // the device restarts once the replies are out
    uint32_t generation = 0;  // SimDevice::Generation after this command
};

class SimDevice {
public:
    explicit SimDevice(std::string_view deviceString = kSimDefaultDeviceString);

    // One command payload (code first) that arrived intact over the session's link.
    SimOutcome Handle(SimSession& session, const uint8_t* payload, size_t len);

    SimState State() const;
    // Edits the state; afterwards the images are resized to what the device
    // string implies (grown bytes take factory values).
    void Update(const std::function<void(SimState&)>& edit);
    bool InLoader() const;

    SimFaults Faults() const;
    void SetFaults(SimFaults faults);
    // The fault that hits this reply (counting it down), or None.
    SimFrameFaultKind TakeFrameFault(const SimBytes& reply);

    // Counts restarts; views drop their connection when it changes.
    uint32_t Generation() const { return generation_.load(); }

    SimLog& Log() { return log_; }

private:
    void Note(const SimSession& s, const std::string& line);
    void FitImages();
    void AddEqUserPages(SimOutcome& out);
    void AddEqUser2Pages(SimOutcome& out);
    void HandleLoader(SimSession& s, const uint8_t* p, size_t len, SimOutcome& out);
    void AddFwRequest(SimOutcome& out, uint16_t index);
    void FactoryReset();
    void Restart(SimOutcome& out);

    mutable std::mutex mutex_;
    SimState state_;
    SimFaults faults_;
    std::atomic<uint32_t> generation_{0};
    int eqUserReads_ = 0;  // CMD_READ_EQUSER answered so far
    SimLog log_;
};
