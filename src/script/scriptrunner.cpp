#include "script/scriptrunner.h"

#include <cassert>

#include "foundation/stringutil.h"
#include "foundation/namedlist.h"

using namespace script;

CScriptRunner* g_CurrentRunner = nullptr;
CScriptThread* g_CurrentThread = nullptr;

void CScriptFunction::SetScript(TScript* script)
{
    pScript = script;
    if (script && script->localNames.Count() > 0)
        locals.resize(static_cast<std::size_t>(script->localNames.Count()), 0.0f);
}

int CScriptFunction::ExecuteInstruction()
{
    if (!pScript)
        return -1;
    assert((nInstrIndex >= 0) && (nInstrIndex < pScript->Length()) && "(nInstrIndex>=0)&&(nInstrIndex<pScript->Length())");
    return RunFrameSteps(*this, true);
}

int CScriptFunction::Run() { return RunFrameSteps(*this, false); }

TScriptInstruction* CScriptFunction::FetchNext()
{
    if (!NextInstr())
        return nullptr;
    return &pScript->instructions[static_cast<std::size_t>(nInstrIndex)];
}

void CScriptFunction::Dump(CStringList& out) const
{
    out.Clear();
    out.Add("InstrIndex=" + IntToString(nInstrIndex));
    out.Add("ScriptName=" + (pScript ? pScript->strName : std::string()));
}

void CScriptThread::Clear()
{
    stack.clear();
    bRunning = false;
    nWait = 0;
}

void CScriptThread::PushFunction(TScript* script)
{
    CScriptFunction& newRunner = stack.emplace_back();
    if (!spareLocals.empty()) {
        newRunner.locals = std::move(spareLocals.back());
        newRunner.locals.clear();
        spareLocals.pop_back();
    }
    newRunner.Reset();
    newRunner.SetScript(script);
}

void CScriptThread::PopFunction()
{
    if (stack.back().locals.capacity() > 0)
        spareLocals.push_back(std::move(stack.back().locals));
    stack.pop_back();
}

bool CScriptThread::EndsPastCallDepth(std::size_t depth)
{
    if (depth < MAX_CALL_DEPTH)
        return false;
    GlobalError("CallScript:调用层数超过" + IntToString(static_cast<int>(MAX_CALL_DEPTH)) + ",线程结束:" + strName);
    stack.clear();
    return true;
}

namespace {

TScript* FindCalledScript(CScriptRunner* runner, const std::string& name, TScriptLookup* lookup)
{
    CScriptLibrary* library = runner ? runner->pLibrary : nullptr;
    if (!library)
        return nullptr;
    return lookup ? library->FindScript(name, *lookup) : library->FindScript(name);
}

}  // namespace

void CScriptThread::CallScript(const std::string& name, TScriptLookup* lookup)
{
    TScript* script = FindCalledScript(g_CurrentRunner, name, lookup);
    if (!script) {
        GlobalError("找不到脚本:" + name);
        return;
    }
    PushFunction(script);
}

bool CScriptThread::Step()
{
    if (bStopped)
        return false;
    if (!bRunning)
        return true;
    if (--nWait > 0)
        return true;
    while (!stack.empty()) {
        int wait = RunThreadSteps(*this);
        if (bStopped)
            return false;
        if (wait >= 1) {
            nWait = wait;
            return true;
        }
    }
    return false;
}

CScriptThread* CScriptRunner::FindThread(const std::string& name)
{
    for (CScriptThread& t : threads)
        if (!t.bStopped && SameName(t.strName, name))
            return &t;
    return nullptr;
}

// The runner being started on becomes current while its library is searched, and the caller's
// runner is current again afterwards, so a script that starts a thread elsewhere keeps acting on
// its own runner.
CScriptThread* CScriptRunner::StartThread(const std::string& scriptName, const std::string& threadName,
                                          TScriptLookup* lookup)
{
    if (FindThread(threadName))
        return nullptr;
    CScriptRunner* previous = g_CurrentRunner;
    g_CurrentRunner = this;
    CScriptThread& newStack = threads.emplace_back();
    newStack.Clear();
    newStack.strName = threadName;
    newStack.CallScript(scriptName, lookup);
    newStack.Continue();
    g_CurrentRunner = previous;
    return &newStack;
}

