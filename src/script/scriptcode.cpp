// The runtime's step list of a linked script, and the loop that runs it. Expressions made only of
// built-in operators over locals and constants are spelled out as steps whose root writes the
// assigned local (or scratch slot 0) directly; everything else keeps its expression or its
// instruction. Steps never change evaluation order, slots the script can see, reports or results.
#include "foundation/numeric.h"
#include "script/scriptrunner.h"

using namespace script;
using namespace expression;

namespace {

// The first twelve match the evaluator's built-in operators.
enum EMicroOp : std::uint8_t {
    MO_MOVE = FO_MOVE,
    MO_ADD = FO_ADD,
    MO_SUB = FO_SUB,
    MO_MUL = FO_MUL,
    MO_DIV = FO_DIV,
    MO_NEG = FO_NEG,
    MO_EQ = FO_EQ,
    MO_NE = FO_NE,
    MO_LT = FO_LT,
    MO_GT = FO_GT,
    MO_LE = FO_LE,
    MO_GE = FO_GE,
    MO_EVAL,
    MO_JZ,
    MO_JNZ,
    MO_JUMP,
    MO_GATE,
    MO_WAIT,
    MO_GENERAL,
    MO_END,
};

// Scratch slots of the expression being run; an expression never runs script code, so one set
// serves every frame.
float g_Scratch[CExpression::MEM_SLOTS];

class CCodeBuilder {
public:
    explicit CCodeBuilder(TScript& script) : s(script) {}

    void Build();

private:
    TScript& s;

    TMicroOp& Emit(std::uint8_t op, int aux = -1)
    {
        TMicroOp& m = s.code.emplace_back();
        m.op = op;
        m.aux = aux;
        return m;
    }

    int Constant(float value)
    {
        s.codeConsts.push_back(value);
        return static_cast<int>(s.codeConsts.size()) - 1;
    }

    // Spells out e so that its value lands in (kind, index); falls back to the expression.
    void Expression(CExpression* e, std::uint8_t kind, int index)
    {
        bool simple = e->MaxInput() < 0;
        for (const TFastOp& f : e->FastOps())
            simple = simple && f.op != FO_GENERIC;
        if (!simple) {
            TMicroOp& m = Emit(MO_EVAL);
            m.pExpr = e;
            m.kindOut = kind;
            m.out = index;
            return;
        }
        if (e->FastOps().empty()) {
            TMicroOp& m = Emit(MO_MOVE);
            m.kindA = MK_CONST;
            m.a = 0;
            m.kindOut = kind;
            m.out = index;
            return;
        }
        auto operand = [this, e](std::uint8_t src, int i, std::uint8_t& k, int& x) {
            if (src == SRC_CONST) {
                k = MK_CONST;
                x = Constant(e->Consts()[static_cast<std::size_t>(i)]);
            } else {
                k = src == SRC_LOCAL ? MK_LOCAL : MK_TEMP;
                x = i;
            }
        };
        const std::size_t n = e->FastOps().size();
        for (std::size_t i = 0; i < n; ++i) {
            const TFastOp& f = e->FastOps()[i];
            TMicroOp& m = Emit(f.op);
            operand(f.srcA, f.a, m.kindA, m.a);
            operand(f.srcB, f.b, m.kindB, m.b);
            m.kindOut = i + 1 == n ? kind : static_cast<std::uint8_t>(MK_TEMP);
            m.out = i + 1 == n ? index : f.out;
        }
    }

    void Branch(std::uint8_t op, int target, int recorded)
    {
        TMicroOp& m = Emit(op, recorded);
        m.kindA = MK_TEMP;
        m.a = 0;
        m.target = target;
    }
};

void CCodeBuilder::Build()
{
    const int n = s.Length();
    s.code.clear();
    s.codeConsts.assign(1, 0.0f);
    s.codeStart.assign(static_cast<std::size_t>(n) + 1, 0);
    // Jump targets are written as instruction indices first and turned into step indices at the end.
    std::vector<std::size_t> jumps;
    for (int i = 0; i < n; ++i) {
        const TScriptInstruction& in = s.instructions[static_cast<std::size_t>(i)];
        s.codeStart[static_cast<std::size_t>(i)] = static_cast<int>(s.code.size());
        switch (in.type) {
        case SIT_ASSIGN:
            if (in.params[0].type != SPT_LOCAL) {
                Emit(MO_GENERAL, i);
            } else if (in.params[1].type == SPT_EXPR) {
                Expression(in.params[1].pExpr, MK_LOCAL, in.params[0].nValue);
            } else {
                TMicroOp& m = Emit(MO_MOVE);
                m.a = Constant(in.params[1].fValue);
                m.kindOut = MK_LOCAL;
                m.out = in.params[0].nValue;
            }
            break;
        case SIT_WAIT:
            Expression(in.params[0].pExpr, MK_TEMP, 0);
            Branch(MO_WAIT, 0, i);
            break;
        case SIT_ELSEIF:
            jumps.push_back(s.code.size());
            Emit(MO_GATE, i).target = in.nChainEnd;
            [[fallthrough]];
        case SIT_IF:
        case SIT_WHILE: {
            Expression(in.params[0].pExpr, MK_TEMP, 0);
            int target = in.params[1].nValue;
            jumps.push_back(s.code.size());
            Branch(MO_JZ, target, in.bFalseToElseIf ? target : -1);
            break;
        }
        case SIT_ELSE:
        case SIT_CONTINUE:
        case SIT_BREAK:
        case SIT_GOTO:
            jumps.push_back(s.code.size());
            Emit(MO_JUMP).target = in.params[in.type == SIT_GOTO ? 1 : 0].nValue;
            break;
        case SIT_END:
            // The end of a while tests the loop condition itself and goes on into the body.
            if (in.params[0].type == SPT_INT) {
                int loop = in.params[0].nValue;
                Expression(s.instructions[static_cast<std::size_t>(loop)].params[0].pExpr, MK_TEMP, 0);
                jumps.push_back(s.code.size());
                Branch(MO_JNZ, loop + 1, -1);
            }
            break;
        case SIT_NONE:
        case SIT_LABEL:
            break;
        default:
            Emit(MO_GENERAL, i);
            break;
        }
    }
    s.codeStart[static_cast<std::size_t>(n)] = static_cast<int>(s.code.size());
    Emit(MO_END, n);
    for (std::size_t j : jumps) {
        int t = s.code[j].target;
        s.code[j].target = s.codeStart[static_cast<std::size_t>(t < 0 ? 0 : t > n ? n : t)];
    }
}

}  // namespace

