// Helpers of the script tests: building line lists, a recording system function, registered test
// variables and a runner over a private library.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/stringlist.h"
#include "script/consttable.h"
#include "script/expression.h"
#include "script/scriptbase.h"
#include "script/scriptrunner.h"
#include "support/testutil.h"

namespace scripttest {

inline CStringList Lines(std::initializer_list<std::string> lines)
{
    CStringList out;
    for (const std::string& l : lines)
        out.Add(l);
    return out;
}

// What the logging functions saw, one entry a call.
inline std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

// What the logging functions saw since the log was last cleared, joined by the separator.
inline std::string JoinedLog(const char* separator = ",")
{
    std::string out;
    for (const std::string& l : Log())
        out += (out.empty() ? "" : separator) + l;
    return out;
}

inline std::string Num(float v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(v));
    return buffer;
}

// The numbers of a call, blank-separated.
inline void LogHandler(TScriptParam* args, int count)
{
    std::string line;
    for (int i = 0; i < count; ++i)
        line += (i ? " " : "") + Num(args[i].fValue);
    Log().push_back(line);
}

// The texts of a call, each in brackets.
inline void SayHandler(TScriptParam* args, int count)
{
    std::string line;
    for (int i = 0; i < count; ++i)
        line += "[" + args[i].strText + "]";
    Log().push_back(line);
}

inline float g_TestCell = 0.0f;
inline float g_ReadOnlyValue = 42.0f;
inline float ReadOnlyGetter() { return g_ReadOnlyValue; }
inline float Sum(const float* args, int count)
{
    float s = 0.0f;
    for (int i = 0; i < count; ++i)
        s += args[i];
    return s;
}
inline int g_CounterCalls = 0;
inline float Counter(const float*, int) { return static_cast<float>(++g_CounterCalls); }

inline expression::TVar MemoryVar(const char* name, float* cell) { return {name, expression::VT_MEMORY, cell}; }

// Registers (once; later registrations are ignored by the tables) what the tests use:
// "Log" with an open signature, "LogV" ("vv"), "Say" ("ss"), "SayAny" (no signature), the runtime's four functions, the
// variables TestCell (memory) and ReadOnly (getter only), and the functions Sum and Counter.
inline void RegisterTestNames()
{
    g_SystemFuncTable.Register("Log", LogHandler, "");
    g_SystemFuncTable.Register("LogV", LogHandler, "vv");
    g_SystemFuncTable.Register("Say", SayHandler, "ss");
    g_SystemFuncTable.Register("SayAny", SayHandler, "");
    g_SystemFuncTable.Register("StartThread", ScriptStartThread, "ss");
    g_SystemFuncTable.Register("CallFunction", ScriptCallFunction, "s");
    g_SystemFuncTable.Register("PauseThread", ScriptPauseThread, "s");
    g_SystemFuncTable.Register("ContinueThread", ScriptContinueThread, "s");
    g_VarTable.AddVar("TestCell", MemoryVar("TestCell", &g_TestCell));
    g_VarTable.AddVar("ReadOnly", {"ReadOnly", expression::VT_FUNC, nullptr, ReadOnlyGetter});
    g_FunctionTable.AddFunc("Sum", {"Sum", Sum});
    g_FunctionTable.AddFunc("Counter", {"Counter", Counter});
}

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestNames();
        Log().clear();
        boxes.Clear();
        g_ConstTable.Clear();
        g_CounterCalls = 0;
        g_CurrentRunner = nullptr;
        g_CurrentThread = nullptr;
        runner.pLibrary = &library;
    }

    // Compiles an expression with the given locals and evaluates it with their values (zero for
    // those not given) and no inputs.
    float Eval(const std::string& text, const CStringList& locals = CStringList(), std::vector<float> values = {})
    {
        CExpression* e = g_ExpressionPool.AddExpression(text, locals);
        values.resize(static_cast<std::size_t>(locals.Count()) + 1, 0.0f);
        return e->Evaluate(values.data(), nullptr, 0);
    }

    TScript* Add(const std::string& name, std::initializer_list<std::string> lines)
    {
        return library.AddScript(Lines(lines), name);
    }

    // Runs n ticks of the runner as it stands; returns the log of each tick.
    std::vector<std::string> Step(int ticks = 1)
    {
        std::vector<std::string> all;
        for (int t = 0; t < ticks; ++t) {
            Log().clear();
            runner.Update();
            all.push_back(JoinedLog());
        }
        return all;
    }

    // Starts "main" on the named script, alone on the runner, and runs n ticks; returns the log of
    // each tick.
    std::vector<std::string> Run(const std::string& script, int ticks)
    {
        runner.StopAll();
        runner.Enable();
        runner.StartThread(script, "main");
        return Step(ticks);
    }

    testutil::BoxCapture boxes;
    CScriptLibrary library;
    CScriptRunner runner;
};

}  // namespace scripttest
