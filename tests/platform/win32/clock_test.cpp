#include <gtest/gtest.h>

#include "platform/seams.h"
#include "platform/win32.h"

TEST(ClockTest, RealClockIsMonotonicAndSeamsReplaceIt)
{
    platform::seams::ResetAll();
    const DWORD before = timeGetTime();
    Sleep(5);
    const DWORD after = timeGetTime();
    EXPECT_GE(after - before, 4u);
    EXPECT_LT(after - before, 1000u);

    DWORD now = 0xFFFFFFF0u;
    DWORD slept = 0;
    platform::seams::SetClock([&] { return now; });
    platform::seams::SetSleep([&](DWORD ms) {
        slept += ms;
        now += ms;
    });
    Sleep(32);
    EXPECT_EQ(slept, 32u);
    EXPECT_EQ(timeGetTime(), 0x10u);  // wraps like the Windows counter

    platform::seams::ResetAll();
    EXPECT_NE(timeGetTime(), 0x10u);
}
