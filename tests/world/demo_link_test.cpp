#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "app/winmain.h"
#include "platform/seams.h"
#include "support/mediafiles.h"
#include "support/testutil.h"

namespace {

using platform::seams::Frame;

// Pixels of the field above the menu's hint line that are not the cleared black background.
int LitPixels(const Frame& f)
{
    int n = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < f.width; ++x) {
            const std::uint8_t* p = &f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4];
            if (p[0] + p[1] + p[2] > 60)
                ++n;
        }
    return n;
}

// Pixels where red and green clearly lead blue: the sparks and the sand-coloured dust.
int WarmPixels(const Frame& f)
{
    int n = 0;
    for (std::size_t i = 0; i + 3 < f.bgra.size(); i += 4)
        if (f.bgra[i + 2] > 150 && f.bgra[i + 1] > 110 && f.bgra[i + 2] > f.bgra[i] + 80)
            ++n;
    return n;
}

// DEMO_FRAME names a PNG file to keep the frame in, for a person to look at.
void KeepFrame(const Frame& f)
{
    const char* path = std::getenv("DEMO_FRAME");
    if (!path)
        return;
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i + 3 < f.bgra.size(); i += 4)
        rgb.insert(rgb.end(), {f.bgra[i + 2], f.bgra[i + 1], f.bgra[i]});
    std::ofstream(path, std::ios::binary) << testutil::PngFile(f.width, f.height, 3, rgb);
}

}  // namespace

// The bundled demo: Start in the menu brings in two formations of units under their own
// scripts; they move, turn and throw animations, and no data file reports a fault.
TEST(DemoScene, StartShowsFormationsMovingUnderTheirScripts)
{
    testutil::ScopedCwd cwd(std::string(ENGINE_SOURCE_DIR) + "/data");
    testutil::BoxCapture boxes;
    testutil::LinkListener listener;
    platform::seams::ResetAll();
    platform::seams::InstallMessageBoxRecorder();
    platform::seams::SetDeviceRecording(true);

    int frames = 0;
    Frame early;
    Frame late;
    platform::seams::SetIdleHook([&] {
        auto& calls = platform::seams::RecordedDeviceCalls();
        const int before = frames;
        frames += static_cast<int>(std::count(calls.begin(), calls.end(), std::string("Present()")));
        calls.clear();
        auto reached = [&](int n) { return before < n && frames >= n; };
        if (reached(10))
            platform::seams::InjectMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(320, 170));
        if (reached(150))
            early = platform::seams::LastPresentedFrame();
        if (reached(420)) {
            late = platform::seams::LastPresentedFrame();
            PostQuitMessage(0);
        }
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW), 0);
    platform::seams::ResetAll();
    KeepFrame(late);

    for (const auto& b : boxes.Boxes())
        ADD_FAILURE() << "box: " << b.caption << " / " << b.text;
    ASSERT_EQ(late.width, 640);
    // Units stand in the field and have moved between the two frames.
    EXPECT_GT(LitPixels(early), 2000);
    EXPECT_GT(LitPixels(late), 2000);
    int changed = 0;
    for (std::size_t i = 0; i < late.bgra.size(); ++i)
        changed += early.bgra[i] != late.bgra[i];
    EXPECT_GT(changed, 2000);
    EXPECT_GT(WarmPixels(early) + WarmPixels(late), 10);
}
