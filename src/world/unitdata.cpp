#include "world/unitdata.h"

#include "foundation/inifile.h"
#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "media/object3d.h"
#include "script/scriptbase.h"
#include "world/scene.h"

namespace {

// Every section of every file of the folder that matches the filter, in list and file order.
template <typename T>
void LoadTypes(UnitDataManager& manager, T* (UnitDataManager::*add)(CIniFile&, const std::string&),
               const std::string& path, const std::string& filter)
{
    CStringList files;
    ListFolder(files, path, filter);
    for (const std::string& fileName : files.Items) {
        CIniFile file(fileName);
        CStringList sections;
        file.GetSectionNames(sections);
        for (const std::string& section : sections.Items)
            (manager.*add)(file, section);
    }
}

// The first definition of a name wins, across files and across calls.
template <typename T>
T* AddType(ArrayList<T>& list, CNamedListIndex<T>& index, CIniFile& file, const std::string& section)
{
    if (T* existing = index.Find(list, section))
        return existing;
    T* type = list.AddNew();
    type->Load(file, section);
    return type;
}

}  // namespace

bool CUnitData::Load(CIniFile& file, const std::string& section)
{
    file.SelectSection(section);
    name = section;
    fullname = file.GetString("fullname");
    armor = file.GetFloat("armor");
    speed = file.GetFloat("speed");
    Radiusx = file.GetFloat("Radiusx");
    Radiusy = file.GetFloat("Radiusy");
    Radiusz = file.GetFloat("Radiusz");
    objscale = file.GetFloat("objscale");
    pObj3D = g_Object3DList.Add(file.GetString("obj3d"));
    for (int i = 1;; ++i) {
        const std::string animName = file.GetString("anim" + IntToString(i));
        if (animName.empty())
            break;
        TAnimData* anim = g_Scene.animations.FindAnimData(animName);
        if (!anim) {
            Error(section + ":Cant Find AnimationData:" + animName);
            break;
        }
        anims.push_back(anim);
    }
    CIniFile scriptFile(file.GetString("script"));
    CStringList sections;
    scriptFile.GetSectionNames(sections);
    for (const std::string& scriptName : sections.Items)
        scripts.LoadScript(scriptFile, scriptName);
    return true;
}

void CFormationData::Load(CIniFile& file, const std::string& section)
{
    name = section;
    file.SelectSection(section);
    fullname = file.GetString("fullname");
    scripts.LoadFile(file.GetString("script"));
    for (int i = 1;; ++i) {
        const std::string number = IntToString(i);
        const std::string unitName = file.GetString("unit" + number);
        if (unitName.empty())
            break;
        TFormationSlot slot;
        slot.pUnitData = g_UnitDataManager.FindUnitData(unitName);
        if (!slot.pUnitData) {
            Error("Formation Data:Cant Find Unit:" + unitName);
            break;
        }
        slot.offsetx = file.GetFloat("offsetx" + number);
        slot.offsetz = file.GetFloat("offsetz" + number);
        slot.randomoffsetx = file.GetFloat("randomoffsetx" + number);
        slot.randomoffsetz = file.GetFloat("randomoffsetz" + number);
        slots.push_back(slot);
    }
    nMaxUnit = static_cast<int>(slots.size());
}

bool UnitDataManager::LoadUnits(const std::string& path, const std::string& filter)
{
    LoadTypes(*this, &UnitDataManager::AddUnitData, path, filter);
    return true;
}

bool UnitDataManager::LoadFormations(const std::string& path, const std::string& filter)
{
    LoadTypes(*this, &UnitDataManager::AddFormationData, path, filter);
    return true;
}

CUnitData* UnitDataManager::AddUnitData(CIniFile& file, const std::string& section)
{
    return AddType(units, m_UnitIndex, file, section);
}

CFormationData* UnitDataManager::AddFormationData(CIniFile& file, const std::string& section)
{
    return AddType(formations, m_FormationIndex, file, section);
}

CUnitData* UnitDataManager::FindUnitData(const std::string& name) { return m_UnitIndex.Find(units, name); }

CFormationData* UnitDataManager::FindFormationData(const std::string& name)
{
    return m_FormationIndex.Find(formations, name);
}

void Scene_LoadUnits(TScriptParam* args, int count) { g_UnitDataManager.LoadUnits(args[0].strText, args[1].strText); }

void Scene_LoadUnitFormations(TScriptParam* args, int count)
{
    g_UnitDataManager.LoadFormations(args[0].strText, args[1].strText);
}
