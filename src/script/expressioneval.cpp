// The evaluator. Compiled instructions are translated once into a compact form whose operands
// are (base, index) pairs, so the common case runs as a tight loop with no lookups, no calls
// through pointers and no allocation; the instruction list itself stays the reference form.
#include <cassert>

#include "script/expression.h"

using namespace expression;

namespace {

int BuiltinOp(const TOperatorData* op, int paramCount)
{
    if (!op)
        return FO_GENERIC;
    if (op->type == OT_BINARY && paramCount == 2) {
        if (op->func == OpAdd) return FO_ADD;
        if (op->func == OpSub) return FO_SUB;
        if (op->func == OpMul) return FO_MUL;
        if (op->func == OpDiv) return FO_DIV;
        if (op->func == OpEqual) return FO_EQ;
        if (op->func == OpNotEqual) return FO_NE;
        if (op->func == OpLess) return FO_LT;
        if (op->func == OpGreater) return FO_GT;
        if (op->func == OpLessEqual) return FO_LE;
        if (op->func == OpGreaterEqual) return FO_GE;
    }
    if ((op->type == OT_PREFIX || op->type == OT_POSTFIX) && paramCount == 1 && op->func == OpNeg)
        return FO_NEG;
    return FO_GENERIC;
}

}  // namespace

// Operands that need no call (constants, slots, locals, inputs) become (base, index) pairs;
// constants go into a small table whose entry 0 is the 0.0 of an empty operand.
void CExpression::BuildFastOps()
{
    fastOps.clear();
    consts.assign(1, 0.0f);
    maxInput = -1;
    bHasGeneric = false;
    auto source = [this](const TExprParam& p, std::uint8_t& src, std::int32_t& idx) {
        switch (p.type) {
        case PT_NULL:
            src = SRC_CONST;
            idx = 0;
            return true;
        case PT_NUMBER:
            src = SRC_CONST;
            idx = static_cast<std::int32_t>(consts.size());
            consts.push_back(p.value);
            return true;
        case PT_MEM:
            src = SRC_MEM;
            idx = p.index;
            return true;
        case PT_LOCAL:
            src = SRC_LOCAL;
            idx = p.index;
            return true;
        case PT_INPUT:
            src = SRC_INPUT;
            idx = p.index;
            return true;
        default:
            return false;
        }
    };
    for (std::size_t i = 0; i < instructions.size(); ++i) {
        const TExpressionInstruction& instr = instructions[i];
        for (int k = 0; k < instr.paramCount; ++k)
            if (instr.params[k].type == PT_INPUT && instr.params[k].index > maxInput)
                maxInput = instr.params[k].index;
        if (instr.type == EI_NONE)
            continue;
        TFastOp f;
        f.out = static_cast<std::uint8_t>(instr.outparam.index);
        if (instr.type == EI_MOVE)
            f.op = FO_MOVE;
        else if (instr.type == EI_OPERATOR)
            f.op = static_cast<std::uint8_t>(BuiltinOp(instr.pOperator, instr.paramCount));
        else
            f.op = FO_GENERIC;
        bool simple = f.op != FO_GENERIC && source(instr.params[0], f.srcA, f.a) &&
                      (instr.paramCount < 2 || source(instr.params[1], f.srcB, f.b));
        if (!simple) {
            // Both operands read the constant 0.0; the slot field names the instruction to run.
            f = TFastOp();
            f.op = FO_GENERIC;
            f.out = static_cast<std::uint8_t>(i);
            bHasGeneric = true;
        }
        fastOps.push_back(f);
    }
}

float CExpression::ParamValue(const TExprParam& p)
{
    switch (p.type) {
    case PT_NULL:
        return 0.0f;
    case PT_NUMBER:
        return p.value;
    case PT_MEM:
        return mem[p.index];
    case PT_VAR:
        return p.pVar->Get();
    case PT_LOCAL:
        return pLocals[p.index];
    case PT_INPUT:
        return p.index < nInputs ? pInputs[p.index] : 0.0f;
    default:
        assert(false && "Invalid Param Type");
        return 0.0f;
    }
}

void CExpression::RunInstruction(const TExpressionInstruction& instr)
{
    assert(instr.outparam.type == PT_MEM && "pInstr->outparam.type==PT_MEM");
    float& out = mem[instr.outparam.index];
    switch (instr.type) {
    case EI_MOVE:
        out = ParamValue(instr.params[0]);
        break;
    case EI_OPERATOR:
        if (instr.pOperator->type == OT_PREFIX || instr.pOperator->type == OT_POSTFIX) {
            out = instr.pOperator->func(ParamValue(instr.params[0]), 0.0f);
        } else if (instr.pOperator->type == OT_BINARY) {
            float b = ParamValue(instr.params[1]);
            float a = ParamValue(instr.params[0]);
            out = instr.pOperator->func(a, b);
        } else {
            assert(false && "Operator type invalid");
        }
        break;
    case EI_FUNCTION: {
        float args[MAX_FUNCTION_PARAM_COUNT];
        for (int i = 0; i < instr.paramCount; ++i)
            args[i] = ParamValue(instr.params[i]);
        out = instr.pFunction->Calculate(args, instr.paramCount);
        break;
    }
    default:
        break;
    }
}

float CExpression::EvaluateChecked()
{
    for (const TExpressionInstruction& instr : instructions)
        RunInstruction(instr);
    return mem[0];
}

float CExpression::Evaluate(const float* locals, const float* inputs)
{
    return Evaluate(locals, inputs, inputs ? 0x7fffffff : 0);
}
