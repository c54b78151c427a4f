// The step loop, the one interpreter of the script language: threads, frames run on their own,
// single instructions and lone expressions all run here. Dispatch goes through a table of label
// addresses, one indirect jump per step.
//
// A run works on registers: the frame it takes up has its locals copied into a window of them,
// and copied back before code outside the loop can look (a system function runs) and when the
// frame is left. A "CallFunction" made in a thread's run gets its window above its caller's and
// no frame at first: the frames of such calls are pushed on the thread only when one of them
// waits or calls a system function, and a call that ends before that costs no frame at all.
#include <algorithm>
#include <cassert>

#include "foundation/numeric.h"
#include "script/scriptrunner.h"
#include "script/steps.h"

namespace script {

namespace {

// A script being run: its frame (none yet for a call made in the run), where its registers are,
// and what the loop reads of it; the instruction it is at; while it calls, the step it goes on
// with.
struct TActivation {
    CScriptFunction* pFrame = nullptr;
    TScript* pScript = nullptr;
    const TStep* pCode = nullptr;
    const TStep* pResume = nullptr;
    const float* pInputs = nullptr;
    std::size_t nWindow = 0;
    int nInputs = 0;
    int nLocals = 0;
    int nRegisters = 0;
    int nInstrIndex = -1;
};

// The registers and the scripts of the runs in progress. A run takes its share above the shares
// of the runs it is nested in (a system function may step another runner), and addresses them by
// position, since a nested run may move the arrays when it grows them. A run's scripts are the
// frame it took up and the calls made since, each a caller of the next, their windows of
// registers one above the other.
std::vector<float> g_Registers;
std::size_t g_RegisterTop = 0;
std::vector<TActivation> g_Activations;
// The activations in use are those below the top; the records above it are kept for reuse.
std::size_t g_ActivationTop = 0;

struct TRun {
    CScriptThread* pThread = nullptr;
    TActivation* cur = nullptr;
    const std::size_t nBase;
    const std::size_t nFirst;
    // The run's scripts without a frame: the calls made since the last frames were pushed, the
    // topmost activations.
    std::size_t nUnframed = 0;
    float* R = nullptr;

    TRun() : nBase(g_RegisterTop), nFirst(g_ActivationTop) {}

    float* Registers() { return R = g_Registers.data() + cur->nWindow; }

    // After code outside the loop has run, which may have nested a run that grew the arrays.
    float* Refresh()
    {
        cur = &g_Activations[g_ActivationTop - 1];
        return Registers();
    }

    float* Reserve()
    {
        std::size_t end = cur->nWindow + static_cast<std::size_t>(cur->nRegisters);
        if (end > g_Registers.size())
            g_Registers.resize(std::max(end, g_Registers.size() * 2));
        g_RegisterTop = end;
        return Registers();
    }

    // A new activation on top of the run's, with its window above `window`'s.
    TActivation& Push(std::size_t window)
    {
        if (g_ActivationTop == g_Activations.size())
            g_Activations.emplace_back();
        cur = &g_Activations[g_ActivationTop++];
        cur->pFrame = nullptr;
        cur->pScript = nullptr;
        cur->nWindow = window;
        return *cur;
    }

    void Activate(CScriptFunction* frame, TScript* script, int instruction)
    {
        cur->pFrame = frame;
        cur->pScript = script;
        cur->pCode = script->code.data();
        cur->pInputs = frame && !frame->inputs.empty() ? frame->inputs.data() : nullptr;
        cur->nInputs = frame ? static_cast<int>(frame->inputs.size()) : 0;
        cur->nLocals = script->localNames.Count();
        cur->nRegisters = script->nRegisters;
        cur->nInstrIndex = instruction;
        Reserve();
    }

    void LoadLocals()
    {
        std::vector<float>& locals = cur->pFrame->locals;
        int n = std::min(cur->nLocals, static_cast<int>(locals.size()));
        std::copy(locals.data(), locals.data() + n, R);
        std::fill(R + n, R + cur->nLocals, 0.0f);
    }

