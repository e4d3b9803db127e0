// The synchronisation timers tick by tick, with the HID send ring as the
// wire and no link threads: the block plan, keep-alive, watchdog, status and
// save rules. Their sessions against the emulated amplifier are in
// sync_sessions_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "link/commands.h"
#include "link/dispatcher.h"
#include "link/image_lock.h"
#include "link/sync_timers.h"
#include "link/tcp_link.h"
#include "model/eq_images.h"
#include "tests/link/sync_fixture.h"

namespace {

// The IDT_PARAM_SYNC block of EqUser that holds the byte at offset.
int BlockOf(unsigned offset)
{
    return offset < 55 ? 0 : std::min<int>(static_cast<int>(offset + 1) / 56, kEqUserBlocks - 1);
}

class SyncTickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartFromDefaults();
        dialog = std::make_unique<session::Dialog>();
        g_usbConnected = 1;
    }
    void TearDown() override
    {
        dialog.reset();
        ResetGlobals();
    }
    // The payloads queued since the last call.
    static std::vector<Bytes> Sent()
    {
        std::vector<Bytes> out;
        HidRing::Slot s;
        while (g_hidTxRing.Pop(s)) out.emplace_back(s.bytes.begin() + 2, s.bytes.begin() + 2 + s.bytes[1]);
        return out;
    }
    // The device holds what the model encodes: images and shadows agree.
    void InSync()
    {
        g_deviceInfoReceived = 1;
        dialog->sync.OnParamSync();
        std::lock_guard<std::mutex> lock(g_imageMutex);
        std::copy(std::begin(g_eqUser), std::end(g_eqUser), g_eqUserShadow);
        std::copy(std::begin(g_eqUser2), std::end(g_eqUser2), g_eqUser2Shadow);
        g_hidTxRing.Reset();
    }
    // The device answers a CMD_DEVICE_INFO (a reply too short to change
    // anything else).
    static void AnswerDeviceInfo()
    {
        const uint8_t reply[] = {RSP_DEVICE_INFO, DEVICE_INFO_TAG};
        DispatchReply(LinkKind::kHid, reply, sizeof reply);
    }
    static Bytes Block(uint8_t code, ImageBlock b)
    {
        const uint8_t* image = code == CMD_WRITE_EQUSER ? g_eqUser : g_eqUser2;
        Bytes p(4 + b.length);
        p[0] = code;
        p[1] = static_cast<uint8_t>(b.offset >> 8);
        p[2] = static_cast<uint8_t>(b.offset);
        p[3] = static_cast<uint8_t>(b.length);
        std::copy(image + b.offset, image + b.offset + b.length, p.begin() + 4);
        return p;
    }

    std::unique_ptr<session::Dialog> dialog;
};

TEST(SyncPlan, BlocksCoverEachImageOnceInOrder)
{
    struct Plan {
        ImageBlock (*block)(int);
        int count;
        unsigned size;
    };
    for (const Plan& p :
         {Plan{EqUserBlock, kEqUserBlocks, EQ_USER_PARA_NUM}, Plan{EqUser2Block, kEqUser2Blocks, SAVE_PARA_2_END}}) {
        unsigned next = 0;
        for (int i = 0; i < p.count; ++i) {
            const ImageBlock b = p.block(i);
            EXPECT_EQ(b.offset, next) << i;
            EXPECT_LE(b.length, 56u) << i;
            next = b.offset + b.length;
        }
        EXPECT_EQ(next, p.size);
    }
    EXPECT_EQ(EqUserBlock(1).offset, 55u);
    EXPECT_EQ(EqUserBlock(55).offset, 3079u);
    EXPECT_EQ(EqUserBlock(56).offset, 3135u);
    EXPECT_EQ(EqUserBlock(56).length, 28u);
    EXPECT_EQ(EqUser2Block(7).offset, 392u);
    EXPECT_EQ(EqUser2Block(7).length, 13u);
}

