#include <gtest/gtest.h>

#include <vector>

#include "app/winmain.h"
#include "bindings/gameframe.h"
#include "platform/seams.h"
#include "support/testdevice.h"
#include "ui/uifixture.h"
#include "world/scene.h"

namespace {

// The loop under a clock the test drives: Sleep advances it, a tick may take time.
struct FakeTime {
    DWORD now = 1000;
    std::vector<DWORD> ticks;
    std::vector<DWORD> sleeps;
    std::vector<DWORD> tickCost;  // how long each tick takes, by tick number
    int maxTicks = 5;
};

FakeTime* g_Time = nullptr;

bool CountingDisplay(float timeDelta)
{
    EXPECT_FLOAT_EQ(timeDelta, 0.1f);
    const std::size_t n = g_Time->ticks.size();
    g_Time->ticks.push_back(g_Time->now);
    if (n < g_Time->tickCost.size()) g_Time->now += g_Time->tickCost[n];
    if (static_cast<int>(g_Time->ticks.size()) == g_Time->maxTicks) PostQuitMessage(3);
    return true;
}

class LoopTest : public testing::Test {
protected:
    FakeTime time;

    void SetUp() override
    {
        platform::seams::ResetAll();
        g_Time = &time;
        platform::seams::SetClock([this] { return time.now; });
        platform::seams::SetSleep([this](DWORD ms) {
            time.sleeps.push_back(ms);
            time.now += ms;
        });
    }
    void TearDown() override
    {
        platform::seams::ResetAll();
        g_Time = nullptr;
    }
};

}  // namespace

// The first tick at once, then one every 16 ms counted from the start of each tick: the 40 ms
// tick starting at 1016 ends at 1056 and is followed by one tick at once, not a catch-up, and
// the 3 ms tick at 1056 sleeps 13.
TEST_F(LoopTest, OneTickEvery16MsAndNoCatchUpAfterALongOne)
{
    time.tickCost = {0, 40, 3};
    EXPECT_EQ(RunMessageLoop(CountingDisplay), 3);
    EXPECT_EQ(time.ticks, (std::vector<DWORD>{1000, 1016, 1056, 1072, 1088}));
    EXPECT_EQ(time.sleeps, (std::vector<DWORD>{16, 13, 16}));
}

TEST_F(LoopTest, TicksWaitWhileMessagesKeepArriving)
{
    int injected = 0;
    time.maxTicks = 2;
    platform::seams::SetIdleHook([&] {
        if (injected < 10) {
            ++injected;
            time.now += 5;  // a fast mouse: a message every 5 ms for 50 ms
            platform::seams::InjectMessage(WM_MOUSEMOVE, 0, 0);
        }
    });
    RunMessageLoop(CountingDisplay);
    // No tick ran while the 10 messages were coming; then one tick at once, and the next 16 ms on.
    EXPECT_EQ(time.ticks, (std::vector<DWORD>{1050, 1066}));
}

TEST_F(LoopTest, RenderFrameClearsToOpaqueBlackInsideTheSceneAndPresents)
{
    platform::seams::SetDeviceRecording(true);
    EXPECT_TRUE(DisplayFrame(0.1f));  // no device: nothing drawn
    EXPECT_TRUE(platform::seams::RecordedDeviceCalls().empty());

    IDirect3DDevice9* device = testutil::MakeTestDevice(64, 64);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(RenderFrame(device, 0.1f));
    EXPECT_EQ(platform::seams::RecordedDeviceCalls(),
              (std::vector<std::string>{"Clear(0, 0x00000003, 0xFF000000, 1, 0)", "BeginScene()", "EndScene()",
                                        "Present()"}));
    device->Release();
}

using GameFrameTest = uitest::UIFixture;

TEST_F(GameFrameTest, TheInterfaceUpdatesBeforeTheScene)
{
    ASSERT_TRUE(LoadUI(uitest::kLogControl, "[UIMain]\n[Set]\nUI.MoveControl(\"log\",10,0,0,0,0,0,0)\n"));
    dir.Write("scene.txt", "[main]\nUI.MoveControlOffSet(\"log\",1,0,0,0,0,0,0)\n");
    g_UIManager.Runner.StartThread("Set", "Set");
    g_Scene.Start(dir.WindowsPath() + "\\scene.txt", "main");
    g_GameFrame.Update();
    // The interface's thread puts the control at 10, then the scene's moves it on by 1.
    EXPECT_EQ(Control("log")->PosX.Get(), 11.0f);
}
