#include "script/scriptbase.h"
#include "world/worldfixture.h"

namespace {

class SceneTest : public WorldTest {
protected:
    CScene scene;

    void SetUp() override
    {
        WorldTest::SetUp();
        g_SystemFuncTable.Register("SceneTest.Count", [](TScriptParam*, int) { ++Calls(); }, "");
        Calls() = 0;
    }
    static int& Calls()
    {
        static int calls = 0;
        return calls;
    }
};

}  // namespace

// Inactive until started; then its script steps once a tick, from the scene file's folder.
// Starting again adds the file's scripts again but no second thread of the same name.
TEST_F(SceneTest, InactiveUntilStartedThenStepsEveryTick)
{
    root.Write("scene/level.txt", "[main]\nwhile(1)\nSceneTest.Count()\nwait(1)\nend\n[other]\nwait(1)\n");
    scene.Update();
    EXPECT_FALSE(scene.bActive);
    const std::string file = ResolvePath("$\\scene\\level.txt");
    scene.Start(file, "main");
    EXPECT_TRUE(scene.bActive);
    EXPECT_EQ(g_CurrentFolder, root.WindowsPath() + "\\scene");
    scene.Update();
    scene.Update();
    EXPECT_EQ(Calls(), 2);

    scene.Start(file, "main");
    EXPECT_EQ(scene.scripts.Count(), 4);
    EXPECT_EQ(scene.runner.threads.size(), 1u);
    scene.Update();
    EXPECT_EQ(Calls(), 3);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(SceneTest, UnreadableFileReportsAndStillActivates)
{
    scene.Start(ResolvePath("$\\scene\\missing.txt"), "main");
    EXPECT_TRUE(scene.bActive);
    EXPECT_EQ(BoxTexts(), "\xCE\xC4\xBC\xFE\xB6\xC1\xC8\xA1\xCA\xA7\xB0\xDC:missing.txt|"
                          "\xD5\xD2\xB2\xBB\xB5\xBD\xBD\xC5\xB1\xBE:main|");
    scene.Update();
}

TEST_F(SceneTest, DrawsNothingUntilStartedThenEnablesLightZeroEveryFrame)
{
    UseDevice(64, 64);
    auto& calls = Record();
    scene.Render();
    EXPECT_TRUE(calls.empty());

    root.Write("level.txt", "[main]\nwait(1)\n");
    scene.Start(ResolvePath("$\\level.txt"), "main");
    for (int frame = 0; frame < 2; ++frame) {
        calls.clear();
        scene.Render();
        // The view set-up opens every frame, light 0 enabled whatever the lights say.
        ASSERT_GE(calls.size(), 6u);
        EXPECT_EQ(calls[0].rfind("SetTransform(2, ", 0), 0u);  // view
        EXPECT_EQ(calls[1].rfind("SetTransform(3, ", 0), 0u);  // projection
        EXPECT_EQ(calls[2], "SetRenderState(137, 0x00000001)");  // lighting
        EXPECT_EQ(calls[3], "LightEnable(0, 1)");
        EXPECT_EQ(calls[4], "SetRenderState(143, 0x00000001)");  // normalized normals
        EXPECT_EQ(calls[5], "SetRenderState(29, 0x00000001)");   // specular
    }
}
