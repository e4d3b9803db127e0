// The reply dispatcher against the device-state globals, the images and
// the messages to the main dialog.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <random>

#include "link/dispatcher.h"
#include "link/link_messages.h"
#include "tests/link/link_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The pages of a read of `pages` pages without page `lost` (-1: none).
std::vector<int> PagesWithout(int pages, int lost)
{
    std::vector<int> order;
    for (int k = 0; k < pages; ++k)
        if (k != lost) order.push_back(k);
    return order;
}

class DispatcherTest : public LinkTest {
protected:
    static Bytes DeviceInfo(const std::string& deviceString, uint8_t saveSlot = 2, uint8_t source = 3,
                            uint8_t preset = 5, int options = -1)
    {
        Bytes p(19, 0);
        p[0] = RSP_DEVICE_INFO;
        p[1] = 19;
        p[2] = saveSlot;
        for (size_t i = 0; i < 14 && i < deviceString.size(); ++i) p[3 + i] = deviceString[i];
        p[17] = source;
        p[18] = preset;
        if (options >= 0) p.push_back(static_cast<uint8_t>(options));
        return p;
    }
    static Bytes Page(uint8_t code, uint8_t page, size_t bytes, uint8_t fill)
    {
        Bytes p = {code, page};
        for (size_t i = 0; i < bytes; ++i) p.push_back(static_cast<uint8_t>(fill + i));
        return p;
    }
    // A HidReport carrying the payload, as the reader stores it.
    static std::array<uint8_t, 65> Report(const Bytes& p)
    {
        std::array<uint8_t, 65> r{};
        r[1] = static_cast<uint8_t>(p.size());
        std::copy(p.begin(), p.end(), r.begin() + 2);
        r[2 + p.size()] = static_cast<uint8_t>(std::accumulate(p.begin(), p.end(), 0u));
        return r;
    }
    static void Hid(const Bytes& p)
    {
        const auto r = Report(p);
        ParseHidReport(r.data());
    }
    static void Tcp(const Bytes& p)
    {
        std::array<uint8_t, 63> slot{};
        slot[0] = static_cast<uint8_t>(p.size());
        std::copy(p.begin(), p.end(), slot.begin() + 1);
        ParseTcpSlot(slot.data());
    }
};

TEST_F(DispatcherTest, DecodeDeviceModelFromTheDeviceString)
{
    const struct {
        const char* text;
        int before;
        int model;
        int date;
        int eqUserSize;
    } cases[] = {
        // clang-format off
        {"06A___190902", 1, 4, 190902, 3163}, {"02A___190902", 1, 7, 190902, 3163},
        {"09A___190902", 1, 3, 190902, 3163}, {"048___190902", 1, 5, 190902, 3163},
        {"088___190902", 1, 6, 190902, 3163}, {"168___190820", 1, 6, 190820, 3163},
        {"268___190820", 4, 1, 190820, 1579}, {"268___190821", 4, 1, 190821, 3163},
        {"298___190902", 1, 6, 190902, 3163}, {"00C___190902", 1, 8, 190902, 3163},
        {"08C___190902", 1, 2, 190902, 3163}, {"05C___190820", 1, 1, 190820, 1579},
        {"05C___190820", 3, 3, 190820, 3163}, {"00Z___190902", 1, 2, 190902, 3163},
        {"268___1908x0", 4, 1, 1908, 1579},   {"268___ab0000", 4, 1, 0, 1579},
        {"268___ 19082", 4, 1, 19082, 1579},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        g_deviceModel = c.before;
        g_deviceString.Set(c.text, 12);
        DecodeDeviceModel();
        EXPECT_EQ(g_deviceModel.load(), c.model);
        EXPECT_EQ(g_firmwareDate.load(), c.date);
        EXPECT_EQ(GetEqUserSize(), c.eqUserSize);
    }
}

