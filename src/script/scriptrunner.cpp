#include "script/scriptrunner.h"

#include <cassert>

#include "foundation/numeric.h"
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
    TScriptInstruction* pInstr = &pScript->instructions[static_cast<std::size_t>(nInstrIndex)];
    switch (pInstr->type) {
    case SIT_ASSIGN: {
        const TScriptParam& target = pInstr->params[0];
        assert(((target.type == SPT_VAR) || (target.type == SPT_LOCAL)) &&
               "(pInstr->params[0].type==SPT_VAR)||(pInstr->params[0].type==SPT_LOCAL)");
        if (target.type == SPT_VAR && target.pVar->type == expression::VT_FUNC && !target.pVar->setter)
            return 0;
        const TScriptParam& source = pInstr->params[1];
        float value = source.type == SPT_EXPR ? Eval(source.pExpr) : source.fValue;
        if (target.type == SPT_LOCAL)
            locals[static_cast<std::size_t>(target.nValue)] = value;
        else
            target.pVar->Set(value);
        return 0;
    }
    case SIT_WAIT:
        return TruncToInt(Eval(pInstr->params[0].pExpr));
    case SIT_CALL: {
        TSystemFunc* func = pInstr->pFunc;
        for (int i = 0; i < pInstr->nParamCount; ++i) {
            const TScriptParam& src = pInstr->params[i];
            TScriptParam& dst = func->args[i];
            switch (src.type) {
            case SPT_INT: dst.nValue = src.nValue; break;
            case SPT_NUMBER: dst.fValue = src.fValue; break;
            case SPT_EXPR: dst.fValue = Eval(src.pExpr); break;
            case SPT_STRING: dst.strText = src.strText; break;
            default: break;  // an empty argument beyond the signature carries nothing
            }
        }
        // The handler may push a frame and so move this one: nothing of the frame is touched after.
        if (func->pfnHandler)
            func->pfnHandler(func->args, pInstr->nParamCount);
        return 0;
    }
    case SIT_ELSEIF: {
        bool arrivedByFalseJump = nJumpTarget == nInstrIndex;
        nJumpTarget = -1;
        if (!arrivedByFalseJump) {
            JumpTo(pInstr->nChainEnd);
            return 0;
        }
        [[fallthrough]];
    }
    case SIT_IF:
    case SIT_WHILE:
        if (Eval(pInstr->params[0].pExpr) == 0.0f) {
            int target = pInstr->params[1].nValue;
            if (pInstr->bFalseToElseIf)
                nJumpTarget = target;
            JumpTo(target);
        }
        return 0;
    case SIT_ELSE:
    case SIT_CONTINUE:
    case SIT_BREAK:
        JumpTo(pInstr->params[0].nValue);
        return 0;
    case SIT_GOTO:
        JumpTo(pInstr->params[1].nValue);
        return 0;
    case SIT_END:
        if (pInstr->params[0].type == SPT_INT)
            JumpTo(pInstr->params[0].nValue);
        return 0;
    default:
        return 0;
    }
}

int CScriptFunction::Run()
{
    while (NextInstr()) {
        int wait = ExecuteInstruction();
        if (wait >= 1)
            return wait;
    }
    return -1;
}

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

void CScriptThread::CallScript(const std::string& name)
{
    TScript* script = (g_CurrentRunner && g_CurrentRunner->pLibrary) ? g_CurrentRunner->pLibrary->FindScript(name) : nullptr;
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
        int wait = stack.back().RunFast(*this);
        if (bStopped)
            return false;
        if (wait >= 1) {
            nWait = wait;
            return true;
        }
        if (wait < 0)
            PopFunction();
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
CScriptThread* CScriptRunner::StartThread(const std::string& scriptName, const std::string& threadName)
{
    if (FindThread(threadName))
        return nullptr;
    CScriptRunner* previous = g_CurrentRunner;
    g_CurrentRunner = this;
    CScriptThread& newStack = threads.emplace_back();
    newStack.Clear();
    newStack.strName = threadName;
    newStack.CallScript(scriptName);
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

// While an update is stepping threads, a stopped thread is only marked; the update erases it
// once no step is using it.
void CScriptRunner::StopThread(const std::string& name)
{
    for (auto it = threads.begin(); it != threads.end(); ++it) {
        if (it->bStopped || !SameName(it->strName, name))
            continue;
        if (nUpdateDepth > 0)
            it->bStopped = true;
        else
            Erase(it);
        return;
    }
}

void CScriptRunner::StopAll()
{
    if (nUpdateDepth > 0) {
        for (CScriptThread& t : threads)
            t.bStopped = true;
    } else {
        while (!threads.empty())
            Erase(threads.begin());
    }
    bEnabled = false;
}

void CScriptRunner::Update()
{
    if (!bEnabled)
        return;
    g_CurrentRunner = this;
    ++nUpdateDepth;
    // Threads started during the pass are appended, so they are stepped in it too.
    for (auto it = threads.begin(); it != threads.end(); ++it) {
        if (it->bStopped)
            continue;
        g_CurrentThread = &*it;
        if (!it->Step())
            it->bStopped = true;
    }
    if (--nUpdateDepth == 0) {
        for (auto it = threads.begin(); it != threads.end();) {
            auto next = std::next(it);
            if (it->bStopped)
                Erase(it);
            it = next;
        }
    }
}

void ScriptStartThread(TScriptParam* args, int count)
{
    CScriptRunner* runner = g_CurrentRunner;
    if (!runner)
        return;
    CScriptThread* thread = runner->StartThread(args[0].strText, args[1].strText);
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

void ScriptCallFunction(TScriptParam* args, int count)
{
    CScriptRunner* runner = g_CurrentRunner;
    if (!runner || !g_CurrentThread)
        return;
    TScript* script = runner->pLibrary ? runner->pLibrary->FindScript(args[0].strText) : nullptr;
    if (!script) {
        GlobalError("CallScript:找不到指定的TScript");
        return;
    }
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
