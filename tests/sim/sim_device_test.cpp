#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sim/factory.h"
#include "tests/sim/sim_host.h"

namespace {

const std::string kDefaultString = "46AK10240315V1";

Bytes Concat(const std::vector<Bytes>& pages, size_t skip)
{
    Bytes all;
    for (const Bytes& p : pages) all.insert(all.end(), p.begin() + static_cast<std::ptrdiff_t>(skip), p.end());
    return all;
}

Bytes WriteBlock(uint8_t code, size_t offset, const Bytes& data)
{
    Bytes p{code, static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset), static_cast<uint8_t>(data.size())};
    p.insert(p.end(), data.begin(), data.end());
    return p;
}

Bytes Pattern(size_t n, uint8_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + 7 * i);
    return b;
}

}  // namespace

TEST(SimIdentity, DecodesModelAndDateLikeTheHost)
{
    struct {
        const char* s;
        int model;
        int date;
        size_t eqUserSize;
    } cases[] = {
        // clang-format off
        {"46AK10240315V1", 4, 240315, 3163},  // the default device
        {"x2A...190101..", 7, 190101, 3163},
        {"x9A...190101..", 3, 190101, 3163},
        {"x48...190101..", 5, 190101, 3163},
        {"x88...190101..", 6, 190101, 3163},
        {"168...190820..", 6, 190820, 3163},
        {"268...190820..", 1, 190820, 1579},  // model 1 before 190821: the short image
        {"268...190821..", 1, 190821, 3163},
        {"x78...190101..", 6, 190101, 3163},
        {"x0C...190101..", 8, 190101, 3163},
        {"x8C...190101..", 2, 190101, 3163},
        {"x5C...190101..", 0, 190101, 3163},  // the host keeps its model
        {"xxZ...190101..", 2, 190101, 3163},
        {"268...19a820..", 1, 19, 1579},      // digits up to the first non-digit
    };
    // clang-format on
    for (const auto& c : cases) {
        const SimDeviceString s = SimMakeDeviceString(c.s);
        const SimIdentity id = SimDecodeIdentity(s);
        EXPECT_EQ(id.model, c.model) << c.s;
        EXPECT_EQ(id.date, c.date) << c.s;
        EXPECT_EQ(SimEqUserSize(s), c.eqUserSize) << c.s;
    }
}

TEST(SimIdentify, KeepAliveBringsInfoThenExtrasOncePerSession)
{
    const Bytes info = {1, 19, 0, '4', '6', 'A', 'K', '1', '0', '2', '4', '0', '3', '1', '5', 'V', '1', 1, 0, 0x41};
    for (SimLink link : {SimLink::Hid, SimLink::Tcp}) {
        SCOPED_TRACE(link == SimLink::Hid ? "hid" : "tcp");
        SimDevice d;
        d.SetFaults(NoPacing());
        d.Update([](SimState& s) {
            s.options = 0x41;
            s.presets[2].name = {'C', 'l', 'u', 'b'};
        });
        auto host = MakeHost(link, d);
        Bytes keepAlive = {0x02, 0x01, 0x13, 0x14};
        if (link == SimLink::Hid) keepAlive.resize(64, 0);
        else keepAlive.insert(keepAlive.begin(), 0x5A);

        host->SendRaw(keepAlive);
        const std::vector<Bytes> r = host->Receive();
        ASSERT_EQ(r.size(), 10u);
        EXPECT_EQ(r[0], info);
        EXPECT_EQ(r[1], (Bytes{2, 19, 0, 'H', 'W', '2', '.', '1', '-', 'F', 'W', '4', '1', '7'}));
        for (int k = 0; k < 8; ++k) {
            Bytes name{13, static_cast<uint8_t>(k)};
            const Bytes n = NameBytes(k == 2 ? "Club" : "");
            name.insert(name.end(), n.begin(), n.end());
            EXPECT_EQ(r[2 + k], name) << k;
        }
        if (link == SimLink::Hid) {
            const Bytes& raw = static_cast<HidHost&>(*host).raw[0];
            EXPECT_EQ(raw[0], 20);
            EXPECT_EQ(raw[21], TestSum(info));
        } else {
            const Bytes& wire = static_cast<TcpHost&>(*host).wire;
            EXPECT_EQ(Bytes(wire.begin(), wire.begin() + 3), (Bytes{0xA5, 20, 1}));
        }

        host->SendRaw(keepAlive);
        EXPECT_EQ(host->Receive(), std::vector<Bytes>{info});

        host->Reconnect();
        host->SendRaw(keepAlive);
        EXPECT_EQ(host->Receive().size(), 10u);
    }
}

class SimLinks : public ::testing::TestWithParam<SimLink> {
protected:
    void SetUp() override
    {
        device.SetFaults(NoPacing());
        host = MakeHost(GetParam(), device);
    }
    std::vector<Bytes> ReadEqUser(uint8_t slot = 0xFF)
    {
        host->Send({15, 99, slot});
        return host->Receive();
    }
    SimDevice device;
    std::unique_ptr<TestHost> host;
};