TEST_F(SyncTickTest, KeepAliveAtOnceOnALinkThenEveryTickAndFlagsClearedWithoutALink)
{
    // The link is up: the keep-alive goes out at once and its timer starts.
    const auto start = std::chrono::steady_clock::now();
    dialog->sync.OnLinkChange();
    EXPECT_EQ(Sent(), std::vector<Bytes>{(Bytes{CMD_DEVICE_INFO, 19})});
    EXPECT_TRUE(dialog->TimerActive(IDT_POLL));
    // Another change of the same link (the device identified) sends nothing more.
    dialog->sync.OnLinkChange();
    EXPECT_TRUE(Sent().empty());
    // Every tick while the device answers; one left unanswered is not piled
    // upon for a second.
    for (int tick = 1; tick <= 3; ++tick) {
        AnswerDeviceInfo();
        dialog->sync.OnTimer(IDT_POLL);
        EXPECT_EQ(Sent(), std::vector<Bytes>{(Bytes{CMD_DEVICE_INFO, 19})}) << tick;
    }
    dialog->sync.OnTimer(IDT_POLL);
    if (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(900)) {
        EXPECT_TRUE(Sent().empty());
    }
    Sent();

    g_usbConnected = 0;
    g_deviceInfoReceived = 1;
    g_deviceInfoExReceived = 1;
    dialog->sync.OnLinkChange();
    EXPECT_EQ(g_deviceInfoReceived.load(), 0);
    EXPECT_EQ(g_deviceInfoExReceived.load(), 0);
    EXPECT_FALSE(dialog->TimerActive(IDT_POLL));
    EXPECT_TRUE(Sent().empty());
    // A TCP link counts as well, and starts with a request at once.
    dialog->tcpState = [] { return int{TCP_LINK_NETWORK_DOWN}; };
    dialog->sync.OnLinkChange();
    EXPECT_EQ(g_tcpTxRing.Size(), 1);
    EXPECT_TRUE(dialog->TimerActive(IDT_POLL));
}

TEST_F(SyncTickTest, AnEditGoesOutAtOnceUnlessABlockWentOutInTheLast100Ms)
{
    InSync();
    dialog->sync.OnRoutingImageReceived(dialog->view);  // IDT_PARAM_SYNC runs
    ASSERT_TRUE(dialog->sync.ParamSyncRunning());
    // A second edit at once waits for the tick, a period after the first.
    // Tried again when the machine took a period between the two edits.
    bool withinAPeriod = false;
    for (int attempt = 0; attempt < 20 && !withinAPeriod; ++attempt) {
        // A tick takes what is left; then a quiet period.
        ASSERT_TRUE(dialog->RunTicks(IDT_PARAM_SYNC, 1));
        dialog->RunFor(std::chrono::milliseconds(110));
        Sent();
        const auto first = std::chrono::steady_clock::now();
        g_eqGain[0][20] = 10 + 2 * attempt;
        dialog->sync.OnModelEdited();
        ASSERT_EQ(Sent(), std::vector<Bytes>{Block(CMD_WRITE_EQUSER, EqUserBlock(2))});
        g_eqGain[0][20] = 11 + 2 * attempt;
        dialog->sync.OnModelEdited();
        withinAPeriod = std::chrono::steady_clock::now() - first < std::chrono::milliseconds(IDT_PARAM_SYNC_MS);
        if (withinAPeriod) {
            EXPECT_TRUE(Sent().empty());
        }
    }
    ASSERT_TRUE(withinAPeriod);
    ASSERT_TRUE(dialog->RunTicks(IDT_PARAM_SYNC, 1));
    EXPECT_EQ(Sent(), std::vector<Bytes>{Block(CMD_WRITE_EQUSER, EqUserBlock(2))});
    // After a quiet 100 ms the next edit is at once again.
    dialog->RunFor(std::chrono::milliseconds(110));
    EXPECT_TRUE(Sent().empty());
    g_eqGain[0][20] = 12;
    dialog->sync.OnModelEdited();
    EXPECT_EQ(Sent(), std::vector<Bytes>{Block(CMD_WRITE_EQUSER, EqUserBlock(2))});
}

