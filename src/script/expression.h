// Compiled expressions: a flat list of three-address instructions over 128 private float slots,
// built once at script load. A script runs its expressions as steps written into its own; an
// expression evaluated on its own runs steps of its own. The pool keeps every compiled expression
// at a fixed address until exit, so script instructions hold plain pointers to them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/arraylist.h"
#include "script/expressionbase.h"
#include "script/slots.h"
#include "script/steps.h"

namespace expression {

enum EParamType { PT_NULL = 0, PT_NUMBER = 1, PT_MEM = 2, PT_VAR = 3, PT_LOCAL = 4, PT_INPUT = 5 };

enum EExpressionInstructionType { EI_NONE = 0, EI_MOVE = 1, EI_OPERATOR = 2, EI_FUNCTION = 3 };

struct TExprParam {
    int type = PT_NULL;
    float value = 0.0f;
    int index = 0;
    TVar* pVar = nullptr;
};

// type and paramCount side by side, so that no padding falls before the pointers: the pool keeps
// every instruction to the end.
struct TExpressionInstruction {
    int type = EI_NONE;
    int paramCount = 0;
    const TOperatorData* pOperator = nullptr;
    const TFunction* pFunction = nullptr;
    // Operators use two slots; calls of functions with more arguments make the others.
    CSlots<TExprParam, MAX_FUNCTION_PARAM_COUNT, 2> params;
    TExprParam outparam;
};

std::string ParamToString(const TExprParam& p);
std::string InstructionToString(const TExpressionInstruction& instr);

}  // namespace expression

class CTokenList;

// What evaluating an expression on its own takes: the 128 memory slots (all 0.0 at first) and
// the steps it runs. Made at the first such evaluation (or the first look at a slot): the
// expressions of scripts run as steps of their scripts and never need them.
class CExpressionMemory {
public:
    static constexpr int SLOTS = 128;

    float& operator[](int i) { return State().slots[i]; }
    float* Slots() { return State().slots; }
    std::vector<script::TStep>& Steps() { return State().steps; }
    int& StepLocals() { return State().nLocals; }
    int& StepRegisters() { return State().nRegisters; }
    // The steps go with the code they were written from; the slots stay.
    void ForgetSteps()
    {
        if (state)
            state->steps.clear();
    }
    void Clear() { state.reset(); }

private:
    struct TState {
        float slots[SLOTS] = {};
        std::vector<script::TStep> steps;
        int nLocals = 0;
        int nRegisters = 0;
    };
    std::unique_ptr<TState> state;

    TState& State()
    {
        if (!state)
            state = std::make_unique<TState>();
        return *state;
    }
};

class CExpression {
public:
    static constexpr int MEM_SLOTS = CExpressionMemory::SLOTS;
    static constexpr int MAX_COMPILE_SLOTS = 256;

    std::vector<expression::TExpressionInstruction> instructions;
    CExpressionMemory mem;
    int memCount = 0;
    const float* pLocals = nullptr;
    const float* pInputs = nullptr;
    int nInputs = 0;

    CExpression() = default;
    // Copies carry the compiled code but not the slot values.
    CExpression(const CExpression& other);
    CExpression& operator=(const CExpression& other);

    // The local names are searched through the index when one is given.
    bool Compile(std::string_view text, const CStringList& localNames, const CLocalIndex* localIndex = nullptr);
    // The caller's arrays must cover every local and input the expression reads.
    float Evaluate(const float* locals, const float* inputs);
    // Inputs at or past count read 0.0.
    float Evaluate(const float* locals, const float* inputs, int count);

    bool CompileTokens(const CTokenList& tokens, const CStringList& localNames,
                       const CLocalIndex* localIndex = nullptr);
    expression::TExprParam CompileRange(const CTokenList& tokens, int Start, int End, int outSlot,
                                        const CStringList& localNames, const CLocalIndex* localIndex = nullptr);
    void RenumberMemSlots();
    float ParamValue(const expression::TExprParam& p);
    void Clear();
    void AddInstruction(const expression::TExpressionInstruction& instr) { instructions.push_back(instr); }
    expression::TExpressionInstruction* GetInstruction(int i) { return &instructions[static_cast<std::size_t>(i)]; }
    const expression::TExpressionInstruction& Instruction(int i) const
    {
        return instructions[static_cast<std::size_t>(i)];
    }
    int InstructionCount() const { return static_cast<int>(instructions.size()); }
    // The highest local index the expression reads, or -1.
    int MaxLocal() const;

private:
    bool bFailed = false;

    int NextSlot();
    bool CompileRoot(const CTokenList& tokens, const CStringList& localNames, const CLocalIndex* localIndex);
};

class CExpressionPool : public ArrayList<CExpression> {
public:
    CExpression* AddExpression(std::string_view text, const CStringList& localNames,
                               const CLocalIndex* localIndex = nullptr);
};

extern CExpressionPool g_ExpressionPool;
