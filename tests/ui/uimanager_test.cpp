#include <gtest/gtest.h>

#include "ui/uifixture.h"

using uitest::kLogControl;

namespace {

class UIManagerTest : public uitest::UIFixture {};

// Where a world point lands in normalised device coordinates (x and y from -1 to 1, y up).
D3DXVECTOR3 Project(const CFreeCamera& camera, float x, float y)
{
    D3DXMATRIX view;
    D3DXMATRIX proj;
    camera.GetViewMatrix(&view);
    camera.GetProjMatrix(&proj);
    D3DXMatrixMultiply(&view, &view, &proj);
    D3DXVECTOR3 out;
    const D3DXVECTOR3 in(x, y, 0);
    D3DXVec3TransformCoord(&out, &in, &view);
    return out;
}

}  // namespace

TEST_F(UIManagerTest, AFileWithoutSectionsFailsAndRunsNoCommand)
{
    EXPECT_FALSE(LoadUI("sizex=640\nsizey=480\n"));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "UIManager:");
    EXPECT_EQ(boxes.Boxes()[0].text, "UI:读取sectionlist失败");
    EXPECT_EQ(g_UIManager.Camera.vEye, D3DXVECTOR3(20, 0, 0));  // camera untouched

    boxes.Clear();
    EXPECT_FALSE(g_UIManager.Load("missing.txt"));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"文件读取失败:missing.txt", "UI:读取sectionlist失败"}));
}

TEST_F(UIManagerTest, AnUnknownTypeStopsTheLoadKeepingWhatWasStored)
{
    EXPECT_FALSE(LoadUI(std::string(kLogControl) + "[bad]\ntext=kept\ntype=Button\nposx=5\n[later]\ntype=none\n"));
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Unrecognized value:Button"});
    EXPECT_EQ(boxes.Boxes()[0].caption, "UIManager:");
    EXPECT_EQ(Control("bad")->strText, "kept");
    EXPECT_EQ(Control("bad")->PosX.Get(), 0.0f);
    EXPECT_EQ(g_UIManager.FindControl("later"), nullptr);
    EXPECT_EQ(CommandRuns(), 0);

    // No type at all is no type either.
    uitest::ResetManager(g_UIManager);
    boxes.Clear();
    EXPECT_FALSE(LoadUI("[notype]\ntext=x\n"));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Unrecognized value:"});
}

TEST_F(UIManagerTest, FileWideKeysAreReadOnlyBeforeTheFirstSectionAndPlaceTheCamera)
{
    ASSERT_TRUE(LoadUI("font=nosuchfont\n[log]\ntype=none\nsizex=640\nsizey=480\n"));
    EXPECT_EQ(g_UIManager.nWidth, 500);
    EXPECT_EQ(g_UIManager.pFont, nullptr);
    EXPECT_TRUE(boxes.Boxes().empty());

    uitest::ResetManager(g_UIManager);
    ASSERT_TRUE(LoadUI(std::string("sizex=641\nsizey=480\n") + kLogControl));
    EXPECT_EQ(g_UIManager.Camera.vEye, D3DXVECTOR3(320, 240, 240));  // integer halves
    EXPECT_FLOAT_EQ(g_UIManager.Camera.fAspect, 641.0f / 480.0f);
    // The design area fills the back buffer, y growing downwards (here half a unit off centre).
    const D3DXVECTOR3 topLeft = Project(g_UIManager.Camera, -0.5f, 0);
    const D3DXVECTOR3 bottomRight = Project(g_UIManager.Camera, 640.5f, 480);
    EXPECT_NEAR(topLeft.x, -1.0f, 1e-5f);
    EXPECT_NEAR(topLeft.y, 1.0f, 1e-5f);
    EXPECT_NEAR(bottomRight.x, 1.0f, 1e-5f);
    EXPECT_NEAR(bottomRight.y, -1.0f, 1e-5f);
    EXPECT_LT(topLeft.z, 1.0f);
}