void TScript::BuildCode() { CCodeBuilder(*this).Build(); }

int CScriptFunction::RunFast(const CScriptThread& thread)
{
    if (!pScript || !pScript->bRunnable || nInstrIndex + 1 > pScript->Length())
        return -1;
    const TMicroOp* code = pScript->code.data();
    float* L = locals.empty() ? nullptr : locals.data();
    const float* in = inputs.empty() ? nullptr : inputs.data();
    const int nin = static_cast<int>(inputs.size());
    float* const bases[3] = {pScript->codeConsts.data(), L, g_Scratch};
    int pc = pScript->codeStart[static_cast<std::size_t>(nInstrIndex + 1)];
    for (;;) {
        const TMicroOp& m = code[pc++];
#define OPERAND_A bases[m.kindA][m.a]
#define OPERAND_B bases[m.kindB][m.b]
#define RESULT bases[m.kindOut][m.out]
        switch (m.op) {
        case MO_MOVE: RESULT = OPERAND_A; break;
        case MO_ADD: RESULT = OPERAND_A + OPERAND_B; break;
        case MO_SUB: RESULT = OPERAND_A - OPERAND_B; break;
        case MO_MUL: RESULT = OPERAND_A * OPERAND_B; break;
        case MO_DIV: RESULT = OPERAND_A / OPERAND_B; break;
        case MO_NEG: RESULT = -OPERAND_A; break;
        case MO_EQ: RESULT = OPERAND_A == OPERAND_B ? 1.0f : 0.0f; break;
        case MO_NE: RESULT = OPERAND_A != OPERAND_B ? 1.0f : 0.0f; break;
        case MO_LT: RESULT = OPERAND_A < OPERAND_B ? 1.0f : 0.0f; break;
        case MO_GT: RESULT = OPERAND_A > OPERAND_B ? 1.0f : 0.0f; break;
        case MO_LE: RESULT = OPERAND_A <= OPERAND_B ? 1.0f : 0.0f; break;
        case MO_GE: RESULT = OPERAND_A >= OPERAND_B ? 1.0f : 0.0f; break;
        case MO_EVAL: RESULT = m.pExpr->Evaluate(L, in, nin); break;
        case MO_JZ:
            if (OPERAND_A == 0.0f) {
                if (m.aux >= 0)
                    nJumpTarget = m.aux;
                pc = m.target;
            }
            break;
        case MO_JNZ:
            if (OPERAND_A != 0.0f)
                pc = m.target;
            break;
        case MO_JUMP: pc = m.target; break;
        case MO_GATE:
            if (nJumpTarget != m.aux)
                pc = m.target;
            nJumpTarget = -1;
            break;
        case MO_WAIT: {
            int wait = TruncToInt(OPERAND_A);
            if (wait >= 1) {
                nInstrIndex = m.aux;
                return wait;
            }
            break;
        }
        case MO_GENERAL: {
            nInstrIndex = m.aux;
            const std::size_t depth = thread.stack.size();
            int wait = ExecuteInstruction();
            // A handler may have stopped the thread or pushed a frame, which can move this one:
            // then nothing of the frame is touched and the step looks at its stack again.
            if (wait >= 1 || thread.bStopped || thread.stack.size() != depth || &thread.stack.back() != this)
                return wait >= 1 ? wait : 0;
            pc = pScript->codeStart[static_cast<std::size_t>(nInstrIndex + 1)];
            break;
        }
        default:
            nInstrIndex = m.aux;
            return -1;
        }
#undef OPERAND_A
#undef OPERAND_B
#undef RESULT
    }
}
