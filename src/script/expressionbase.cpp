#include "script/expressionbase.h"

#include "foundation/objectbase.h"
#include "foundation/stringutil.h"

namespace expression {

float OpAdd(float a, float b) { return a + b; }
float OpSub(float a, float b) { return a - b; }
float OpMul(float a, float b) { return a * b; }
float OpDiv(float a, float b) { return a / b; }
float OpNeg(float a, float) { return -a; }
float OpEqual(float a, float b) { return a == b ? 1.0f : 0.0f; }
float OpNotEqual(float a, float b) { return a != b ? 1.0f : 0.0f; }
float OpLess(float a, float b) { return a < b ? 1.0f : 0.0f; }
float OpGreater(float a, float b) { return a > b ? 1.0f : 0.0f; }
float OpLessEqual(float a, float b) { return a <= b ? 1.0f : 0.0f; }
float OpGreaterEqual(float a, float b) { return a >= b ? 1.0f : 0.0f; }

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
    ops.emplace(ToLower(op.name), op);
}

bool COperatorTable::Exists(const std::string& name) const { return ops.count(ToLower(name)) != 0; }

const TOperatorData* COperatorTable::Get(const std::string& name) const
{
    auto it = ops.find(ToLower(name));
    return it == ops.end() ? nullptr : &it->second;
}

void COperatorTable::RegisterDefaults()
{
    ops.clear();
    Add({"+", OT_BINARY, 2, OpAdd});
    Add({"-", OT_BINARY, 2, OpSub});
    Add({"*", OT_BINARY, 1, OpMul});
    Add({"/", OT_BINARY, 1, OpDiv});
    Add({"neg", OT_PREFIX, 0, OpNeg});
    Add({"==", OT_BINARY, 2, OpEqual});
    Add({"<>", OT_BINARY, 2, OpNotEqual});
    Add({"<", OT_BINARY, 2, OpLess});
    Add({">", OT_BINARY, 2, OpGreater});
    Add({"<=", OT_BINARY, 2, OpLessEqual});
    Add({">=", OT_BINARY, 2, OpGreaterEqual});
}

CVarTable::CVarTable() : temps(MAX_TEMP_VARS), tempValues(MAX_TEMP_VARS, 0.0f) { Clear(); }

void CVarTable::AddVar(const std::string& name, const TVar& var)
{
    if (name.empty()) {
        GlobalError("VarName不能为空");
        return;
    }
    vars.emplace(ToLower(name), var);
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

const TVar* CVarTable::Find(const std::string& name) const
{
    std::string key = ToLower(name);
    auto it = vars.find(key);
    if (it != vars.end())
        return &it->second;
    for (int i = 0; i < tempCount; ++i)
        if (temps[static_cast<std::size_t>(i)].name == key)
            return &temps[static_cast<std::size_t>(i)];
    return nullptr;
}

TVar* CVarTable::GetVar(const std::string& name) { return const_cast<TVar*>(Find(name)); }

bool CVarTable::Exists(const std::string& name) const { return Find(name) != nullptr; }

void CVarTable::Clear()
{
    vars.clear();
    tempCount = 0;
}

void CFunctionTable::AddFunc(const std::string& name, const TFunction& fn)
{
    if (name.empty()) {
        GlobalError("FuncName不能为空");
        return;
    }
    funcs.emplace(ToLower(name), fn);
}

bool CFunctionTable::Exists(const std::string& name) const { return funcs.count(ToLower(name)) != 0; }

const TFunction* CFunctionTable::Get(const std::string& name) const
{
    auto it = funcs.find(ToLower(name));
    return it == funcs.end() ? nullptr : &it->second;
}
