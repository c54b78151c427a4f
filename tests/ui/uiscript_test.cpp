#include <gtest/gtest.h>

#include "ui/uifixture.h"
#include "ui/uiscript.h"

namespace {

class UIScriptTest : public uitest::UIFixture {
protected:
    // A menu of a panel with one child and a plain box, and a "UIMain" whose branch n is the
    // n-th statement list given.
    void LoadWithBranches(const std::vector<std::string>& branches)
    {
        std::string script = "[UIMain]\nif(input0==100)\n";
        for (std::size_t i = 0; i < branches.size(); ++i)
            script += "elseif(input0==" + std::to_string(i + 1) + ")\n" + branches[i];
        ASSERT_TRUE(LoadUI("[panel]\ntype=panel\nposx=100\nposy=100\n"
                           "[child]\ntype=button\npanel=panel\nposx=110\nposy=120\nsizex=20\nsizey=20\n"
                           "[box]\ntype=static\nposx=0\nposy=0\nsizex=10\nsizey=10\n",
                           script + "end\n"));
        ASSERT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
    }
    // Runs command n (if not 0), then ticks the interface; answers the box's state.
    std::string Box(int command, int ticks = 0)
    {
        if (command) g_UIManager.RunCommand(command);
        for (int i = 0; i < ticks; ++i) g_UIManager.Update();
        return Summary(Control("box"));
    }
};

}  // namespace

// The mode comes after the target: 1.9 is linear, over 2 ticks; modes 3 and -3 change nothing,
// and an unknown control is silent.
TEST_F(UIScriptTest, MovesResizesAndOffsetsTakeTheModeAfterTheTarget)
{
    LoadWithBranches({
        "UI.MoveControl(\"PANEL\",150,100,0,0,0,0,0)\n",
        "UI.MoveControlOffSet(\"box\",10,0,1.9,2,0,0,0)\n",
        "UI.MoveControl(\"box\",0,0,3,1,0,0,0)\nUI.ResizeControl(\"box\",99,99,(0-0.5)*6,1,0,0,0)\n"
        "UI.MoveControl(\"nothing\",1,1,0,0,0,0,0)\n",
        "UI.ResizeControl(\"box\",40,30,0,0,0,0,0)\n",
    });
    g_UIManager.RunCommand(1);
    EXPECT_EQ(Control("child")->PosX.Get(), 160.0f);
    EXPECT_EQ(Box(2, 1), "type 1 at 5,0 size 10x10 colour FFFFFFFF on ''");
    EXPECT_EQ(Box(0, 1), "type 1 at 10,0 size 10x10 colour FFFFFFFF on ''");
    EXPECT_EQ(Box(3, 1), "type 1 at 10,0 size 10x10 colour FFFFFFFF on ''");
    EXPECT_EQ(Box(4), "type 1 at 10,0 size 40x30 colour FFFFFFFF on ''");
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Colours are packed from 0 to 255 (clamped, rounded); enabling takes a value above 0; texts are
// set at once, lower-cased as scripts pass their strings. A missing control is a warning for a
// colour and silent otherwise.
TEST_F(UIScriptTest, ColoursStatesAndTexts)
{
    LoadWithBranches({
        "UI.ChangeControlColor(\"Box\",255,0,0,0,0,0,0)\n",
        "UI.ChangeControlColor(\"box\",0,0,255,255,1,4,0)\n",
        "UI.ChangeControlColor(\"box\",0,255,0,255,7,1,0)\n",
        "UI.ChangeControlColor(\"NoSuch\",0,255,0,255,0,1,0)\n",
        "UI.EnableControl(\"box\",0)\n",
        "UI.EnableControl(\"box\",0.5)\n",
        "UI.EnableControl(\"box\",neg(2))\nUI.ChangeControlText(\"box\",\"Hello World\")\n"
        "UI.ChangeControlText(\"ghost\",\"x\")\n",
    });
    EXPECT_EQ(Box(1), "type 1 at 0,0 size 10x10 colour 00FF0000 on ''");
    Box(2, 4);
    EXPECT_EQ(Box(3, 1), "type 1 at 0,0 size 10x10 colour FF0000FF on ''");
    EXPECT_EQ(Box(5), "type 1 at 0,0 size 10x10 colour FF0000FF off ''");
    EXPECT_EQ(Box(6), "type 1 at 0,0 size 10x10 colour FF0000FF on ''");
    EXPECT_EQ(Box(7), "type 1 at 0,0 size 10x10 colour FF0000FF off 'hello world'");
    EXPECT_TRUE(boxes.Boxes().empty());
    g_UIManager.RunCommand(4);
    EXPECT_EQ(boxes.Captioned(), testutil::Strings{"UIManager|warning:cant find controlnosuch"});

    EXPECT_EQ(PackScriptColor(-5.0f, 300.0f, 127.5f, 255.0f), 0xFF00FF80u);
    EXPECT_EQ(PackScriptColor(32.0f, 31.0f, 0.4f, 0.6f), 0x01201F00u);
}
