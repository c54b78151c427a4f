// What the tests of the user interface share: scratch UI files loaded into a clean
// g_UIManager (the script functions act on it), and a "log" control through which the UI
// script shows which commands ran.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "bindings/bindings.h"
#include "support/testutil.h"
#include "ui/uimanager.h"

namespace uitest {

// Every run of "UIMain" moves "log" right by its input and down by 1: PosX sums the commands
// that ran, PosY counts them.
inline const char kLogScript[] = "[UIMain]\nUI.MoveControlOffSet(\"log\",input0,1,0,0,0,0,0)\n";
inline const char kLogControl[] = "[log]\ntype=none\n";

// A control section: its type, place and size, and further keys.
inline std::string Box(const char* name, const char* type, int x, int y, int w, int h, const std::string& keys = "")
{
    return std::string("[") + name + "]\ntype=" + type + "\nposx=" + std::to_string(x) + "\nposy=" +
           std::to_string(y) + "\nsizex=" + std::to_string(w) + "\nsizey=" + std::to_string(h) + "\n" + keys;
}

class UIFixture : public testutil::ScratchFolderTest {
protected:
    void SetUp() override { RegisterScriptBindings(); }
    void TearDown() override { Reset(); }

    static void Reset()
    {
        UIManager& m = g_UIManager;
        m.Controls.Clear();
        m.Scripts.Clear();
        m.Runner.StopAll();
        m.Runner.Enable();
        m.Sounds.Entries.clear();
        m.pFocus = nullptr;
        m.pFont = nullptr;
        m.Camera.Reset();
    }

    // Empties g_UIManager and the boxes shown, writes the UI file "ui.txt" (with the script file
    // "uiscript.txt" named before `text`) and loads it.
    bool LoadUI(const std::string& text, const std::string& script = kLogScript)
    {
        Reset();
        boxes.Clear();
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
    // A control's type, place, size, colour, state and caption on one line, to compare whole.
    static std::string Summary(const CUIControl* c)
    {
        char s[256];
        std::snprintf(s, sizeof s, "type %d at %g,%g size %gx%g colour %08X %s '%s'", c->nType, c->PosX.Get(),
                      c->PosY.Get(), c->SizeX.Get(), c->SizeY.Get(), static_cast<unsigned>(D3DCOLOR(c->Color.Get())),
                      c->bEnabled ? "on" : "off", c->strText.c_str());
        return s;
    }
    float CommandSum() { return Control("log")->PosX.Get(); }
    int CommandRuns() { return static_cast<int>(Control("log")->PosY.Get()); }
};

}  // namespace uitest