TEST_F(DispatcherTest, FirstDeviceInfoIdentifiesTheDeviceLaterOnesRefresh)
{
    int modelAtSend = 0, flagAtSend = -1;
    port.SetOnSend([&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_DEVICE_INFO_RECEIVED) {
            modelAtSend = g_deviceModel.load();
            flagAtSend = g_deviceInfoReceived.load();
        }
        return LRESULT{0};
    });
    Hid(DeviceInfo(std::string("06A___190902\0x", 14), 2, 3, 5, 0x40));
    EXPECT_EQ(g_saveSlot.load(), 2);
    EXPECT_EQ(g_inputSource.load(), 3);
    EXPECT_EQ(g_presetSlot.load(), 5);
    EXPECT_EQ(g_deviceOptions.load(), 0x40);
    EXPECT_EQ(g_deviceInfoReceived.load(), 1);
    EXPECT_EQ(g_firmwareDate.load(), 190902);
    EXPECT_EQ(modelAtSend, 4);
    EXPECT_EQ(flagAtSend, 0);
    EXPECT_THAT(port.Labels(), ::testing::ElementsAre("06A___190902"));
    EXPECT_EQ(port.Count(WM_DEVICE_INFO_RECEIVED), 1);

    // Identified: only slots, source and options follow; slots of 8 or more read 0.
    Hid(DeviceInfo("02A___200101", 9, 4, 8, 0x00));
    EXPECT_EQ(g_saveSlot.load(), 0);
    EXPECT_EQ(g_presetSlot.load(), 0);
    EXPECT_EQ(g_inputSource.load(), 4);
    EXPECT_EQ(g_deviceModel.load(), 4);
    EXPECT_EQ(port.Labels().size(), 1u);
    EXPECT_EQ(port.Count(WM_DEVICE_INFO_RECEIVED), 1);

    // After the flag was cleared the next reply identifies again.
    g_deviceInfoReceived = 0;
    Tcp(DeviceInfo("02A___200101"));
    EXPECT_EQ(g_deviceModel.load(), 7);
    EXPECT_EQ(port.Count(WM_DEVICE_INFO_RECEIVED), 2);
}

TEST_F(DispatcherTest, DeviceInfoThatIsNotOneChangesNothing)
{
    Bytes wrongTag = DeviceInfo("06A___190902");
    wrongTag[1] = 18;
    Bytes shortReply = DeviceInfo("06A___190902");
    shortReply.pop_back();
    for (const Bytes& p : {wrongTag, shortReply}) {
        Hid(p);
        Tcp(p);
    }
    EXPECT_EQ(g_deviceInfoReceived.load(), 0);
    EXPECT_EQ(g_saveSlot.load(), 0);
    EXPECT_EQ(g_inputSource.load(), 1);
    EXPECT_TRUE(port.Messages().empty());
    EXPECT_TRUE(port.Labels().empty());
}

TEST_F(DispatcherTest, NoSignalMuteFollowsOptionBitZeroOverHidOnly)
{
    const struct {
        bool hid;
        int options;  // -1: a 19-byte reply without options
        uint8_t before, after;
        int posts;
    } cases[] = {
        // clang-format off
        {true, 0x01, 0, 1, 1}, {true, 0x01, 1, 1, 0}, {true, 0x00, 1, 0, 1}, {true, -1, 1, 0, 1},
        {true, -1, 0, 0, 0},   {true, 0x40, 0, 0, 0}, {false, 0x01, 0, 0, 0}, {false, -1, 1, 1, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.hid ? "HID" : "TCP") << " options " << c.options << " from "
                                        << int(c.before));
        ResetGlobals();
        RecordingPort local;
        SetDialogPort(&local);
        g_deviceInfoReceived = 1;
        g_noSignalMute = c.before;
        const Bytes p = DeviceInfo("06A___190902", 1, 1, 1, c.options);
        c.hid ? Hid(p) : Tcp(p);
        EXPECT_EQ(g_noSignalMute.load(), c.after);
        EXPECT_EQ(local.Count(WM_DEVICE_OPTION_CHANGED), c.posts);
        EXPECT_EQ(g_deviceOptions.load(), c.options < 0 ? 0 : c.options);
        SetDialogPort(&port);
    }
}

