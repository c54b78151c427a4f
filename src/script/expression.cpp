// The expression compiler: the token list is split recursively at one operator chosen by level
// (equal levels group to the right), constant operands are folded, and the slots are renumbered
// so that the root result lands in slot 0.
#include "script/expression.h"

#include <algorithm>

#include "foundation/objectbase.h"
#include "foundation/stringutil.h"

using namespace expression;

namespace {

// Field by field: an operand whose fields were just written one by one and is then copied whole
// makes the processor wait.
void SetParam(TExprParam& to, const TExprParam& from)
{
    to.type = from.type;
    to.value = from.value;
    to.index = from.index;
    to.pVar = from.pVar;
}

// Tokens made by the tokenizer carry their operator's record; others are looked up.
const TOperatorData* OperatorOf(const TToken& t) { return t.pOperator ? t.pOperator : g_OperatorTable.Get(t.text); }

// Brackets nested deeper than this fail the compile. No written expression comes near it, and
// each level that holds an operator takes the compiler one call deeper.
constexpr int kMaxNesting = 256;

// For each token of the expression being compiled: the bracket that closes it, when it is an
// opening bracket that one closes; otherwise -1.
std::vector<int>& ClosingBrackets()
{
    static std::vector<int> closing;
    return closing;
}

// The bracket that closes the opening one at `open` in the tokens being compiled, or -1.
int Closing(int open) { return ClosingBrackets()[static_cast<std::size_t>(open)]; }

// Matches the brackets as CTokenList::FindClosingBracket would, once for the whole expression;
// false when they nest deeper than kMaxNesting.
bool MatchBrackets(const CTokenList& tokens)
{
    std::vector<int>& closing = ClosingBrackets();
    static std::vector<int> open;
    open.clear();
    closing.assign(static_cast<std::size_t>(tokens.Count()), -1);
    for (int k = 0; k < tokens.Count(); ++k) {
        const int type = tokens.At(k).type;
        if (type == TT_LBRACKET) {
            if (static_cast<int>(open.size()) == kMaxNesting)
                return false;
            open.push_back(k);
        } else if (type == TT_RBRACKET && !open.empty()) {
            closing[static_cast<std::size_t>(open.back())] = k;
            open.pop_back();
        }
    }
    return true;
}

}  // namespace

CExpression::CExpression(const CExpression& other) : instructions(other.instructions), memCount(other.memCount) {}

CExpression& CExpression::operator=(const CExpression& other)
{
    instructions = other.instructions;
    memCount = other.memCount;
    mem.ForgetSteps();
    return *this;
}

void CExpression::Clear()
{
    instructions.clear();
    memCount = 0;
    mem.Clear();
}

bool CExpression::Compile(std::string_view text, const CStringList& localNames, const CLocalIndex* localIndex)
{
    if (text.empty()) {
        GlobalError("表达式字符串为空");
        return false;
    }
    // Kept from one compile to the next, so that its storage is reused.
    static CTokenList tokens;
    if (!tokens.Tokenize(text, localNames, localIndex)) {
        GlobalError("表达式词法分析出错:" + std::string(text));
        Clear();
        return false;
    }
    if (!CompileTokens(tokens, localNames, localIndex)) {
        GlobalError("表达式编译出错:" + std::string(text));
        Clear();
        return false;
    }
    return true;
}

bool CExpression::CompileTokens(const CTokenList& tokens, const CStringList& localNames, const CLocalIndex* localIndex)
{
    Clear();
    bFailed = false;
    memCount = 1;
    // Compiled into storage kept from one compile to the next, and copied out at its size: the
    // pool keeps every expression to the end.
    static std::vector<TExpressionInstruction> scratch;
    if (!MatchBrackets(tokens))
        return false;
    scratch.clear();
    std::swap(instructions, scratch);
    bool compiled = CompileRoot(tokens, localNames, localIndex);
    std::swap(instructions, scratch);
    if (compiled)
        instructions.assign(scratch.begin(), scratch.end());
    return compiled;
}

