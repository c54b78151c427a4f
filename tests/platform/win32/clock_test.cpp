#include <gtest/gtest.h>

#include "platform/seams.h"
#include "platform/win32.h"

// The clock counts milliseconds: a sleep of 5 ms moves it by about 5, not by 0 or thousands.
TEST(ClockTest, RealClockCountsMilliseconds)
{
    platform::seams::ResetAll();
    const DWORD before = timeGetTime();
    Sleep(5);
    const DWORD after = timeGetTime();
    EXPECT_GE(after - before, 4u);
    EXPECT_LT(after - before, 1000u);
}
