// Compiled expressions: a flat list of three-address instructions over 128 private float slots,
// built once at script load and evaluated every tick. The pool keeps every compiled expression
// at a fixed address until exit, so script instructions hold plain pointers to them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/arraylist.h"
#include "script/expressionbase.h"

namespace expression {

enum EParamType { PT_NULL = 0, PT_NUMBER = 1, PT_MEM = 2, PT_VAR = 3, PT_LOCAL = 4, PT_INPUT = 5 };

enum EExpressionInstructionType { EI_NONE = 0, EI_MOVE = 1, EI_OPERATOR = 2, EI_FUNCTION = 3 };

struct TExprParam {
    int type = PT_NULL;
    float value = 0.0f;
    int index = 0;
    TVar* pVar = nullptr;
};

struct TExpressionInstruction {
    int type = EI_NONE;
    const TOperatorData* pOperator = nullptr;
    const TFunction* pFunction = nullptr;
    TExprParam params[MAX_FUNCTION_PARAM_COUNT];
    int paramCount = 0;
    TExprParam outparam;
};

// The evaluator's own form of an instruction: operands are read as bases[src][index], where the
// bases are the expression's constants, its slots, the frame's locals and the frame's inputs, and
// built-in operators run inline. Anything else (variables, functions, operators registered by
// others) is handed back to the general path.
enum EFastOp : std::uint8_t {
    FO_MOVE,
    FO_ADD,
    FO_SUB,
    FO_MUL,
    FO_DIV,
    FO_NEG,
    FO_EQ,
    FO_NE,
    FO_LT,
    FO_GT,
    FO_LE,
    FO_GE,
    FO_GENERIC,
};

enum EFastSource : std::uint8_t { SRC_CONST = 0, SRC_MEM = 1, SRC_LOCAL = 2, SRC_INPUT = 3 };

struct TFastOp {
    std::uint8_t op = 0;
    std::uint8_t srcA = 0;
    std::uint8_t srcB = 0;
    std::uint8_t out = 0;
    std::int32_t a = 0;
    std::int32_t b = 0;
};

std::string ParamToString(const TExprParam& p);
std::string InstructionToString(const TExpressionInstruction& instr);

}  // namespace expression

class CTokenList;

class CExpression {
public:
    static constexpr int MEM_SLOTS = 128;
    static constexpr int MAX_COMPILE_SLOTS = 256;

    std::vector<expression::TExpressionInstruction> instructions;
    float mem[MEM_SLOTS] = {};
    int memCount = 0;
    const float* pLocals = nullptr;
    const float* pInputs = nullptr;
    int nInputs = 0;

    CExpression() = default;
    // Copies carry the compiled code but not the slot values.
    CExpression(const CExpression& other);
    CExpression& operator=(const CExpression& other);

    bool Compile(const std::string& text, const CStringList& localNames);
    // The caller's arrays must cover every local and input the expression reads.
    float Evaluate(const float* locals, const float* inputs);
    // Inputs at or past count read 0.0. Inline, so that each caller gets its own dispatch.
    inline float Evaluate(const float* locals, const float* inputs, int count);

    bool CompileTokens(const CTokenList& tokens, const CStringList& localNames);
    expression::TExprParam CompileRange(const CTokenList& tokens, int Start, int End, int outSlot,
                                        const CStringList& localNames);
    void RenumberMemSlots();
    float ParamValue(const expression::TExprParam& p);
    void Clear();
    void AddInstruction(const expression::TExpressionInstruction& instr) { instructions.push_back(instr); }
    expression::TExpressionInstruction* GetInstruction(int i) { return &instructions[static_cast<std::size_t>(i)]; }
    int InstructionCount() const { return static_cast<int>(instructions.size()); }

    const std::vector<expression::TFastOp>& FastOps() const { return fastOps; }
    const std::vector<float>& Consts() const { return consts; }
    int MaxInput() const { return maxInput; }

private:
    std::vector<expression::TFastOp> fastOps;
    std::vector<float> consts;
    int maxInput = -1;
    bool bHasGeneric = false;
    bool bFailed = false;

    int NextSlot();
    void BuildFastOps();
    void RunInstruction(const expression::TExpressionInstruction& instr);
    float EvaluateChecked();
};

inline float CExpression::Evaluate(const float* locals, const float* inputs, int count)
{
    using namespace expression;
    if (maxInput >= count || bHasGeneric) {
        pLocals = locals;
        pInputs = inputs;
        nInputs = count;
        if (maxInput >= count)
            return EvaluateChecked();
    }
    const float* bases[4] = {consts.data(), mem, locals, inputs};
    for (const TFastOp *o = fastOps.data(), *e = o + fastOps.size(); o != e; ++o) {
        float a = bases[o->srcA][o->a];
        float b = bases[o->srcB][o->b];
        float& out = mem[o->out];
        switch (o->op) {
        case FO_MOVE: out = a; break;
        case FO_ADD: out = a + b; break;
        case FO_SUB: out = a - b; break;
        case FO_MUL: out = a * b; break;
        case FO_DIV: out = a / b; break;
        case FO_NEG: out = -a; break;
        case FO_EQ: out = a == b ? 1.0f : 0.0f; break;
        case FO_NE: out = a != b ? 1.0f : 0.0f; break;
        case FO_LT: out = a < b ? 1.0f : 0.0f; break;
        case FO_GT: out = a > b ? 1.0f : 0.0f; break;
        case FO_LE: out = a <= b ? 1.0f : 0.0f; break;
        case FO_GE: out = a >= b ? 1.0f : 0.0f; break;
        default: RunInstruction(instructions[o->out]); break;
        }
    }
    return mem[0];
}

class CExpressionPool : public ArrayList<CExpression> {
public:
    CExpression* AddExpression(const std::string& text, const CStringList& localNames);
};

extern CExpressionPool g_ExpressionPool;