bool CExpression::CompileRoot(const CTokenList& tokens, const CStringList& localNames,
                              const CLocalIndex* localIndex)
{
    TExprParam root = CompileRange(tokens, 0, tokens.Count() - 1, 1, localNames, localIndex);
    if (bFailed)
        return false;
    if (root.type == PT_NUMBER || root.type == PT_VAR || root.type == PT_LOCAL || root.type == PT_INPUT) {
        TExpressionInstruction& move = instructions.emplace_back();
        move.type = EI_MOVE;
        SetParam(move.params[0], root);
        move.paramCount = 1;
        move.outparam.type = PT_MEM;
        move.outparam.index = 1;
    }
    if (InstructionCount() > MEM_SLOTS)
        return false;
    RenumberMemSlots();
    return true;
}

// Hands out the next compile slot; past the renumbering table the compile fails instead.
int CExpression::NextSlot()
{
    if (++memCount >= MAX_COMPILE_SLOTS) {
        bFailed = true;
        memCount = MAX_COMPILE_SLOTS - 1;
    }
    return memCount;
}

TExprParam CExpression::CompileRange(const CTokenList& tokens, int Start, int End, int outSlot,
                                     const CStringList& localNames, const CLocalIndex* localIndex)
{
    TExprParam result;
    if (bFailed)
        return result;
    if (Start > End) {
        bFailed = true;
        return result;
    }

    // Brackets around the whole range go, as many as there are.
    while (tokens.At(Start).type == TT_LBRACKET && Closing(Start) == End) {
        ++Start;
        --End;
        if (Start > End) {
            bFailed = true;
            return result;
        }
    }

    const TToken& first = tokens.At(Start);

    if (Start == End) {
        if (first.type == TT_NUMBER) {
            result.type = PT_NUMBER;
            result.value = StringToFloat(first.text);
            return result;
        }
        if (first.type == TT_VAR) {
            int local = first.nLocal != -2 ? first.nLocal : FindLocal(localNames, localIndex, first.text);
            if (local >= 0) {
                result.type = PT_LOCAL;
                result.index = local;
                return result;
            }
            if (TVar* var = g_VarTable.GetVar(first.text)) {
                result.type = PT_VAR;
                result.pVar = var;
                return result;
            }
            int input = InputIndex(first.text);
            if (input >= 0) {
                result.type = PT_INPUT;
                result.index = input;
                return result;
            }
            GlobalError(first.text + " can not be recognized during expression compiling");
        }
        std::string msg = "Token '" + first.text + "' (@" + IntToString(Start) + ") should be Number or Varieble";
        GlobalError(msg);
        return result;
    }

    if (first.type == TT_FUNCTION && tokens.At(Start + 1).type == TT_LBRACKET && Closing(Start + 1) == End) {
        TExpressionInstruction call;
        call.type = EI_FUNCTION;
        call.pFunction = g_FunctionTable.Get(first.text);
        int argStart = Start + 2;
        int depth = 0;
        for (int k = Start + 2; k <= End; ++k) {
            int type = k < End ? tokens.At(k).type : TT_COMMA;
            if (type == TT_LBRACKET) {
                ++depth;
            } else if (type == TT_RBRACKET) {
                --depth;
            } else if (type == TT_COMMA && depth == 0) {
                if (call.paramCount >= MAX_FUNCTION_PARAM_COUNT) {
                    bFailed = true;
                    return result;
                }
                int slot = NextSlot();
                call.params[call.paramCount++] = CompileRange(tokens, argStart, k - 1, slot, localNames, localIndex);
                if (bFailed)
                    return result;
                argStart = k + 1;
            }
        }
        call.outparam.type = PT_MEM;
        call.outparam.index = outSlot;
        AddInstruction(call);
        result.type = PT_MEM;
        result.index = outSlot;
        return result;
    }

    int depth = 0;
    int split = -1;
    int best = -9999;
    for (int k = Start; k <= End; ++k) {
        const TToken& t = tokens.At(k);
        if (t.type == TT_LBRACKET && depth == 0) {
            // Nothing inside a bracketed group is at depth 0: the walk goes on after it, or ends
            // with the range when the group runs past it.
            k = Closing(k);
            if (k < 0 || k > End)
                break;
        } else if (t.type == TT_LBRACKET) {
            ++depth;
        } else if (t.type == TT_RBRACKET) {
            --depth;
        } else if (t.type == TT_OPERATOR && depth == 0) {
            const TOperatorData* op = OperatorOf(t);
            if (op->level <= best)
                break;
            best = op->level;
            split = k;
        }
    }
    if (split < 0) {
        bFailed = true;
        return result;
    }

    const TOperatorData* op = OperatorOf(tokens.At(split));
    TExprParam left, right;
    if (op->type == OT_BINARY) {
        int leftSlot = NextSlot();
        left = CompileRange(tokens, Start, split - 1, leftSlot, localNames, localIndex);
        int rightSlot = NextSlot();
        right = CompileRange(tokens, split + 1, End, rightSlot, localNames, localIndex);
        if (bFailed)
            return result;
        if (left.type == PT_NUMBER && right.type == PT_NUMBER) {
            result.type = PT_NUMBER;
            result.value = op->func(left.value, right.value);
            return result;
        }
    } else {
        int slot = NextSlot();
        left = op->type == OT_PREFIX ? CompileRange(tokens, split + 1, End, slot, localNames, localIndex)
                                     : CompileRange(tokens, Start, split - 1, slot, localNames, localIndex);
        if (bFailed)
            return result;
        if (left.type == PT_NUMBER) {
            result.type = PT_NUMBER;
            result.value = op->func(left.value, 0.0f);
            return result;
        }
    }
    // Written in place once the operands are known not to fold.
    TExpressionInstruction& instr = instructions.emplace_back();
    instr.type = EI_OPERATOR;
    instr.pOperator = op;
    SetParam(instr.params[0], left);
    if (op->type == OT_BINARY)
        SetParam(instr.params[1], right);
    instr.paramCount = op->type == OT_BINARY ? 2 : 1;
    instr.outparam.type = PT_MEM;
    instr.outparam.index = outSlot;
    result.type = PT_MEM;
    result.index = outSlot;
    return result;
}

