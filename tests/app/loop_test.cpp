#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include <unistd.h>

#include "app/winmain.h"
#include "bindings/gameframe.h"
#include "platform/seams.h"
#include "platform/signals.h"
#include "support/testdevice.h"
#include "ui/uifixture.h"
#include "world/scene.h"

namespace {

// The loop under a clock the test drives: Sleep advances it, a tick may take time (by tick
// number), and the loop ends after maxTicks ticks.
struct FakeTime {
    DWORD now = 1000;
    std::vector<DWORD> ticks, sleeps, tickCost;
    std::size_t maxTicks = 5;
} * g_Time = nullptr;

bool CountingDisplay(float timeDelta)
{
    EXPECT_FLOAT_EQ(timeDelta, 0.1f);
    FakeTime& t = *g_Time;
    t.ticks.push_back(t.now);
    if (t.ticks.size() <= t.tickCost.size()) t.now += t.tickCost[t.ticks.size() - 1];
    if (t.ticks.size() == t.maxTicks) PostQuitMessage(3);
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
        platform::seams::SetSleep([this](DWORD ms) { time.sleeps.push_back(ms); time.now += ms; });
    }
    void TearDown() override { platform::seams::ResetAll(); }
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
        if (injected++ >= 10) return;
        time.now += 5;  // a fast mouse: a message every 5 ms for 50 ms
        platform::seams::InjectMessage(WM_MOUSEMOVE, 0, 0);
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
              (testutil::Strings{"Clear(0, 0x00000003, 0xFF000000, 1, 0)", "BeginScene()", "EndScene()", "Present()"}));
    device->Release();
}

// What the ticks of a quit-signal case do: signals raised in a tick, a quit posted first, a tick
// that never ends (raising its signals again and again, as signals from outside would come).
struct SignalTick {
    int tick = 1;
    bool postQuit = false;
    bool endless = false;
    std::vector<int> signals;
} g_SignalTick;

bool SignallingDisplay(float timeDelta)
{
    CountingDisplay(timeDelta);
    if (static_cast<int>(g_Time->ticks.size()) != g_SignalTick.tick)
        return true;
    if (g_SignalTick.postQuit)
        PostQuitMessage(0);
    for (int round = 0; round < (g_SignalTick.endless ? 1000 : 1); ++round)
        for (int sig : g_SignalTick.signals)
            raise(sig);
    if (g_SignalTick.endless)
        _exit(99);  // the signals did not end it
    return true;
}

LRESULT CALLBACK QuitOnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY)
        PostQuitMessage(7);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The child's exit code: 10 per tick run plus the loop's result.
[[noreturn]] void RunLoopWithQuitSignals(bool withWindow)
{
    platform::InstallQuitSignals();
    if (withWindow) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = QuitOnDestroy;
        wc.lpszClassName = "SignalWindow";
        RegisterClassA(&wc);
        CreateWindowExA(0, "SignalWindow", "", 8, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
    }
    const int result = RunMessageLoop(SignallingDisplay);
    _exit(10 * static_cast<int>(g_Time->ticks.size()) + result);
}

// SIGTERM or SIGINT closes the window (or, with none, posts the quit) between ticks. A tick that
// never ends never reads the queue again: a second signal ends the process at once, as does one
// while a quit is pending.
TEST_F(LoopTest, QuitSignalsCloseTheWindowThenEndTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    time.maxTicks = 100;
    const struct {
        SignalTick tick;
        bool window;
        int code;
    } rows[] = {
        {{.tick = 2, .signals = {SIGTERM}}, true, 27},
        {{.tick = 3, .signals = {SIGINT}}, false, 30},
        {{.endless = true, .signals = {SIGTERM}}, true, 128 + SIGTERM},
        {{.postQuit = true, .signals = {SIGINT}}, false, 128 + SIGINT},
    };
    for (const auto& row : rows) {
        g_SignalTick = row.tick;
        EXPECT_EXIT(RunLoopWithQuitSignals(row.window), testing::ExitedWithCode(row.code), "") << row.code;
    }
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
