// The line parser: one trimmed script line becomes one instruction. Keywords, call names,
// assignment sides, wait times and call arguments are read from the lower-cased line; conditions,
// labels and goto names keep the case written.
#include <cassert>

#include "foundation/objectbase.h"
#include "foundation/stringutil.h"
#include "platform/ascii.h"
#include "script/consttable.h"
#include "script/scriptbase.h"

using namespace script;

namespace {

// The text between "keyword(" and the last character. False when the line is the bare keyword.
bool KeywordArgument(std::string_view line, std::size_t keywordLength, std::string_view& out)
{
    if (line.size() <= keywordLength)
        return false;
    std::size_t from = keywordLength + 1;
    out = line.size() > from ? line.substr(from, line.size() - from - 1) : std::string_view();
    return true;
}

// A lone quote character is its own first and last character, so it quotes the empty text.
bool IsQuoted(const std::string& s)
{
    return !s.empty() && ((s.front() == '"' && s.back() == '"') || (s.front() == '\'' && s.back() == '\''));
}

std::string Unquoted(const std::string& s) { return s.size() >= 2 ? s.substr(1, s.size() - 2) : std::string(); }

}  // namespace

void TScriptInstruction::SetExpression(TScriptParam& slot, std::string_view text)
{
    static const CStringList noLocals;
    slot.type = SPT_EXPR;
    slot.pExpr = pOwner ? g_ExpressionPool.AddExpression(text, pOwner->localNames, &pOwner->localIndex)
                        : g_ExpressionPool.AddExpression(text, noLocals);
}

// A number written out is kept as it is; anything else is compiled.
void TScriptInstruction::SetValue(TScriptParam& slot, std::string_view text)
{
    if (IsNumber(text)) {
        slot.type = SPT_NUMBER;
        slot.fValue = StringToFloat(std::string(text));
    } else {
        SetExpression(slot, text);
    }
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
            slot.nValue = StringToInt(piece);
            break;
        case SPT_NUMBER:
            SetValue(slot, piece);
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
            } else {
                SetValue(slot, piece);
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
    // Lines are lower-cased into storage kept from one line to the next.
    static std::string lcstr;
    lcstr.assign(line);
    for (char& c : lcstr)
        c = platform::AsciiLower(c);
    std::string_view text;
    // "keyword(condition)": the condition keeps the case written.
    auto condition = [&](std::size_t keywordLength, EScriptInstructionType kind) {
        if (!KeywordArgument(line, keywordLength, text))
            return false;
        type = kind;
        SetExpression(params[0], text);
        return true;
    };

    if (lcstr.starts_with("using const")) {
        std::string CTName = TrimValue(lcstr.substr(11));
        if (CConstTable* table = g_ConstTableSet.FindTable(CTName))
            g_ConstTable.Merge(*table);
        return true;
    }
    if (line.starts_with("->")) {
        type = SIT_LABEL;
        params[0].type = SPT_STRING;
        params[0].strText = line.substr(2);
        return true;
    }
    if (lcstr.starts_with("wait(")) {
        type = SIT_WAIT;
        SetExpression(params[0], std::string_view(lcstr).substr(4));
        return true;
    }
    if (std::size_t p = line.find(":="); p != std::string::npos) {
        type = SIT_ASSIGN;
        std::string_view lstr = TrimValueView(std::string_view(lcstr).substr(0, p));
        std::string_view rstr = TrimValueView(std::string_view(lcstr).substr(p + 2));
        if (expression::TVar* var = g_VarTable.GetVar(lstr)) {
            params[0].type = SPT_VAR;
            params[0].pVar = var;
        } else {
            assert(pOwner && "pOwner");
            int index = pOwner->localIndex.Find(pOwner->localNames, lstr);
            if (index < 0)
                index = pOwner->AddLocal(std::string(lstr));
            params[0].type = SPT_LOCAL;
            params[0].nValue = index;
        }
        SetValue(params[1], rstr);
        return true;
    }
    if (std::size_t p = lcstr.find('('); p != std::string::npos && p > 0)
        if (TSystemFunc* func = g_SystemFuncTable.Get(std::string_view(lcstr).substr(0, p)))
            return ParseCall(lcstr, p, func);
    if (lcstr.starts_with("if"))
        return condition(2, SIT_IF);
    if (lcstr.starts_with("elseif"))
        return condition(6, SIT_ELSEIF);
    if (lcstr.starts_with("else")) {
        type = SIT_ELSE;
        return true;
    }
    if (lcstr.starts_with("while"))
        return condition(5, SIT_WHILE);
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
    if (lcstr.starts_with("goto")) {
        if (!KeywordArgument(line, 4, text))
            return false;
        type = SIT_GOTO;
        params[0].type = SPT_STRING;
        params[0].strText = std::string(text);
        return true;
    }
    return false;
}
