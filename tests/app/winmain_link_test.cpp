#include <gtest/gtest.h>

#include <algorithm>

#include "app/winmain.h"
#include "foundation/debuglink.h"
#include "platform/seams.h"
#include "support/testutil.h"

namespace {

// A minimal data tree, so that start-up finds what it reads and shows no box of its own.
class WinMainTest : public testutil::ScratchFolderTest {
protected:
    void SetUp() override
    {
        platform::seams::ResetAll();
        platform::seams::InstallMessageBoxRecorder();
        testutil::WriteMinimalDataTree(dir);
    }
    void TearDown() override
    {
        if (g_pDevice) {
            g_pDevice->Release();
            g_pDevice = nullptr;
        }
        platform::seams::ResetAll();
    }

    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> out;
        for (const auto& b : boxes.Boxes()) {
            EXPECT_FALSE(b.hasCaption);
            out.push_back(b.text);
        }
        return out;
    }
};

int Presents()
{
    const auto& calls = platform::seams::RecordedDeviceCalls();
    return static_cast<int>(std::count(calls.begin(), calls.end(), std::string("Present()")));
}

}  // namespace

// Escape alone and the middle button do nothing: three frames later the program still runs, with
// its link; Shift+Escape then ends it.
TEST_F(WinMainTest, OnlyShiftEscapeEndsTheProgramAfterOpaqueBlackFrames)
{
    platform::seams::SetDeviceRecording(true);
    platform::seams::KeepPresentedFrames(true);
    int presentsAtEscape = -1;
    bool linkAliveAtShiftEscape = false;
    platform::seams::SetIdleHook([&] {
        if (presentsAtEscape < 0 && Presents() >= 1) {
            presentsAtEscape = Presents();
            platform::seams::InjectMessage(WM_KEYDOWN, VK_ESCAPE, 0);
            platform::seams::InjectMessage(WM_MBUTTONDOWN, 0, MAKELPARAM(10, 10));
        } else if (presentsAtEscape >= 0 && Presents() == presentsAtEscape + 3) {
            linkAliveAtShiftEscape = g_pDebugLink != nullptr;
            platform::seams::InjectMessage(WM_KEYDOWN, VK_SHIFT, 0);
            platform::seams::InjectMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        }
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW), 0);
    EXPECT_TRUE(linkAliveAtShiftEscape);
    EXPECT_EQ(g_pDebugLink, nullptr);  // deleted with the window
    EXPECT_EQ(g_pDevice, nullptr);
    EXPECT_TRUE(boxes.Boxes().empty());

    const platform::seams::Frame& f = platform::seams::LastPresentedFrame();
    ASSERT_EQ(f.width, 640);
    ASSERT_EQ(f.height, 480);
    for (std::size_t i = 0; i < f.bgra.size(); i += 4) {
        ASSERT_EQ(f.bgra[i] | f.bgra[i + 1] | f.bgra[i + 2], 0) << "pixel " << i / 4;
        ASSERT_EQ(f.bgra[i + 3], 255) << "pixel " << i / 4;
    }
}

TEST_F(WinMainTest, AMenuThatFailsEndsStartUpBeforeAnyTick)
{
    dir.Write("menu/MainMenu.txt", "[x]\ntype=Static\n");
    platform::seams::SetDeviceRecording(true);
    EXPECT_EQ(WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW), 0);
    EXPECT_EQ(Presents(), 0);
    // The loader's own report, captioned, then the two uncaptioned boxes of the shell.
    const auto& b = boxes.Boxes();
    ASSERT_EQ(b.size(), 3u);
    EXPECT_TRUE(b[0].hasCaption);
    EXPECT_FALSE(b[1].hasCaption || b[2].hasCaption);
    EXPECT_EQ(b[1].text, "打开MainMenu.txt出错");
    EXPECT_EQ(b[2].text, "Setup() - FAILED");
}

TEST_F(WinMainTest, WindowCreationMakesAndConnectsTheLink)
{
    testutil::LinkListener listener;
    ASSERT_LISTENING_OR_SKIP(listener);
    ASSERT_TRUE(InitD3D(nullptr, 640, 480, true, D3DDEVTYPE_HAL, &g_pDevice));
    ASSERT_NE(g_pDebugLink, nullptr);
    g_pDebugLink->Send("hello");
    EXPECT_EQ(listener.Receive(5), "hello");
}

TEST_F(WinMainTest, EachFailureShowsItsBoxThenInitD3DFailed)
{
    const std::pair<platform::seams::ForcedFailures, const char*> cases[] = {
        {{.registerClass = true}, "RegisterClass() - FAILED"},
        {{.createWindow = true}, "CreateWindow() - FAILED"},
        {{.direct3DCreate = true}, "Direct3DCreate9() - FAILED"},
        {{.deviceD24S8 = true, .deviceD16 = true}, "CreateDevice() - FAILED"},
    };
    for (const auto& [failures, first] : cases) {
        platform::seams::ResetAll();
        platform::seams::InstallMessageBoxRecorder();
        boxes.Clear();
        platform::seams::SetForcedFailures(failures);
        EXPECT_EQ(WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW), 0);
        EXPECT_EQ(BoxTexts(), (std::vector<std::string>{first, "InitD3D() - FAILED"}));
    }
}

TEST_F(WinMainTest, DeviceFallsBackToD16AndToSoftwareVertexProcessing)
{
    platform::seams::SetForcedFailures({.deviceD24S8 = true});
    ASSERT_TRUE(InitD3D(nullptr, 640, 480, true, D3DDEVTYPE_HAL, &g_pDevice));
    EXPECT_EQ(platform::seams::LastDeviceDepthFormat(), D3DFMT_D16);
    EXPECT_EQ(platform::seams::LastDeviceBehaviorFlags(), D3DCREATE_HARDWARE_VERTEXPROCESSING);
    g_pDevice->Release();
    g_pDevice = nullptr;

    platform::seams::ResetAll();
    platform::seams::SetHardwareTransformAndLight(false);
    ASSERT_TRUE(InitD3D(nullptr, 640, 480, true, D3DDEVTYPE_HAL, &g_pDevice));
    EXPECT_EQ(platform::seams::LastDeviceDepthFormat(), D3DFMT_D24S8);
    EXPECT_EQ(platform::seams::LastDeviceBehaviorFlags(), D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    EXPECT_TRUE(boxes.Boxes().empty());
}
