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
#include "script/slots.h"
#include "script/steps.h"

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
    // Stamped by every call that fills args and by every handler handed them: a call line that
    // finds its own stamp still here knows args hold what it wrote.
    std::uint64_t nArgsStamp = 0;
};

struct TScriptInstruction {
    TScript* pOwner = nullptr;
    EScriptInstructionType type = SIT_NONE;
    // Calls aside, lines use two slots at most.
    CSlots<TScriptParam, MAX_SCRIPT_PARAMS, 2> params;
    int nParamCount = 0;
    TSystemFunc* pFunc = nullptr;
    // An elseif reached by running on from the branch above leaves the chain here.
    int nChainEnd = 0;
    // An if or elseif whose false jump lands on the next elseif of its own chain, which then tests
    // its condition.
    bool bFalseToElseIf = false;

    bool Parse(const std::string& line);
    static void SplitArguments(const std::string& text, CStringList& out);

private:
    bool ParseCall(const std::string& lcstr, std::size_t p, TSystemFunc* func);
    void SetExpression(TScriptParam& slot, std::string_view text);
    void SetValue(TScriptParam& slot, std::string_view text);
};

}  // namespace script

// Filled through Register, which keeps the index of the map in step.
class CSystemFuncTable {
public:
    std::map<std::string, script::TSystemFunc> funcs;

    CSystemFuncTable() { Clear(); }
    ~CSystemFuncTable() { Clear(); }
    void Register(const std::string& name, SystemFuncHandler handler, const std::string& signature);
    bool Exists(std::string_view name) const { return index.Find(name) != nullptr; }
    script::TSystemFunc* Get(std::string_view name) { return index.Find(name); }
    void Clear()
    {
        funcs.clear();
        index.Clear();
    }

private:
    CNameIndex<script::TSystemFunc> index;
};

struct TScript {
    std::string strName;
    std::vector<script::TScriptInstruction> instructions;
    CStringList localNames;
    CLocalIndex localIndex;
    // False when the load or the link failed: such a script is never run.
    bool bRunnable = false;
    // The steps of every instruction, which is how the script runs: instruction i's steps start at
    // codeStart[i], and the end of the script at codeStart[Length()].
    std::vector<script::TStep> code;
    std::vector<int> codeStart;
    // One record a call line.
    std::vector<script::TCallLine> callLines;
    // The locals, then the scratch registers of the statement being run.
    int nRegisters = 0;

    bool Load(const CStringList& lines);
    // Lines first to first + count - 1 of a data file's.
    bool Load(const CTextLines& lines, int first, int count);
    bool Link();
    int Length() const { return static_cast<int>(instructions.size()); }
    // The index of a new local name, appended lower-cased.
    int AddLocal(const std::string& name);
    void BuildCode();
};

// Scripts are only ever added, and go all at once through Clear, so a script found by name stays
// the one found until then, and a name not found may only be found after a script is added.
class CScriptLibrary : public CObject {
public:
    ArrayList<TScript> scripts;

    CScriptLibrary() { Clear(); }
    // A copy holds other scripts than its original: it gets a stamp of its own.
    CScriptLibrary(const CScriptLibrary& other);
    CScriptLibrary& operator=(const CScriptLibrary& other);
    void Clear();
    TScript* AddScript(const CStringList& lines);
    TScript* AddScript(const CStringList& lines, const std::string& name);
    TScript* LoadScript(CIniFile& ini, const std::string& section);
    TScript* LoadScript(const std::string& path, const std::string& section);
    TScript* LoadFile(const std::string& path);
    int Count() const { return scripts.Count(); }
    TScript* FindScript(const std::string& name);
    // FindScript, answered from `lookup` (made with the same name) while it still holds.
    TScript* FindScript(const std::string& name, script::TScriptLookup& lookup);

private:
    // A section's lines straight from the file's.
    TScript* AddSection(CIniFile& ini, const std::string& section, const std::string& name);

    // Taken afresh at every Clear from a count that never repeats, so a lookup can tell a library
    // cleared since, or another library built where a destroyed one was.
    std::uint64_t nStamp = 0;
};

extern CSystemFuncTable g_SystemFuncTable;
extern CScriptLibrary g_ScriptLibrary;