TEST_F(SyncTickTest, ChangedBlocksGoOutLowestFirstOnePerImagePerTick)
{
    InSync();
    struct Case {
        unsigned offset;
        int block;
    };
    for (const Case c : {Case{0, 0}, Case{54, 0}, Case{55, 1}, Case{3134, 55}, Case{3135, 56}, Case{3162, 56}}) {
        SCOPED_TRACE(c.offset);
        {
            std::lock_guard<std::mutex> lock(g_imageMutex);
            g_eqUserShadow[c.offset] ^= 0x5A;  // the device holds something else there
        }
        dialog->sync.OnParamSync();
        EXPECT_EQ(Sent(), std::vector<Bytes>{Block(CMD_WRITE_EQUSER, EqUserBlock(c.block))});
        dialog->sync.OnParamSync();
        EXPECT_TRUE(Sent().empty());
    }

    // Two EqUser blocks and one EqUser2 block in one edit.
    g_eqGain[0][20] = 10;         // CH1 band 21
    g_eqGain[10][2] = 20;         // CH11 band 3
    g_inputMixVolume[5][3] = 33;  // offset 50 + 80 + 3 = 133: EqUser2 block 2
    const int low = BlockOf(BandGainOffset(0, 20) + 1), high = BlockOf(BandGainOffset(10, 2) + 1);
    ASSERT_EQ(low, 2);
    ASSERT_EQ(high, 36);
    dialog->sync.OnParamSync();
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Block(CMD_WRITE_EQUSER, EqUserBlock(low)),
                                          Block(CMD_WRITE_EQUSER2, EqUser2Block(2))}));
    dialog->sync.OnParamSync();
    EXPECT_EQ(Sent(), std::vector<Bytes>{Block(CMD_WRITE_EQUSER, EqUserBlock(high))});
    dialog->sync.OnParamSync();
    EXPECT_TRUE(Sent().empty());
}

TEST_F(SyncTickTest, BlockThatFindsTheRingFullGoesOutNextTick)
{
    InSync();
    for (int i = 0; i < HidRing::kCapacity; ++i) ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
    g_eqGain[1][0] = 7;
    dialog->sync.OnParamSync();
    EXPECT_EQ(Sent().size(), static_cast<size_t>(HidRing::kCapacity));
    dialog->sync.OnParamSync();
    EXPECT_EQ(Sent(), std::vector<Bytes>{Block(CMD_WRITE_EQUSER, EqUserBlock(BlockOf(BandGainOffset(1, 0) + 1)))});
}

TEST_F(SyncTickTest, SaveWaitsForEveryChangedBlockAndKeepsItsSlot)
{
    InSync();
    g_eqGain[0][20] = 10;      // EqUser block 2
    g_eqGain[10][2] = 20;      // EqUser block 36
    g_routingMask[0] ^= 0x10;  // EqUser2 block 0
    g_presetSlot = 5;
    ASSERT_TRUE(dialog->sync.RequestSavePreset(g_presetSlot));
    g_presetSlot = 0;  // a device-info reply names another current preset meanwhile
    dialog->sync.OnParamSync();
    EXPECT_EQ(Sent(),
              (std::vector<Bytes>{Block(CMD_WRITE_EQUSER, EqUserBlock(2)), Block(CMD_WRITE_EQUSER2, EqUser2Block(0))}));
    EXPECT_TRUE(dialog->sync.SavePending());
    dialog->sync.OnParamSync();
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Block(CMD_WRITE_EQUSER, EqUserBlock(36)), Bytes{CMD_SAVE_PRESET, 5}}));
    EXPECT_FALSE(dialog->sync.SavePending());
    dialog->sync.OnParamSync();
    EXPECT_TRUE(Sent().empty());

    // Nothing changed: the save goes out with the next tick.
    ASSERT_TRUE(dialog->sync.RequestSavePreset(2));
    dialog->sync.OnParamSync();
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Bytes{CMD_SAVE_PRESET, 2}}));
}

