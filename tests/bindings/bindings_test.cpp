#include <gtest/gtest.h>

#include "bindings/bindings.h"
#include "script/expressionbase.h"
#include "script/scriptbase.h"

TEST(Bindings, NamesAreFoundInAnyLetterCase)
{
    ASSERT_TRUE(RegisterScriptBindings());
    for (const char* name : {"reportmsg", "REPORTMSG", "ReportMsg", "frame.startscene", "CallFunction",
                             "startthread", "PauseThread", "continuethread", "frame.command", "ReportValue"})
        EXPECT_NE(g_SystemFuncTable.Get(name), nullptr) << name;
    for (const char* name : {"checkkeydown", "CHECKKEYPRESS", "random", "RandomB", "distance"})
        EXPECT_TRUE(g_FunctionTable.Exists(name)) << name;

    const script::TSystemFunc* start = g_SystemFuncTable.Get("frame.startscene");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->strName, "Frame.StartScene");
    EXPECT_EQ(start->nParamCount, 2);
    EXPECT_EQ(start->paramTypes[0], SPT_STRING);
    EXPECT_EQ(g_SystemFuncTable.Get("reportvalue")->paramTypes[0], SPT_NUMBER);
}

// Every area has joined: all 60 system functions, 18 variables and 9 expression functions.
TEST(Bindings, EveryNameIsRegistered)
{
    ASSERT_TRUE(RegisterScriptBindings());
    EXPECT_EQ(g_SystemFuncTable.funcs.size(), 60u);
    EXPECT_EQ(g_VarTable.vars.size(), 18u);
    EXPECT_EQ(g_FunctionTable.funcs.size(), 9u);
}

TEST(Bindings, OddSpellingsStandAsWritten)
{
    ASSERT_TRUE(RegisterScriptBindings());
    const script::TSystemFunc* offset = g_SystemFuncTable.Get("ui.movecontroloffset");
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(offset->strName, "UI.MoveControlOffSet");
    EXPECT_EQ(offset->nParamCount, 8);
    // The corrected spellings reach nothing.
    for (const char* name : {"Unit.RotateAroundX", "Terrain.SetViewBorder"})
        EXPECT_EQ(g_SystemFuncTable.Get(name), nullptr) << name;
}
