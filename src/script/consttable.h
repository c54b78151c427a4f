// Named number and text constants read from "$\Global\*.txt"; a script imports a table with
// "using const" and its expressions then see the number constants as literals.
#pragma once

#include <string>
#include <string_view>

#include "foundation/arraylist.h"
#include "foundation/nameindex.h"
#include "foundation/objectbase.h"

class CIniFile;

enum EConstType { CT_NUMBER = 1, CT_TEXT = 2 };

struct TConst {
    std::string name;
    int type = CT_NUMBER;
    float value = 0.0f;
    std::string text;
};

class CConstTable : public CObject {
public:
    ArrayList<TConst> consts;
    std::string name;

    void Add(const TConst& item);
    TConst* Find(const std::string& constName);
    bool Has(const std::string& constName) { return Find(constName) != nullptr; }
    bool Merge(CConstTable& other);
    void Clear() { consts.Clear(); }
    bool LoadSection(CIniFile& file, std::string sectionName);
    void LoadFile(std::string path);

private:
    // The compiler looks up every word of a script among the constants it imports.
    CNamedListIndex<TConst> m_Index{&TConst::name};

    void AddLine(std::string_view line);
};

class CConstTableSet : public ArrayList<CConstTable> {
public:
    void LoadDirectory(std::string folder);
    void LoadFile(std::string fileName);
    CConstTable* FindTable(const std::string& tableName);

private:
    CNamedListIndex<CConstTable> m_Index{&CConstTable::name};
};

extern CConstTable g_ConstTable;
extern CConstTableSet g_ConstTableSet;
