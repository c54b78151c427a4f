#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/winmain.h"
#include "platform/seams.h"
#include "support/testutil.h"

namespace {

using platform::seams::Frame;

int Channel(const Frame& f, int x, int y, int channel)  // 0 blue, 1 green, 2 red
{
    return f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4 + channel];
}

int Brightness(const Frame& f, int x, int y) { return Channel(f, x, y, 0) + Channel(f, x, y, 1) + Channel(f, x, y, 2); }

// Pixels of the rows y0 to y1 that pass a test.
int Count(const Frame& f, int y0, int y1, const std::function<bool(int x, int y)>& test)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < f.width; ++x) n += test(x, y);
    return n;
}

// Pixels of a band that differ between two frames.
int ChangedPixels(const Frame& a, const Frame& b, int y0, int y1)
{
    return Count(a, y0, y1, [&](int x, int y) { return Brightness(a, x, y) != Brightness(b, x, y); });
}

// Pixels of a band where green clearly leads: the status line of the running scene.
int GreenPixels(const Frame& f, int y0, int y1)
{
    return Count(f, y0, y1, [&](int x, int y) {
        return Channel(f, x, y, 1) > 120 && Channel(f, x, y, 1) > Channel(f, x, y, 2) + 60;
    });
}

void Inject(UINT message, int x, int y) { platform::seams::InjectMessage(message, 0, MAKELPARAM(x, y)); }

}  // namespace

// The bundled data tree, run as the program as a player runs it, headless: the menu draws,
// answers the mouse, starts the demo scene (which reports over the debug link) and quits from
// its button.
TEST(MainMenu, TheBundledMenuDrivesTheProgramFromStartToQuit)
{
    testutil::ScopedCwd cwd(std::string(ENGINE_SOURCE_DIR) + "/data");
    testutil::LinkListener link;
    ASSERT_LISTENING_OR_SKIP(link);
    platform::seams::ResetAll();
    testutil::BoxCapture boxes;
    platform::seams::SetDeviceRecording(true);
    platform::seams::KeepPresentedFrames(true);

    // Each step runs a number of presented frames after the one before.
    Frame shown, hovered, started;
    const std::pair<int, std::function<void()>> steps[] = {
        {45, [&] { shown = platform::seams::LastPresentedFrame(); Inject(WM_MOUSEMOVE, 320, 170); }},
        {3, [&] { hovered = platform::seams::LastPresentedFrame(); Inject(WM_LBUTTONDOWN, 320, 170); }},
        {5, [&] { started = platform::seams::LastPresentedFrame(); Inject(WM_LBUTTONDOWN, 320, 280); }},
        {200, [] { PostQuitMessage(9); }},  // only if the quit button failed
    };
    std::size_t next = 0;
    int frames = 0, lastStep = 0;
    platform::seams::SetIdleHook([&] {
        auto& calls = platform::seams::RecordedDeviceCalls();
        frames += static_cast<int>(std::count(calls.begin(), calls.end(), std::string("Present()")));
        calls.clear();
        if (next < std::size(steps) && frames - lastStep >= steps[next].first) {
            lastStep = frames;
            steps[next++].second();
        }
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW), 0);
    EXPECT_EQ(boxes.Captioned(), testutil::Strings{});
    platform::seams::ResetAll();
    EXPECT_EQ(next, 3u) << "the quit button did not end the program";
    const std::string received = link.Receive(20, 2000);
    EXPECT_NE(received.find("demo scene started,"), std::string::npos) << received;

    ASSERT_EQ((std::pair{shown.width, shown.height}), (std::pair{640, 480}));
    // The night-sky background fills the corner; the start button is a light blue bar.
    EXPECT_GT(Channel(shown, 5, 5, 0), Channel(shown, 5, 5, 2));
    EXPECT_GT(Channel(shown, 5, 5, 0), 20);
    EXPECT_GT(Channel(shown, 250, 160, 0), 120);
    EXPECT_GT(Brightness(shown, 250, 160), Brightness(shown, 250, 130) + 100);
    // The title has faded in.
    EXPECT_GT(Channel(shown, 320, 60, 2), 150);

    // Hovering the start button rewrote the hint line; the rest of the menu stayed.
    EXPECT_GT(ChangedPixels(shown, hovered, 440, 480), 50);
    EXPECT_EQ(ChangedPixels(shown, hovered, 130, 320), 0);

    // The scene runs: its status line is green and the disabled start button turned grey.
    EXPECT_EQ(GreenPixels(hovered, 400, 430), 0);
    EXPECT_GT(GreenPixels(started, 400, 430), 30);
    EXPECT_LT(Brightness(started, 250, 160), Brightness(hovered, 250, 160) * 2 / 3);
}
