#include "script/scriptbase.h"

#include <algorithm>
#include <utility>

#include "foundation/inifile.h"
#include "foundation/stringutil.h"
#include "script/consttable.h"
#include "foundation/namedlist.h"

using namespace script;

void CSystemFuncTable::Register(const std::string& name, SystemFuncHandler handler, const std::string& signature)
{
    auto [it, added] = funcs.try_emplace(ToLower(name));
    if (!added)
        return;
    index.Add(it->first, &it->second);
    TSystemFunc& f = it->second;
    f.strName = name;
    f.pfnHandler = handler;
    f.nParamCount = static_cast<int>(signature.size());
    for (std::size_t i = 0; i < signature.size() && i < MAX_SCRIPT_PARAMS; ++i) {
        char c = signature[i];
        f.paramTypes[i] = (c == 'i' || c == 'I')   ? SPT_INT
                          : (c == 'v' || c == 'V') ? SPT_NUMBER
                          : (c == 's' || c == 'S') ? SPT_STRING
                                                   : SPT_ANY;
    }
}


int TScript::AddLocal(const std::string& name)
{
    localNames.Add(ToLower(name));
    localIndex.Update(localNames);
    return localNames.Count() - 1;
}

namespace {

// Parses and links the lines that `lineAt` gives; blank lines are skipped but keep their number.
template <typename LineAt>
bool LoadLines(TScript& script, LineAt lineAt, int count)
{
    script.bRunnable = false;
    script.code.clear();
    script.localIndex.Update(script.localNames);
    g_ConstTable.Clear();
    static std::string line;
    for (int i = 0; i < count; ++i) {
        line.assign(TrimView(lineAt(i)));
        if (line.empty())
            continue;
        TScriptInstruction instr;
        instr.pOwner = &script;
        if (!instr.Parse(line)) {
            GlobalError("Script Load Error At Line " + IntToString(i) + ": " + std::string(lineAt(i)));
            return false;
        }
        script.instructions.push_back(std::move(instr));
    }
    script.bRunnable = script.Link();
    if (script.bRunnable)
        script.BuildCode();
    return script.bRunnable;
}

}  // namespace

bool TScript::Load(const CStringList& lines)
{
    return LoadLines(*this, [&lines](int i) -> const std::string& { return lines.At(i); }, lines.Count());
}

bool TScript::Load(const CTextLines& lines, int first, int count)
{
    return LoadLines(*this, [&lines, first](int i) { return lines.At(first + i); }, count);
}

namespace {

struct TBlock {
    int index;
    int kind;
    std::vector<int> elseifs;  // the elseifs of an if chain, told the chain's end when it closes
};

void SetInt(TScriptParam& p, int value)
{
    p.type = SPT_INT;
    p.nValue = value;
}

}  // namespace