TEST_F(DispatcherTest, DeviceInfoExIsTakenOnce)
{
    Bytes p = {RSP_DEVICE_INFO_EX, 19, 0};
    for (char ch : std::string("K417R_X_V1!")) p.push_back(static_cast<uint8_t>(ch));
    Bytes wrongTag = p;
    wrongTag[1] = 20;
    Hid(wrongTag);
    Hid(Bytes(p.begin(), p.end() - 1));  // short
    EXPECT_EQ(g_deviceInfoExReceived.load(), 0);
    Hid(p);
    EXPECT_EQ(g_deviceInfoExReceived.load(), 1);
    Bytes other = p;
    other[3] = 'Z';
    Tcp(other);
    const auto text = g_deviceInfoEx.Get();
    EXPECT_EQ(std::string(text.data(), text.size()), "K417R_X_V1!");
}

TEST_F(DispatcherTest, EqUserIsAnnouncedOnceEveryPageIsInWhateverTheOrder)
{
    bool imageCompleteAtSend = false;
    port.SetOnSend([&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_PARAM_IMAGE_RECEIVED)
            imageCompleteAtSend = g_eqUser[3162] == static_cast<uint8_t>(0x30 + 26) && g_eqUser[0] == 0x20;
        return LRESULT{0};
    });
    // A page nobody asked for is stored but counts for nothing.
    g_importWatchdogTicks = 5;
    Hid(Page(RSP_EQUSER_PAGE, 3, 32, 0x60));
    EXPECT_EQ(g_eqUser[3 * 32], 0x60);
    EXPECT_EQ(g_progressPermille.load(), 0u);
    EXPECT_EQ(g_importWatchdogTicks.load(), 5);

    BeginEqUserRead();
    Hid(Page(RSP_EQUSER_PAGE, 49, 32, 0x10));
    EXPECT_EQ(g_progressPermille.load(), 9u);  // 1 of 99 + 8 pages
    EXPECT_EQ(g_importWatchdogTicks.load(), 0);
    EXPECT_EQ(g_eqUser[49 * 32], 0x10);
    EXPECT_EQ(g_eqUserShadow[49 * 32 + 31], 0x10 + 31);

    // A repeated page is no progress: the watchdog keeps counting.
    g_importWatchdogTicks = 5;
    Hid(Page(RSP_EQUSER_PAGE, 49, 32, 0x10));
    EXPECT_EQ(g_progressPermille.load(), 9u);
    EXPECT_EQ(g_importWatchdogTicks.load(), 5);

    // The last page before the others: nothing is announced yet.
    Tcp(Page(RSP_EQUSER_PAGE, 98, 27, 0x30));
    EXPECT_EQ(g_eqUser[3136], 0x30);
    EXPECT_EQ(g_eqUserShadow[3162], 0x30 + 26);
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 0);
    for (int k = 97; k >= 1; --k)
        if (k != 49) Hid(Page(RSP_EQUSER_PAGE, static_cast<uint8_t>(k), 32, 0x40));
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 0);
    EXPECT_EQ(g_progressPermille.load(), 98u * 1000 / 107);

    Tcp(Page(RSP_EQUSER_PAGE, 0, 32, 0x20));
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 1);
    EXPECT_TRUE(imageCompleteAtSend);
    EXPECT_EQ(g_progressPermille.load(), 99u * 1000 / 107) << "EqUser2 still to come";

    // Pages after the image came whole are no progress and announce nothing.
    for (int k : {98, 98, 3, 98}) Tcp(Page(RSP_EQUSER_PAGE, static_cast<uint8_t>(k), k == 98 ? 27 : 32, 0x30));
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 1);
    EXPECT_EQ(g_progressPermille.load(), 99u * 1000 / 107);

    // A new request reads anew; a restart ends a read cut short, and its
    // pages count for nothing until the next request.
    BeginEqUserRead();
    Hid(Page(RSP_EQUSER_PAGE, 5, 32, 0x10));
    EXPECT_EQ(g_progressPermille.load(), 9u);
    RestartImageReads();
    for (int k = 0; k < 99; ++k) Hid(Page(RSP_EQUSER_PAGE, static_cast<uint8_t>(k), k == 98 ? 27 : 32, 0x10));
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 1);
    EXPECT_EQ(g_progressPermille.load(), 9u);
    BeginEqUserRead();
    for (int k = 0; k < 99; ++k) Hid(Page(RSP_EQUSER_PAGE, static_cast<uint8_t>(k), k == 98 ? 27 : 32, 0x10));
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 2);
}

