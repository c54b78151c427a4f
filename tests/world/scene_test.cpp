#include "world/worldfixture.h"

using SceneTest = WorldTest;

// Inactive until started: it neither steps nor draws. Then its script steps once a tick, from
// the scene file's folder, and every frame opens with the view set-up, light 0 enabled whatever
// the lights say. Starting again adds the file's scripts again but no second thread of the same
// name.
TEST_F(SceneTest, InactiveUntilStartedThenStepsAndSetsUpTheViewEveryTick)
{
    CScene scene;
    UseDevice(64, 64);
    auto& calls = Record();
    root.Write("scene/level.txt", "[main]\nwhile(1)\nTest.Log(1)\nwait(1)\nend\n[other]\nwait(1)\n");
    scene.Update();
    scene.Render();
    EXPECT_TRUE(calls.empty());
    const std::string file = ResolvePath("$\\scene\\level.txt");
    scene.Start(file, "main");
    EXPECT_EQ(g_CurrentFolder, root.WindowsPath() + "\\scene");
    for (int frame = 0; frame < 2; ++frame) {
        scene.Update();
        calls.clear();
        scene.Render();
        ASSERT_GE(calls.size(), 6u);
        std::vector<std::string> setup(calls.begin(), calls.begin() + 6);
        setup[0].resize(16);  // view and projection, whatever their matrices
        setup[1].resize(16);
        EXPECT_EQ(setup, (std::vector<std::string>{"SetTransform(2, ", "SetTransform(3, ", StateCall(137, 1),
                                                   "LightEnable(0, 1)", StateCall(143, 1), StateCall(29, 1)}));
    }
    EXPECT_EQ(g_Log.size(), 2u);

    scene.Start(file, "main");
    EXPECT_EQ(std::make_pair(scene.scripts.Count(), scene.runner.threads.size()), std::make_pair(4, std::size_t{1}));

    // An unreadable file is reported, the only report, and still activates its scene.
    CScene unreadable;
    unreadable.Start(ResolvePath("$\\scene\\missing.txt"), "main");
    EXPECT_TRUE(unreadable.bActive);
    EXPECT_EQ(Reports(), "|文件读取失败:missing.txt\nglobal|找不到脚本:main\n");
    unreadable.Update();
}
