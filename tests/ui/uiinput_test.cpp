#include <gtest/gtest.h>

#include <cstdlib>

#include "media/sound.h"
#include "platform/fmod.h"
#include "platform/fmod/fmod_seams.h"
#include "support/mediafiles.h"
#include "ui/uifixture.h"

using uitest::kLogControl;

namespace {

class UIInputTest : public uitest::UIFixture {};

// Samples on the dummy driver, so that plays can be read from the sound library's call log.
class UIInputSoundTest : public uitest::UIFixture {
protected:
    void SetUp() override
    {
        UIFixture::SetUp();
        g_SoundManager.ClearAll();
        FSOUND_Close();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        FSOUND_Init(44100, 32, 0);
        for (const char* name : {"hit.wav", "typed.wav", "script.wav"}) {
            dir.Write(name, testutil::WavFile(std::vector<std::int16_t>(200, 0x1010)));
            g_SoundManager.AddSound(name);
        }
        platform::soundseams::StartRecording();
    }
    void TearDown() override
    {
        platform::soundseams::StopRecording();
        UIFixture::TearDown();
        g_SoundManager.ClearAll();
    }
    // The volumes given to the plays recorded so far, in order.
    std::vector<int> PlayedVolumes()
    {
        std::vector<int> out;
        for (const auto& c : platform::soundseams::Calls())
            if (c.function == "FSOUND_SetVolume") out.push_back(c.value);
        return out;
    }
};

}  // namespace

TEST_F(UIInputTest, TheTopmostControlTakesTheClickEvenWhenDisabled)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                       "[under]\ntype=button\nposx=0\nposy=0\nsizex=100\nsizey=100\ncmdlclick=1\n"
                       "[over]\ntype=button\nposx=50\nposy=50\nsizex=100\nsizey=100\ncmdlclick=2\nenabled=0\n"));
    CUIControl* under = Control("under");
    EXPECT_EQ(g_UIManager.GetControlAt(10, 10), under);
    EXPECT_EQ(g_UIManager.GetControlAt(60, 60), Control("over"));
    EXPECT_EQ(g_UIManager.GetControlAt(151, 10), nullptr);

    g_UIManager.OnLButtonDown(10, 10);
    EXPECT_EQ(CommandSum(), 101.0f);
    EXPECT_EQ(g_UIManager.pFocus, under);
    g_UIManager.OnLButtonDown(60, 60);  // the disabled one: nothing, and the focus stays
    EXPECT_EQ(CommandSum(), 101.0f);
    EXPECT_EQ(g_UIManager.pFocus, under);
    g_UIManager.OnLButtonDown(300, 300);
    EXPECT_EQ(g_UIManager.pFocus, nullptr);
}

TEST_F(UIInputTest, RightAndLeftClicksRunOnlyTheirOwnCommands)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                       "[right]\ntype=static\nposx=0\nposy=0\nsizex=10\nsizey=10\ncmdrclick=5\n"
                       "[left]\ntype=static\nposx=20\nposy=0\nsizex=10\nsizey=10\ncmdlclick=3\n"
                       "[none]\ntype=static\nposx=40\nposy=0\nsizex=10\nsizey=10\ncmdlclick=-4\n"));
    g_UIManager.OnRButtonDown(5, 5);
    EXPECT_EQ(CommandSum(), 105.0f);
    g_UIManager.OnLButtonDown(5, 5);
    EXPECT_EQ(CommandSum(), 105.0f);
    g_UIManager.OnRButtonDown(25, 5);
    EXPECT_EQ(CommandSum(), 105.0f);
    EXPECT_EQ(g_UIManager.pFocus, Control("left"));  // a right click moves the focus too
    g_UIManager.OnLButtonDown(25, 5);
    EXPECT_EQ(CommandSum(), 108.0f);
    g_UIManager.OnLButtonDown(45, 5);
    EXPECT_EQ(CommandRuns(), 3);
    EXPECT_EQ(g_UIManager.pFocus, Control("none"));
}

TEST_F(UIInputTest, TypingGoesToTheFocusedEditTextOnlyWhileItIsOpen)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                       "[field]\ntype=edittext\nposx=0\nposy=0\nsizex=100\nsizey=20\ntext=ab\n"
                       "[button]\ntype=button\nposx=0\nposy=50\nsizex=100\nsizey=20\ntext=OK\n"));
    CUIControl* field = Control("field");
    g_UIManager.OnChar('x');
    EXPECT_EQ(field->strText, "ab");

    g_UIManager.OnLButtonDown(10, 10);
    for (int ch : {int{'c'}, 0xD6, 0xD0, 8, 8}) g_UIManager.OnChar(ch);
    EXPECT_EQ(field->strText, "ab");

    g_UIManager.OnLButtonDown(10, 60);
    g_UIManager.OnChar('z');
    EXPECT_EQ(Control("button")->strText, "OK");

    // A focused control that is disabled later keeps the focus and ignores characters.
    g_UIManager.OnLButtonDown(10, 10);
    field->Enable(false);
    g_UIManager.OnChar('q');
    EXPECT_EQ(field->strText, "ab");
    EXPECT_EQ(g_UIManager.pFocus, field);
    field->Enable(true);
    g_UIManager.OnChar('q');
    EXPECT_EQ(field->strText, "abq");

    g_UIManager.OnLButtonDown(300, 300);
    g_UIManager.OnChar('r');
    EXPECT_EQ(field->strText, "abq");
}

