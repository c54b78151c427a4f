#include <gtest/gtest.h>

#include <array>

#include "bindings/bindings.h"
#include "script/expressionbase.h"
#include "script/scriptbase.h"

// Every area has joined: all 60 system functions, 18 variables and 9 expression functions, found
// in any letter case, with the odd spellings as written (the tests that run scripts call them by
// their signatures).
TEST(Bindings, EveryNameIsRegisteredAsWritten)
{
    ASSERT_TRUE(RegisterScriptBindings());
    EXPECT_EQ((std::array{g_SystemFuncTable.funcs.size(), g_VarTable.vars.size(), g_FunctionTable.funcs.size()}),
              (std::array<std::size_t, 3>{60, 18, 9}));
    EXPECT_TRUE(g_FunctionTable.Exists("CHECKKEYPRESS"));
    // A call with an argument too many still runs: only the count shows a signature cut short.
    EXPECT_EQ(g_SystemFuncTable.Get("frame.startscene")->nParamCount, 2);
    EXPECT_EQ(g_SystemFuncTable.Get("ui.movecontroloffset")->strName, "UI.MoveControlOffSet");
    // The corrected spellings reach nothing.
    for (const char* name : {"Unit.RotateAroundX", "Terrain.SetViewBorder"})
        EXPECT_EQ(g_SystemFuncTable.Get(name), nullptr) << name;
}
