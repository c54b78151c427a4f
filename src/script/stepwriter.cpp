// Writes a compiled expression as steps: each instruction becomes one step over registers, with
// constants held in the step, the values of variables and inputs loaded just before the step that
// reads them (in the order the evaluation reads them), and the root written straight to where the
// value is wanted, or fused with the jump that tests it.
#include <cassert>

#include "script/expression.h"
#include "script/steps.h"

using namespace expression;

namespace script {

TStep& CStepWriter::Add(EStepOp op)
{
    TStep& step = steps.emplace_back();
    step.op = op;
    return step;
}

// Slots 1 and up take the registers from nScratch on (slot 0 is the result, written by the last
// instruction only); the values an instruction loads on the way take the registers after them.
void CStepWriter::Begin(const CExpression& e, int nScratch)
{
    nSlotBase = nScratch;
    nStaging = nScratch + std::max(e.InstructionCount() - 1, 0);
    nUsed = nStaging - nScratch;
}

void CStepWriter::LoadInto(const TExprParam& p, std::int32_t reg)
{
    switch (p.type) {
    case PT_VAR:
        Add(SO_LoadVar).pVar = p.pVar;
        break;
    case PT_INPUT:
        Add(SO_LoadInput).a.reg = p.index;
        break;
    case PT_MEM:
    case PT_LOCAL: {
        std::int32_t from = p.type == PT_MEM ? Slot(p.index) : p.index;
        if (from == reg)
            return;
        Add(SO_Move).a.reg = from;
        break;
    }
    case PT_NULL:
    case PT_NUMBER:
        Add(SO_Load).a.k = p.type == PT_NUMBER ? p.value : 0.0f;
        break;
    default:
        assert(false && "Invalid Param Type");
        Add(SO_Load).a.k = 0.0f;
        break;
    }
    steps.back().dest = reg;
}

std::int32_t CStepWriter::NewStaging()
{
    nUsed = std::max(nUsed, nStaging + 1 - nSlotBase);
    return nStaging++;
}

// Constants stay in the step; variables and inputs are loaded first.
CStepWriter::TValue CStepWriter::Operand(const TExprParam& p)
{
    switch (p.type) {
    case PT_NULL:
        return {true, 0, 0.0f};
    case PT_NUMBER:
        return {true, 0, p.value};
    case PT_MEM:
        return {false, Slot(p.index), 0.0f};
    case PT_LOCAL:
        return {false, p.index, 0.0f};
    default: {
        std::int32_t reg = NewStaging();
        LoadInto(p, reg);
        return {false, reg, 0.0f};
    }
    }
}

std::int32_t CStepWriter::Staged(const TValue& v)
{
    if (!v.bConstant)
        return v.reg;
    std::int32_t reg = NewStaging();
    TStep& load = Add(SO_Load);
    load.dest = reg;
    load.a.k = v.k;
    return reg;
}

// The step of a built-in operator over a and b, of which at most one is a constant.
TStep& CStepWriter::OperatorStep(int builtin, EStepUse use, const TValue& a, const TValue& b)
{
    EStepForm form = b.bConstant ? SF_RK : a.bConstant ? SF_KR : SF_RR;
    TStep& step = Add(script::OperatorStep(builtin, use, form));
    if (a.bConstant)
        step.a.k = a.k;
    else
        step.a.reg = a.reg;
    if (b.bConstant)
        step.b.k = b.k;
    else
        step.b.reg = b.reg;
    return step;
}

// A two-operand operator reads its right operand first; a one-operand operator gets 0.0 as b.
void CStepWriter::Operands(const TExpressionInstruction& in, TValue& a, TValue& b)
{
    b = {true, 0, 0.0f};
    if (in.pOperator->type == OT_BINARY)
        b = Operand(in.params[1]);
    a = Operand(in.params[0]);
}

void CStepWriter::Instruction(const TExpressionInstruction& in, std::int32_t nResult)
{
    assert(in.outparam.type == PT_MEM && "pInstr->outparam.type==PT_MEM");
    const std::int32_t staging = nStaging;
    switch (in.type) {
    case EI_MOVE:
        LoadInto(in.params[0], nResult);
        break;
    case EI_OPERATOR: {
        TValue a, b;
        Operands(in, a, b);
        int builtin = BuiltinOperator(in.pOperator);
        if (builtin == BO_COUNT) {
            std::int32_t aReg = Staged(a);
            std::int32_t bReg = Staged(b);
            TStep& step = Add(SO_Operator);
            step.a.reg = aReg;
            step.b.reg = bReg;
            step.pOperator = in.pOperator;
            step.dest = nResult;
        } else if (a.bConstant && b.bConstant) {
            TStep& load = Add(SO_Load);
            load.dest = nResult;
            load.a.k = in.pOperator->func(a.k, b.k);
        } else {
            OperatorStep(builtin, SU_VALUE, a, b).dest = nResult;
        }
        break;
    }
    case EI_FUNCTION: {
        // The arguments go to consecutive registers, read in order.
        const std::int32_t first = nStaging;
        for (int i = 0; i < in.paramCount; ++i)
            LoadInto(in.params[i], NewStaging());
        TStep& call = Add(SO_CallFunction);
        call.dest = nResult;
        call.a.reg = first;
        call.nCount = static_cast<std::uint16_t>(in.paramCount);
        call.pFunction = in.pFunction;
        break;
    }
    default:
        break;
    }
    nStaging = staging;
}

int CStepWriter::Value(const CExpression& e, int nScratch, std::int32_t nResult)
{
    Begin(e, nScratch);
    const int n = e.InstructionCount();
    if (n == 0) {
        // Slot 0 of an expression with no instructions is never written.
        TStep& load = Add(SO_Load);
        load.dest = nResult;
        load.a.k = 0.0f;
    }
    for (int i = 0; i < n; ++i) {
        const TExpressionInstruction& in = e.Instruction(i);
        Instruction(in, i + 1 == n ? nResult : Slot(in.outparam.index));
    }
    return nUsed;
}

int CStepWriter::Branch(const CExpression& e, int nScratch, bool bWhenTrue, std::vector<std::size_t>& jumps)
{
    // The register the value goes to when the jump cannot test the root itself.
    const std::int32_t valueReg = nScratch;
    Begin(e, nScratch + 1);
    const int n = e.InstructionCount();
    for (int i = 0; i + 1 < n; ++i) {
        const TExpressionInstruction& in = e.Instruction(i);
        Instruction(in, Slot(in.outparam.index));
    }
    auto constant = [&](float value) {
        if (bWhenTrue ? value != 0.0f : value == 0.0f) {
            jumps.push_back(steps.size());
            Add(SO_Jump);
        }
        return nUsed + 1;
    };
    if (n == 0)
        return constant(0.0f);
    const TExpressionInstruction& root = e.Instruction(n - 1);
    const EStepUse use = bWhenTrue ? SU_IF : SU_UNLESS;
    const int builtin = root.type == EI_OPERATOR ? BuiltinOperator(root.pOperator) : BO_COUNT;
    if (builtin != BO_COUNT) {
        TValue a, b;
        Operands(root, a, b);
        if (a.bConstant && b.bConstant)
            return constant(root.pOperator->func(a.k, b.k));
        jumps.push_back(steps.size());
        OperatorStep(builtin, use, a, b);
        return nUsed + 1;
    }
    std::int32_t tested = valueReg;
    if (root.type == EI_MOVE && (root.params[0].type == PT_NUMBER || root.params[0].type == PT_NULL))
        return constant(root.params[0].type == PT_NUMBER ? root.params[0].value : 0.0f);
    if (root.type == EI_MOVE && root.params[0].type == PT_LOCAL)
        tested = root.params[0].index;
    else
        Instruction(root, valueReg);
    jumps.push_back(steps.size());
    Add(bWhenTrue ? SO_If : SO_Unless).a.reg = tested;
    return nUsed + 1;
}

}  // namespace script