    void SaveLocals(const TActivation& a)
    {
        const float* registers = g_Registers.data() + a.nWindow;
        std::vector<float>& locals = a.pFrame->locals;
        std::copy(registers, registers + std::min(a.nLocals, static_cast<int>(locals.size())), locals.data());
    }

    // Takes `frame` up at instruction `first`, as the run's only script; null when the frame has
    // nothing to run.
    const TStep* Enter(CScriptFunction& frame, int first)
    {
        TScript* script = frame.pScript;
        if (!script || !script->bRunnable)
            return nullptr;
        first = std::clamp(first, 0, script->Length());
        g_ActivationTop = nFirst;
        nUnframed = 0;
        Push(nBase);
        Activate(&frame, script, frame.nInstrIndex);
        LoadLocals();
        return cur->pCode + script->codeStart[static_cast<std::size_t>(first)];
    }

    // Takes up the thread's top frame, ending frames that have nothing left to run.
    const TStep* EnterTop()
    {
        while (!pThread->stack.empty()) {
            CScriptFunction& top = pThread->stack.back();
            if (const TStep* pc = Enter(top, top.nInstrIndex + 1))
                return pc;
            pThread->PopFunction();
        }
        return nullptr;
    }

    // Runs `script` as called from the current instruction, with fresh locals and no inputs; the
    // caller goes on at `resume` when it returns.
    const TStep* Call(TScript* script, const TStep* resume)
    {
        cur->pResume = resume;
        ++nUnframed;
        Push(cur->nWindow + static_cast<std::size_t>(cur->nRegisters));
        Activate(nullptr, script, -1);
        // A call has a few locals mostly: set in place, where a library call costs more.
        int n = cur->nLocals;
        for (int i = 0; i < n && i < 4; ++i)
            R[i] = 0.0f;
        if (n > 4)
            std::fill(R + 4, R + n, 0.0f);
        return cur->pCode;
    }

    // The run's script below the current one, whose call has ended: its registers are as it left
    // them. Null when the current script is the first of the run.
    const TStep* Return()
    {
        if (g_ActivationTop == nFirst + 1)
            return nullptr;
        if (!cur->pFrame)
            --nUnframed;
        cur = &g_Activations[--g_ActivationTop - 1];
        g_RegisterTop = cur->nWindow + static_cast<std::size_t>(cur->nRegisters);
        Registers();
        return cur->pResume;
    }

    // Records the instruction the current script is at, in its frame when it has one.
    void At(int instruction)
    {
        cur->nInstrIndex = instruction;
        if (cur->pFrame)
            cur->pFrame->nInstrIndex = instruction;
    }

    // Pushes the frames of the calls running without one, so that the thread's stack is what the
    // language says it is before anything outside the loop may look at it, and brings every frame
    // of the run up to date.
    void PushFrames()
    {
        if (cur->pFrame)
            return;
        nUnframed = 0;
        // The run's scripts that have frames come first, their frames on top of the thread's
        // stack; the frames of the calls made since go above them in order.
        std::size_t first = pThread->stack.size();
        for (std::size_t i = nFirst; i < g_ActivationTop; ++i) {
            TActivation& a = g_Activations[i];
            if (a.pFrame) {
                --first;
            } else {
                pThread->PushFunction(a.pScript);
                pThread->stack.back().nInstrIndex = a.nInstrIndex;
            }
        }
        for (std::size_t i = nFirst; i < g_ActivationTop; ++i) {
            TActivation& a = g_Activations[i];
            a.pFrame = &pThread->stack[first + (i - nFirst)];
            SaveLocals(a);
        }
    }

    int Leave(int result)
    {
        g_RegisterTop = nBase;
        g_ActivationTop = nFirst;
        return result;
    }

    // The instruction whose first step pc is.
    int InstructionAt(const TStep* pc) const
    {
        const std::vector<int>& starts = cur->pScript->codeStart;
        auto it = std::lower_bound(starts.begin(), starts.end(), static_cast<int>(pc - cur->pCode));
        return static_cast<int>(it - starts.begin());
    }

    const TScriptInstruction& Instruction(const TStep* pc) const
    {
        return cur->pScript->instructions[static_cast<std::size_t>(pc->instruction)];
    }

