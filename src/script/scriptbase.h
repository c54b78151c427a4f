// The script language: instructions and their parameter slots, the system-function registry,
// compiled scripts and the named library of scripts each scripted owner holds.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "foundation/arraylist.h"
#include "foundation/objectbase.h"
#include "foundation/stringlist.h"
#include "script/expression.h"

class CIniFile;
struct TScript;

enum EScriptParamType {
    SPT_ANY = 0,
    SPT_INT = 1,
    SPT_NUMBER = 2,
    SPT_VAR = 3,
    SPT_LOCAL = 4,
    SPT_EXPR = 5,
    SPT_STRING = 6,
};

struct TScriptParam {
    std::string strText;
    int type = SPT_ANY;
    int nValue = 0;
    float fValue = 0.0f;
    expression::TVar* pVar = nullptr;
    CExpression* pExpr = nullptr;
};

using SystemFuncHandler = void (*)(TScriptParam* args, int count);

namespace script {

enum EScriptInstructionType {
    SIT_NONE = 0,
    SIT_ASSIGN = 1,
    SIT_WAIT = 2,
    SIT_CALL = 3,
    SIT_IF = 4,
    SIT_ELSE = 5,
    SIT_ELSEIF = 6,
    SIT_WHILE = 7,
    SIT_END = 8,
    SIT_GOTO = 9,
    SIT_CONTINUE = 10,
    SIT_BREAK = 11,
    SIT_LABEL = 12,
};

constexpr int MAX_SCRIPT_PARAMS = 32;

struct TSystemFunc {
    std::string strName;
    int paramTypes[MAX_SCRIPT_PARAMS] = {};
    TScriptParam args[MAX_SCRIPT_PARAMS];
    int nParamCount = 0;
    SystemFuncHandler pfnHandler = nullptr;
};

struct TScriptInstruction {
    TScript* pOwner = nullptr;
    EScriptInstructionType type = SIT_NONE;
    TScriptParam params[MAX_SCRIPT_PARAMS];
    int nParamCount = 0;
    TSystemFunc* pFunc = nullptr;
    // An elseif reached by running on from the branch above leaves the chain here.
    int nChainEnd = 0;

    bool Parse(const std::string& line);
    static void SplitArguments(const std::string& text, CStringList& out);

private:
    bool ParseCall(const std::string& lcstr, std::size_t p, TSystemFunc* func);
    CExpression* AddExpression(const std::string& text);
};

// The runtime's compact form of an instruction, built once a script has linked. The common kinds
// run from it directly; every other kind is run from the instruction itself.
enum ERunOp : std::uint8_t {
    RO_NOP,
    RO_SET_LOCAL_NUMBER,
    RO_SET_LOCAL_EXPR,
    RO_IF,
    RO_ELSEIF,
    RO_WHILE,
    RO_JUMP,
    RO_END_WHILE,
    RO_WAIT,
    RO_GENERAL,
};

// An expression as the runtime evaluates it: one built-in operator over locals and constants is
// computed in place, anything else through the expression.
struct TRunExpr {
    CExpression* pExpr = nullptr;
    bool bInline = false;
    std::uint8_t op = 0;
    bool bLocalA = false;
    bool bLocalB = false;
    int ia = 0;
    int ib = 0;
    float ka = 0.0f;
    float kb = 0.0f;

    void Set(CExpression* e);
};

struct TRunInstr {
    std::uint8_t op = RO_GENERAL;
    int target = 0;  // jump target; for the end of a while, the while
    int index = 0;   // local written; an elseif's chain end; a while end's exit
    float value = 0.0f;
    TRunExpr expr;
};

}  // namespace script

class CSystemFuncTable {
public:
    std::map<std::string, script::TSystemFunc> funcs;

    CSystemFuncTable() { Clear(); }
    ~CSystemFuncTable() { Clear(); }
    void Register(const std::string& name, SystemFuncHandler handler, const std::string& signature);
    bool Exists(const std::string& name) const;
    script::TSystemFunc* Get(const std::string& name);
    void Clear() { funcs.clear(); }
};

struct TScript {
    std::string strName;
    std::vector<script::TScriptInstruction> instructions;
    CStringList localNames;
    // False when the load or the link failed: such a script is never run.
    bool bRunnable = false;
    std::vector<script::TRunInstr> code;

    bool Load(const CStringList& lines);
    bool Link();
    int Length() const { return static_cast<int>(instructions.size()); }
    void BuildCode();
};

class CScriptLibrary : public CObject {
public:
    ArrayList<TScript> scripts;

    CScriptLibrary() { Clear(); }
    void Clear() { scripts.Clear(); }
    TScript* AddScript(const CStringList& lines);
    TScript* AddScript(const CStringList& lines, const std::string& name);
    TScript* LoadScript(CIniFile& ini, const std::string& section);
    TScript* LoadScript(const std::string& path, const std::string& section);
    TScript* LoadFile(const std::string& path);
    int Count() const { return scripts.Count(); }
    TScript* FindScript(const std::string& name);
};

extern CSystemFuncTable g_SystemFuncTable;
extern CScriptLibrary g_ScriptLibrary;
