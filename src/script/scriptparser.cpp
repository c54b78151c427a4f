// The line parser: one trimmed script line becomes one instruction. Keywords, call names,
// assignment sides, wait times and call arguments are read from the lower-cased line; conditions,
// labels and goto names keep the case written.
#include <cassert>

#include "foundation/objectbase.h"
#include "foundation/stringutil.h"
#include "script/consttable.h"
#include "script/scriptbase.h"

using namespace script;

namespace {

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The text between "keyword(" and the last character. False when the line is the bare keyword.
bool KeywordArgument(const std::string& line, std::size_t keywordLength, std::string& out)
{
    if (line.size() <= keywordLength)
        return false;
    std::size_t from = keywordLength + 1;
    out = line.size() > from ? line.substr(from, line.size() - from - 1) : std::string();
    return true;
}

// A lone quote character is its own first and last character, so it quotes the empty text.
bool IsQuoted(const std::string& s)
{
    return !s.empty() && ((s.front() == '"' && s.back() == '"') || (s.front() == '\'' && s.back() == '\''));
}

std::string Unquoted(const std::string& s) { return s.size() >= 2 ? s.substr(1, s.size() - 2) : std::string(); }

float NumberOf(const std::string& s) { return s.empty() ? 0.0f : StringToFloat(s); }

}  // namespace

CExpression* TScriptInstruction::AddExpression(const std::string& text)
{
    static const CStringList noLocals;
    return g_ExpressionPool.AddExpression(text, pOwner ? pOwner->localNames : noLocals);
}

void TScriptInstruction::SplitArguments(const std::string& text, CStringList& out)
{
    out.Clear();
    if (text.empty())
        return;
    std::vector<char> brStack;
    std::size_t s = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (ch == '(' || ch == '[') {
            brStack.push_back(ch);
        } else if (ch == ')' || ch == ']') {
            char want = ch == ')' ? '(' : '[';
            if (brStack.empty() || brStack.back() != want) {
                GlobalError(text + " : Bracket Mismatch");
                return;
            }
            brStack.pop_back();
        } else if (ch == ',' && brStack.empty()) {
            out.Add(text.substr(s, i - s));
            s = i + 1;
        }
    }
    if (!brStack.empty()) {
        GlobalError(text + " : Bracket Mismatch");
        return;
    }
    out.Add(text.substr(s));
}

bool TScriptInstruction::ParseCall(const std::string& lcstr, std::size_t p, TSystemFunc* func)
{
    type = SIT_CALL;
    pFunc = func;
    // A call must close its bracket on the last character; anything else is rejected rather than
    // losing a character of the arguments.
    if (lcstr.back() != ')')
        return false;
    std::string paramstr = lcstr.substr(p + 1, lcstr.size() - p - 2);
    CStringList paramstrlist;
    SplitArguments(paramstr, paramstrlist);
    if (paramstrlist.Count() > MAX_SCRIPT_PARAMS)
        return false;
    nParamCount = paramstrlist.Count();
    for (int i = 0; i < nParamCount; ++i) {
        TScriptParam& slot = params[i];
        const std::string& piece = paramstrlist.At(i);
        slot.type = func->paramTypes[i];
        slot.strText = piece;
        switch (slot.type) {
        case SPT_INT:
            slot.nValue = piece.empty() ? 0 : StringToInt(piece);
            break;
        case SPT_NUMBER:
            if (IsNumber(piece)) {
                slot.fValue = NumberOf(piece);
            } else {
                slot.type = SPT_EXPR;
                slot.pExpr = AddExpression(piece);
            }
            break;
        case SPT_STRING:
            if (IsQuoted(piece))
                slot.strText = Unquoted(piece);
            break;
        default:
            if (piece.empty()) {
                slot.type = SPT_ANY;
            } else if (IsQuoted(piece)) {
                slot.type = SPT_STRING;
                slot.strText = Unquoted(piece);
            } else if (IsNumber(piece)) {
                slot.type = SPT_NUMBER;
                slot.fValue = NumberOf(piece);
            } else {
                slot.type = SPT_EXPR;
                slot.pExpr = AddExpression(piece);
            }
            break;
        }
    }
    return true;
}

bool TScriptInstruction::Parse(const std::string& line)
{
    if (line.empty())
        return true;
    std::string lcstr = ToLower(line);
    std::string text;

    if (StartsWith(lcstr, "using const")) {
        std::string CTName = TrimValue(lcstr.substr(11));
        if (CConstTable* table = g_ConstTableSet.FindTable(CTName))
            g_ConstTable.Merge(*table);
        return true;
    }
    if (StartsWith(line, "->")) {
        type = SIT_LABEL;
        params[0].type = SPT_STRING;
        params[0].strText = line.substr(2);
        return true;
    }
    if (StartsWith(lcstr, "wait(")) {
        type = SIT_WAIT;
        params[0].type = SPT_EXPR;
        params[0].pExpr = AddExpression(lcstr.substr(4));
        return true;
    }
    if (std::size_t p = line.find(":="); p != std::string::npos) {
        type = SIT_ASSIGN;
        std::string lstr = TrimValue(lcstr.substr(0, p));
        std::string rstr = TrimValue(lcstr.substr(p + 2));
        if (expression::TVar* var = g_VarTable.GetVar(lstr)) {
            params[0].type = SPT_VAR;
            params[0].pVar = var;
        } else {
            assert(pOwner && "pOwner");
            CStringList& names = pOwner->localNames;
            int index = names.IndexOf(lstr);
            if (index < 0) {
                names.Add(ToLower(lstr));
                index = names.Count() - 1;
            }
            params[0].type = SPT_LOCAL;
            params[0].nValue = index;
        }
        if (IsNumber(rstr)) {
            params[1].type = SPT_NUMBER;
            params[1].fValue = NumberOf(rstr);
        } else {
            params[1].type = SPT_EXPR;
            params[1].pExpr = AddExpression(rstr);
        }
        return true;
    }
    if (std::size_t p = lcstr.find('('); p != std::string::npos && p > 0)
        if (TSystemFunc* func = g_SystemFuncTable.Get(lcstr.substr(0, p)))
            return ParseCall(lcstr, p, func);
    if (StartsWith(lcstr, "if")) {
        if (!KeywordArgument(line, 2, text))
            return false;
        type = SIT_IF;
        params[0].type = SPT_EXPR;
        params[0].pExpr = AddExpression(text);
        return true;
    }
    if (StartsWith(lcstr, "elseif")) {
        if (!KeywordArgument(line, 6, text))
            return false;
        type = SIT_ELSEIF;
        params[0].type = SPT_EXPR;
        params[0].pExpr = AddExpression(text);
        return true;
    }
    if (StartsWith(lcstr, "else")) {
        type = SIT_ELSE;
        return true;
    }
    if (StartsWith(lcstr, "while")) {
        if (!KeywordArgument(line, 5, text))
            return false;
        type = SIT_WHILE;
        params[0].type = SPT_EXPR;
        params[0].pExpr = AddExpression(text);
        return true;
    }
    if (lcstr == "end") {
        type = SIT_END;
        params[0].type = SPT_ANY;
        return true;
    }
    if (lcstr == "continue") {
        type = SIT_CONTINUE;
        return true;
    }
    if (lcstr == "break") {
        type = SIT_BREAK;
        return true;
    }
    if (StartsWith(lcstr, "goto")) {
        if (!KeywordArgument(line, 4, text))
            return false;
        type = SIT_GOTO;
        params[0].type = SPT_STRING;
        params[0].strText = text;
        return true;
    }
    return false;
}
