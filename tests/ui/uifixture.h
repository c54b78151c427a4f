// What the tests of the user interface share: scratch UI files loaded into a clean
// g_UIManager (the script functions act on it), and a "log" control through which the UI
// script shows which commands ran.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bindings/bindings.h"
#include "support/testutil.h"
#include "ui/uimanager.h"

namespace uitest {

inline void ResetManager(UIManager& m)
{
    m.Controls.Clear();
    m.Scripts.Clear();
    m.Runner.StopAll();
    m.Runner.Enable();
    m.Sounds.Entries.clear();
    m.pFocus = nullptr;
    m.pFont = nullptr;
    m.nWidth = m.nHeight = 500;
    m.Camera.Reset();
}

// Every run of "UIMain" moves "log" right by its input and down by 1: PosX sums the commands
// that ran, PosY counts them.
inline const char kLogScript[] = "[UIMain]\nUI.MoveControlOffSet(\"log\",input0,1,0,0,0,0,0)\n";
inline const char kLogControl[] = "[log]\ntype=none\n";

class UIFixture : public testutil::ScratchFolderTest {
protected:
    void SetUp() override
    {
        RegisterScriptBindings();
        ResetManager(g_UIManager);
        boxes.Clear();
    }
    void TearDown() override { ResetManager(g_UIManager); }

    // Writes the UI file "ui.txt" (with the script file "uiscript.txt" named before `text`) and
    // loads it into g_UIManager.
    bool LoadUI(const std::string& text, const std::string& script = kLogScript)
    {
        dir.Write("uiscript.txt", script);
        dir.Write("ui.txt", "script=uiscript.txt\n" + text);
        return g_UIManager.Load("ui.txt");
    }

    CUIControl* Control(const char* name)
    {
        CUIControl* c = g_UIManager.FindControl(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    float CommandSum() { return Control("log")->PosX.Get(); }
    int CommandRuns() { return static_cast<int>(Control("log")->PosY.Get()); }

    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> out;
        for (const auto& b : boxes.Boxes()) out.push_back(b.text);
        return out;
    }
};

}  // namespace uitest