// A read opens behind its fence: pages of either image are dropped until
// the device answered the CMD_DEVICE_INFO asked after the opening, on the
// read's link; a reply or a page on the other link does not lift it.
TEST_F(DispatcherTest, PagesBehindTheFenceAreDroppedUntilItsRequestIsAnswered)
{
    g_deviceInfoReceived = 1;
    const Bytes info = DeviceInfo("06A___190902");
    OpenImageRead(LinkKind::kHid, true);
    CountDeviceInfoAsked(LinkKind::kHid);
    BeginEqUserRead();
    CountPagesAsked(LinkKind::kHid, false, 99);
    EXPECT_TRUE(ImageReadsFenced());

    struct Step {
        const char* what;
        bool hid;
        Bytes reply;
        bool taken;  // the page is stored and counted
    } steps[] = {
        // clang-format off
        {"a page of an earlier read",     true,  Page(RSP_EQUSER_PAGE, 7, 32, 0x11),  false},
        {"an EqUser2 page of an earlier", true,  Page(RSP_EQUSER2_PAGE, 1, 56, 0x23), false},
        {"a reply over TCP",              false, info,                               false},
        {"a page over TCP",               false, Page(RSP_EQUSER_PAGE, 8, 32, 0x24), false},
        {"the fence answered",            true,  info,                               false},
        {"a page of the read",            true,  Page(RSP_EQUSER_PAGE, 9, 32, 0x33),  true},
        // clang-format on
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const uint64_t progress = g_progressPermille.load();
        step.hid ? Hid(step.reply) : Tcp(step.reply);
        if (step.reply[0] == RSP_DEVICE_INFO) continue;
        const size_t at = step.reply[0] == RSP_EQUSER_PAGE ? 32u * step.reply[1] : 56u * step.reply[1];
        const uint8_t* image = step.reply[0] == RSP_EQUSER_PAGE ? g_eqUser : g_eqUser2;
        EXPECT_EQ(image[at] == step.reply[2], step.taken);
        EXPECT_EQ(g_progressPermille.load() != progress, step.taken);
    }
    EXPECT_FALSE(ImageReadsFenced());
    // Every frame but a CMD_DEVICE_INFO reply tells that the device is
    // there, once per look and link; a new page that the read goes on.
    EXPECT_EQ(TakeDeviceHeard(LinkKind::kHid), DeviceHeard::kNewPage);
    EXPECT_EQ(TakeDeviceHeard(LinkKind::kHid), DeviceHeard::kNothing);
    EXPECT_EQ(TakeDeviceHeard(LinkKind::kTcp), DeviceHeard::kFrame);
    Tcp(info);
    EXPECT_EQ(TakeDeviceHeard(LinkKind::kTcp), DeviceHeard::kNothing);
}