void CExpression::RenumberMemSlots()
{
    int map[MAX_COMPILE_SLOTS];
    std::fill(map, map + std::min(memCount + 1, MAX_COMPILE_SLOTS), 0);
    int n = 0;
    for (const TExpressionInstruction& instr : instructions)
        if (instr.outparam.type == PT_MEM)
            ++n;
    int k = 0;
    for (const TExpressionInstruction& instr : instructions)
        if (instr.outparam.type == PT_MEM)
            map[instr.outparam.index] = n - 1 - k++;
    for (TExpressionInstruction& instr : instructions) {
        if (instr.outparam.type == PT_MEM)
            instr.outparam.index = map[instr.outparam.index];
        for (int i = 0; i < instr.paramCount; ++i)
            if (instr.params[i].type == PT_MEM)
                instr.params[i].index = map[instr.params[i].index];
    }
}

CExpression* CExpressionPool::AddExpression(std::string_view text, const CStringList& localNames,
                                            const CLocalIndex* localIndex)
{
    CExpression* e = AddNew();
    e->Compile(text, localNames, localIndex);
    return e;
}

namespace expression {

std::string ParamToString(const TExprParam& p)
{
    switch (p.type) {
    case PT_NULL:
        return "NULL";
    case PT_NUMBER:
        return FloatToString(p.value);
    case PT_MEM:
        return "[" + IntToString(p.index) + "]";
    case PT_VAR:
        return p.pVar ? p.pVar->name : "";
    default:
        return "OTHER";
    }
}

std::string InstructionToString(const TExpressionInstruction& instr)
{
    std::string s;
    switch (instr.type) {
    case EI_NONE:
        return "None:";
    case EI_MOVE:
        s = "Move:" + ParamToString(instr.params[0]);
        break;
    case EI_OPERATOR:
        s = (instr.pOperator ? instr.pOperator->name : std::string()) + ":";
        break;
    case EI_FUNCTION:
        s = (instr.pFunction ? instr.pFunction->name : std::string()) + ":";
        break;
    }
    if (instr.type != EI_MOVE)
        for (int i = 0; i < instr.paramCount; ++i)
            s += (i ? "," : "") + ParamToString(instr.params[i]);
    return s + "->" + ParamToString(instr.outparam);
}

}  // namespace expression
