#include <gtest/gtest.h>

#include "bindings/bindings.h"
#include "script/expressionbase.h"
#include "script/scriptbase.h"

// Every area has joined: all 60 system functions, 18 variables and 9 expression functions, found
// in any letter case, with their signatures and the odd spellings as written.
TEST(Bindings, EveryNameIsRegisteredAsWritten)
{
    ASSERT_TRUE(RegisterScriptBindings());
    EXPECT_EQ(g_SystemFuncTable.funcs.size(), 60u);
    EXPECT_EQ(g_VarTable.vars.size(), 18u);
    EXPECT_EQ(g_FunctionTable.funcs.size(), 9u);
    EXPECT_TRUE(g_FunctionTable.Exists("CHECKKEYPRESS"));

    const script::TSystemFunc* start = g_SystemFuncTable.Get("frame.startscene");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->strName, "Frame.StartScene");
    EXPECT_EQ(start->nParamCount, 2);
    EXPECT_EQ(start->paramTypes[0], SPT_STRING);
    EXPECT_EQ(g_SystemFuncTable.Get("REPORTVALUE")->paramTypes[0], SPT_NUMBER);
    EXPECT_EQ(g_SystemFuncTable.Get("ui.movecontroloffset")->strName, "UI.MoveControlOffSet");
    // The corrected spellings reach nothing.
    for (const char* name : {"Unit.RotateAroundX", "Terrain.SetViewBorder"})
        EXPECT_EQ(g_SystemFuncTable.Get(name), nullptr) << name;
}
