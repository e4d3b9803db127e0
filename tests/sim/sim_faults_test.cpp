#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

#include "sim/fault_options.h"
#include "tests/sim/sim_host.h"

namespace {

std::vector<int> PageIndexes(const std::vector<Bytes>& replies, uint8_t code = 4)
{
    std::vector<int> idx;
    for (const Bytes& r : OfCode(replies, code)) idx.push_back(r[1]);
    return idx;
}

std::vector<int> AllBut(std::set<int> missing, int pages = 99)
{
    std::vector<int> idx;
    for (int k = 0; k < pages; ++k)
        if (!missing.count(k)) idx.push_back(k);
    return idx;
}

}  // namespace

class SimFaultLinks : public ::testing::TestWithParam<SimLink> {
protected:
    void SetUp() override { host = MakeHost(GetParam(), device); }
    void Apply(const std::function<void(SimFaults&)>& edit)
    {
        SimFaults f = NoPacing();
        edit(f);
        device.SetFaults(f);
    }
    std::vector<Bytes> Import()
    {
        host->Send({15, 99, 0xFF});
        return host->Receive();
    }
    bool Hid() const { return GetParam() == SimLink::Hid; }
    SimDevice device;
    std::unique_ptr<TestHost> host;
};

INSTANTIATE_TEST_SUITE_P(BothLinks, SimFaultLinks, ::testing::Values(SimLink::Hid, SimLink::Tcp),
                         [](const auto& info) { return info.param == SimLink::Hid ? "Hid" : "Tcp"; });

