// Unit and formation types, defined one per section of their data files and held for the whole
// run by g_UnitDataManager. Units and formations keep plain pointers to their types: the block
// lists never move an element.
#pragma once

#include <string>
#include <vector>

#include "foundation/arraylist.h"
#include "foundation/nameindex.h"
#include "foundation/objectbase.h"
#include "script/scriptbase.h"

class CIniFile;
class CObject3D;
struct TAnimData;
struct TScriptParam;

class CUnitData : public CObject {
public:
    std::string name;  // the section name, the type's only key
    std::string fullname;
    float armor = 0.0f;
    float speed = 0.0f;  // the default move's speed limit and "UnitMaxSpeed"
    float Radiusx = 0.0f;  // the extents: stored only
    float Radiusy = 0.0f;
    float Radiusz = 0.0f;
    float objscale = 1.0f;
    CScriptLibrary scripts;
    CObject3D* pObj3D = nullptr;      // owned by g_Object3DList
    std::vector<TAnimData*> anims;   // owned by the scene's animation groups

    // Animation groups must be loaded before the types that name their animations.
    bool Load(CIniFile& file, const std::string& section);
};

struct TFormationSlot {
    float offsetx = 0.0f;
    float offsetz = 0.0f;
    CUnitData* pUnitData = nullptr;
    float randomoffsetx = 0.0f;  // half-width of the random spread on each axis
    float randomoffsetz = 0.0f;
};

class CFormationData : public CObject {
public:
    std::string name;
    std::string fullname;
    int nMaxUnit = 0;
    std::vector<TFormationSlot> slots;  // element k is slot k+1 of the file
    CScriptLibrary scripts;

    // Unit types must be loaded before the formation types that name them.
    void Load(CIniFile& file, const std::string& section);
};

class UnitDataManager : public CNamedObject {
public:
    ArrayList<CUnitData> units;
    ArrayList<CFormationData> formations;

    // Every type of every file of `path` that matches `filter`; the path stays the current
    // folder. A name already loaded keeps its first type. Always true.
    bool LoadUnits(const std::string& path, const std::string& filter);
    bool LoadFormations(const std::string& path, const std::string& filter);
    CUnitData* AddUnitData(CIniFile& file, const std::string& section);
    CFormationData* AddFormationData(CIniFile& file, const std::string& section);
    CUnitData* FindUnitData(const std::string& name);
    CFormationData* FindFormationData(const std::string& name);

private:
    // Every add looks its name up first, so a file of many types would otherwise load in
    // quadratic time.
    CNamedListIndex<CUnitData> m_UnitIndex{&CUnitData::name};
    CNamedListIndex<CFormationData> m_FormationIndex{&CFormationData::name};
};

extern UnitDataManager g_UnitDataManager;

// "Scene.LoadUnits" and "Scene.LoadUnitFormations" ("ss": folder, file pattern).
void Scene_LoadUnits(TScriptParam* args, int count);
void Scene_LoadUnitFormations(TScriptParam* args, int count);
