// The symbol tables of the expression language (operators, script-visible variables, expression
// functions) and the tokenizer that cuts an expression into classified tokens.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/stringlist.h"
#include "foundation/nameindex.h"

namespace expression {

enum EOperatorType { OT_NONE = 0, OT_PREFIX = 1, OT_POSTFIX = 2, OT_BINARY = 3 };
enum EVarType { VT_UNDEFINED = 0, VT_MEMORY = 1, VT_FUNC = 2 };

using OperatorFunc = float (*)(float a, float b);
using VarGetter = float (*)();
using VarSetter = void (*)(float value);
using FunctionFunc = float (*)(const float* args, int count);

constexpr int MAX_FUNCTION_PARAM_COUNT = 8;

struct TOperatorData {
    std::string name;
    int type = OT_NONE;
    int level = 0;
    OperatorFunc func = nullptr;
};

struct TVar {
    std::string name;
    int type = VT_UNDEFINED;
    float* pValue = nullptr;
    VarGetter getter = nullptr;
    VarSetter setter = nullptr;

    float Get() const;
    void Set(float value) const;
};

struct TFunction {
    std::string name;
    FunctionFunc func = nullptr;

    float Calculate(const float* args, int count) const;
};

enum ETokenType {
    TT_NUMBER = 0,
    TT_VAR = 1,
    TT_OPERATOR = 2,
    TT_FUNCTION = 3,
    TT_LBRACKET = 4,
    TT_RBRACKET = 5,
    TT_UNCLASSIFIED = 6,
    TT_COMMA = 7,
};

struct TToken {
    std::string text;
    int type = TT_UNCLASSIFIED;
    // What classification found on the way, so the compiler does not look the word up again: the
    // record of an operator, and the index of a local name (-1: none; -2: not looked up).
    const TOperatorData* pOperator = nullptr;
    int nLocal = -2;
};

enum ECharClass { CC_DIGIT = 0, CC_LETTER = 1, CC_BRACKET = 2, CC_SYMBOL = 3, CC_COMMA = 4 };

}  // namespace expression

// The tables below are filled through their Add functions, which keep the index of the map in
// step; their maps are only ever read from outside.
class COperatorTable {
public:
    std::map<std::string, expression::TOperatorData> ops;

    COperatorTable();
    void Add(const expression::TOperatorData& op);
    bool Exists(std::string_view name) const { return Get(name) != nullptr; }
    const expression::TOperatorData* Get(std::string_view name) const
    {
        return name.size() == 1 ? singles[static_cast<unsigned char>(platform::AsciiLower(name[0]))]
                                : index.Find(name);
    }
    void RegisterDefaults();

private:
    CNameIndex<const expression::TOperatorData> index;
    // Operators of one character, which the tokenizer asks about at every symbol.
    const expression::TOperatorData* singles[256] = {};
};

class CVarTable {
public:
    static constexpr int MAX_TEMP_VARS = 1024;

    std::map<std::string, expression::TVar> vars;
    std::vector<expression::TVar> temps;
    std::vector<float> tempValues;
    int tempCount = 0;

    CVarTable();
    void AddVar(const std::string& name, const expression::TVar& var);
    void AddTempVar(const std::string& name);
    expression::TVar* GetVar(std::string_view name);
    bool Exists(std::string_view name) { return GetVar(name) != nullptr; }
    void Clear();

private:
    CNameIndex<expression::TVar> index;
};

class CFunctionTable {
public:
    std::map<std::string, expression::TFunction> funcs;

    void AddFunc(const std::string& name, const expression::TFunction& fn);
    bool Exists(std::string_view name) const { return index.Find(name) != nullptr; }
    const expression::TFunction* Get(std::string_view name) const { return index.Find(name); }
    void Clear()
    {
        funcs.clear();
        index.Clear();
    }

private:
    CNameIndex<const expression::TFunction> index;
};

// The index of a script's local names (exact, as `CStringList::IndexOf` compares), kept by the
// script beside its list; a list changed behind its back is searched as it stands. A few names
// are searched in the list itself, which costs less than making a table for them.
class CLocalIndex {
public:
    int Find(const CStringList& names, std::string_view name) const;
    // Records the names appended to the list since the last call.
    void Update(const CStringList& names);
    void Clear()
    {
        table.Clear();
        nIndexed = 0;
    }

private:
    CNameTable<int, false> table;
    int nIndexed = 0;
};

// The index of name among the local names, through the index when there is one.
inline int FindLocal(const CStringList& names, const CLocalIndex* index, const std::string& name)
{
    return index ? index->Find(names, name) : names.IndexOf(name);
}

class CTokenList {
public:
    std::vector<expression::TToken> tokens;

    // The local names are searched through the index when one is given.
    bool Tokenize(std::string_view text, const CStringList& localNames, const CLocalIndex* localIndex = nullptr);
    bool ClassifyTokens(const CStringList& localNames, bool report, const CLocalIndex* localIndex = nullptr);
    void Add(const std::string& text, int type, const expression::TOperatorData* op = nullptr);
    void Push(const expression::TToken& token) { tokens.push_back(token); }
    void Clear() { tokens.clear(); }
    int Count() const { return static_cast<int>(tokens.size()); }
    const expression::TToken& At(int i) const { return tokens[static_cast<std::size_t>(i)]; }
    int FindClosingBracket(int i) const;
    bool CheckBrackets() const;
    std::string ToString() const;
};

int CharClass(char ch);
bool IsNumber(std::string_view s);
int InputIndex(std::string_view name);

extern COperatorTable g_OperatorTable;
extern CVarTable g_VarTable;
extern CFunctionTable g_FunctionTable;