// The device owes nothing once every request is answered and every page
// asked for came, each once; a lost reply, a page twice or a page nobody
// asked for leave it owing until a read opens afresh.
TEST_F(DispatcherTest, TheDeviceOwesNothingOnlyWhenEveryReplyCameOnce)
{
    const Bytes info = DeviceInfo("06A___190902");
    struct Case {
        const char* name;
        int infosAsked, infosAnswered;
        std::vector<int> pages;  // EqUser pages received of a read of 99
        bool owesNothing;
    } cases[] = {
        {"all in", 2, 2, PagesWithout(99, -1), true},
        {"a reply lost", 2, 1, PagesWithout(99, -1), false},
        {"a doubled reply answers no later request", 1, 2, PagesWithout(99, -1), false},
        {"a page lost", 1, 1, PagesWithout(99, 40), false},
        {"a page twice, another lost", 1, 1,
         [] {
             auto p = PagesWithout(99, 40);
             p.push_back(3);
             return p;
         }(),
         false},
        {"a page too many", 1, 1,
         [] {
             auto p = PagesWithout(99, -1);
             p.push_back(3);
             return p;
         }(),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetDeviceLedger(LinkKind::kHid);
        RestartImageReads();
        for (int i = 0; i < c.infosAsked; ++i) CountDeviceInfoAsked(LinkKind::kHid);
        CountPagesAsked(LinkKind::kHid, false, 99);
        for (int i = 0; i < c.infosAnswered; ++i) Hid(info);
        if (c.infosAnswered > c.infosAsked) CountDeviceInfoAsked(LinkKind::kHid);
        for (int k : c.pages) Hid(Page(RSP_EQUSER_PAGE, static_cast<uint8_t>(k), 32, 1));
        EXPECT_EQ(DeviceOwesNothing(LinkKind::kHid), c.owesNothing);
        EXPECT_TRUE(DeviceOwesNothing(LinkKind::kTcp)) << "the other link owes nothing";
        OpenImageRead(LinkKind::kHid, true);
        EXPECT_TRUE(DeviceOwesNothing(LinkKind::kHid)) << "a read opens afresh";
    }
}

// Reads one after another against a device that answers in order but may
// lose, double or hold back its CMD_DEVICE_INFO replies (behind up to a few
// later frames), lose or double pages, and pause between frames, never as
// long as the host's quiet time. The host opens a read as SyncTimers does:
// once the device owes nothing or was quiet that long; it may leave a read
// for a new one at any time, and asks keep-alives at any time. Every page
// carries its read's number: an image announced complete is its read's
// whole, never a page of another.
TEST_F(DispatcherTest, RandomisedReadsNeverTakeAPageOfAnotherRead)
{
    g_deviceInfoReceived = 1;
    constexpr int kQuietSteps = 12;   // the host's quiet time
    constexpr int kLongestPause = 8;  // the device's, shorter
    constexpr int kLateBy = 4;        // frames a reply may be held back
    const Bytes info = DeviceInfo("06A___190902");
    int announcedReads = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        auto chance = [&](double p) { return std::uniform_real_distribution<>(0, 1)(rng) < p; };
        ResetDeviceLedger(LinkKind::kHid);
        RestartImageReads();
        std::deque<Bytes> asked;                  // requests the device has yet to take
        std::deque<Bytes> output;                 // frames it has yet to send
        std::vector<std::pair<int, Bytes>> held;  // late replies: frames still to go before each
        int read = 0;                             // the read under way (0: none)
        int wanted = 1;                           // the host wants a new read
        int quiet = 0, pause = 0;
        int announced = port.Count(WM_PARAM_IMAGE_RECEIVED);
        for (int step = 0; step < 6000; ++step) {
            // The host.
            if (chance(0.02)) {
                CountDeviceInfoAsked(LinkKind::kHid);
                asked.push_back(info);
            }
            if (read != 0 && chance(0.004)) wanted = 1;  // a new read before this one is in
            if (wanted && (DeviceOwesNothing(LinkKind::kHid) || quiet >= kQuietSteps)) {
                read = read % 250 + 1;
                wanted = 0;
                quiet = 0;  // the quiet time counts from each request
                RestartImageReads();
                OpenImageRead(LinkKind::kHid, true);
                CountDeviceInfoAsked(LinkKind::kHid);
                asked.push_back(info);
                BeginEqUserRead();
                CountPagesAsked(LinkKind::kHid, false, 99);
                asked.push_back({CMD_READ_EQUSER, static_cast<uint8_t>(read)});
            }
            // The device takes its requests in order.
            while (!asked.empty()) {
                const Bytes r = asked.front();
                asked.pop_front();
                if (r[0] == RSP_DEVICE_INFO) {
                    if (chance(0.1)) continue;  // lost
                    const int copies = chance(0.1) ? 2 : 1;
                    for (int i = 0; i < copies; ++i) {
                        if (chance(0.2)) held.emplace_back(1 + static_cast<int>(rng() % kLateBy), r);
                        else output.push_back(r);
                    }
                    continue;
                }
                for (int k = 0; k < 99; ++k) {
                    if (chance(0.01)) continue;
                    const Bytes page = Page(RSP_EQUSER_PAGE, static_cast<uint8_t>(k), 32, 0);
                    Bytes marked = page;
                    std::fill(marked.begin() + 2, marked.end(), r[1]);
                    output.push_back(marked);
                    if (chance(0.01)) output.push_back(marked);
                }
            }
            // One frame, or a pause.
            const bool idle = output.empty() && held.empty();
            if (!idle && (pause >= kLongestPause || chance(0.6))) {
                Bytes frame;
                auto due = std::find_if(held.begin(), held.end(), [](const auto& h) { return h.first <= 0; });
                if (due == held.end() && output.empty()) due = held.begin();
                if (due != held.end()) {
                    frame = due->second;
                    held.erase(due);
                } else {
                    frame = output.front();
                    output.pop_front();
                }
                for (auto& h : held) --h.first;
                Hid(frame);
                quiet = pause = 0;
            } else {
                ++quiet;
                pause = idle ? 0 : pause + 1;
            }
            if (port.Count(WM_PARAM_IMAGE_RECEIVED) != announced) {
                announced = port.Count(WM_PARAM_IMAGE_RECEIVED);
                ++announcedReads;
                const Bytes image(g_eqUser, g_eqUser + EQ_USER_PARA_NUM);
                const auto other = std::find_if(image.begin(), image.end(), [&](uint8_t b) { return b != read; });
                ASSERT_EQ(other, image.end()) << "read " << read << " took a page of read " << int{*other}
                                              << " at byte " << (other - image.begin());
                wanted = 1;
            }
        }
    }
    EXPECT_GT(announcedReads, 200) << "reads came through";
}

