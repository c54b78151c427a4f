#include <gtest/gtest.h>

#include "media/sound.h"
#include "platform/fmod/fmod_seams.h"
#include "support/mediafiles.h"
#include "ui/uifixture.h"

using uitest::kLogControl;

namespace {

class UIInputTest : public uitest::UIFixture {};

// A control of the given type at (x, y), size x size, with further keys.
std::string Box(const char* name, const char* type, int x, int y, const std::string& keys, int size = 10)
{
    return std::string("[") + name + "]\ntype=" + type + "\nposx=" + std::to_string(x) + "\nposy=" +
           std::to_string(y) + "\nsizex=" + std::to_string(size) + "\nsizey=" + std::to_string(size) + "\n" + keys;
}

}  // namespace

TEST_F(UIInputTest, TheTopmostControlTakesTheClickEvenWhenDisabled)
{
    ASSERT_TRUE(LoadUI(kLogControl + Box("under", "button", 0, 0, "cmdlclick=1\n", 100) +
                       Box("over", "button", 50, 50, "cmdlclick=2\nenabled=0\n") +
                       Box("right", "static", 200, 0, "cmdrclick=5\ncmdlclick=-4\n")));
    CUIControl* under = Control("under");
    g_UIManager.OnLButtonDown(10, 10);
    EXPECT_EQ(CommandSum(), 101.0f);
    EXPECT_EQ(g_UIManager.pFocus, under);
    g_UIManager.OnLButtonDown(55, 55);  // the disabled one: nothing, and the focus stays
    EXPECT_EQ(CommandSum(), 101.0f);
    EXPECT_EQ(g_UIManager.pFocus, under);

    // Each button its own command; a command below 1 runs nothing; a right click focuses too.
    g_UIManager.OnLButtonDown(205, 5);
    g_UIManager.OnRButtonDown(205, 5);
    EXPECT_EQ(CommandSum(), 106.0f);
    EXPECT_EQ(CommandRuns(), 3);
    EXPECT_EQ(g_UIManager.pFocus, Control("right"));
    g_UIManager.OnRButtonDown(300, 300);
    EXPECT_EQ(g_UIManager.pFocus, nullptr);
}

TEST_F(UIInputTest, TypingGoesToTheFocusedEditTextOnlyWhileItIsOpen)
{
    ASSERT_TRUE(LoadUI(kLogControl + Box("field", "edittext", 0, 0, "text=ab\n") +
                       Box("button", "button", 0, 50, "text=OK\n")));
    CUIControl* field = Control("field");
    g_UIManager.OnChar('x');
    g_UIManager.OnLButtonDown(5, 55);
    g_UIManager.OnChar('z');
    EXPECT_EQ(Control("button")->strText, "OK");

    g_UIManager.OnLButtonDown(5, 5);
    for (int ch : {int{'c'}, 0xD6, 0xD0, 8}) g_UIManager.OnChar(ch);
    EXPECT_EQ(field->strText, "abc");
    // A focused control that is disabled later keeps the focus and ignores characters.
    field->Enable(false);
    g_UIManager.OnChar('q');
    EXPECT_EQ(g_UIManager.pFocus, field);
    field->Enable(true);
    g_UIManager.OnChar('q');
    EXPECT_EQ(field->strText, "abcq");
}

TEST_F(UIInputTest, OnlyTheDirectPanelDecidesWhetherAControlTakesEvents)
{
    ASSERT_TRUE(LoadUI(std::string(kLogControl) +
                       "[outer]\ntype=panel\nenabled=0\n[inner]\ntype=panel\npanel=outer\n"
                       "[shut]\ntype=panel\nenabled=0\n" +
                       Box("deep", "button", 0, 0, "panel=inner\ncmdlclick=1\n") +
                       Box("child", "button", 20, 0, "panel=shut\ncmdlclick=2\ncmdcontact=3\n")));
    g_UIManager.OnLButtonDown(5, 5);
    g_UIManager.OnLButtonDown(25, 5);
    g_UIManager.OnMouseMove(25, 5);
    EXPECT_EQ(CommandSum(), 101.0f);
    EXPECT_EQ(Control("child")->nContact, 0);
    EXPECT_EQ(g_UIManager.pFocus, Control("deep"));
}

