#include <gtest/gtest.h>

#include "bindings/bindings.h"
#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "platform/win32.h"
#include "script/scriptbase.h"
#include "script/scriptrunner.h"
#include "support/testutil.h"
#include "world/scene.h"

namespace {

// Scripts run in their own runner, with every binding registered and a real viewer listening.
class FrameFunctionsTest : public testutil::LinkTest {
protected:
    CScriptLibrary library;
    CScriptRunner runner;

    void SetUp() override
    {
        LinkTest::SetUp();
        ASSERT_TRUE(RegisterScriptBindings());
        runner.pLibrary = &library;
    }

    void Run(std::initializer_list<std::string> lines)
    {
        CStringList script;
        script.Items = lines;
        library.AddScript(script, "main");
        runner.StartThread("main", "main");
        runner.Update();
    }
};

// A quit message with exit code 0 was posted.
bool QuitPosted()
{
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) quit = quit || (msg.message == WM_QUIT && msg.wParam == 0);
    return quit;
}

}  // namespace

TEST_F(FrameFunctionsTest, ReportsReachTheLinkExactly)
{
    Run({"ReportMsg(\"Hello World\",\"x\")", "ReportMsg(\"\")", "v := 2.5", "ReportValue(v)", "REPORTMSG(v)"});
    // Texts arrive lower-cased, each with a comma; an empty text gives its value; a bare word at a
    // text position is that text, not a variable.
    std::string expected = "hello world,x,0.000000,2.500000v,";
    EXPECT_EQ(listener.Receive(expected.size()), expected);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(FrameFunctionsTest, OnlyExactlyPointZeroFiveQuits)
{
    QuitPosted();
    // The two floats next to 0.05, written with enough digits to read back exactly.
    for (const char* line : {"Frame.Command(0.0500000045)", "Frame.Command(0.049999997)"}) {
        Run({line});
        library.Clear();
    }
    EXPECT_FALSE(QuitPosted());
    Run({"Frame.Command(0.05)"});
    EXPECT_TRUE(QuitPosted());
}

TEST_F(FrameFunctionsTest, StartSceneResolvesTheRootAndRunsTheNamedScriptBesideItsFile)
{
    testutil::TempDir root;
    testutil::ScopedCwd cwd(root.Path());
    root.Write("Scenes/Level.txt", "[other]\nReportMsg(\"other\")\n[Main]\nReportMsg(\"started\")\n");
    SetRootFolder(root.WindowsPath());
    Run({"Frame.StartScene(\"\",\"main\")", "Frame.StartScene(\"$\\Scenes\\Level.txt\",\"main\")"});
    // No file: refused with a report, which reaches the link too.
    const std::string refused = "Scene脚本不能读取:";
    EXPECT_EQ(boxes.Captioned(), testutil::Strings{"CGameFrame:|" + refused});
    // The text arrives lower-cased; the file is still found, and its folder is left current.
    EXPECT_EQ(g_CurrentFolder, root.WindowsPath() + "\\scenes");
    g_Scene.Update();
    EXPECT_EQ(listener.Receive(refused.size() + 8), refused + "started,");
}