TEST_F(UIManagerTest, ControlKeysFollowTheirReadingRules)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                       "[a]\ntype=static\ntext=Hello World\nposx=12.7\nposy=-3\nsizey=20x\n"
                       "color=80FF0000\nenabled=false\ncmdlosecontact=7\nsndlclick=nosuchsound\n"
                       "[b]\ntype=edittext\nenabled=0\ncolor=FF0000\n"
                       "[c]\ntype=button\ncolor=1FF0000000\n"));
    CUIControl* a = Control("a");
    EXPECT_EQ(a->nType, UI_STATIC);
    EXPECT_EQ(a->strText, "Hello World");  // values keep their case
    EXPECT_EQ(a->PosX.Get(), 12.0f);
    EXPECT_EQ(a->PosY.Get(), -3.0f);
    EXPECT_EQ(a->SizeY.Get(), 20.0f);
    EXPECT_EQ(static_cast<D3DCOLOR>(a->Color.Get()), 0x80FF0000u);
    EXPECT_TRUE(a->bEnabled);
    EXPECT_EQ(a->nCmdLoseContact, 7);
    EXPECT_EQ(a->pSndLClick, nullptr);

    CUIControl* b = Control("b");
    EXPECT_EQ(b->nType, UI_EDITTEXT);
    EXPECT_FALSE(b->bEnabled);
    EXPECT_EQ(static_cast<D3DCOLOR>(b->Color.Get()), 0x00FF0000u);  // six digits: transparent
    EXPECT_EQ(static_cast<D3DCOLOR>(Control("c")->Color.Get()), 0u);
    EXPECT_EQ(static_cast<D3DCOLOR>(Control("log")->Color.Get()), 0xFFFFFFFFu);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(UIManagerTest, PanelsAreEarlierControlsAndNeverThemselves)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                       "[early]\ntype=panel\n"
                       "[self]\ntype=panel\npanel=SELF\n"
                       "[one]\ntype=button\npanel=Early\n"
                       "[orphan]\ntype=button\npanel=late\n"
                       "[late]\ntype=panel\n"));
    EXPECT_EQ(Control("one")->pPanel, Control("early"));
    EXPECT_EQ(Control("early")->Children, std::vector<CUIControl*>{Control("one")});
    EXPECT_EQ(Control("orphan")->pPanel, nullptr);
    CUIControl* self = Control("self");
    EXPECT_EQ(self->pPanel, nullptr);
    EXPECT_TRUE(self->Children.empty());
}

TEST_F(UIManagerTest, DuplicateSectionsBothReadTheFirstAndLookupsFindTheFirst)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) + "[Twin]\ntype=static\nposx=1\n[twin]\ntype=button\nposx=2\n"));
    CUIControl* second = g_UIManager.Controls.Get(2);
    EXPECT_EQ(second->strName, "twin");
    EXPECT_EQ(second->nType, UI_STATIC);
    EXPECT_EQ(second->PosX.Get(), 1.0f);
    EXPECT_EQ(g_UIManager.FindControl("TWIN"), g_UIManager.Controls.Get(1));
}

TEST_F(UIManagerTest, CommandHundredRunsAtOnceAfterEveryLoad)
{
    ASSERT_TRUE(LoadUI(kLogControl));
    EXPECT_EQ(CommandSum(), 100.0f);
    EXPECT_EQ(CommandRuns(), 1);

    // Without a "UIMain" every command reports the missing script.
    uitest::ResetManager(g_UIManager);
    boxes.Clear();
    ASSERT_TRUE(LoadUI(kLogControl, "[other]\n"));
    g_UIManager.RunCommand(3);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"找不到脚本:UIMain", "找不到脚本:UIMain"}));
}

TEST_F(UIManagerTest, CommandsAreDroppedWhileUIMainLives)
{
    ASSERT_TRUE(LoadUI(kLogControl, "[UIMain]\nUI.MoveControlOffSet(\"log\",input0,1,0,0,0,0,0)\nwait(3)\n"));
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
}
