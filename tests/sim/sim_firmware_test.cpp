#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/sim/sim_host.h"

namespace {

Bytes ImageFile(size_t dataLen, bool badChecksum)
{
    Bytes f(dataLen);
    for (size_t i = 0; i < dataLen; ++i) f[i] = static_cast<uint8_t>(i * 13 + 5);
    f.push_back(static_cast<uint8_t>(TestSum(f) + (badChecksum ? 1 : 0)));
    return f;
}

Bytes Chunk(const Bytes& file, size_t index, size_t size)
{
    Bytes data(size, 0xFF);
    const size_t dataLen = file.size() - 1, at = index * size;
    if (at < dataLen)
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), std::min(size, dataLen - at), data.begin());
    return data;
}

struct Served {
    int chunks = 0;
    int checksums = 0;
    bool done = false;
};

// The host's side of a transfer: each request gets its chunk, the first
// request after the last chunk the checksum, the end request the done.
Served Serve(TestHost& host, const Bytes& file)
{
    const size_t size = host.ChunkSize();
    const size_t chunks = (file.size() - 1 + size - 1) / size;
    Served s;
    bool lastSent = false;
    host.Send({252});
    for (int guard = 0; guard < 1000; ++guard) {
        const std::vector<Bytes> req = OfCode(host.Receive(), 255);
        if (req.size() != 1) return s;
        const size_t index = req[0][1] << 8 | req[0][2];
        if (lastSent) {
            lastSent = false;
            host.Send({254, file.back()});
            ++s.checksums;
        } else if (index == 0xFFFF) {
            host.Send({255});
            s.done = true;
            return s;
        } else {
            const Bytes data = Chunk(file, index, size);
            Bytes head{0xFD, static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index)};
            head.insert(head.end(), data.begin(), data.end());
            if (host.Link() == SimLink::Hid) {
                host.Send(head);
            } else {
                Bytes block{0x5A, 0xFF};
                block.insert(block.end(), head.begin(), head.end());
                block.push_back(TestSum(block, 2));
                host.SendRaw(block);
            }
            lastSent = index >= chunks - 1;
            ++s.chunks;
        }
    }
    return s;
}

}  // namespace

class SimFirmware : public ::testing::TestWithParam<SimLink> {
protected:
    void SetUp() override
    {
        device.SetFaults(NoPacing());
        host = MakeHost(GetParam(), device);
    }
    bool Hid() const { return GetParam() == SimLink::Hid; }
    uint16_t Pid() { return static_cast<HidHost&>(*host).Endpoint().ProductId(); }
    void EnterLoader()
    {
        host->Send({20});
        if (Hid()) {
            EXPECT_TRUE(host->Gone());  // off the bus, back as the loader
            EXPECT_EQ(Pid(), 0x3333);
            EXPECT_TRUE(static_cast<HidHost&>(*host).Endpoint().Present());
        } else {
            EXPECT_EQ(host->Receive(), std::vector<Bytes>{{254}});  // the loader is ready
        }
        EXPECT_TRUE(device.InLoader());
    }
    SimDevice device;
    std::unique_ptr<TestHost> host;
};

INSTANTIATE_TEST_SUITE_P(BothLinks, SimFirmware, ::testing::Values(SimLink::Hid, SimLink::Tcp),
                         [](const auto& info) { return info.param == SimLink::Hid ? "Hid" : "Tcp"; });

TEST_P(SimFirmware, TransferChunkByChunkThenRestart)
{
    struct {
        size_t dataLen;
        bool badChecksum;
        int hidChunks, tcpChunks;
    } cases[] = {
        // clang-format off
        {1000, false, 18, 2},  // HID chunk 17 holds 48 bytes, TCP block 1 holds 488
        {56, false, 1, 1},
        {1024, false, 19, 2},
        {1000, true, 18, 2},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.dataLen) + (c.badChecksum ? " bad" : " good"));
        if (!Hid()) host->Reconnect();
        if (!device.InLoader()) EnterLoader();
        device.Log().Clear();
        const Bytes file = ImageFile(c.dataLen, c.badChecksum);
        const Served s = Serve(*host, file);
        EXPECT_TRUE(s.done);
        EXPECT_EQ(s.chunks, Hid() ? c.hidChunks : c.tcpChunks);
        EXPECT_EQ(s.checksums, 1);
        EXPECT_TRUE(host->Gone());  // the device restarts
        const SimState st = device.State();
        EXPECT_EQ(st.loaderMode, c.badChecksum);
        if (Hid()) {
            EXPECT_EQ(Pid(), c.badChecksum ? 0x3333 : 0x2222);
        }
        if (!c.badChecksum) {
            EXPECT_EQ(st.firmware, Bytes(file.begin(), file.end() - 1));
        }
        const std::vector<std::string> log = device.Log().Lines();
        const auto checks = std::count_if(log.begin(), log.end(), [&](const std::string& l) {
            return l.find(c.badChecksum ? "(mismatch)" : "(matches)") != std::string::npos;
        });
        EXPECT_EQ(checks, 1);
    }
    const SimState st = device.State();
    EXPECT_EQ(st.firmwareUpdates, 3);
    EXPECT_EQ(st.firmwareFailures, 1);
}

TEST_P(SimFirmware, LoaderAsksAgainForTheChunkItWaitsFor)
{
    EnterLoader();
    host->Send({252});
    EXPECT_EQ(host->Receive(), std::vector<Bytes>{(Bytes{255, 0, 0})});
    if (Hid()) {
        Bytes wrong{253, 0, 1};
        wrong.resize(59, 0xFF);
        host->Send(wrong);
        Bytes shortChunk{253, 0, 0};
        shortChunk.resize(40, 0xFF);
        host->Send(shortChunk);
    } else {
        Bytes wrong{0x5A, 0xFF, 0xFD, 0, 1};
        wrong.resize(517, 0xFF);
        wrong.push_back(TestSum(wrong, 2));
        host->SendRaw(wrong);
        Bytes shortChunk{253, 0, 0};
        shortChunk.resize(40, 0xFF);
        host->Send(shortChunk);
        Bytes badSum = wrong;
        badSum[4] = 0;
        host->SendRaw(badSum);  // dropped: the sum no longer fits
    }
    EXPECT_EQ(host->Receive(), (std::vector<Bytes>{{255, 0, 0}, {255, 0, 0}}));
}

TEST_P(SimFirmware, LoaderIgnoresTheAppCommands)
{
    device.Update([](SimState& s) { s.loaderMode = true; });
    const SimState before = device.State();
    host->Send({15, 99, 0xFF});
    host->Send({17, 0, 0, 1, 9});
    host->Send({1, 19});
    // Over the network the idle loader answers identification with its
    // announcement; over USB its product id tells.
    EXPECT_EQ(host->Receive(), Hid() ? std::vector<Bytes>{} : std::vector<Bytes>{{254}});
    EXPECT_EQ(device.State().eqUser, before.eqUser);
    if (Hid()) {
        EXPECT_EQ(Pid(), 0x3333);
    }
}

TEST(SimFirmwareFault, LoaderProductIdCanBeForced)
{
    SimDevice device;
    SimFaults f = NoPacing();
    f.loaderProductId = 0x4444;
    device.SetFaults(f);
    HidHost host(device);
    EXPECT_EQ(host.Endpoint().ProductId(), 0x2222);
    host.Send({20});
    EXPECT_TRUE(host.Gone());
    EXPECT_EQ(host.Endpoint().ProductId(), 0x4444);
    EXPECT_EQ(host.Endpoint().VendorId(), 0x1111);
}
