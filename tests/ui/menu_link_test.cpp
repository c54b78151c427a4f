#include <gtest/gtest.h>

#include <functional>

#include "platform/seams.h"
#include "support/bundledrun.h"

namespace {

using platform::seams::Frame;

int Channel(const Frame& f, int x, int y, int channel)  // 0 blue, 1 green, 2 red
{
    return f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4 + channel];
}

int Brightness(const Frame& f, int x, int y)
{
    return Channel(f, x, y, 0) + Channel(f, x, y, 1) + Channel(f, x, y, 2);
}

// Pixels of a band that differ between two frames.
int ChangedPixels(const Frame& a, const Frame& b, int y0, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < a.width; ++x)
            if (Brightness(a, x, y) != Brightness(b, x, y)) ++n;
    return n;
}

// Pixels of a band where green clearly leads: the status line of the running scene.
int GreenPixels(const Frame& f, int y0, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < f.width; ++x)
            if (Channel(f, x, y, 1) > 120 && Channel(f, x, y, 1) > Channel(f, x, y, 2) + 60) ++n;
    return n;
}

// Steps of the session, each run once a number of frames after the one before.
struct Step {
    int framesAfter;
    std::function<void()> action;
};

class MenuSession {
public:
    explicit MenuSession(std::vector<Step> steps) : m_Steps(std::move(steps)) {}

    // Called whenever the loop finds no message waiting.
    void OnIdle(int frames)
    {
        if (m_Next < m_Steps.size() && frames - m_LastStepFrame >= m_Steps[m_Next].framesAfter) {
            m_LastStepFrame = frames;
            m_Steps[m_Next++].action();
        }
    }
    std::size_t StepsRun() const { return m_Next; }

private:
    std::vector<Step> m_Steps;
    std::size_t m_Next = 0;
    int m_LastStepFrame = 0;
};

void Inject(UINT message, int x, int y)
{
    platform::seams::InjectMessage(message, 0, MAKELPARAM(x, y));
}

}  // namespace

// The bundled data tree, run as the program: the menu draws, answers the mouse, starts the demo
// scene (which reports over the debug link) and quits from its button.
TEST(MainMenu, TheBundledMenuDrivesTheProgramFromStartToQuit)
{
    testutil::BundledRun run;
    ASSERT_LISTENING_OR_SKIP(run.Link());

    Frame shown;
    Frame hovered;
    Frame started;
    MenuSession session({
        {45, [&] { shown = platform::seams::LastPresentedFrame(); Inject(WM_MOUSEMOVE, 320, 170); }},
        {3, [&] { hovered = platform::seams::LastPresentedFrame(); Inject(WM_LBUTTONDOWN, 320, 170); }},
        {5, [&] { started = platform::seams::LastPresentedFrame(); Inject(WM_LBUTTONDOWN, 320, 280); }},
        {200, [] { PostQuitMessage(9); }},  // only if the quit button failed
    });
    EXPECT_EQ(run.Run([&](int frames) { session.OnIdle(frames); }), 0);
    EXPECT_EQ(session.StepsRun(), 3u) << "the quit button did not end the program";
    const std::string received = run.Link().Receive(20, 2000);

    for (const auto& b : run.Boxes()) ADD_FAILURE() << "box: " << b.caption << " / " << b.text;
    EXPECT_NE(received.find("demo scene started,"), std::string::npos) << received;

    ASSERT_EQ(shown.width, 640);
    ASSERT_EQ(shown.height, 480);
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
