// The script loader, linker and runtime on any bytes: the input is one script, loaded, linked and
// run as a thread for a bounded number of ticks.
//
// The language has legitimate endless runs within one tick that the runtime has no step limit
// for: a loop that never waits, a script that calls itself before any wait, two threads that
// restart each other as each ends (a thread started during an update runs in that update).
// So the script is loaded and linked as written, and what runs is a paced copy: "wait(1)" after
// every "while" line and before every "goto" and "continue" line, so that every backward jump
// passes a wait and each tick ends; "CallFunction" and "StartThread" get a budget per input, past
// which they do nothing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bindings/bindings.h"
#include "foundation/stringutil.h"
#include "script/scriptbase.h"
#include "script/scriptrunner.h"
#include "support/fuzzsupport.h"

namespace {

void Ignore(TScriptParam*, int) {}

constexpr int kCallBudget = 64;
int g_CallsLeft = 0;
SystemFuncHandler g_StartThread = nullptr;
SystemFuncHandler g_CallFunction = nullptr;

void BudgetedStartThread(TScriptParam* args, int count)
{
    if (g_CallsLeft-- > 0)
        g_StartThread(args, count);
}

void BudgetedCallFunction(TScriptParam* args, int count)
{
    if (g_CallsLeft-- > 0)
        g_CallFunction(args, count);
}

// The bindings' own table, so that every signature parses as in the game; the handlers that reach
// the frame, the scene or the sound device are replaced, since none of them exists here.
void RegisterOnce()
{
    static const bool done = [] {
        RegisterScriptBindings();
        for (auto& [name, func] : g_SystemFuncTable.funcs)
            if (name.rfind("frame.", 0) == 0 || name.rfind("scene.", 0) == 0 || name.rfind("audio.", 0) == 0)
                func.pfnHandler = Ignore;
        script::TSystemFunc* start = g_SystemFuncTable.Get("StartThread");
        script::TSystemFunc* call = g_SystemFuncTable.Get("CallFunction");
        g_StartThread = start->pfnHandler;
        g_CallFunction = call->pfnHandler;
        start->pfnHandler = BudgetedStartThread;
        call->pfnHandler = BudgetedCallFunction;
        return true;
    }();
    (void)done;
}

bool Paced(const CStringList& lines, CStringList& out)
{
    bool changed = false;
    for (const std::string& line : lines.Items) {
        const std::string lower = ToLower(Trim(line));
        const bool before = lower.rfind("goto", 0) == 0 || lower.rfind("continue", 0) == 0;
        const bool after = lower.rfind("while", 0) == 0;
        if (before)
            out.Add("wait(1)");
        out.Add(line);
        if (after)
            out.Add("wait(1)");
        changed = changed || before || after;
    }
    return changed;
}

void Run(CScriptLibrary& library)
{
    CScriptRunner runner;
    runner.pLibrary = &library;
    const float inputs[3] = {1.0f, -0.5f, 100.0f};
    runner.StartThread("main", "main", inputs, 3);
    for (int tick = 0; tick < 64 && !runner.threads.empty(); ++tick)
        runner.Update();
    runner.StopAll();
    g_CurrentRunner = nullptr;
    g_CurrentThread = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    RegisterOnce();
    g_CallsLeft = kCallBudget;
    CStringList lines;
    lines.LoadFromFile(fuzz::WriteInput(data, size, "script.txt"));
    {
        CScriptLibrary library;
        TScript* script = library.AddScript(lines, "main");
        CStringList paced;
        if (script->bRunnable && Paced(lines, paced)) {
            CScriptLibrary pacedLibrary;
            if (pacedLibrary.AddScript(paced, "main")->bRunnable)
                Run(pacedLibrary);
        } else if (script->bRunnable) {
            Run(library);
        }
    }
    // Scripts hold their expressions by pointer; with the scripts gone the pool can go too.
    g_ExpressionPool.Clear();
    return 0;
}