INSTANTIATE_TEST_SUITE_P(BothLinks, SimLinks, ::testing::Values(SimLink::Hid, SimLink::Tcp),
                         [](const auto& info) { return info.param == SimLink::Hid ? "Hid" : "Tcp"; });

TEST_P(SimLinks, ImportPagesCoverBothImages)
{
    struct {
        const char* deviceString;
        size_t size, pages, last;
    } cases[] = {
        // clang-format off
        {"46AK10240315V1", 3163, 99, 27},  // 98 x 32 + 27
        {"268K10190820V1", 1579, 50, 11},  // 49 x 32 + 11
        {"268K10190821V1", 3163, 99, 27},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deviceString);
        device.Update([&](SimState& s) { s.deviceString = SimMakeDeviceString(c.deviceString); });
        const std::vector<Bytes> pages = ReadEqUser();
        ASSERT_EQ(pages.size(), c.pages);
        for (size_t k = 0; k < pages.size(); ++k) {
            EXPECT_EQ(pages[k][0], 4);
            EXPECT_EQ(pages[k][1], k);
            EXPECT_EQ(pages[k].size(), 2 + (k + 1 == c.pages ? c.last : 32)) << k;
        }
        const SimState st = device.State();
        EXPECT_EQ(st.eqUser.size(), c.size);
        EXPECT_EQ(Concat(pages, 2), st.eqUser);
    }

    host->Send({19});
    const std::vector<Bytes> pages2 = host->Receive();
    ASSERT_EQ(pages2.size(), 8u);
    for (size_t k = 0; k < 8; ++k) {
        EXPECT_EQ(pages2[k][0], 14);
        EXPECT_EQ(pages2[k][1], k);
        EXPECT_EQ(pages2[k].size(), 2 + (k == 7 ? 13u : 56u));
    }
    EXPECT_EQ(Concat(pages2, 2), device.State().eqUser2);
}

TEST_P(SimLinks, FactoryImagesReadAsAFlatTuning)
{
    const Bytes img = Concat(ReadEqUser(), 2);
    ASSERT_EQ(img.size(), 3163u);
    auto be16 = [&](size_t at) { return img[at] << 8 | img[at + 1]; };
    for (size_t b : {size_t{19}, size_t{989}}) {  // CH1 and CH6 blocks
        EXPECT_EQ(be16(b), 20);
        EXPECT_EQ(be16(b + 60), 20000);
        EXPECT_EQ(be16(b + 62), 150);
        EXPECT_EQ(be16(b + 124), 432);
        EXPECT_EQ(img[b + 189], 8);
        EXPECT_EQ(be16(b + 191), 20000);
    }
    for (size_t b : {size_t{1183}, size_t{2173}}) {  // CH7 and CH12 blocks
        EXPECT_EQ(be16(b + 4), 20);
        EXPECT_EQ(be16(b + 66), 150);
        EXPECT_EQ(img[b + 191], 8);
        EXPECT_EQ(be16(b + 196), 20000);
    }
    EXPECT_EQ(img[18], 0);  // master volume not muted
}

TEST_P(SimLinks, WritesLandInTheImages)
{
    struct {
        uint8_t code;
        size_t offset;
        Bytes data;
    } cases[] = {
        // clang-format off
        {17, 0, Pattern(58, 1)},
        {17, 3135, Pattern(28, 2)},  // the last block of the sync plan
        {17, 1579, Pattern(56, 3)},
        {22, 0, Pattern(56, 4)},
        {22, 392, Pattern(13, 5)},
    };
    // clang-format on
    for (const auto& c : cases) {
        host->Send(WriteBlock(c.code, c.offset, c.data));
        const SimState st = device.State();
        const Bytes& img = c.code == 17 ? st.eqUser : st.eqUser2;
        EXPECT_TRUE(std::equal(c.data.begin(), c.data.end(), img.begin() + static_cast<std::ptrdiff_t>(c.offset)))
            << int(c.code) << " at " << c.offset;
    }
    EXPECT_TRUE(host->Receive().empty());  // writes are not answered
    // The plan's example block as raw bytes: 17, 0x0C, 0x3F, 28.
    EXPECT_EQ(WriteBlock(17, 3135, Pattern(28, 2))[1], 0x0C);
    EXPECT_EQ(WriteBlock(17, 3135, Pattern(28, 2))[2], 0x3F);
}

TEST_P(SimLinks, MalformedWritesChangeNothing)
{
    const SimState before = device.State();
    Bytes tooLong = WriteBlock(17, 0, Pattern(59, 9));
    Bytes lengthMismatch = WriteBlock(17, 10, Pattern(20, 9));
    lengthMismatch[3] = 21;  // says 21 bytes, carries 20
    host->Send(tooLong);
    host->Send(lengthMismatch);
    host->Send({17, 0});
    EXPECT_EQ(device.State().eqUser, before.eqUser);
    // Over HID the 59-byte block already fails the report's length check.
    for (const std::string& line : device.Log().Lines()) {
        EXPECT_TRUE(line.find("ignored") != std::string::npos || line.find("dropped") != std::string::npos) << line;
    }
    EXPECT_EQ(device.Log().Lines().size(), 3u);
}

