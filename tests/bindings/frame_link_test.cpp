#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "bindings/bindings.h"
#include "foundation/debuglink.h"
#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "platform/win32.h"
#include "script/scriptbase.h"
#include "script/scriptrunner.h"
#include "support/testutil.h"
#include "world/scene.h"

namespace {

// Scripts run in their own runner, with every binding registered and a real viewer listening.
class FrameFunctionsTest : public testing::Test {
protected:
    testutil::LinkListener listener;
    testutil::BoxCapture boxes;
    CScriptLibrary library;
    CScriptRunner runner;

    void SetUp() override
    {
        ASSERT_LISTENING_OR_SKIP(listener);
        ASSERT_TRUE(RegisterScriptBindings());
        g_pDebugLink = new CDebugLink(nullptr);
        g_pDebugLink->Connect();
        runner.pLibrary = &library;
    }
    void TearDown() override
    {
        delete g_pDebugLink;
        g_pDebugLink = nullptr;
    }

    void Run(std::initializer_list<std::string> lines)
    {
        CStringList script;
        for (const std::string& l : lines)
            script.Add(l);
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
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = quit || (msg.message == WM_QUIT && msg.wParam == 0);
    return quit;
}

}  // namespace

TEST_F(FrameFunctionsTest, ReportsReachTheLinkExactly)
{
    Run({
        "ReportMsg(\"Hello World\",\"x\")",
        "ReportMsg(\"\")",
        "v := 2.5",
        "ReportValue(v)",
        "REPORTMSG(v)",
    });
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
    for (float near : {std::nextafter(0.05f, 1.0f), std::nextafter(0.05f, 0.0f)}) {
        char line[40];
        std::snprintf(line, sizeof line, "Frame.Command(%.9g)", static_cast<double>(near));
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
    const std::string refused = "Scene\xBD\xC5\xB1\xBE\xB2\xBB\xC4\xDC\xB6\xC1\xC8\xA1:";
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "CGameFrame:");
    EXPECT_EQ(boxes.Boxes()[0].text, refused);
    // The text arrives lower-cased; the file is still found, and its folder is left current.
    EXPECT_EQ(g_CurrentFolder, root.WindowsPath() + "\\scenes");
    g_Scene.Update();
    EXPECT_EQ(listener.Receive(refused.size() + 8), refused + "started,");
}