TEST_F(DispatcherTest, ShortEqUserOfOldModelOneDevices)
{
    g_deviceModel = 1;
    g_firmwareDate = 190820;
    BeginEqUserRead();
    Hid(Page(RSP_EQUSER_PAGE, 49, 11, 0x50));
    EXPECT_EQ(g_eqUser[1568], 0x50);
    EXPECT_EQ(g_eqUser[1578], 0x50 + 10);
    EXPECT_EQ(g_eqUser[1579], 0);
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 0);
    for (int k = 0; k < 49; ++k) Hid(Page(RSP_EQUSER_PAGE, static_cast<uint8_t>(k), 32, 0x50));
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 1);
    EXPECT_EQ(g_progressPermille.load(), 50u * 1000 / 58);
    EXPECT_EQ(g_eqUser[1579], 0);
}

TEST_F(DispatcherTest, PagesTooShortOrPastTheImageAreIgnored)
{
    g_progressPermille = 123;
    g_importWatchdogTicks = 7;
    // clang-format off
    const Bytes ignored[] = {
        Page(RSP_EQUSER_PAGE, 3, 31, 0x77),    // one byte short
        Page(RSP_EQUSER_PAGE, 98, 26, 0x77),   // last page one byte short
        Page(RSP_EQUSER_PAGE, 99, 32, 0x77),   // past the image
        Page(RSP_EQUSER_PAGE, 255, 32, 0x77),
        {RSP_EQUSER_PAGE},                     // no page index
        Page(RSP_EQUSER2_PAGE, 8, 56, 0x77),   // past the image
        Page(RSP_EQUSER2_PAGE, 7, 12, 0x77),   // short
        Page(RSP_EQUSER2_PAGE, 0, 55, 0x77),
    };
    // clang-format on
    for (const Bytes& p : ignored) {
        Hid(p);
        Tcp(p);
    }
    EXPECT_EQ(g_progressPermille.load(), 123u);
    EXPECT_EQ(g_importWatchdogTicks.load(), 7);
    EXPECT_EQ(std::count(std::begin(g_eqUser), std::end(g_eqUser), 0x77), 0);
    EXPECT_EQ(std::count(std::begin(g_eqUser2Shadow), std::end(g_eqUser2Shadow), 0x77), 0);
    EXPECT_TRUE(port.Messages().empty());
}