TEST_F(UIInputTest, OnlyTheDirectPanelDecidesWhetherAControlTakesEvents)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                       "[outer]\ntype=panel\nenabled=0\n"
                       "[inner]\ntype=panel\npanel=outer\n"
                       "[deep]\ntype=button\npanel=inner\nposx=0\nposy=0\nsizex=10\nsizey=10\ncmdlclick=1\n"
                       "[shut]\ntype=panel\nenabled=0\n"
                       "[child]\ntype=button\npanel=shut\nposx=20\nposy=0\nsizex=10\nsizey=10\ncmdlclick=2\n"
                       "cmdcontact=3\n"));
    g_UIManager.OnLButtonDown(5, 5);
    EXPECT_EQ(CommandSum(), 101.0f);
    g_UIManager.OnLButtonDown(25, 5);
    g_UIManager.OnMouseMove(25, 5);
    EXPECT_EQ(CommandSum(), 101.0f);
    EXPECT_EQ(Control("child")->nContact, 0);
    EXPECT_EQ(g_UIManager.pFocus, Control("deep"));
}

TEST_F(UIInputTest, MouseMovesGiveEnterAndLeaveEventsToEveryOpenControl)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                       "[a]\ntype=button\nposx=0\nposy=0\nsizex=100\nsizey=100\ncmdcontact=1\ncmdlosecontact=2\n"
                       "[b]\ntype=button\nposx=50\nposy=0\nsizex=100\nsizey=100\ncmdcontact=10\n"
                       "cmdlosecontact=20\n"
                       "[off]\ntype=button\nposx=0\nposy=0\nsizex=300\nsizey=300\ncmdcontact=1000\nenabled=0\n"));
    CUIControl* a = Control("a");
    CUIControl* b = Control("b");
    g_UIManager.OnMouseMove(10, 10);
    EXPECT_EQ(CommandSum(), 101.0f);
    g_UIManager.OnMouseMove(12, 10);  // still inside: nothing new
    EXPECT_EQ(CommandRuns(), 2);
    g_UIManager.OnMouseMove(75, 10);  // onto the overlap: b enters, a does not leave
    EXPECT_EQ(CommandSum(), 111.0f);
    EXPECT_EQ(a->nContact, 1);
    g_UIManager.OnMouseMove(125, 10);
    EXPECT_EQ(CommandSum(), 113.0f);
    g_UIManager.OnMouseMove(500, 10);
    EXPECT_EQ(CommandSum(), 133.0f);
    EXPECT_EQ(b->nContact, 0);
    EXPECT_EQ(Control("off")->nContact, 0);

    // Both events in one move, topmost first: the later control's leave runs before the earlier
    // control's enter.
    g_UIManager.OnMouseMove(125, 10);
    const float before = CommandSum();
    g_UIManager.OnMouseMove(10, 10);
    EXPECT_EQ(CommandSum(), before + 21.0f);
    EXPECT_EQ(a->nContact, 1);
    EXPECT_EQ(b->nContact, 0);

    // A control that is not open keeps its contact as it was.
    a->Enable(false);
    g_UIManager.OnMouseMove(500, 500);
    EXPECT_EQ(a->nContact, 1);
}

TEST_F(UIInputSoundTest, AClickRunsItsCommandThenPlaysItsSoundThenTakesTheFocus)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                           "[b]\ntype=button\nposx=0\nposy=0\nsizex=10\nsizey=10\ncmdlclick=1\nsndlclick=hit\n"
                           "sndrclick=hit\nsndchar=typed\nsndcontact=hit\nsndlosecontact=hit\n"
                           "[quiet]\ntype=edittext\nposx=20\nposy=0\nsizex=10\nsizey=10\nsndchar=typed\n",
                       "[UIMain]\nUI.MoveControlOffSet(\"log\",input0,1,0,0,0,0,0)\nif(input0==1)\n"
                       "UI.AddSound(\"script\",7)\nUI.PlaySound(7,0.5)\nUI.PlaySound(8,1)\nend\n"));
    CUIControl* b = Control("b");
    ASSERT_NE(b->pSndLClick, nullptr);
    EXPECT_EQ(b->pSndLClick, g_SoundManager.FindSound("hit"));
    platform::soundseams::Calls().clear();
    g_UIManager.OnLButtonDown(5, 5);
    EXPECT_EQ(PlayedVolumes(), (std::vector<int>{127, 255}));  // the script's sound, then the click's
    EXPECT_EQ(g_UIManager.pFocus, b);

    platform::soundseams::Calls().clear();
    g_UIManager.OnChar('x');  // a button plays its character sound and keeps its text
    g_UIManager.OnRButtonDown(5, 5);
    g_UIManager.OnMouseMove(5, 5);
    g_UIManager.OnMouseMove(50, 50);
    EXPECT_EQ(PlayedVolumes().size(), 4u);
    EXPECT_EQ(b->strText, "");

    g_UIManager.OnLButtonDown(25, 5);
    platform::soundseams::Calls().clear();
    g_UIManager.OnChar(8);  // backspace on an empty field still sounds
    EXPECT_EQ(PlayedVolumes().size(), 1u);
    EXPECT_EQ(Control("quiet")->strText, "");
}