bool TScript::Link()
{
    const int n = Length();

    // Kept from one link to the next, as the other lists below: scripts are linked one at a time,
    // and a file of many sections links many.
    static std::vector<std::string> Labels;
    static std::vector<int> LabelLines;
    Labels.clear();
    LabelLines.clear();
    for (int i = 0; i < n; ++i)
        if (instructions[i].type == SIT_LABEL) {
            Labels.push_back(instructions[i].params[0].strText);
            LabelLines.push_back(i);
        }

    for (int i = 0; i < n; ++i) {
        TScriptInstruction& instr = instructions[i];
        if (instr.type != SIT_GOTO)
            continue;
        const std::string& name = instr.params[0].strText;
        std::size_t k = 0;
        while (k < Labels.size() && Labels[k] != name)
            ++k;
        if (k == Labels.size()) {
            GlobalError("Goto Label: " + name + " is not Defined");
            return false;
        }
        SetInt(instr.params[1], LabelLines[k]);
    }

    static std::vector<TBlock> blocks;
    blocks.clear();
    for (int i = 0; i < n; ++i) {
        TScriptInstruction& instr = instructions[i];
        switch (instr.type) {
        case SIT_IF:
        case SIT_WHILE:
            blocks.push_back({i, instr.type, {}});
            break;
        case SIT_ELSE:
        case SIT_ELSEIF: {
            int lasttype = blocks.empty() ? SIT_NONE : blocks.back().kind;
            if (lasttype != SIT_IF && lasttype != SIT_ELSEIF) {
                GlobalError(instr.type == SIT_ELSE
                                ? "This 'Else' has no Corresponding 'If/elseif',script line:" + IntToString(i)
                                : "This 'ElseIf' has no Corresponding 'If/elseif',script line:" + IntToString(i));
                return false;
            }
            TBlock& top = blocks.back();
            SetInt(instructions[top.index].params[1], instr.type == SIT_ELSE ? i + 1 : i);
            instructions[top.index].bFalseToElseIf = instr.type == SIT_ELSEIF;
            top.index = i;
            top.kind = instr.type;
            if (instr.type == SIT_ELSEIF)
                top.elseifs.push_back(i);
            break;
        }
        case SIT_END: {
            if (blocks.empty()) {
                GlobalError("This 'End' has no Corresponding 'While/If',script line:" + IntToString(i));
                return false;
            }
            TBlock top = blocks.back();
            blocks.pop_back();
            TScriptInstruction& opener = instructions[top.index];
            if (top.kind == SIT_ELSE) {
                SetInt(opener.params[0], i + 1);
            } else {
                SetInt(opener.params[1], i + 1);
                if (top.kind == SIT_WHILE)
                    SetInt(instr.params[0], top.index);
            }
            for (int e : top.elseifs)
                instructions[e].nChainEnd = i + 1;
            break;
        }
        default:
            break;
        }
    }
    if (!blocks.empty()) {
        GlobalError("If or While and endif does not correspond at " + IntToString(blocks.back().index));
        return false;
    }

    static std::vector<int> loops;
    loops.clear();
    for (int i = 0; i < n; ++i) {
        TScriptInstruction& instr = instructions[i];
        switch (instr.type) {
        case SIT_IF:
        case SIT_WHILE:
            loops.push_back(i);
            break;
        case SIT_END:
            // The block pass has matched every end with an opener.
            loops.pop_back();
            break;
        case SIT_CONTINUE:
        case SIT_BREAK: {
            int j = static_cast<int>(loops.size()) - 1;
            while (j >= 0 && instructions[loops[j]].type != SIT_WHILE)
                --j;
            if (j < 0) {
                GlobalError(instr.type == SIT_CONTINUE
                                ? "This 'continue' has no Corresponding 'While',script line:" + IntToString(i)
                                : "This 'break' has no Corresponding 'While',script line:" + IntToString(i));
                return false;
            }
            int w = loops[j];
            SetInt(instr.params[0], instr.type == SIT_CONTINUE ? w : instructions[w].params[1].nValue);
            break;
        }
        default:
            break;
        }
    }
    return true;
}

namespace {

std::uint64_t g_LibraryStamps = 0;

}  // namespace

CScriptLibrary::CScriptLibrary(const CScriptLibrary& other) : CObject(other), scripts(other.scripts)
{
    nStamp = ++g_LibraryStamps;
}

CScriptLibrary& CScriptLibrary::operator=(const CScriptLibrary& other)
{
    CObject::operator=(other);
    scripts = other.scripts;
    nStamp = ++g_LibraryStamps;
    return *this;
}

void CScriptLibrary::Clear()
{
    scripts.Clear();
    nStamp = ++g_LibraryStamps;
}

TScript* CScriptLibrary::AddScript(const CStringList& lines) { return AddScript(lines, ""); }

TScript* CScriptLibrary::AddScript(const CStringList& lines, const std::string& name)
{
    TScript* script = scripts.AddNew();
    script->Load(lines);
    script->strName = name;
    return script;
}

// The lines GetSectionLines would copy out; a section that cannot be found is a script of no
// lines.
TScript* CScriptLibrary::AddSection(CIniFile& ini, const std::string& section, const std::string& name)
{
    const CIniFile::TLineRange range = ini.SectionRange(section);
    TScript* script = scripts.AddNew();
    script->Load(ini.Lines, range.first, range.Count());
    script->strName = name;
    return script;
}

TScript* CScriptLibrary::LoadScript(CIniFile& ini, const std::string& section) { return AddSection(ini, section, section); }

TScript* CScriptLibrary::LoadScript(const std::string& path, const std::string& section)
{
    CIniFile ini(path);
    return LoadScript(ini, section);
}

TScript* CScriptLibrary::LoadFile(const std::string& path)
{
    CIniFile ini(path);
    CStringList sections;
    ini.GetSectionNames(sections);
    TScript* last = nullptr;
    for (const std::string& section : sections.Items)
        last = AddSection(ini, section, ToLower(section));
    return last;
}

TScript* CScriptLibrary::FindScript(const std::string& name) { return FindNamed(scripts, name); }

TScript* CScriptLibrary::FindScript(const std::string& name, script::TScriptLookup& lookup)
{
    bool valid = lookup.pLibrary == this && lookup.nStamp == nStamp && (lookup.pScript || lookup.nCount == Count());
    if (!valid) {
        lookup.pLibrary = this;
        lookup.nStamp = nStamp;
        lookup.nCount = Count();
        lookup.pScript = FindScript(name);
    }
    return lookup.pScript;
}
