#include <gtest/gtest.h>

#include "media/sound.h"
#include "platform/fmod/fmod_seams.h"
#include "support/mediafiles.h"
#include "ui/uifixture.h"

using testutil::Strings;
using uitest::Box;
using uitest::kLogControl;

namespace {

class UIInputTest : public uitest::UIFixture {
protected:
    // Sends mouse events, each "L x y" or "R x y" (a click) or "M x y" (a move), and answers the
    // sum of the commands run and the focused control's name ("-" for none) after each.
    Strings Events(std::initializer_list<const char*> events)
    {
        Strings out;
        for (const char* e : events) {
            int x = 0, y = 0;
            std::sscanf(e + 1, "%d %d", &x, &y);
            (g_UIManager.*(e[0] == 'L' ? &UIManager::OnLButtonDown : e[0] == 'R' ? &UIManager::OnRButtonDown
                                                                                 : &UIManager::OnMouseMove))(x, y);
            const CUIControl* focus = g_UIManager.pFocus;
            out.push_back(std::to_string(static_cast<int>(CommandSum())) + " " + (focus ? focus->strName : "-"));
        }
        return out;
    }
};

}  // namespace

// The topmost control takes a click even when it is disabled, and then nothing happens; each
// button has its own command, a command below 1 runs nothing, a right click focuses too. Only the
// direct panel decides whether a control takes events: "deep" does, in an open panel of a
// disabled one, and "child" in a disabled panel takes neither clicks nor moves.
TEST_F(UIInputTest, TheTopmostControlTakesTheClickAndActsOnlyWhenItAndItsDirectPanelAreEnabled)
{
    ASSERT_TRUE(LoadUI(kLogControl + Box("under", "button", 0, 0, 100, 100, "cmdlclick=1\n") +
                       Box("over", "button", 50, 50, 10, 10, "cmdlclick=2\nenabled=0\n") +
                       Box("right", "static", 200, 0, 10, 10, "cmdrclick=5\ncmdlclick=-4\n") +
                       "[outer]\ntype=panel\nenabled=0\n[inner]\ntype=panel\npanel=outer\n"
                       "[shut]\ntype=panel\nenabled=0\n" +
                       Box("deep", "button", 0, 200, 10, 10, "panel=inner\ncmdlclick=10\n") +
                       Box("child", "button", 20, 200, 10, 10, "panel=shut\ncmdlclick=20\ncmdcontact=30\n")));
    EXPECT_EQ(Events({"L 10 10", "L 55 55", "L 205 5", "R 205 5", "L 5 205", "L 25 205", "M 25 205", "R 300 300"}),
              (Strings{"101 under", "101 under", "101 right", "106 right", "116 deep", "116 deep", "116 deep",
                       "116 -"}));
}

TEST_F(UIInputTest, TypingGoesToTheFocusedEditTextOnlyWhileItIsOpen)
{
    ASSERT_TRUE(LoadUI(kLogControl + Box("field", "edittext", 0, 0, 10, 10, "text=ab\n")));
    CUIControl* field = Control("field");
    g_UIManager.OnChar('x');  // nothing has the focus yet
    g_UIManager.OnLButtonDown(5, 5);
    for (int ch : {int{'c'}, 0xD6, 0xD0, 8}) g_UIManager.OnChar(ch);
    // A focused control that is disabled later keeps the focus and ignores characters.
    field->Enable(false);
    g_UIManager.OnChar('q');
    EXPECT_EQ(g_UIManager.pFocus, field);
    field->Enable(true);
    g_UIManager.OnChar('q');
    EXPECT_EQ(field->strText, "abcq");
}

// Every open control gets its enter and leave events, topmost first: still inside adds nothing,
// onto the overlap b enters and a does not leave, and in one move b leaves and a enters.
TEST_F(UIInputTest, MouseMovesGiveEnterAndLeaveEventsToEveryOpenControlTopmostFirst)
{
    ASSERT_TRUE(LoadUI(kLogControl + Box("a", "button", 0, 0, 100, 100, "cmdcontact=1\ncmdlosecontact=2\n") +
                       Box("b", "button", 50, 0, 100, 100, "cmdcontact=10\ncmdlosecontact=20\n") +
                       Box("off", "button", 0, 0, 300, 300, "cmdcontact=1000\nenabled=0\n")));
    EXPECT_EQ(Events({"M 2 2", "M 3 3", "M 75 5", "M 500 5", "M 125 5", "M 5 5"}),
              (Strings{"101 -", "101 -", "111 -", "133 -", "143 -", "164 -"}));
    // A control that is not open keeps its contact as it was.
    Control("a")->Enable(false);
    g_UIManager.OnMouseMove(500, 500);
    EXPECT_EQ(Control("a")->nContact, 1);
}

// Samples on the dummy driver, so that plays can be read from the sound library's call log.
TEST_F(UIInputTest, AClickRunsItsCommandThenPlaysItsSoundThenTakesTheFocus)
{
    testutil::ReopenSoundOnDummyDriver();
    for (const char* name : {"hit.wav", "typed.wav", "script.wav"}) {
        dir.Write(name, testutil::WavFile(std::vector<std::int16_t>(200, 0x1010)));
        g_SoundManager.AddSound(name);
    }
    ASSERT_TRUE(LoadUI(kLogControl + Box("b", "button", 0, 0, 10, 10, "cmdlclick=1\nsndlclick=hit\nsndchar=typed\n") +
                           Box("quiet", "edittext", 20, 0, 10, 10, "sndchar=typed\n"),
                       "[UIMain]\nif(input0==1)\nUI.AddSound(\"script\",7)\nUI.PlaySound(7,0.5)\n"
                       "UI.PlaySound(8,1)\nend\n"));
    platform::soundseams::StartRecording();
    g_UIManager.OnLButtonDown(5, 5);
    g_UIManager.OnChar('x');  // a button plays its character sound and keeps its text
    EXPECT_EQ(Control("b")->strText, "");
    g_UIManager.OnLButtonDown(25, 5);
    g_UIManager.OnChar(8);  // backspace on an empty field still sounds
    platform::soundseams::StopRecording();
    std::vector<int> volumes;
    for (const auto& c : platform::soundseams::Calls())
        if (c.function == "FSOUND_SetVolume") volumes.push_back(c.value);
    // The script's sound, then the click's; then the button's and the field's character sounds.
    EXPECT_EQ(volumes, (std::vector<int>{127, 255, 255, 255}));
    g_SoundManager.ClearAll();
}