TEST_F(DispatcherTest, EqUser2IsAnnouncedOnceEveryPageIsIn)
{
    BeginEqUser2Read();
    Hid(Page(RSP_EQUSER2_PAGE, 0, 56, 0x01));
    EXPECT_EQ(g_eqUser2[55], 56);
    EXPECT_EQ(g_eqUser2Shadow[0], 1);
    Tcp(Page(RSP_EQUSER2_PAGE, 7, 13, 0x90));
    EXPECT_EQ(g_eqUser2[392], 0x90);
    EXPECT_EQ(g_eqUser2Shadow[404], 0x90 + 12);
    EXPECT_EQ(port.Count(WM_ROUTING_IMAGE_RECEIVED), 0);
    for (int k = 6; k >= 1; --k) Tcp(Page(RSP_EQUSER2_PAGE, static_cast<uint8_t>(k), 56, 0x02));
    EXPECT_EQ(port.Count(WM_ROUTING_IMAGE_RECEIVED), 1);
    EXPECT_EQ(g_progressPermille.load(), 1000u) << "the last page of both images";
    Tcp(Page(RSP_EQUSER2_PAGE, 7, 13, 0x90));
    EXPECT_EQ(port.Count(WM_ROUTING_IMAGE_RECEIVED), 1);
    // The next request reads the image again.
    BeginEqUser2Read();
    for (int k = 0; k < 8; ++k) Tcp(Page(RSP_EQUSER2_PAGE, static_cast<uint8_t>(k), k == 7 ? 13 : 56, 0x03));
    EXPECT_EQ(port.Count(WM_ROUTING_IMAGE_RECEIVED), 2);
}

TEST_F(DispatcherTest, PresetAndChannelNames)
{
    Bytes name = {0, 0};
    for (char ch : std::string("ABCDEFGHIJKLMNOPQRST")) name.push_back(static_cast<uint8_t>(ch));
    auto reply = [&](uint8_t code, uint8_t index) {
        Bytes p = name;
        p[0] = code;
        p[1] = index;
        return p;
    };
    Hid(reply(RSP_PRESET_NAME, 7));
    Hid(reply(RSP_PRESET_NAME, 8));
    Tcp(reply(RSP_CHANNEL_NAME, 11));
    Hid(reply(RSP_CHANNEL_NAME, 12));
    Bytes shortName = reply(RSP_CHANNEL_NAME, 0);
    shortName.pop_back();
    Hid(shortName);

    const auto preset = g_presetNames[7].Get();
    EXPECT_EQ(std::string(preset.data(), 20), "ABCDEFGHIJKLMNOPQRST");
    const auto channel = g_deviceChannelNames[11].Get();
    EXPECT_EQ(std::string(channel.data(), 20), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(g_deviceChannelNames[0].Get()[0], 0);
    const auto messages = port.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].msg, WM_CHANNEL_NAME_CHANGED);
    EXPECT_EQ(messages[0].wParam, 11u);
    EXPECT_EQ(messages[0].lParam, 11);
    EXPECT_FALSE(messages[0].sent);
}

TEST_F(DispatcherTest, SaveDoneBoxIsShownOnTheUiWithoutWaitingOnlyForAnIdentifiedDevice)
{
    Hid({RSP_SAVE_DONE});
    Tcp({RSP_SAVE_DONE});
    EXPECT_TRUE(port.StringBoxes().empty());
    g_deviceInfoReceived = 1;
    Hid({RSP_SAVE_DONE});
    EXPECT_THAT(port.StringBoxes(), ::testing::ElementsAre(136));
    EXPECT_TRUE(port.Messages().empty());
}

TEST_F(DispatcherTest, BadFramesAndUnknownCodesChangeNothing)
{
    auto badSum = Report(DeviceInfo("06A___190902"));
    badSum[2 + 19] ^= 1;
    auto zeroLength = Report({RSP_SAVE_DONE});
    zeroLength[1] = 0;
    auto tooLong = Report({RSP_SAVE_DONE});
    tooLong[1] = 63;
    const std::array<uint8_t, 65> allZero{};
    for (const auto& r : {badSum, zeroLength, tooLong, allZero}) ParseHidReport(r.data());
    for (uint8_t code : {0, 3, 5, 11, 100, 253}) {
        Hid({code, 19, 1, 2, 3});
        Tcp({code, 19, 1, 2, 3});
    }
    EXPECT_EQ(g_deviceInfoReceived.load(), 0);
    EXPECT_TRUE(port.Messages().empty());
    EXPECT_TRUE(port.StringBoxes().empty());
    EXPECT_EQ(g_hidTxRing.Size() + g_tcpTxRing.Size(), 0);
}

std::vector<uint8_t> FirmwareFile()
{
    std::vector<uint8_t> file(1000);
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 5 + 1);
    file.push_back(static_cast<uint8_t>(std::accumulate(file.begin(), file.end(), 0u)));
    return file;
}