CScriptThread* CScriptRunner::StartThread(const std::string& scriptName, const std::string& threadName,
                                          const float* inputs, int count)
{
    CScriptThread* thread = StartThread(scriptName, threadName);
    if (thread && thread->TopFunction())
        thread->TopFunction()->SetInputs(inputs, count);
    return thread;
}

void CScriptRunner::Erase(std::list<CScriptThread>::iterator it)
{
    if (g_CurrentThread == &*it)
        g_CurrentThread = nullptr;
    threads.erase(it);
}

// A thread is freed as soon as no step uses it, so a script that stops and restarts threads in a
// loop without a wait holds no more of them than it has running.
void CScriptRunner::Stop(std::list<CScriptThread>::iterator it)
{
    if (it->nStepping > 0)
        it->bStopped = true;
    else
        Erase(it);
}

void CScriptRunner::StopThread(const std::string& name)
{
    for (auto it = threads.begin(); it != threads.end(); ++it) {
        if (!it->bStopped && SameName(it->strName, name)) {
            Stop(it);
            return;
        }
    }
}

void CScriptRunner::StopAll()
{
    for (auto it = threads.begin(); it != threads.end();)
        Stop(it++);
    bEnabled = false;
}

void CScriptRunner::Update()
{
    if (!bEnabled)
        return;
    g_CurrentRunner = this;
    // Threads started during the pass are appended, so they are stepped in it too. The step may
    // erase any other thread, so the next one is found only after it. A pass run from inside a
    // step does not step that step's thread again.
    for (auto it = threads.begin(); it != threads.end();) {
        if (it->bStopped || it->nStepping > 0) {
            ++it;
            continue;
        }
        g_CurrentThread = &*it;
        ++it->nStepping;
        const bool alive = it->Step();
        --it->nStepping;
        if (!alive)
            it->bStopped = true;
        const auto next = std::next(it);
        if (it->bStopped && it->nStepping == 0)
            Erase(it);
        it = next;
    }
}

void ScriptStartThread(TScriptParam* args, int count) { RuntimeStartThread(args, count, nullptr); }

void ScriptCallFunction(TScriptParam* args, int count) { RuntimeCallFunction(args, nullptr); }

void RuntimeStartThread(TScriptParam* args, int count, TScriptLookup* lookup)
{
    CScriptRunner* runner = g_CurrentRunner;
    if (!runner)
        return;
    CScriptThread* thread = runner->StartThread(args[0].strText, args[1].strText, lookup);
    if (!thread) {
        GlobalError("Stack添加失败");
        return;
    }
    CScriptFunction* top = thread->TopFunction();
    if (!top) {
        GlobalError("新Stack的最高Runner失败");
        return;
    }
    if (count > 2) {
        top->inputs.resize(static_cast<std::size_t>(count - 2));
        for (int i = 2; i < count; ++i)
            top->inputs[static_cast<std::size_t>(i - 2)] = args[i].fValue;
    }
}

TScript* CalledScript(TScriptParam* args, TScriptLookup* lookup)
{
    CScriptRunner* runner = g_CurrentRunner;
    if (!runner || !g_CurrentThread)
        return nullptr;
    TScript* script = FindCalledScript(runner, args[0].strText, lookup);
    if (!script)
        GlobalError("CallScript:找不到指定的TScript");
    return script;
}

void RuntimeCallFunction(TScriptParam* args, TScriptLookup* lookup)
{
    if (TScript* script = CalledScript(args, lookup))
        if (!g_CurrentThread->EndsPastCallDepth(g_CurrentThread->stack.size()))
            g_CurrentThread->PushFunction(script);
}

void ScriptPauseThread(TScriptParam* args, int count)
{
    if (!g_CurrentRunner)
        return;
    if (CScriptThread* thread = g_CurrentRunner->FindThread(args[0].strText))
        thread->Pause();
}

void ScriptContinueThread(TScriptParam* args, int count)
{
    if (!g_CurrentRunner)
        return;
    if (CScriptThread* thread = g_CurrentRunner->FindThread(args[0].strText))
        thread->Continue();
}
