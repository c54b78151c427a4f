#include "support/scriptsupport.h"

#include "bindings/bindings.h"
#include "foundation/stringutil.h"
#include "script/scriptbase.h"
#include "script/scriptrunner.h"

namespace fuzz {

namespace {

constexpr int kCallBudget = 64;
int g_CallsLeft = 0;
SystemFuncHandler g_StartThread = nullptr;
SystemFuncHandler g_CallFunction = nullptr;

void Ignore(TScriptParam*, int) {}

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

}  // namespace

void PrepareScripts()
{
    static const bool done = [] {
        RegisterScriptBindings();
        for (auto& [name, func] : g_SystemFuncTable.funcs)
            if (name.rfind("frame.", 0) == 0 || name.rfind("scene.", 0) == 0 || name.rfind("audio.", 0) == 0 ||
                name.rfind("ui.", 0) == 0)
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
    g_CallsLeft = kCallBudget;
}

bool Paced(const CStringList& lines, CStringList& out)
{
    // A script may name a local "1" (locals are looked up before numbers): the wait's 1 is written
    // in a form that appears nowhere in the script.
    std::string all;
    for (const std::string& line : lines.Items)
        all += ToLower(line) + "\n";
    std::string one = "1";
    while (all.find(one) != std::string::npos)
        one += one == "1" ? ".0" : "0";
    const std::string wait = "wait(" + one + ")";
    bool changed = false;
    for (const std::string& line : lines.Items) {
        const std::string lower = ToLower(Trim(line));
        const bool before = lower.rfind("goto", 0) == 0 || lower.rfind("continue", 0) == 0;
        const bool after = lower.rfind("while", 0) == 0;
        if (before)
            out.Add(wait);
        out.Add(line);
        if (after)
            out.Add(wait);
        changed = changed || before || after;
    }
    return changed;
}

void StopScripts(CScriptRunner& runner)
{
    runner.StopAll();
    g_CurrentRunner = nullptr;
    g_CurrentThread = nullptr;
}

}  // namespace fuzz
