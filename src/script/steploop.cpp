// The step loop, the one interpreter of the script language: threads, frames run on their own,
// single instructions and lone expressions all run here. Dispatch goes through a table of label
// addresses, one indirect jump per step. A run copies its frame's locals into a window of
// registers when it takes the frame up, and back whenever code outside the loop may run (a system
// function) or the frame is left, so that the frame always holds its values when anyone else
// looks.
#include <algorithm>
#include <cassert>
#include <utility>

#include "foundation/numeric.h"
#include "script/scriptrunner.h"
#include "script/steps.h"

namespace script {

TCallSite* g_pCallSite = nullptr;

namespace {

// The registers of the runs in progress. A run takes a window above the windows of the runs it
// is nested in (a system function may step another runner), and addresses it by its base, since
// a nested run may move the array when it grows it.
std::vector<float> g_Registers;
std::size_t g_RegisterTop = 0;

struct TRun {
    CScriptThread* pThread = nullptr;
    CScriptFunction* pFrame = nullptr;
    TScript* pScript = nullptr;
    const TStep* pCode = nullptr;
    const float* pInputs = nullptr;
    int nInputs = 0;
    int nLocals = 0;
    std::size_t nBase = 0;
    std::size_t nSize = 0;
    float* R = nullptr;

    TRun() : nBase(g_RegisterTop) {}

    float* Registers() { return R = g_Registers.data() + nBase; }

    float* Reserve(std::size_t size)
    {
        if (nBase + size > g_Registers.size())
            g_Registers.resize(std::max(nBase + size, g_Registers.size() * 2));
        nSize = std::max(nSize, size);
        g_RegisterTop = nBase + nSize;
        return Registers();
    }

    void LoadLocals()
    {
        std::vector<float>& locals = pFrame->locals;
        int n = std::min(nLocals, static_cast<int>(locals.size()));
        std::copy(locals.data(), locals.data() + n, R);
        std::fill(R + n, R + nLocals, 0.0f);
    }

    void SaveLocals()
    {
        std::vector<float>& locals = pFrame->locals;
        int n = std::min(nLocals, static_cast<int>(locals.size()));
        std::copy(R, R + n, locals.data());
    }

