// The expression tokenizer: a three-state character machine (idle, word, symbols) followed by
// classification of every word against the tables, the script's locals, the inputs, numbers and
// the active constant table, in that order.
#include <vector>

#include "foundation/objectbase.h"
#include "foundation/stringutil.h"
#include "script/consttable.h"
#include "script/expressionbase.h"

using namespace expression;

int CharClass(char ch)
{
    if ((ch >= '0' && ch <= '9') || ch == '.')
        return CC_DIGIT;
    if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_')
        return CC_LETTER;
    if (ch == '(' || ch == ')' || ch == '[' || ch == ']')
        return CC_BRACKET;
    if (ch == ',')
        return CC_COMMA;
    return CC_SYMBOL;
}

bool IsNumber(std::string_view s)
{
    std::size_t i = (!s.empty() && s[0] == '-') ? 1 : 0;
    bool dot = false;
    for (; i < s.size(); ++i) {
        if (s[i] == '.') {
            if (dot)
                return false;
            dot = true;
        } else if (s[i] < '0' || s[i] > '9') {
            return false;
        }
    }
    return true;
}

int InputIndex(std::string_view name)
{
    if (name.size() < 5 || !SameName(name.substr(0, 5), "input"))
        return -1;
    std::string_view rest = name.substr(5);
    return IsNumber(rest) ? StringToInt(std::string(rest)) : -1;
}

void CTokenList::Add(const std::string& text, int type, const TOperatorData* op)
{
    TToken& t = tokens.emplace_back();
    t.text = text;
    t.type = type;
    t.pOperator = op;
}

namespace {

enum ETokState { TS_IDLE, TS_WORD, TS_SYMBOLS };

const TOperatorData* Operator(std::string_view s) { return g_OperatorTable.Get(s); }

}  // namespace

bool CTokenList::Tokenize(std::string_view text, const CStringList& localNames, const CLocalIndex* localIndex)
{
    Clear();
    std::string pending;
    ETokState state = TS_IDLE;
    // A bracket or a comma ends whatever run was pending.
    auto punctuation = [this, &pending, &state](char ch) {
        if (ch == ',')
            Add(",", TT_COMMA);
        else
            Add(std::string(1, ch), (ch == '(' || ch == '[') ? TT_LBRACKET : TT_RBRACKET);
        pending.clear();
        state = TS_IDLE;
    };

    for (char ch : text) {
        if (ch == ' ')
            continue;
        int cc = CharClass(ch);
        bool word = cc == CC_DIGIT || cc == CC_LETTER;
        switch (state) {
        case TS_IDLE:
            if (word) {
                pending.assign(1, ch);
                state = TS_WORD;
            } else if (cc == CC_SYMBOL) {
                pending.assign(1, ch);
                state = TS_SYMBOLS;
            } else {
                punctuation(ch);
            }
            break;
        case TS_WORD:
            if (word) {
                pending += ch;
            } else if (cc == CC_SYMBOL) {
                Add(pending, TT_UNCLASSIFIED);
                pending.assign(1, ch);
                state = TS_SYMBOLS;
            } else {
                Add(pending, TT_UNCLASSIFIED);
                punctuation(ch);
            }
            break;
        case TS_SYMBOLS:
            if (word) {
                if (const TOperatorData* op = Operator(pending)) {
                    Add(pending, TT_OPERATOR, op);
                    pending.assign(1, ch);
                } else {
                    pending += ch;
                }
                state = TS_WORD;
            } else if (cc == CC_SYMBOL) {
                pending += ch;
                if (!Operator(pending)) {
                    pending.pop_back();
                    const TOperatorData* op = Operator(pending);
                    Add(pending, op ? TT_OPERATOR : TT_UNCLASSIFIED, op);
                    pending.assign(1, ch);
                }
            } else {
                // A symbol run that is no operator is dropped before a bracket or a comma.
                if (const TOperatorData* op = Operator(pending))
                    Add(pending, TT_OPERATOR, op);
                punctuation(ch);
            }
            break;
        }
    }
    if (state == TS_WORD || (state == TS_SYMBOLS && Operator(pending)))
        Add(pending, TT_UNCLASSIFIED);
    return ClassifyTokens(localNames, true, localIndex);
}

bool CTokenList::ClassifyTokens(const CStringList& localNames, bool report, const CLocalIndex* localIndex)
{
    for (TToken& t : tokens) {
        if (t.type != TT_UNCLASSIFIED)
            continue;
        if ((t.pOperator = g_OperatorTable.Get(t.text))) {
            t.type = TT_OPERATOR;
        } else if (g_VarTable.Exists(t.text) || (t.nLocal = FindLocal(localNames, localIndex, t.text)) >= 0 ||
                   InputIndex(t.text) >= 0) {
            t.type = TT_VAR;
        } else if (g_FunctionTable.Exists(t.text)) {
            t.type = TT_FUNCTION;
        } else if (IsNumber(t.text)) {
            t.type = TT_NUMBER;
        } else if (const TConst* c = g_ConstTable.Find(t.text); c && c->type == CT_NUMBER) {
            t.type = TT_NUMBER;
            t.text = c->text;
        } else if (report) {
            GlobalError("undefined token:" + t.text);
            return false;
        }
    }
    return true;
}

int CTokenList::FindClosingBracket(int i) const
{
    int depth = 1;
    for (int k = i + 1; k < Count(); ++k) {
        int type = At(k).type;
        if (type == TT_LBRACKET)
            ++depth;
        else if (type == TT_RBRACKET && --depth == 0)
            return k;
    }
    return -1;
}

bool CTokenList::CheckBrackets() const
{
    std::vector<int> stack;
    for (const TToken& t : tokens) {
        if (t.type == TT_LBRACKET) {
            stack.push_back(t.text == "[" ? 2 : 1);
        } else if (t.type == TT_RBRACKET) {
            int want = t.text == "]" ? 2 : 1;
            if (stack.empty() || stack.back() != want)
                return false;
            stack.pop_back();
        }
    }
    return stack.empty();
}

std::string CTokenList::ToString() const
{
    std::string s;
    for (const TToken& t : tokens)
        s += t.text + " ";
    return s;
}
