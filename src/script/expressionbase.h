// The symbol tables of the expression language (operators, script-visible variables, expression
// functions) and the tokenizer that cuts an expression into classified tokens.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "foundation/stringlist.h"

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

// The built-in operators, exposed so the compiler can recognise them by their function and run
// them inline instead of through the pointer.
float OpAdd(float a, float b);
float OpSub(float a, float b);
float OpMul(float a, float b);
float OpDiv(float a, float b);
float OpNeg(float a, float b);
float OpEqual(float a, float b);
float OpNotEqual(float a, float b);
float OpLess(float a, float b);
float OpGreater(float a, float b);
float OpLessEqual(float a, float b);
float OpGreaterEqual(float a, float b);

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
};

enum ECharClass { CC_DIGIT = 0, CC_LETTER = 1, CC_BRACKET = 2, CC_SYMBOL = 3, CC_COMMA = 4 };

}  // namespace expression

class COperatorTable {
public:
    std::map<std::string, expression::TOperatorData> ops;

    COperatorTable();
    void Add(const expression::TOperatorData& op);
    bool Exists(const std::string& name) const;
    const expression::TOperatorData* Get(const std::string& name) const;
    void RegisterDefaults();
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
    expression::TVar* GetVar(const std::string& name);
    bool Exists(const std::string& name) const;
    void Clear();

private:
    const expression::TVar* Find(const std::string& name) const;
};

class CFunctionTable {
public:
    std::map<std::string, expression::TFunction> funcs;

    void AddFunc(const std::string& name, const expression::TFunction& fn);
    bool Exists(const std::string& name) const;
    const expression::TFunction* Get(const std::string& name) const;
    void Clear() { funcs.clear(); }
};

class CTokenList {
public:
    std::vector<expression::TToken> tokens;

    bool Tokenize(std::string text, const CStringList& localNames);
    bool ClassifyTokens(const CStringList& localNames, bool report);
    void Add(const std::string& text, int type);
    void Push(const expression::TToken& token) { tokens.push_back(token); }
    void Clear() { tokens.clear(); }
    int Count() const { return static_cast<int>(tokens.size()); }
    const expression::TToken& At(int i) const { return tokens[static_cast<std::size_t>(i)]; }
    int FindClosingBracket(int i) const;
    bool CheckBrackets() const;
    std::string ToString() const;
};

int CharClass(char ch);
bool IsNumber(const std::string& s);
int InputIndex(const std::string& name);

extern COperatorTable g_OperatorTable;
extern CVarTable g_VarTable;
extern CFunctionTable g_FunctionTable;
