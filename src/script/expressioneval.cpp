// Evaluating an expression on its own: its instructions are written as steps at the first
// evaluation and run by the step loop, with the locals it reads copied in front of its slots.
#include <algorithm>
#include <cassert>

#include "script/expression.h"

using namespace expression;

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

int CExpression::MaxLocal() const
{
    int highest = -1;
    for (const TExpressionInstruction& in : instructions)
        for (int i = 0; i < in.paramCount; ++i)
            if (in.params[i].type == PT_LOCAL)
                highest = std::max(highest, in.params[i].index);
    return highest;
}

// Registers: the locals read, then slot 0, the other slots and the values loaded on the way.
float CExpression::Evaluate(const float* locals, const float* inputs, int count)
{
    pLocals = locals;
    pInputs = inputs;
    nInputs = count;
    if (instructions.empty())
        return mem[0];
    std::vector<script::TStep>& steps = mem.Steps();
    int& nLocals = mem.StepLocals();
    int& nRegisters = mem.StepRegisters();
    if (steps.empty()) {
        nLocals = MaxLocal() + 1;
        script::CStepWriter writer(steps);
        nRegisters = nLocals + 1 + writer.Value(*this, nLocals + 1, nLocals);
        writer.Add(script::SO_Return);
    }
    script::RunExpressionSteps(steps.data(), nRegisters, locals, nLocals, inputs, count, mem.Slots(),
                               InstructionCount());
    return mem[0];
}

float CExpression::Evaluate(const float* locals, const float* inputs)
{
    return Evaluate(locals, inputs, inputs ? 0x7fffffff : 0);
}