TEST_F(DispatcherTest, HidFirmwareTransfer)
{
    const auto file = FirmwareFile();
    SetFirmwareImage(L"/x/system_Yastu.img", file);
    g_usbConnected = 1;

    // The loader's announcement goes to the main window, as over TCP: the
    // parser starts nothing itself.
    Hid({RSP_FW_RESTART});
    EXPECT_EQ(g_upgradeMode.load(), 0);
    EXPECT_EQ(port.Count(WM_UPGRADE_REQUEST), 1);
    auto sent = DrainHid();
    EXPECT_TRUE(sent.empty());
    g_upgradeMode = 1;

    for (uint8_t i = 0; i < 18; ++i) Hid({RSP_FW_REQUEST, 0, i});
    sent = DrainHid();
    ASSERT_EQ(sent.size(), 18u);
    for (uint8_t i = 0; i < 18; ++i) EXPECT_EQ(sent[i].bytes[4], i);

    Hid({RSP_FW_REQUEST, 0, 5});  // after the last chunk: the checksum, whatever the index
    sent = DrainHid();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes[2], CMD_FW_CHECKSUM);
    EXPECT_EQ(sent[0].bytes[3], file.back());

    Hid({RSP_FW_REQUEST, 0xFF, 0xFF});
    sent = DrainHid();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes[2], CMD_FW_DONE);
    EXPECT_EQ(g_upgradeMode.load(), 0);
    EXPECT_EQ(g_progressPermille.load(), 1000u);
    EXPECT_FALSE(HasFirmwareImage());
    EXPECT_TRUE(FirmwarePath().empty());
    EXPECT_EQ(port.Messages().size(), 1u);
}

TEST_F(DispatcherTest, TcpFirmwareTransfer)
{
    const auto file = FirmwareFile();
    SetFirmwareImage(L"/x/system_Yastu.img", file);
    TcpFirmwareBlockSlot::Block stale{};
    g_tcpFwBlock.Put(stale);

    Tcp({RSP_FW_RESTART});
    EXPECT_FALSE(g_tcpFwBlock.Pending());
    EXPECT_EQ(g_upgradeMode.load(), 0);  // set by the main dialog's WM_UPGRADE_REQUEST
    EXPECT_EQ(port.Count(WM_UPGRADE_REQUEST), 1);
    g_upgradeMode = 1;

    for (uint8_t i = 0; i < 2; ++i) {
        Tcp({RSP_FW_REQUEST, 0, i});
        TcpFirmwareBlockSlot::Block b;
        uint64_t ticket = 0;
        ASSERT_TRUE(g_tcpFwBlock.Peek(b, ticket));
        EXPECT_EQ(b[4], i);
        g_tcpFwBlock.Done(ticket);
    }
    Tcp({RSP_FW_REQUEST, 0, 2});
    Tcp({RSP_FW_REQUEST, 0xFF, 0xFF});
    const auto frames = DrainTcp();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_THAT(frames[0], ::testing::ElementsAre(0x5A, 2, CMD_FW_CHECKSUM, file.back(),
                                                  static_cast<uint8_t>(CMD_FW_CHECKSUM + file.back())));
    EXPECT_THAT(frames[1], ::testing::ElementsAre(0x5A, 1, CMD_FW_DONE, CMD_FW_DONE));
    EXPECT_EQ(g_upgradeMode.load(), 0);
    EXPECT_FALSE(HasFirmwareImage());
}

TEST_F(DispatcherTest, ChunkRequestPastTheImageIsNotAnswered)
{
    SetFirmwareImage(L"a.img", FirmwareFile());
    g_usbConnected = 1;
    g_upgradeMode = 1;
    Hid({RSP_FW_REQUEST, 0, 18});
    Hid({RSP_FW_REQUEST, 0xFF, 0x00});
    Tcp({RSP_FW_REQUEST, 0, 2});
    Hid({RSP_FW_REQUEST, 0});  // no index
    EXPECT_EQ(g_hidTxRing.Size(), 0);
    EXPECT_FALSE(g_tcpFwBlock.Pending());
    EXPECT_EQ(g_fwLastChunkSent.load(), 0);
    EXPECT_EQ(g_upgradeMode.load(), 1);
}

}  // namespace