    // A "CallFunction" line that the run can carry out itself: the thread's own, with the script
    // name written in the line.
    bool CanCall(const TScriptInstruction& in) const
    {
        return pThread && g_CurrentThread == pThread &&
               in.pFunc->pfnHandler == static_cast<SystemFuncHandler>(ScriptCallFunction) && in.nParamCount >= 1 &&
               in.params[0].type == SPT_STRING;
    }
};

std::uint64_t g_ArgsStamps = 0;

// The argument block of a call line's system function, filled as every call fills it: what the
// line wrote as integers, numbers and strings, and the values of its expressions (in registers
// from `values` on). The other fields of a slot keep what earlier calls left. A line of constants
// whose stamp is still on the block finds there what it would write.
void PassArguments(const TScriptInstruction& in, const float* values, TCallLine& line, bool bConstants)
{
    TSystemFunc* func = in.pFunc;
    if (line.nArgsStamp != 0 && func->nArgsStamp == line.nArgsStamp)
        return;
    func->nArgsStamp = ++g_ArgsStamps;
    line.nArgsStamp = bConstants ? func->nArgsStamp : 0;
    for (int i = 0; i < in.nParamCount; ++i) {
        const TScriptParam& src = in.params[i];
        TScriptParam& dst = func->args[i];
        switch (src.type) {
        case SPT_INT: dst.nValue = src.nValue; break;
        case SPT_NUMBER: dst.fValue = src.fValue; break;
        case SPT_EXPR: dst.fValue = values[i]; break;
        case SPT_STRING: dst.strText = src.strText; break;
        default: break;  // an empty argument beyond the signature carries nothing
        }
    }
}

// The runtime's own functions keep what they look up with the call line, when the script name
// is the one the line wrote (a line's name never changes).
void CallSystemFunction(const TScriptInstruction& in, TScriptLookup& lookup)
{
    TSystemFunc* func = in.pFunc;
    SystemFuncHandler handler = func->pfnHandler;
    // A handler may change what it is handed.
    func->nArgsStamp = ++g_ArgsStamps;
    TScriptLookup* kept = in.nParamCount >= 1 && in.params[0].type == SPT_STRING ? &lookup : nullptr;
    if (handler == static_cast<SystemFuncHandler>(ScriptCallFunction))
        RuntimeCallFunction(func->args, kept);
    else if (handler == static_cast<SystemFuncHandler>(ScriptStartThread))
        RuntimeStartThread(func->args, in.nParamCount, kept);
    else if (handler)
        handler(func->args, in.nParamCount);
}

float RunOperator(const expression::TOperatorData* op, float a, float b)
{
    if (op->type == expression::OT_BINARY)
        return op->func(a, b);
    if (op->type == expression::OT_PREFIX || op->type == expression::OT_POSTFIX)
        return op->func(a, 0.0f);
    assert(false && "Operator type invalid");
    return 0.0f;
}

// The arguments are copied out of the registers: the function may run scripts, which can move them.
float CallExpressionFunction(const expression::TFunction* function, const float* values, int count)
{
    float args[expression::MAX_FUNCTION_PARAM_COUNT];
    std::copy(values, values + count, args);
    return function->Calculate(args, count);
}

// The loop. With kOneInstruction it stops when the next instruction begins.
template <bool kOneInstruction>
int Loop(TRun& run, const TStep* pc)
{
#define STEP_LABEL(Name) &&Step##Name,
#define STEP_OPERATOR_LABELS(Name, text, type, level, result) STEP_OPERATOR_FORMS(STEP_LABEL, Name)
    static const void* const labels[SO_COUNT] = {
        STEP_CONTROL(STEP_LABEL) EXPRESSION_OPERATORS(STEP_OPERATOR_LABELS)};
#undef STEP_OPERATOR_LABELS
#undef STEP_LABEL

    float* R = run.R;
    const TStep* code = run.cur->pCode;

#define DISPATCH() goto* labels[pc->op]
#define NEXT()                                                  \
    do {                                                        \
        if constexpr (kOneInstruction)                          \
            if (pc->bStartsInstruction)                         \
                goto instructionDone;                           \
        DISPATCH();                                             \
    } while (0)
#define JUMP_IF(condition)                                      \
    do {                                                        \
        pc = (condition) ? code + pc->target : pc + 1;          \
        NEXT();                                                 \
    } while (0)
// Goes on in the script the run has just taken up, at `next`; none left ends the run.
#define GO_ON_AT(next)                                          \
    do {                                                        \
        pc = (next);                                            \
        if (!pc)                                                \
            return run.Leave(-1);                               \
        R = run.R;                                              \
        code = run.cur->pCode;                                  \
        DISPATCH();                                             \
    } while (0)

    DISPATCH();

#define STEP_OPERATOR_HANDLERS(Name, text, type, level, result)                              \
    Step##Name##RR : R[pc->dest] = expression::Op##Name(R[pc->a.reg], R[pc->b.reg]);          \
    ++pc;                                                                                    \
    NEXT();                                                                                  \
    Step##Name##RK : R[pc->dest] = expression::Op##Name(R[pc->a.reg], pc->b.k);               \
    ++pc;                                                                                    \
    NEXT();                                                                                  \
    Step##Name##KR : R[pc->dest] = expression::Op##Name(pc->a.k, R[pc->b.reg]);               \
    ++pc;                                                                                    \
    NEXT();                                                                                  \
    StepUnless##Name##RR : JUMP_IF(expression::Op##Name(R[pc->a.reg], R[pc->b.reg]) == 0.0f);  \
    StepUnless##Name##RK : JUMP_IF(expression::Op##Name(R[pc->a.reg], pc->b.k) == 0.0f);       \
    StepUnless##Name##KR : JUMP_IF(expression::Op##Name(pc->a.k, R[pc->b.reg]) == 0.0f);       \
    StepIf##Name##RR : JUMP_IF(expression::Op##Name(R[pc->a.reg], R[pc->b.reg]) != 0.0f);     \
    StepIf##Name##RK : JUMP_IF(expression::Op##Name(R[pc->a.reg], pc->b.k) != 0.0f);          \
    StepIf##Name##KR : JUMP_IF(expression::Op##Name(pc->a.k, R[pc->b.reg]) != 0.0f);
    EXPRESSION_OPERATORS(STEP_OPERATOR_HANDLERS)
#undef STEP_OPERATOR_HANDLERS

StepMove:
    R[pc->dest] = R[pc->a.reg];
    ++pc;
    NEXT();
StepLoad:
    R[pc->dest] = pc->a.k;
    ++pc;
    NEXT();
StepJump:
    pc = code + pc->target;
    NEXT();
StepUnless:
    JUMP_IF(R[pc->a.reg] == 0.0f);
StepIf:
    JUMP_IF(R[pc->a.reg] != 0.0f);
StepLoadVar: {
    float value = pc->pVar->Get();
    R = run.Refresh();
    R[pc->dest] = value;
    ++pc;
    NEXT();
}
StepStoreVar:
    pc->pVar->Set(R[pc->a.reg]);
    R = run.Refresh();
    ++pc;
    NEXT();
StepLoadInput:
    R[pc->dest] = pc->a.reg < run.cur->nInputs ? run.cur->pInputs[pc->a.reg] : 0.0f;
    ++pc;
    NEXT();
StepCallFunction: {
    float value = CallExpressionFunction(pc->pFunction, R + pc->a.reg, pc->nCount);
    R = run.Refresh();
    R[pc->dest] = value;
    ++pc;
    NEXT();
}
StepOperator: {
    float value = RunOperator(pc->pOperator, R[pc->a.reg], R[pc->b.reg]);
    R = run.Refresh();
    R[pc->dest] = value;
    ++pc;
    NEXT();
}
StepWait: {
    int ticks = TruncToInt(R[pc->a.reg]);
    if (ticks >= 1) {
        run.At(pc->instruction);
        run.PushFrames();
        run.SaveLocals(*run.cur);
        return run.Leave(ticks);
    }
    ++pc;
    NEXT();
}
StepCall: {
    const TScriptInstruction& in = run.Instruction(pc);
    run.At(pc->instruction);
    TCallLine& line = run.cur->pScript->callLines[static_cast<std::size_t>(pc->b.reg)];
    PassArguments(in, R + pc->a.reg, line, pc->nCount != 0);
    if (run.CanCall(in)) {
        TScript* script = CalledScript(in.pFunc->args, &line.lookup);
        if (script && script->bRunnable) {
            if (run.pThread->EndsPastCallDepth(run.pThread->stack.size() + run.nUnframed))
                return run.Leave(-1);
            GO_ON_AT(run.Call(script, pc + 1));
        }
        // A script that failed to load would end at once.
        ++pc;
        NEXT();
    }
    run.PushFrames();
    CScriptFunction* frame = run.cur->pFrame;
    run.SaveLocals(*run.cur);
    CScriptThread* thread = run.pThread;
    const std::size_t depth = thread ? thread->stack.size() : 0;
    CallSystemFunction(in, line.lookup);
    if (thread) {
        // A stopped thread is left alone; a frame pushed by "CallFunction" runs at once; any other
        // change of the stack is the caller's to look at.
        if (thread->bStopped)
            return run.Leave(0);
        if (thread->stack.size() == depth + 1)
            GO_ON_AT(run.EnterTop());
        if (thread->stack.size() != depth || &thread->stack.back() != frame)
            return run.Leave(0);
    }
    R = run.Refresh();
    ++pc;
    NEXT();
}
StepEnd: {
    // A script's end: a call returns to its caller, whose registers are still in place; a
    // thread's frame is popped and the frame below taken up.
    if (CScriptThread* thread = run.pThread) {
        if (run.cur->pFrame)
            thread->PopFunction();
        const TStep* caller = run.Return();
        GO_ON_AT(caller ? caller : run.EnterTop());
    }
    // A frame run on its own: only a thread's run makes calls, so this is its only script.
    run.At(pc->instruction);
    run.SaveLocals(*run.cur);
    return run.Leave(-1);
}
StepReturn:
    return run.Leave(0);

instructionDone:  // reached only when running one instruction
    __attribute__((unused));
    run.At(run.InstructionAt(pc) - 1);
    run.SaveLocals(*run.cur);
    return run.Leave(0);

#undef GO_ON_AT
#undef JUMP_IF
#undef NEXT
#undef DISPATCH
}

}  // namespace

int RunThreadSteps(CScriptThread& thread)
{
    TRun run;
    run.pThread = &thread;
    const TStep* pc = run.EnterTop();
    if (!pc)
        return run.Leave(-1);
    return Loop<false>(run, pc);
}

int RunFrameSteps(CScriptFunction& frame, bool bOneInstruction)
{
    TRun run;
    if (!bOneInstruction) {
        const TStep* pc = run.Enter(frame, frame.nInstrIndex + 1);
        return pc ? Loop<false>(run, pc) : run.Leave(-1);
    }
    const TStep* pc = run.Enter(frame, frame.nInstrIndex);
    if (!pc)
        return run.Leave(-1);
    // An instruction with no steps (a label, the end of an if) does nothing.
    const std::vector<int>& starts = run.cur->pScript->codeStart;
    if (starts[static_cast<std::size_t>(frame.nInstrIndex)] == starts[static_cast<std::size_t>(frame.nInstrIndex) + 1])
        return run.Leave(0);
    return Loop<true>(run, pc);
}

void RunExpressionSteps(const TStep* code, int nRegisters, const float* locals, int nLocals, const float* inputs,
                        int nInputs, float* slots, int nSlots)
{
    TRun run;
    TActivation& a = run.Push(run.nBase);
    a.pCode = code;
    a.pInputs = inputs;
    a.nInputs = nInputs;
    a.nRegisters = nRegisters;
    float* R = run.Reserve();
    std::copy(locals, locals + nLocals, R);
    Loop<false>(run, code);
    // The run has left; its registers are still where it left them.
    R = g_Registers.data() + run.nBase;
    std::copy(R + nLocals, R + nLocals + nSlots, slots);
}

}  // namespace script
