#include "script/expressionbase.h"

#include <algorithm>

#include "foundation/objectbase.h"
#include "foundation/stringutil.h"
#include "script/operators.h"

namespace expression {

float TVar::Get() const
{
    switch (type) {
    case VT_UNDEFINED:
        GlobalError("Var Not Found");
        return -9999.0f;
    case VT_MEMORY:
        return *pValue;
    case VT_FUNC:
        if (!getter) {
            GlobalError("Var Func Not Defined");
            return -9999.0f;
        }
        return getter();
    default:
        return -9999.0f;
    }
}

void TVar::Set(float value) const
{
    switch (type) {
    case VT_UNDEFINED:
        GlobalError("Var Not Defined:" + name);
        break;
    case VT_MEMORY:
        *pValue = value;
        break;
    case VT_FUNC:
        if (!setter)
            GlobalError("Var Func Not Defined:(read-only var):" + name);
        else
            setter(value);
        break;
    default:
        break;
    }
}

float TFunction::Calculate(const float* args, int count) const
{
    if (!func) {
        GlobalError("Error: function cant calculate:" + name);
        return 0.0f;
    }
    return func(args, count);
}

}  // namespace expression

using namespace expression;

COperatorTable::COperatorTable() { RegisterDefaults(); }

void COperatorTable::Add(const TOperatorData& op)
{
    if (op.name.empty()) {
        GlobalError("OprName不能为空");
        return;
    }
    auto [it, added] = ops.emplace(ToLower(op.name), op);
    if (!added)
        return;
    index.Add(it->first, &it->second);
    if (it->first.size() == 1)
        singles[static_cast<unsigned char>(it->first[0])] = &it->second;
}

void COperatorTable::RegisterDefaults()
{
    ops.clear();
    index.Clear();
    std::fill(std::begin(singles), std::end(singles), nullptr);
#define EXPRESSION_OPERATOR_REGISTER(Name, text, type, level, result) Add({text, type, level, Op##Name});
    EXPRESSION_OPERATORS(EXPRESSION_OPERATOR_REGISTER)
#undef EXPRESSION_OPERATOR_REGISTER
}

CVarTable::CVarTable() : temps(MAX_TEMP_VARS), tempValues(MAX_TEMP_VARS, 0.0f) { Clear(); }

void CVarTable::AddVar(const std::string& name, const TVar& var)
{
    if (name.empty()) {
        GlobalError("VarName不能为空");
        return;
    }
    auto [it, added] = vars.emplace(ToLower(name), var);
    if (added)
        index.Add(it->first, &it->second);
}

void CVarTable::AddTempVar(const std::string& name)
{
    if (name.empty()) {
        GlobalError("VarName不能为空");
        return;
    }
    if (tempCount >= MAX_TEMP_VARS) {
        GlobalError("临时变量数量上溢");
        return;
    }
    TVar& v = temps[static_cast<std::size_t>(tempCount)];
    v.name = ToLower(name);
    v.type = VT_MEMORY;
    v.pValue = &tempValues[static_cast<std::size_t>(tempCount)];
    ++tempCount;
}

// Registered variables hide temporaries of the same name; temporary names are stored lower-cased.
TVar* CVarTable::GetVar(std::string_view name)
{
    if (TVar* var = index.Find(name))
        return var;
    for (int i = 0; i < tempCount; ++i)
        if (SameName(temps[static_cast<std::size_t>(i)].name, name))
            return &temps[static_cast<std::size_t>(i)];
    return nullptr;
}

void CVarTable::Clear()
{
    vars.clear();
    index.Clear();
    tempCount = 0;
}

void CFunctionTable::AddFunc(const std::string& name, const TFunction& fn)
{
    if (name.empty()) {
        GlobalError("FuncName不能为空");
        return;
    }
    auto [it, added] = funcs.emplace(ToLower(name), fn);
    if (added)
        index.Add(it->first, &it->second);
}

namespace {

constexpr int LISTED_LOCALS = 8;

}  // namespace

int CLocalIndex::Find(const CStringList& names, std::string_view name) const
{
    if (names.Count() < nIndexed)
        return names.IndexOf(std::string(name));
    if (nIndexed > 0)
        if (const int* index = table.Find(name))
            return *index;
    for (int i = nIndexed; i < names.Count(); ++i)
        if (names.At(i) == name)
            return i;
    return -1;
}

void CLocalIndex::Update(const CStringList& names)
{
    if (names.Count() < nIndexed)
        Clear();
    if (names.Count() <= LISTED_LOCALS)
        return;
    for (; nIndexed < names.Count(); ++nIndexed)
        table.Add(names.At(nIndexed), nIndexed);
}