TEST_P(SimFaultLinks, SpoiledFramesFailTheHostsChecks)
{
    struct {
        SimFrameFaultKind kind;
        std::set<int> hidMissing, tcpMissing;
    } cases[] = {
        // clang-format off
        {SimFrameFaultKind::BadSum, {5}, {5}},
        // Over TCP the cut frame swallows the start of the next one.
        {SimFrameFaultKind::Truncated, {5}, {5, 6}},
        {SimFrameFaultKind::Overlong, {5}, {5}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        Apply([&](SimFaults& f) { f.frameFaults = {{c.kind, 4, 5, -1}}; });
        EXPECT_EQ(PageIndexes(Import()), AllBut(Hid() ? c.hidMissing : c.tcpMissing));
    }
    if (Hid()) {
        // The reports as read: a wrong sum, a short read, a length of 63.
        const auto& raw = static_cast<HidHost&>(*host).raw;
        const Bytes& bad = raw[5];
        EXPECT_EQ(bad[0], 34);
        EXPECT_NE(bad[35], TestSum(Bytes(bad.begin() + 1, bad.begin() + 35)));
        EXPECT_LT(raw[99 + 5].size(), 64u);
        EXPECT_EQ(raw[198 + 5][0], 63);
    }
}

TEST_P(SimFaultLinks, FaultCountAndSelection)
{
    Apply([](SimFaults& f) { f.frameFaults = {{SimFrameFaultKind::BadSum, 4, 7, 1}}; });
    EXPECT_EQ(PageIndexes(Import()), AllBut({7}));
    EXPECT_EQ(PageIndexes(Import()), AllBut({}));  // spent after one frame
    EXPECT_EQ(device.Faults().frameFaults[0].count, 0);

    Apply([](SimFaults& f) { f.frameFaults = {{SimFrameFaultKind::BadSum, 0, -1, -1}}; });
    host->Send({1, 19});
    EXPECT_TRUE(host->Receive().empty());
}

TEST_P(SimFaultLinks, PagesOutOfOrderOrMissing)
{
    const SimState st = device.State();
    struct {
        std::vector<int> eqUser, eqUser2;
    } cases[] = {
        // clang-format off
        {{2, 1, 0}, {7, 0}},
        {AllBut({98}), {0, 1, 2, 3, 4, 5, 6}},  // no last page
        {{0, 0, 120}, {8}},                     // a repeat and pages past the image
    };
    // clang-format on
    for (const auto& c : cases) {
        Apply([&](SimFaults& f) {
            f.eqUserPages = c.eqUser;
            f.eqUser2Pages = c.eqUser2;
        });
        const std::vector<Bytes> pages = Import();
        EXPECT_EQ(PageIndexes(pages), c.eqUser);
        for (const Bytes& p : pages) {
            const size_t at = p[1] * 32u;
            const Bytes want = at < st.eqUser.size() ? Bytes(st.eqUser.begin() + at,
                                                             st.eqUser.begin() + std::min(at + 32, st.eqUser.size()))
                                                     : Bytes(32, 0);
            EXPECT_EQ(Bytes(p.begin() + 2, p.end()), want) << int(p[1]);
        }
        host->Send({19});
        EXPECT_EQ(PageIndexes(host->Receive(), 14), c.eqUser2);
    }
}

TEST_P(SimFaultLinks, RepeatedPagesFloodsAndASilentSession)
{
    Apply([](SimFaults& f) {
        f.repeatPage = 98;
        f.repeatTimes = 5;
        f.saveDoneCopies = 4;
        f.saveDoneAtConnect = 3;
        f.silentAfterImport = true;
    });
    // A new session: the flood comes before the first answer.
    host->Reconnect();
    host->Send({1, 19});
    const std::vector<Bytes> first = host->Receive();
    ASSERT_GE(first.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(first[i], Bytes{10}) << i;
    EXPECT_EQ(first[3][0], 1);
    host->Send({1, 19});
    EXPECT_TRUE(OfCode(host->Receive(), 10).empty());  // once per session

    // The last page comes again and again after the read.
    std::vector<int> want = AllBut({});
    want.insert(want.end(), 5, 98);
    EXPECT_EQ(PageIndexes(Import()), want);

    host->Send({13, 2});
    EXPECT_EQ(OfCode(host->Receive(), 10).size(), 4u);

    // Once EqUser2 is read the session answers nothing, not even device info.
    host->Send({19});
    EXPECT_EQ(PageIndexes(host->Receive(), 14), AllBut({}, 8));
    host->Send({1, 19});
    host->Send({15, 99, 0xFF});
    EXPECT_TRUE(host->Receive().empty());
    EXPECT_FALSE(host->Gone());  // still connected, just silent
    const auto lines = device.Log().Lines();
    EXPECT_NE(lines.back().find("ignored: silent"), std::string::npos) << lines.back();
    // A new session answers again (and is silent again after its import).
    host->Reconnect();
    host->Send({1, 19});
    EXPECT_FALSE(OfCode(host->Receive(), 1).empty());
}

TEST_P(SimFaultLinks, RemovalInTheMiddleOfAnImport)
{
    Apply([](SimFaults& f) { f.removeAfterPage = 10; });
    host->Send({1, 19});
    host->Receive();
    EXPECT_EQ(PageIndexes(Import()), AllBut({}, 11));
    EXPECT_TRUE(host->Gone());
    if (Hid()) {
        EXPECT_FALSE(static_cast<HidHost&>(*host).Endpoint().Present());
    }
    host->Send({1, 19});  // nobody there
    EXPECT_TRUE(host->Receive().empty());

    host->Reconnect();
    EXPECT_EQ(PageIndexes(Import()), AllBut({}));  // the fault fires once
}

TEST_P(SimFaultLinks, DeviceInfoWithoutOptionByte)
{
    Apply([](SimFaults& f) { f.shortDeviceInfo = true; });
    host->Send({1, 19});
    const std::vector<Bytes> r = host->Receive();
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r[0].size(), 19u);
}

TEST_P(SimFaultLinks, HostFramesThatFailTheirChecksAreDropped)
{
    const Bytes keepAlive = Hid() ? HidFrame({1, 19}) : TcpFrame({1, 19});
    std::vector<Bytes> bad;
    if (Hid()) {
        Bytes sum = keepAlive;
        sum[3] ^= 1;
        Bytes zero = keepAlive;
        zero[0] = 0;
        Bytes over = keepAlive;
        over[0] = 63;
        bad = {sum, zero, over, Bytes(keepAlive.begin(), keepAlive.begin() + 3)};
    } else {
        Bytes sum = keepAlive;
        sum[4] ^= 1;
        bad = {sum, {0x5A, 0}, {0x5A, 132}};
    }
    for (const Bytes& b : bad) host->SendRaw(b);
    EXPECT_TRUE(host->Receive().empty());
    EXPECT_EQ(device.Log().Lines().size(), bad.size());
    for (const std::string& l : device.Log().Lines()) EXPECT_NE(l.find("dropped"), std::string::npos) << l;
}

TEST(SimTcpFraming, ResynchronisesAndTakesBytesInAnySplit)
{
    SimDevice device;
    device.SetFaults(NoPacing());
    SimTcpStream stream(device);
    const auto now = SimTcpStream::Clock::now();
    // Garbage, a frame cut off by a bad length, then two whole frames, one
    // byte at a time.
    Bytes wire{0x00, 0x13, 0x5A, 0x00};
    for (const Bytes& f : {TcpFrame({16, 2}), TcpFrame({1, 19})}) wire.insert(wire.end(), f.begin(), f.end());
    Bytes out;
    for (uint8_t b : wire) {
        const Bytes o = stream.Feed(&b, 1, now);
        out.insert(out.end(), o.begin(), o.end());
    }
    const std::vector<Bytes> frames = TcpDeframe(out);
    ASSERT_EQ(frames.size(), 10u);
    EXPECT_EQ(frames[0][17], 2);  // the source command got through
}

TEST(SimPacing, RepliesComeOneGapApart)
{
    using namespace std::chrono;
    SimDevice device;
    SimFaults f;
    f.replyGap = microseconds(1000);
    device.SetFaults(f);
    SimTcpStream stream(device);
    const auto t0 = SimTcpStream::Clock::time_point{} + hours(1);
    const Bytes read = TcpFrame({15, 99, 0xFF});
    EXPECT_EQ(TcpDeframe(stream.Feed(read.data(), read.size(), t0)).size(), 1u);
    EXPECT_EQ(stream.NextDue(), t0 + milliseconds(1));
    EXPECT_TRUE(stream.Drain(t0 + microseconds(999)).empty());
    EXPECT_EQ(TcpDeframe(stream.Drain(t0 + milliseconds(1))).size(), 1u);
    EXPECT_EQ(TcpDeframe(stream.Drain(t0 + milliseconds(97))).size(), 96u);
    EXPECT_EQ(TcpDeframe(stream.Drain(t0 + milliseconds(98))).size(), 1u);
    EXPECT_FALSE(stream.NextDue().has_value());

    f.replyGap = microseconds(0);  // a burst
    device.SetFaults(f);
    EXPECT_EQ(TcpDeframe(stream.Feed(read.data(), read.size(), t0 + seconds(1))).size(), 99u);
}

TEST(SimPacing, HidReadsWaitForPacedReports)
{
    SimDevice device;  // default pacing
    SimHidEndpoint ep(device, 1, 2, 3);
    const Bytes read = HidFrame({15, 99, 0xFF});
    ep.HostWrite(read.data(), read.size());
    for (int k = 0; k < 99; ++k) {
        uint8_t r[64];
        ASSERT_EQ(ep.HostRead(r, sizeof r, 5000), 64);
        EXPECT_EQ(r[1], 4);
        EXPECT_EQ(r[2], k);
    }
}

TEST(SimLogLines, OneLinePerCommandWithOperands)
{
    SimDevice device;
    device.SetFaults(NoPacing());
    HidHost hid(device);
    TcpHost tcp(device);
    Bytes name{18, 2};
    const Bytes club = NameBytes("Club\x01");
    name.insert(name.end(), club.begin(), club.end());
    Bytes block{17, 0x0C, 0x3F, 28};
    block.resize(32, 0);

    hid.Send({1, 19});
    hid.Send(block);
    tcp.Send({15, 99, 0xFF});
    tcp.Send({15, 99, 4});
    hid.Send(name);
    hid.Send({27, 1});
    tcp.Send({20});
    // clang-format off
    const std::vector<std::string> want = {
        "hid CMD_DEVICE_INFO tag=19",
        "hid CMD_WRITE_EQUSER offset=3135 n=28",
        "tcp CMD_READ_EQUSER pages=99 slot=current",
        "tcp CMD_READ_EQUSER pages=99 slot=4",
        "hid CMD_WRITE_PRESET_NAME slot=2 name=\"Club\\x01\"",
        "hid CMD_SET_NO_SIGNAL_MUTE on=1",
        "tcp CMD_ENTER_UPGRADE",
    };
    // clang-format on
    EXPECT_EQ(device.Log().TakeLines(), want);
    EXPECT_TRUE(device.Log().Lines().empty());
}

TEST(SimThreads, HostThreadsShareTheDevice)
{
    SimDevice device;
    device.SetFaults(NoPacing());
    SimHidEndpoint ep(device, 1, 2, 3);
    std::atomic<bool> stop{false};
    std::atomic<int> hidReplies{0};
    std::vector<std::string> printed;
    device.Log().SetSink([&](const std::string& l) { printed.push_back(l); });

    std::thread reader([&] {
        uint8_t r[64];
        while (!stop) {
            if (ep.HostRead(r, sizeof r, 5) > 0) ++hidReplies;
        }
    });
    std::thread tcp([&] {
        SimTcpStream stream(device);
        for (int i = 0; i < 200; ++i) {
            const Bytes f = TcpFrame({17, 0, 50, 2, static_cast<uint8_t>(i), 1});
            stream.Feed(f.data(), f.size(), SimTcpStream::Clock::now());
        }
    });
    std::thread watcher([&] {
        while (!stop) {
            (void)device.State();
            (void)ep.Present();
            (void)ep.ProductId();
            (void)device.Log().Lines();
        }
    });
    for (int i = 0; i < 200; ++i) {
        const Bytes f = HidFrame({1, 19});
        ep.HostWrite(f.data(), f.size());
    }
    tcp.join();
    while (hidReplies < 209) std::this_thread::yield();
    stop = true;
    reader.join();
    watcher.join();
    device.Log().SetSink({});
    EXPECT_EQ(hidReplies, 209);  // 200 infos, the extended info and 8 names
    EXPECT_EQ(printed.size(), 400u);
}

TEST(SimFaultOptions, TextSetsEachFaultAndRefusesWhatItDoesNotKnow)
{
    SimFaults f;
    std::string error;
    for (const char* ok : {"spoil-page=7", "pages=2,1,0", "repeat-page=98:10000", "save-done-copies=5",
                           "save-done-at-connect=1000", "silent-after-import", "page-gap=40", "lose-page=9@2"})
        EXPECT_TRUE(ApplyFaultOption(ok, f, error)) << ok << ": " << error;
    ASSERT_EQ(f.frameFaults.size(), 1u);
    EXPECT_EQ(f.frameFaults[0].kind, SimFrameFaultKind::BadSum);
    EXPECT_EQ(f.frameFaults[0].arg, 7);
    EXPECT_EQ(f.frameFaults[0].count, 1);
    EXPECT_EQ(f.eqUserPages, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(f.repeatPage, 98);
    EXPECT_EQ(f.repeatTimes, 10000);
    EXPECT_EQ(f.saveDoneCopies, 5);
    EXPECT_EQ(f.saveDoneAtConnect, 1000);
    EXPECT_TRUE(f.silentAfterImport);
    EXPECT_EQ(f.replyGap, std::chrono::milliseconds(40));
    EXPECT_EQ(f.losePage, 9);
    EXPECT_EQ(f.losePageRead, 2);
    for (const char* bad : {"spoil-page=x", "spoil-page=256", "pages=1,,2", "repeat-page=5", "save-done-copies=-1",
                            "silent-after-import=1", "no-such-fault", "page-gap=", "lose-page=9", "lose-page=9@0"}) {
        SimFaults g = f;
        EXPECT_FALSE(ApplyFaultOption(bad, g, error)) << bad;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(g.eqUserPages, f.eqUserPages) << bad;  // unchanged
    }
}
