// The one-session guard of each direction.
#include "audio/session_guard.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(SessionGuard, OneSessionPerDirectionAndNoStopIsLost)
{
    std::atomic<int32_t> running{0};
    SessionGuard guard(running);
    ASSERT_TRUE(guard.Begin());
    EXPECT_EQ(guard.WaitForStart(0), SessionPhase::Starting) << "the time ran out first";
    EXPECT_FALSE(guard.Begin()) << "a second command while the thread opens the device";
    std::thread opener([&] { guard.DeviceStarted(); });
    EXPECT_EQ(guard.WaitForStart(5000), SessionPhase::Running);
    opener.join();
    EXPECT_EQ(running, 1);
    EXPECT_EQ(guard.Stop(), SessionPhase::Running);
    EXPECT_EQ(running, 0);
    EXPECT_FALSE(guard.Begin()) << "until the thread has closed its device and ended";
    EXPECT_FALSE(guard.WaitIdle(0));
    std::thread closer([&] { guard.End(); });
    EXPECT_TRUE(guard.WaitIdle(5000));
    closer.join();

    // A Stop while the thread is opening its device: the thread closes instead.
    ASSERT_TRUE(guard.Begin());
    EXPECT_EQ(guard.Stop(), SessionPhase::Starting);
    EXPECT_FALSE(guard.DeviceStarted());
    EXPECT_EQ(running, 0);
    EXPECT_EQ(guard.WaitForStart(0), SessionPhase::Running) << "the device was opened: Stop waits for its close";
    guard.End();

    // A failed start: nothing for Stop to wait for, no new session until the thread ends.
    ASSERT_TRUE(guard.Begin());
    guard.StartFailed();
    EXPECT_EQ(guard.WaitForStart(0), SessionPhase::Failed);
    EXPECT_EQ(guard.Stop(), SessionPhase::Failed);
    EXPECT_FALSE(guard.Begin());
    guard.End();
    ASSERT_TRUE(guard.Begin());
    EXPECT_TRUE(guard.DeviceStarted()) << "the old stop request is gone";
}

} // namespace
