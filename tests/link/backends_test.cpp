// What the two HID backends report for devices that are there, gone or
// never were.
#include <gtest/gtest.h>

#include "platform/hid/hidraw_backend.h"
#include "platform/hid/inprocess_backend.h"
#include "tests/link/scripted_endpoint.h"

namespace {

TEST(InProcessHidBackend, EnumeratesAndOpensOnlyPresentDevicesOfTheVendor)
{
    InProcessHidBackend backend;
    auto a = std::make_shared<ScriptedEndpoint>(0x3A9B, 0x0101);
    auto other = std::make_shared<ScriptedEndpoint>(0x1234, 0x0101);
    auto b = std::make_shared<ScriptedEndpoint>(0x3A9B, 0x0102);
    const std::string pa = backend.Plug(a);
    backend.Plug(other);
    const std::string pb = backend.Plug(b);

    auto list = backend.Enumerate(0x3A9B);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, pa);
    EXPECT_EQ(list[1].productId, 0x0102);

    // Reports cross as 65 bytes on the host side, 64 on the device side.
    HidOpenStatus status = HidOpenStatus::kFailed;
    auto dev = backend.Open(pa, status);
    ASSERT_TRUE(dev);
    EXPECT_EQ(status, HidOpenStatus::kOk);
    uint8_t out[65] = {0, 2, 1, 19, 20};
    EXPECT_EQ(dev->Write(out), 65);
    EXPECT_EQ(a->Writes().at(0)[0], 2);
    a->Reply({10});
    uint8_t in[65];
    std::fill(std::begin(in), std::end(in), 0xEE);
    EXPECT_EQ(dev->Read(in, 1000), 65);
    EXPECT_EQ(in[0], 0);
    EXPECT_EQ(in[1], 1);
    EXPECT_EQ(in[2], 10);
    EXPECT_EQ(dev->Read(in, 0), 0);

    a->Unplug();
    EXPECT_EQ(dev->Read(in, 0), -1);
    EXPECT_EQ(dev->Write(out), -1);
    EXPECT_EQ(backend.Enumerate(0x3A9B).size(), 1u);
    EXPECT_FALSE(backend.Open(pa, status));
    EXPECT_EQ(status, HidOpenStatus::kNotFound);
    backend.Unplug(pb);
    EXPECT_TRUE(backend.Enumerate(0x3A9B).empty());
}

TEST(HidrawBackend, MissingNodeIsNotFound)
{
    HidrawBackend backend;
    HidOpenStatus status = HidOpenStatus::kOk;
    EXPECT_FALSE(backend.Open("/dev/hidraw-does-not-exist", status));
    EXPECT_EQ(status, HidOpenStatus::kNotFound);
    EXPECT_TRUE(backend.Enumerate(0xFFFE).empty());
}

}  // namespace