TEST_F(SyncTickTest, SaveIsRefusedWithoutALinkAndDroppedWhenTheLinkGoes)
{
    InSync();
    ASSERT_TRUE(dialog->sync.RequestSavePreset(4));
    g_usbConnected = 0;
    dialog->sync.OnLinkChange();  // the link is gone
    EXPECT_FALSE(dialog->sync.SavePending());
    EXPECT_FALSE(dialog->sync.RequestSavePreset(4));
    g_usbConnected = 1;
    dialog->sync.OnParamSync();
    EXPECT_TRUE(Sent().empty());
    // A link, but no device identified yet: refused too.
    EXPECT_FALSE(dialog->sync.RequestSavePreset(4));
    g_deviceInfoReceived = 1;

    ASSERT_TRUE(dialog->sync.RequestSavePreset(4));
    dialog->sync.OnLinkLost();  // the HID device was removed
    EXPECT_FALSE(dialog->sync.SavePending());
}

TEST_F(SyncTickTest, ImportStartsWithAFreshWatchdogAndProgress)
{
    dialog->sync.OnLinkChange();
    AnswerDeviceInfo();
    Sent();
    g_deviceInfoReceived = 1;
    g_importWatchdogTicks = 65;  // left over from an import the link cut short
    g_progressPermille = 1000;
    std::vector<int> readsAtTick;
    dialog->modalBody = [&] {
        EXPECT_EQ(g_progressPermille.load(), 0u);
        EXPECT_TRUE(dialog->TimerActive(IDT_IMPORT_WATCHDOG));
        const std::vector<Bytes> first = Sent();
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(first.back(), (Bytes{CMD_READ_EQUSER, 99, 0xFF}));
        for (int tick = 1; tick <= 35; ++tick) {
            dialog->sync.OnTimer(IDT_IMPORT_WATCHDOG);
            for (const Bytes& p : Sent())
                if (p[0] == CMD_READ_EQUSER) readsAtTick.push_back(tick);
        }
    };
    dialog->sync.OnLinkChange();  // the device identified itself
    EXPECT_EQ(dialog->sync.ImportState(), SyncTimers::kImporting);
    EXPECT_EQ(readsAtTick, (std::vector<int>{10, 20, 30}));
    EXPECT_TRUE(dialog->stringBoxes.empty());
    EXPECT_EQ(dialog->modalsOpened, 1);
}

TEST_F(SyncTickTest, StatusShowsWhatChangedAndPostsOfflineOnceWhenUsbGoes)
{
    g_saveSlot = 2;
    g_presetSlot = 3;
    g_inputSource = 5;
    dialog->sync.OnStatus();
    EXPECT_EQ(dialog->labelUpdates, 3);
    EXPECT_EQ(dialog->sourceRepaintSaw, std::vector<int>{1});  // still the old source
    EXPECT_EQ(g_lastInputSource, 5);
    EXPECT_EQ(dialog->usbPictures, 1);  // g_usbConnected is 1 here
    dialog->sync.OnStatus();
    EXPECT_EQ(dialog->labelUpdates, 3);
    EXPECT_EQ(dialog->usbPictures, 1);
    EXPECT_EQ(dialog->posted[WM_DEVICE_OFFLINE], 0);
    g_usbConnected = 0;
    dialog->sync.OnStatus();
    dialog->sync.OnStatus();
    EXPECT_EQ(dialog->usbPictures, 2);
    EXPECT_EQ(dialog->posted[WM_DEVICE_OFFLINE], 1);
}

}  // namespace
