// The one executable form of the script language: a linked script, and an expression evaluated on
// its own, run as a flat list of small steps over one array of float registers (the frame's
// locals first, then the scratch values of the statement being run). Operands are resolved when
// the steps are written: a register index or a constant held in the step.
#pragma once

#include <cstdint>
#include <vector>

#include "script/operators.h"

class CExpression;
class CScriptLibrary;
struct TScript;

namespace expression {
struct TExprParam;
struct TExpressionInstruction;
}  // namespace expression

namespace script {

class CScriptFunction;
class CScriptThread;

// The forms of one built-in operator, in this order: writing its result, jumping when the result
// is 0.0, jumping when it is not; each with two registers, a register and a constant, or a
// constant and a register as its operands.
#define STEP_OPERATOR_FORMS(X, Name)                                                               \
    X(Name##RR) X(Name##RK) X(Name##KR)                                                            \
    X(Unless##Name##RR) X(Unless##Name##RK) X(Unless##Name##KR)                                    \
    X(If##Name##RR) X(If##Name##RK) X(If##Name##KR)

// The steps that are no operator form.
#define STEP_CONTROL(X)                                                                            \
    X(Move)         /* dest = register a */                                                        \
    X(Load)         /* dest = constant a */                                                        \
    X(Jump)         /* to target */                                                                \
    X(Unless)       /* to target when register a is 0.0 */                                         \
    X(If)           /* to target when register a is not 0.0 */                                     \
    X(LoadVar)      /* dest = pVar's value */                                                      \
    X(StoreVar)     /* pVar = register a */                                                        \
    X(LoadInput)    /* dest = input a of the frame, 0.0 past its inputs */                         \
    X(CallFunction) /* dest = pFunction of registers a to a + nCount - 1 */                        \
    X(Operator)     /* dest = pOperator of registers a and b */                                    \
    X(Wait)         /* waits register a ticks, when that is 1 or more */                           \
    X(Call)         /* the instruction's system function; its values are in registers from a on,   \
                       the line's record is b, and nCount is 1 when it passes only constants */    \
    X(End)          /* the script has run past its last instruction */                             \
    X(Return)       /* a lone expression is done */

enum EStepOp : std::uint8_t {
#define STEP_ENUM(Name) SO_##Name,
#define STEP_OPERATOR_ENUM(Name, text, type, level, result) STEP_OPERATOR_FORMS(STEP_ENUM, Name)
    STEP_CONTROL(STEP_ENUM) EXPRESSION_OPERATORS(STEP_OPERATOR_ENUM)
#undef STEP_OPERATOR_ENUM
#undef STEP_ENUM
        SO_COUNT
};

enum EStepForm { SF_RR = 0, SF_RK = 1, SF_KR = 2 };
enum EStepUse { SU_VALUE = 0, SU_UNLESS = 3, SU_IF = 6 };

// The step of a built-in operator in one use and operand form.
inline EStepOp OperatorStep(int builtin, EStepUse use, EStepForm form)
{
    return static_cast<EStepOp>(SO_AddRR + builtin * 9 + use + form);
}
static_assert(SO_SubRR == SO_AddRR + 9 && SO_IfGreaterEqualKR == SO_COUNT - 1, "operator forms out of order");

union TOperand {
    std::int32_t reg;
    float k;
};

struct TStep {
    EStepOp op = SO_End;
    // The first step of an instruction: running one instruction stops when it gets there.
    bool bStartsInstruction = false;
    std::uint16_t nCount = 0;
    union {
        std::int32_t dest = 0;  // the register written
        std::int32_t target;    // the step a jump goes to
        // The instruction of a step that can leave the loop (a wait, a call, the end).
        std::int32_t instruction;
    };
    TOperand a{0};
    TOperand b{0};
    union {
        const expression::TVar* pVar = nullptr;
        const expression::TFunction* pFunction;
        const expression::TOperatorData* pOperator;
    };
};
static_assert(sizeof(TStep) == 24, "a step is three words");

// What "CallFunction" or "StartThread" found in a library at one call line, whose script name
// never changes: valid while the library has not been cleared since, and, when nothing was found,
// while no script was added since.
struct TScriptLookup {
    const CScriptLibrary* pLibrary = nullptr;
    std::uint64_t nStamp = 0;
    int nCount = 0;
    TScript* pScript = nullptr;
};

// What a call line keeps between its runs: what its script name was found to be, and the stamp
// it left on its system function's argument block (0 when its arguments change from run to run).
struct TCallLine {
    TScriptLookup lookup;
    std::uint64_t nArgsStamp = 0;
};

// The step loop. A thread runs its top frame, the frames "CallFunction" pushes and the frames
// they return to, until a wait (its ticks), a stop or a change of its stack it did not make (0),
// or its last frame has ended (-1).
int RunThreadSteps(CScriptThread& thread);
// A frame on its own, from the instruction after nInstrIndex: until a wait (its ticks) or its end
// (-1); with bOneInstruction, only until the next instruction begins (0).
int RunFrameSteps(CScriptFunction& frame, bool bOneInstruction);
// A lone expression: registers 0 to nLocals - 1 start as the locals given, the slots that follow
// them are copied to `slots` at the end.
void RunExpressionSteps(const TStep* code, int nRegisters, const float* locals, int nLocals, const float* inputs,
                        int nInputs, float* slots, int nSlots);

// Writes the steps of an expression. Its locals are registers 0 on; its slots and the values it
// loads on the way take registers from nScratch on, and its value goes to nResult (or decides a
// jump). The result is the number of scratch registers used.
class CStepWriter {
public:
    explicit CStepWriter(std::vector<TStep>& out) : steps(out) {}

    int Value(const CExpression& e, int nScratch, std::int32_t nResult);
    // Steps that jump when the value is 0.0 (bWhenTrue: when it is not). The jumps are appended
    // to `jumps`, for the caller to write their targets into.
    int Branch(const CExpression& e, int nScratch, bool bWhenTrue, std::vector<std::size_t>& jumps);
    TStep& Add(EStepOp op);

private:
    struct TValue {
        bool bConstant;
        std::int32_t reg;
        float k;
    };
    std::vector<TStep>& steps;
    std::int32_t nSlotBase = 0;
    std::int32_t nStaging = 0;
    int nUsed = 0;

    void Begin(const CExpression& e, int nScratch);
    void Instruction(const expression::TExpressionInstruction& in, std::int32_t nResult);
    void LoadInto(const expression::TExprParam& p, std::int32_t reg);
    std::int32_t NewStaging();
    TValue Operand(const expression::TExprParam& p);
    std::int32_t Staged(const TValue& v);
    void Operands(const expression::TExpressionInstruction& in, TValue& a, TValue& b);
    TStep& OperatorStep(int builtin, EStepUse use, const TValue& a, const TValue& b);
    std::int32_t Slot(int slot) const { return nSlotBase + slot - 1; }
};

}  // namespace script
