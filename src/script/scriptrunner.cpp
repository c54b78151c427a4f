#include "script/scriptrunner.h"

#include <cassert>

#include "foundation/numeric.h"
#include "foundation/stringutil.h"
#include "script/names.h"

using namespace script;

CScriptRunner* g_CurrentRunner = nullptr;
CScriptThread* g_CurrentThread = nullptr;

void TRunExpr::Set(CExpression* e)
{
    using namespace expression;
    pExpr = e;
    bInline = false;
    if (!e || e->FastOps().size() != 1 || e->MaxInput() >= 0)
        return;
    const TFastOp& f = e->FastOps()[0];
    auto operand = [e](std::uint8_t src, int index, bool& local, int& ix, float& k) {
        local = src == SRC_LOCAL;
        ix = index;
        k = src == SRC_CONST ? e->Consts()[static_cast<std::size_t>(index)] : 0.0f;
        return src == SRC_LOCAL || src == SRC_CONST;
    };
    if (f.op == FO_GENERIC || f.out != 0)
        return;
    bInline = operand(f.srcA, f.a, bLocalA, ia, ka) && operand(f.srcB, f.b, bLocalB, ib, kb);
    op = f.op;
}

void TScript::BuildCode()
{
    code.assign(instructions.size(), TRunInstr());
    for (std::size_t i = 0; i < instructions.size(); ++i) {
        const TScriptInstruction& in = instructions[i];
        TRunInstr& c = code[i];
        c.target = in.params[1].nValue;
        switch (in.type) {
        case SIT_NONE:
        case SIT_LABEL:
            c.op = RO_NOP;
            break;
        case SIT_ASSIGN:
            if (in.params[0].type == SPT_LOCAL) {
                c.index = in.params[0].nValue;
                c.op = in.params[1].type == SPT_EXPR ? RO_SET_LOCAL_EXPR : RO_SET_LOCAL_NUMBER;
                c.value = in.params[1].fValue;
                c.expr.Set(in.params[1].pExpr);
            }
            break;
        case SIT_WAIT:
            c.op = RO_WAIT;
            c.expr.Set(in.params[0].pExpr);
            break;
        case SIT_IF:
        case SIT_ELSEIF:
        case SIT_WHILE:
            c.op = in.type == SIT_IF ? RO_IF : in.type == SIT_WHILE ? RO_WHILE : RO_ELSEIF;
            c.index = in.nChainEnd;
            c.expr.Set(in.params[0].pExpr);
            break;
        case SIT_ELSE:
        case SIT_CONTINUE:
        case SIT_BREAK:
            c.op = RO_JUMP;
            c.target = in.params[0].nValue;
            break;
        case SIT_GOTO:
            c.op = RO_JUMP;
            break;
        case SIT_END:
            c.op = RO_NOP;
            if (in.params[0].type == SPT_INT) {
                // The end of a while tests the loop condition itself instead of jumping to it.
                const TScriptInstruction& loop = instructions[static_cast<std::size_t>(in.params[0].nValue)];
                c.op = RO_END_WHILE;
                c.target = in.params[0].nValue;
                c.index = loop.params[1].nValue;
                c.expr.Set(loop.params[0].pExpr);
            }
            break;
        default:
            break;
        }
    }
}

void CScriptFunction::SetScript(TScript* script)
{
    pScript = script;
    if (script && script->localNames.Count() > 0)
        locals.assign(static_cast<std::size_t>(script->localNames.Count()), 0.0f);
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
    case SIT_ELSEIF:
        if (nJumpTarget != nInstrIndex) {
            JumpTo(pInstr->nChainEnd);
            return 0;
        }
        [[fallthrough]];
    case SIT_IF:
    case SIT_WHILE:
        if (Eval(pInstr->params[0].pExpr) == 0.0f) {
            int target = pInstr->params[1].nValue;
            if (pInstr->type != SIT_WHILE)
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

namespace {

inline float EvalRun(const TRunExpr& x, const float* L, const float* in, int nin)
{
    if (x.bInline)
        return CExpression::Apply(x.op, x.bLocalA ? L[x.ia] : x.ka, x.bLocalB ? L[x.ib] : x.kb);
    return x.pExpr->Evaluate(L, in, nin);
}

}  // namespace

int CScriptFunction::RunFast()
{
    if (!pScript || !pScript->bRunnable)
        return -1;
    const TRunInstr* code = pScript->code.data();
    const int n = static_cast<int>(pScript->code.size());
    float* L = locals.empty() ? nullptr : locals.data();
    const float* in = inputs.empty() ? nullptr : inputs.data();
    const int nin = static_cast<int>(inputs.size());
    int i = nInstrIndex;
    for (;;) {
        if (++i >= n) {
            nInstrIndex = n;
            return -1;
        }
        const TRunInstr& c = code[i];
        switch (c.op) {
        case RO_NOP:
            break;
        case RO_SET_LOCAL_NUMBER:
            L[c.index] = c.value;
            break;
        case RO_SET_LOCAL_EXPR:
            L[c.index] = EvalRun(c.expr, L, in, nin);
            break;
        case RO_ELSEIF:
            if (nJumpTarget != i) {
                i = c.index - 1;
                break;
            }
            [[fallthrough]];
        case RO_IF:
            if (EvalRun(c.expr, L, in, nin) == 0.0f) {
                nJumpTarget = c.target;
                i = c.target - 1;
            }
            break;
        case RO_WHILE:
            if (EvalRun(c.expr, L, in, nin) == 0.0f)
                i = c.target - 1;
            break;
        case RO_END_WHILE:
            i = EvalRun(c.expr, L, in, nin) == 0.0f ? c.index - 1 : c.target;
            break;
        case RO_JUMP:
            i = c.target - 1;
            break;
        case RO_WAIT: {
            int wait = TruncToInt(EvalRun(c.expr, L, in, nin));
            if (wait >= 1) {
                nInstrIndex = i;
                return wait;
            }
            break;
        }
        default: {
            nInstrIndex = i;
            int wait = ExecuteInstruction();
            return wait >= 1 ? wait : 0;
        }
        }
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
    CScriptFunction newRunner;
    if (!spareLocals.empty()) {
        newRunner.locals = std::move(spareLocals.back());
        newRunner.locals.clear();
        spareLocals.pop_back();
    }
    newRunner.Reset();
    newRunner.SetScript(script);
    stack.push_back(std::move(newRunner));
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
        int wait = stack.back().RunFast();
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
        if (g_CurrentThread)
            for (CScriptThread& t : threads)
                if (&t == g_CurrentThread)
                    g_CurrentThread = nullptr;
        threads.clear();
    }
    bEnabled = false;
}

void CScriptRunner::Update()
{
    if (!bEnabled)
        return;
    g_CurrentRunner = this;
    ++nUpdateDepth;
    for (auto it = threads.begin(); it != threads.end();) {
        bool alive = false;
        if (!it->bStopped) {
            g_CurrentThread = &*it;
            alive = it->Step();
        }
        if (alive) {
            ++it;
        } else if (nUpdateDepth == 1) {
            auto next = std::next(it);
            Erase(it);
            it = next;
        } else {
            it->bStopped = true;
            ++it;
        }
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
