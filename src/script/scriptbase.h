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
    // An if or elseif whose false jump lands on the next elseif of its own chain.
    bool bFalseToElseIf = false;

    bool Parse(const std::string& line);
    static void SplitArguments(const std::string& text, CStringList& out);

private:
    bool ParseCall(const std::string& lcstr, std::size_t p, TSystemFunc* func);
    void SetExpression(TScriptParam& slot, const std::string& text);
    void SetValue(TScriptParam& slot, const std::string& text);
};

// The runtime's own form of a linked script: a flat list of small steps over the frame's locals,
// scratch slots and the script's constants, in which the common statements and the expressions
// they hold are spelled out, so a loop runs with one dispatch per operation. Statements that
// reach outside the script (calls, global variables, expression functions, inputs) stay single
// steps that run the instruction itself.
enum EMicroKind : std::uint8_t { MK_CONST, MK_LOCAL, MK_TEMP };

struct TMicroOp {
    std::uint8_t op = 0;
    std::uint8_t kindA = MK_CONST;
    std::uint8_t kindB = MK_CONST;
    std::uint8_t kindOut = MK_TEMP;
    int a = 0;
    int b = 0;
    int out = 0;
    int target = 0;  // a step index to jump to
    int aux = -1;    // the instruction index the step belongs to, or a recorded false-jump target
    CExpression* pExpr = nullptr;
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
    std::vector<script::TMicroOp> code;
    std::vector<int> codeStart;  // the first step of each instruction, and of the end
    std::vector<float> codeConsts;

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
