// The steps of a linked script: every instruction becomes the steps that carry it out, over the
// frame's locals and the scratch registers after them.
//
// Two rules of the language live here in step form. The end of a while tests the condition
// itself and jumps back into the body, so a loop turn takes one test. An elseif's first step
// leaves its chain, for a branch that runs on into it; the false jump of the if or elseif before
// it in the same chain lands just after that step, on the test of its condition.
#include <algorithm>

#include "script/scriptbase.h"

using namespace script;

namespace {

class CCodeBuilder {
public:
    explicit CCodeBuilder(TScript& script) : s(script), writer(script.code) {}

    void Build();

private:
    struct TJump {
        std::size_t step;
        int instruction;
        bool bPastLeave;  // lands after the leaving step of an elseif
    };

    TScript& s;
    CStepWriter writer;
    // Kept from one build to the next: scripts are built one at a time.
    static std::vector<TJump> jumps;
    static std::vector<std::size_t> written;
    int nScratch = 0;
    int nScratchUsed = 0;

    void Use(int registers) { nScratchUsed = std::max(nScratchUsed, registers); }
    void Jump(int instruction)
    {
        jumps.push_back({s.code.size(), instruction, false});
        writer.Add(SO_Jump);
    }
    // Steps that jump to `instruction` when e's value is 0.0 (bWhenTrue: when it is not).
    void Branch(const CExpression* e, bool bWhenTrue, int instruction, bool bPastLeave)
    {
        written.clear();
        Use(writer.Branch(*e, nScratch, bWhenTrue, written));
        for (std::size_t step : written)
            jumps.push_back({step, instruction, bPastLeave});
    }
    // Steps that leave the value of slot (a number or an expression) in register `reg`, using
    // scratch registers from `scratch` on.
    void Value(const TScriptParam& slot, std::int32_t reg, int scratch)
    {
        if (slot.type == SPT_EXPR) {
            Use(scratch - nScratch + writer.Value(*slot.pExpr, scratch, reg));
        } else {
            TStep& load = writer.Add(SO_Load);
            load.dest = reg;
            load.a.k = slot.fValue;
        }
    }
    void Instruction(int i);
};

void CCodeBuilder::Instruction(int i)
{
    const TScriptInstruction& in = s.instructions[static_cast<std::size_t>(i)];
    switch (in.type) {
    case SIT_ASSIGN: {
        const TScriptParam& target = in.params[0];
        if (target.type == SPT_LOCAL) {
            Value(in.params[1], target.nValue, nScratch);
            break;
        }
        // A variable without a setter is left alone, and its value is not even worked out.
        if (target.pVar->type == expression::VT_FUNC && !target.pVar->setter)
            break;
        Value(in.params[1], nScratch, nScratch + 1);
        Use(1);
        TStep& store = writer.Add(SO_StoreVar);
        store.a.reg = nScratch;
        store.pVar = target.pVar;
        break;
    }
    case SIT_WAIT: {
        Value(in.params[0], nScratch, nScratch + 1);
        Use(1);
        TStep& wait = writer.Add(SO_Wait);
        wait.a.reg = nScratch;
        wait.instruction = i;
        break;
    }
    case SIT_CALL: {
        // Argument k's value, when it has one to work out, goes to scratch register k.
        const int args = in.nParamCount;
        Use(args);
        bool bConstants = true;
        for (int k = 0; k < args; ++k) {
            if (in.params[k].type == SPT_EXPR) {
                Value(in.params[k], nScratch + k, nScratch + args);
                bConstants = false;
            }
        }
        TStep& call = writer.Add(SO_Call);
        call.a.reg = nScratch;
        call.b.reg = static_cast<std::int32_t>(s.callLines.size());
        call.instruction = i;
        call.nCount = bConstants ? 1 : 0;
        s.callLines.emplace_back();
        break;
    }
    case SIT_ELSEIF:
        Jump(in.nChainEnd);
        [[fallthrough]];
    case SIT_IF:
    case SIT_WHILE: {
        int target = in.params[1].nValue;
        Branch(in.params[0].pExpr, false, target, in.bFalseToElseIf);
        break;
    }
    case SIT_ELSE:
    case SIT_CONTINUE:
    case SIT_BREAK:
        Jump(in.params[0].nValue);
        break;
    case SIT_GOTO:
        Jump(in.params[1].nValue);
        break;
    case SIT_END:
        if (in.params[0].type == SPT_INT) {
            int loop = in.params[0].nValue;
            Branch(s.instructions[static_cast<std::size_t>(loop)].params[0].pExpr, true, loop + 1, false);
        }
        break;
    default:
        break;
    }
}

std::vector<CCodeBuilder::TJump> CCodeBuilder::jumps;
std::vector<std::size_t> CCodeBuilder::written;

void CCodeBuilder::Build()
{
    const int n = s.Length();
    jumps.clear();
    s.code.clear();
    s.code.reserve(static_cast<std::size_t>(n) * 3 + 1);
    s.callLines.clear();
    s.codeStart.assign(static_cast<std::size_t>(n) + 1, 0);
    nScratch = s.localNames.Count();
    for (int i = 0; i < n; ++i) {
        s.codeStart[static_cast<std::size_t>(i)] = static_cast<int>(s.code.size());
        Instruction(i);
    }
    s.codeStart[static_cast<std::size_t>(n)] = static_cast<int>(s.code.size());
    writer.Add(SO_End).instruction = n;
    for (const TJump& jump : jumps) {
        int t = std::clamp(jump.instruction, 0, n);
        s.code[jump.step].target = s.codeStart[static_cast<std::size_t>(t)] + (jump.bPastLeave ? 1 : 0);
    }
    for (int start : s.codeStart)
        s.code[static_cast<std::size_t>(start)].bStartsInstruction = true;
    s.nRegisters = nScratch + nScratchUsed;
}

}  // namespace

void TScript::BuildCode() { CCodeBuilder(*this).Build(); }
