#include <gtest/gtest.h>

#include "app/gameframe.h"
#include "platform/seams.h"

TEST(GameFrameTest, OnlyCommandPointZeroFiveQuits)
{
    platform::seams::ResetAll();
    EXPECT_EQ(g_GameFrame.strClassName, "CGameFrame");
    MSG msg;
    for (float value : {0.0f, 0.5f, 0.050001f, 0.049999f, -0.05f}) {
        EXPECT_EQ(g_GameFrame.Command(value), 0);
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << value;
    }
    EXPECT_EQ(g_GameFrame.Command(0.05f), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
    platform::seams::ResetAll();
}
