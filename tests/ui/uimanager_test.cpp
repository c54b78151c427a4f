#include <gtest/gtest.h>

#include "ui/uifixture.h"

using testutil::Strings;
using uitest::kLogControl;

using UIManagerTest = uitest::UIFixture;

TEST_F(UIManagerTest, LoadsReportFailuresAndPlaceTheCameraOnlyOnSuccess)
{
    const struct {
        std::string ui;
        Strings boxes;
    } rows[] = {
        {"sizex=640\nsizey=480\n", {"UIManager:|UI:读取sectionlist失败"}},
        {"[notype]\ntext=x\n", {"UIManager:|Unrecognized value:"}},
        {std::string(kLogControl) + "[bad]\ntext=kept\ntype=Button\nposx=5\n[later]\ntype=none\n",
         {"UIManager:|Unrecognized value:Button"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ui);
        EXPECT_FALSE(LoadUI(row.ui));
        EXPECT_EQ(boxes.Captioned(), row.boxes);
        EXPECT_EQ(g_UIManager.Camera.vEye, D3DXVECTOR3(20, 0, 0));  // no camera set up
    }
    // The control of the unknown type keeps what was stored before its type; none comes after it.
    EXPECT_EQ(Summary(Control("bad")), "type 0 at 0,0 size 0x0 colour FFFFFFFF on 'kept'");
    EXPECT_EQ(g_UIManager.FindControl("later"), nullptr);
    EXPECT_EQ(CommandRuns(), 0);

    boxes.Clear();
    EXPECT_FALSE(g_UIManager.Load("missing.txt"));
    EXPECT_EQ(boxes.Texts(), (Strings{"文件读取失败:missing.txt", "UI:读取sectionlist失败"}));

    // A load that succeeds sets the camera up: it looks at the middle of the design area from half
    // its height away (the rendering tests see the area fill the back buffer); the halves are
    // whole numbers.
    ASSERT_TRUE(LoadUI(std::string("sizex=641\nsizey=480\n") + kLogControl));
    EXPECT_EQ(g_UIManager.Camera.vEye, D3DXVECTOR3(320, 240, 240));
}

// File-wide keys are read only before the first section; a font or a sound that does not exist
// is no error.
TEST_F(UIManagerTest, FileAndControlKeysFollowTheirReadingRules)
{
    ASSERT_TRUE(LoadUI(std::string("font=nosuchfont\n") + kLogControl +
                       "[a]\ntype=static\ntext=Hello World\nposx=12.7\nposy=-3\nsizey=20x\n"
                       "color=80FF0000\nenabled=false\nsndlclick=nosuchsound\n"
                       "[b]\ntype=edittext\nenabled=0\ncolor=FF0000\n"
                       "[c]\ntype=button\ncolor=1FF0000000\nsizex=640\nsizey=480\n"));
    EXPECT_EQ(g_UIManager.nWidth, 500);
    // Values keep their case, numbers are whole, only "0" disables; six colour digits leave the
    // alpha at 0, nine make the colour 0, and no colour is white.
    EXPECT_EQ(Summary(Control("a")), "type 1 at 12,-3 size 0x20 colour 80FF0000 on 'Hello World'");
    EXPECT_EQ(Summary(Control("b")), "type 2 at 0,0 size 0x0 colour 00FF0000 off ''");
    EXPECT_EQ(Summary(Control("c")), "type 3 at 0,0 size 640x480 colour 00000000 on ''");
    EXPECT_EQ(Summary(Control("log")), "type 0 at 100,1 size 0x0 colour FFFFFFFF on ''");
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Panels are earlier controls and never the control itself; of two sections of one name both
// read the first, and lookups find the first.
TEST_F(UIManagerTest, NamesFindTheFirstEarlierControl)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                       "[early]\ntype=panel\n[self]\ntype=panel\npanel=SELF\n[one]\ntype=button\npanel=Early\n"
                       "[orphan]\ntype=button\npanel=late\n[late]\ntype=panel\n"
                       "[Twin]\ntype=static\nposx=1\n[twin]\ntype=button\nposx=2\n"));
    EXPECT_EQ((std::vector{Control("one")->pPanel, Control("orphan")->pPanel, Control("self")->pPanel}),
              (std::vector<CUIControl*>{Control("early"), nullptr, nullptr}));
    EXPECT_EQ(Control("early")->Children, std::vector<CUIControl*>{Control("one")});

    CUIControl* second = g_UIManager.Controls.Get(7);
    EXPECT_EQ(second->strName, "twin");
    EXPECT_EQ(Summary(second), "type 1 at 1,0 size 0x0 colour FFFFFFFF on ''");
    EXPECT_EQ(g_UIManager.FindControl("TWIN"), g_UIManager.Controls.Get(6));
}

TEST_F(UIManagerTest, CommandHundredRunsAfterEveryLoadAndCommandsWaitForUIMain)
{
    ASSERT_TRUE(LoadUI(kLogControl, std::string(uitest::kLogScript) + "wait(3)\n"));
    EXPECT_EQ(CommandSum(), 100.0f);
    // Command 100's thread waits 3 steps; each command steps the runner once too.
    g_UIManager.RunCommand(7);
    g_UIManager.Update();
    g_UIManager.RunCommand(7);  // refused, then its step ends the waiting thread
    EXPECT_EQ(CommandRuns(), 1);
    g_UIManager.RunCommand(7);
    EXPECT_EQ(CommandSum(), 107.0f);
    // A disabled runner is enabled again by the next command.
    g_UIManager.Runner.StopAll();
    g_UIManager.RunCommand(1);
    EXPECT_EQ(CommandSum(), 108.0f);

    // Without a "UIMain" every command reports the missing script.
    ASSERT_TRUE(LoadUI(kLogControl, "[other]\n"));
    g_UIManager.RunCommand(3);
    EXPECT_EQ(boxes.Texts(), (Strings{"找不到脚本:UIMain", "找不到脚本:UIMain"}));
}
