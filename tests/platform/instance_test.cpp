// One running copy per user: the lock in the runtime folder and the request
// of a later start that the first come to the front.
#include <string>

#include "platform/instance.h"
#include "tests/platform/ui_test.h"
#include "tests/support/scratch_dir.h"

namespace {

class InstanceTest : public UiTest {};

TEST_F(InstanceTest, ALaterStartFindsTheFirstAndAsksItToComeForward)
{
    const ScratchDir scratch("tarvel_instance");
    ASSERT_FALSE(scratch.Path().empty());
    const std::string folder = scratch.Path().string();
    {
        SingleInstance first(folder, "prog");
        ASSERT_TRUE(first.IsFirst());
        // Asked before it listens: nobody answers, and nothing waits.
        SingleInstance early(folder, "prog");
        EXPECT_FALSE(early.IsFirst());
        EXPECT_FALSE(early.AskFirstToRaise());

        int raised = 0;
        ASSERT_TRUE(first.ListenForRaise([&] { ++raised; }));
        // A second lock in the same process is refused too: the lock is the
        // open file's, not the process's.
        SingleInstance second(folder, "prog");
        EXPECT_FALSE(second.IsFirst());
        EXPECT_FALSE(second.ListenForRaise([] {}));
        EXPECT_TRUE(second.AskFirstToRaise());
        EXPECT_TRUE(platform_testing::PumpUntil([&] { return raised == 1; }, 30000));
        EXPECT_TRUE(second.AskFirstToRaise());
        EXPECT_TRUE(platform_testing::PumpUntil([&] { return raised == 2; }, 30000));
        // Another name is another program.
        EXPECT_TRUE(SingleInstance(folder, "other").IsFirst());
    }
    // The first gone, the next start is the first, and listens again.
    SingleInstance next(folder, "prog");
    EXPECT_TRUE(next.IsFirst());
    EXPECT_TRUE(next.ListenForRaise([] {}));
}

TEST_F(InstanceTest, AFolderWithoutRoomForALockDoesNotKeepTheProgramFromStarting)
{
    const ScratchDir scratch("tarvel_instance");
    ASSERT_FALSE(scratch.Path().empty());
    for (const std::string& folder : {std::string(), (scratch / "missing").string()}) {
        SCOPED_TRACE(folder);
        SingleInstance a(folder, "prog");
        SingleInstance b(folder, "prog");
        EXPECT_TRUE(a.IsFirst());
        EXPECT_TRUE(b.IsFirst());
        EXPECT_FALSE(b.AskFirstToRaise());
    }
}

}  // namespace