TEST_P(SimLinks, WriteIsCutToAShortImage)
{
    device.Update([](SimState& s) { s.deviceString = SimMakeDeviceString("268K10190820V1"); });
    host->Send(WriteBlock(17, 1570, Pattern(20, 6)));
    const SimState st = device.State();
    ASSERT_EQ(st.eqUser.size(), 1579u);
    const Bytes want = Pattern(9, 6);
    EXPECT_TRUE(std::equal(want.begin(), want.end(), st.eqUser.begin() + 1570));
}

TEST_P(SimLinks, PresetSaveAndRecall)
{
    auto pageByte = [](const std::vector<Bytes>& pages, size_t offset) {
        return pages.at(offset / 32).at(2 + offset % 32);
    };
    host->Send(WriteBlock(17, 100, {0xAB}));
    Bytes name{18, 3};
    const Bytes club = NameBytes("Club");
    name.insert(name.end(), club.begin(), club.end());
    host->Send(name);
    host->Send({13, 3});
    EXPECT_EQ(host->Receive(), std::vector<Bytes>{{10}});

    host->Send(WriteBlock(17, 100, {0xCD}));
    host->Send({1, 19});
    const std::vector<Bytes> info = host->Receive();
    ASSERT_FALSE(info.empty());
    EXPECT_EQ(info[0][2], 3);   // save slot
    EXPECT_EQ(info[0][18], 3);  // current preset
    EXPECT_EQ(info[5], (Bytes{13, 3, 'C', 'l', 'u', 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    EXPECT_EQ(pageByte(ReadEqUser(), 100), 0xCD);                          // the current settings
    EXPECT_EQ(pageByte(ReadEqUser(3), 100), 0xAB);                         // recall of slot 3
    EXPECT_EQ(device.State().eqUser[100], 0xAB);                           // which is now current
    EXPECT_EQ(pageByte(ReadEqUser(0), 100), SimFactoryEqUser(3163)[100]);  // untouched slot 0

    host->Send({13, 8});  // no such slot
    EXPECT_TRUE(host->Receive().empty());
}

TEST_P(SimLinks, ChannelNames)
{
    Bytes rename{25, 5};
    const Bytes sub = NameBytes("Sub L");
    rename.insert(rename.end(), sub.begin(), sub.end());
    host->Send(rename);
    rename[1] = 12;  // no such channel
    host->Send(rename);
    host->Send({26});
    const std::vector<Bytes> names = host->Receive();
    ASSERT_EQ(names.size(), 12u);
    for (size_t ch = 0; ch < 12; ++ch) {
        Bytes want{15, static_cast<uint8_t>(ch)};
        const Bytes n = NameBytes(ch == 5 ? "Sub L" : "");
        want.insert(want.end(), n.begin(), n.end());
        EXPECT_EQ(names[ch], want) << ch;
    }
}

TEST_P(SimLinks, SourceAndNoSignalMuteShowInDeviceInfo)
{
    struct {
        Bytes command;
        uint8_t source, options;
    } steps[] = {
        // clang-format off
        {{16, 2}, 2, 0x40},
        {{16, 7}, 2, 0x40},  // not a source the device has
        {{16, 9}, 9, 0x40},
        {{27, 1}, 9, 0x41},
        {{27, 0}, 9, 0x40},
    };
    // clang-format on
    device.Update([](SimState& s) { s.options = 0x40; });
    for (const auto& step : steps) {
        host->Send(step.command);
        host->Send({1, 19});
        const std::vector<Bytes> r = host->Receive();
        ASSERT_FALSE(r.empty());
        EXPECT_EQ(r[0][17], step.source) << int(step.command[0]);
        EXPECT_EQ(r[0][19], step.options) << int(step.command[0]);
    }
}

TEST_P(SimLinks, FactoryResetRestoresAndRestarts)
{
    host->Send(WriteBlock(17, 200, {0x77}));
    host->Send({16, 3});
    host->Send({27, 1});
    device.Update([](SimState& s) {
        s.channelNames[1] = {'X'};
        s.options |= 0x40;
    });
    host->Send({23});
    EXPECT_TRUE(host->Gone());
    const SimState st = device.State();
    EXPECT_EQ(st.eqUser, SimFactoryEqUser(3163));
    EXPECT_EQ(st.inputSource, 1);
    EXPECT_EQ(st.options, 0x40);  // the hardware bit stays
    EXPECT_EQ(st.channelNames[1], SimName{});
    host->Reconnect();
    host->Send({1, 19});
    EXPECT_EQ(host->Receive().size(), 10u);
}

TEST_P(SimLinks, UnknownAndMisshapenCommandsAreIgnored)
{
    const Bytes cases[] = {{0}, {42, 1, 2}, {1, 18}, {1, 19, 0}, {26, 0}, {252}, {255}};
    for (const Bytes& c : cases) host->Send(c);
    EXPECT_TRUE(host->Receive().empty());
    EXPECT_EQ(device.Log().Lines().size(), std::size(cases));
}