TEST_F(UIInputTest, MouseMovesGiveEnterAndLeaveEventsToEveryOpenControlTopmostFirst)
{
    ASSERT_TRUE(LoadUI(kLogControl + Box("a", "button", 0, 0, "cmdcontact=1\ncmdlosecontact=2\n", 100) +
                       Box("b", "button", 50, 0, "cmdcontact=10\ncmdlosecontact=20\n", 100) +
                       Box("off", "button", 0, 0, "cmdcontact=1000\nenabled=0\n", 300)));
    CUIControl* a = Control("a");
    g_UIManager.OnMouseMove(2, 2);
    g_UIManager.OnMouseMove(3, 3);  // still inside: nothing new
    EXPECT_EQ(CommandSum(), 101.0f);
    g_UIManager.OnMouseMove(75, 5);  // onto the overlap: b enters, a does not leave
    EXPECT_EQ(CommandSum(), 111.0f);
    g_UIManager.OnMouseMove(500, 5);
    EXPECT_EQ(CommandSum(), 133.0f);
    EXPECT_EQ(Control("off")->nContact, 0);

    // Both events in one move: b's leave and a's enter.
    g_UIManager.OnMouseMove(125, 5);
    g_UIManager.OnMouseMove(5, 5);
    EXPECT_EQ(CommandSum(), 164.0f);
    // A control that is not open keeps its contact as it was.
    a->Enable(false);
    g_UIManager.OnMouseMove(500, 500);
    EXPECT_EQ(a->nContact, 1);
}

// Samples on the dummy driver, so that plays can be read from the sound library's call log.
TEST_F(UIInputTest, AClickRunsItsCommandThenPlaysItsSoundThenTakesTheFocus)
{
    testutil::ReopenSoundOnDummyDriver();
    for (const char* name : {"hit.wav", "typed.wav", "script.wav"}) {
        dir.Write(name, testutil::WavFile(std::vector<std::int16_t>(200, 0x1010)));
        g_SoundManager.AddSound(name);
    }
    ASSERT_TRUE(LoadUI(kLogControl + Box("b", "button", 0, 0, "cmdlclick=1\nsndlclick=hit\nsndchar=typed\n") +
                           Box("quiet", "edittext", 20, 0, "sndchar=typed\n"),
                       "[UIMain]\nUI.MoveControlOffSet(\"log\",input0,1,0,0,0,0,0)\nif(input0==1)\n"
                       "UI.AddSound(\"script\",7)\nUI.PlaySound(7,0.5)\nUI.PlaySound(8,1)\nend\n"));
    auto played = [] {
        std::vector<int> volumes;
        for (const auto& c : platform::soundseams::Calls())
            if (c.function == "FSOUND_SetVolume") volumes.push_back(c.value);
        platform::soundseams::Calls().clear();
        return volumes;
    };
    platform::soundseams::StartRecording();
    g_UIManager.OnLButtonDown(5, 5);
    EXPECT_EQ(played(), (std::vector<int>{127, 255}));  // the script's sound, then the click's
    EXPECT_EQ(g_UIManager.pFocus, Control("b"));
    g_UIManager.OnChar('x');  // a button plays its character sound and keeps its text
    EXPECT_EQ(played().size(), 1u);
    EXPECT_EQ(Control("b")->strText, "");
    g_UIManager.OnLButtonDown(25, 5);
    g_UIManager.OnChar(8);  // backspace on an empty field still sounds
    EXPECT_EQ(played().size(), 1u);
    platform::soundseams::StopRecording();
    g_SoundManager.ClearAll();
}