    // Takes `frame` up at instruction `first`; null when the frame has nothing to run.
    const TStep* Enter(CScriptFunction& frame, int first)
    {
        TScript* script = frame.pScript;
        if (!script || !script->bRunnable)
            return nullptr;
        first = std::clamp(first, 0, script->Length());
        pFrame = &frame;
        pScript = script;
        pCode = script->code.data();
        pInputs = frame.inputs.empty() ? nullptr : frame.inputs.data();
        nInputs = static_cast<int>(frame.inputs.size());
        nLocals = script->localNames.Count();
        Reserve(static_cast<std::size_t>(script->nRegisters));
        LoadLocals();
        return pCode + script->codeStart[static_cast<std::size_t>(first)];
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

    int Leave(int result)
    {
        g_RegisterTop = nBase;
        return result;
    }

    // The instruction whose first step pc is.
    int InstructionAt(const TStep* pc) const
    {
        const std::vector<int>& starts = pScript->codeStart;
        auto it = std::lower_bound(starts.begin(), starts.end(), static_cast<int>(pc - pCode));
        return static_cast<int>(it - starts.begin());
    }
};

// The argument block of a call line's system function, filled as every call fills it: what the
// line wrote as integers, numbers and strings, and the values of its expressions (in registers
// from `values` on). The other fields of a slot keep what earlier calls left.
void PassArguments(const TScriptInstruction& in, const float* values)
{
    TSystemFunc* func = in.pFunc;
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

void CallSystemFunction(const TScriptInstruction& in, TCallSite& site)
{
    TSystemFunc* func = in.pFunc;
    if (!func->pfnHandler)
        return;
    TCallSite* previous = std::exchange(g_pCallSite, &site);
    func->pfnHandler(func->args, in.nParamCount);
    g_pCallSite = previous;
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
    const TStep* code = run.pCode;

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
    R = run.Registers();
    R[pc->dest] = value;
    ++pc;
    NEXT();
}
StepStoreVar:
    pc->pVar->Set(R[pc->a.reg]);
    R = run.Registers();
    ++pc;
    NEXT();
StepLoadInput:
    R[pc->dest] = pc->a.reg < run.nInputs ? run.pInputs[pc->a.reg] : 0.0f;
    ++pc;
    NEXT();
StepCallFunction: {
    float value = CallExpressionFunction(pc->pFunction, R + pc->a.reg, pc->nCount);
    R = run.Registers();
    R[pc->dest] = value;
    ++pc;
    NEXT();
}
StepOperator: {
    float value = RunOperator(pc->pOperator, R[pc->a.reg], R[pc->b.reg]);
    R = run.Registers();
    R[pc->dest] = value;
    ++pc;
    NEXT();
}
StepWait: {
    int ticks = TruncToInt(R[pc->a.reg]);
    if (ticks >= 1) {
        run.pFrame->nInstrIndex = pc->instruction;
        run.SaveLocals();
        return run.Leave(ticks);
    }
    ++pc;
    NEXT();
}
StepCall: {
    CScriptFunction* frame = run.pFrame;
    frame->nInstrIndex = pc->instruction;
    const TScriptInstruction& in = run.pScript->instructions[static_cast<std::size_t>(pc->instruction)];
    PassArguments(in, R + pc->a.reg);
    run.SaveLocals();
    CScriptThread* thread = run.pThread;
    const std::size_t depth = thread ? thread->stack.size() : 0;
    CallSystemFunction(in, run.pScript->callSites[static_cast<std::size_t>(pc->b.reg)]);
    if (thread) {
        // A stopped thread is left alone; a frame pushed by "CallFunction" runs at once; any other
        // change of the stack is the caller's to look at.
        if (thread->bStopped)
            return run.Leave(0);
        if (thread->stack.size() == depth + 1) {
            pc = run.EnterTop();
            if (!pc)
                return run.Leave(-1);
            R = run.R;
            code = run.pCode;
            DISPATCH();
        }
        if (thread->stack.size() != depth || &thread->stack.back() != frame)
            return run.Leave(0);
    }
    R = run.Registers();
    run.LoadLocals();
    ++pc;
    NEXT();
}
StepEnd:
    if (CScriptThread* thread = run.pThread) {
        thread->PopFunction();
        pc = run.EnterTop();
        if (!pc)
            return run.Leave(-1);
        R = run.R;
        code = run.pCode;
        DISPATCH();
    }
    run.pFrame->nInstrIndex = pc->instruction;
    run.SaveLocals();
    return run.Leave(-1);
StepReturn:
    return run.Leave(0);

instructionDone:  // reached only when running one instruction
    __attribute__((unused));
    run.pFrame->nInstrIndex = run.InstructionAt(pc) - 1;
    run.SaveLocals();
    return run.Leave(0);

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
    const std::vector<int>& starts = run.pScript->codeStart;
    if (starts[static_cast<std::size_t>(frame.nInstrIndex)] == starts[static_cast<std::size_t>(frame.nInstrIndex) + 1])
        return run.Leave(0);
    return Loop<true>(run, pc);
}

void RunExpressionSteps(const TStep* code, int nRegisters, const float* locals, int nLocals, const float* inputs,
                        int nInputs, float* slots, int nSlots)
{
    TRun run;
    run.pCode = code;
    run.pInputs = inputs;
    run.nInputs = nInputs;
    float* R = run.Reserve(static_cast<std::size_t>(nRegisters));
    std::copy(locals, locals + nLocals, R);
    Loop<false>(run, code);
    R = run.Registers();
    std::copy(R + nLocals, R + nLocals + nSlots, slots);
}

}  // namespace script
