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
        if (g_pDevice) g_pDevice->Release();
        g_pDevice = nullptr;
        platform::seams::ResetAll();
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
TEST_F(WinMainTest, OnlyShiftEscapeEndsTheProgram)
{
    platform::seams::SetDeviceRecording(true);
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
}

TEST_F(WinMainTest, AMenuThatFailsEndsStartUpBeforeAnyTick)
{
    dir.Write("menu/MainMenu.txt", "[x]\ntype=Static\n");
    platform::seams::SetDeviceRecording(true);
    EXPECT_EQ(WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW), 0);
    EXPECT_EQ(Presents(), 0);
    // The loader's own report, captioned, then the two uncaptioned boxes of the shell.
    EXPECT_EQ(boxes.Captioned(),
              (testutil::Strings{"UIManager:|Unrecognized value:Static", "打开MainMenu.txt出错", "Setup() - FAILED"}));
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
        platform::seams::InstallMessageBoxRecorder();  // empty
        platform::seams::SetForcedFailures(failures);
        EXPECT_EQ(WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW), 0);
        EXPECT_EQ(boxes.Captioned(), (testutil::Strings{first, "InitD3D() - FAILED"}));  // no captions
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
}
