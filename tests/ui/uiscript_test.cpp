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
};

}  // namespace

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

    g_UIManager.RunCommand(2);  // 1.9 is linear, over 2 ticks
    CUIControl* box = Control("box");
    g_UIManager.Update();
    EXPECT_EQ(box->PosX.Get(), 5.0f);
    g_UIManager.Update();
    EXPECT_EQ(box->PosX.Get(), 10.0f);

    g_UIManager.RunCommand(3);  // modes 3 and -3 change nothing; an unknown control is silent
    g_UIManager.Update();
    EXPECT_EQ(box->PosX.Get(), 10.0f);
    EXPECT_EQ(box->SizeX.Get(), 10.0f);
    EXPECT_TRUE(boxes.Boxes().empty());

    g_UIManager.RunCommand(4);
    EXPECT_EQ(box->SizeX.Get(), 40.0f);
    EXPECT_EQ(box->SizeY.Get(), 30.0f);
}

TEST_F(UIScriptTest, ColoursArePackedFromZeroTo255AndAMissingControlIsAWarning)
{
    LoadWithBranches({
        "UI.ChangeControlColor(\"Box\",255,0,0,0,0,0,0)\n",
        "UI.ChangeControlColor(\"box\",0,0,255,255,1,4,0)\n",
        "UI.ChangeControlColor(\"box\",0,255,0,255,7,1,0)\n",
        "UI.ChangeControlColor(\"NoSuch\",0,255,0,255,0,1,0)\n",
    });
    g_UIManager.RunCommand(1);
    EXPECT_EQ(static_cast<D3DCOLOR>(Control("box")->Color.Get()), 0x00FF0000u);
    g_UIManager.RunCommand(2);
    for (int i = 0; i < 4; ++i) g_UIManager.Update();
    g_UIManager.RunCommand(3);
    g_UIManager.Update();
    EXPECT_EQ(static_cast<D3DCOLOR>(Control("box")->Color.Get()), 0xFF0000FFu);

    g_UIManager.RunCommand(4);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "UIManager");
    EXPECT_EQ(boxes.Boxes()[0].text, "warning:cant find controlnosuch");

    EXPECT_EQ(PackScriptColor(-5.0f, 300.0f, 127.5f, 255.0f), 0xFF00FF80u);
    EXPECT_EQ(PackScriptColor(32.0f, 31.0f, 0.4f, 0.6f), 0x01201F00u);
}

TEST_F(UIScriptTest, EnableAndTextChangeAtOnce)
{
    LoadWithBranches({
        "UI.EnableControl(\"box\",0)\n",
        "UI.EnableControl(\"box\",0.5)\n",
        "UI.EnableControl(\"box\",neg(2))\n",
        "UI.ChangeControlText(\"box\",\"Hello World\")\nUI.ChangeControlText(\"ghost\",\"x\")\n",
    });
    g_UIManager.RunCommand(1);
    EXPECT_FALSE(Control("box")->bEnabled);
    g_UIManager.RunCommand(2);
    EXPECT_TRUE(Control("box")->bEnabled);
    g_UIManager.RunCommand(3);
    EXPECT_FALSE(Control("box")->bEnabled);
    g_UIManager.RunCommand(4);
    EXPECT_EQ(Control("box")->strText, "hello world");  // scripts pass their strings lower-cased
    EXPECT_TRUE(boxes.Boxes().empty());
}
