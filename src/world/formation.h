// Formations: groups of units laid out by a formation type, one unit per slot, each with its own
// script threads under the formation's. While a formation updates it is g_CurrentFormation, the
// one the "Formation." script functions, the "Formation…" variables and the "FormationUnit…"
// expression functions act on.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "foundation/objectbase.h"
#include "script/scriptrunner.h"
#include "world/unit.h"

class CFormationData;

class CUnitFormation : public CObject {
public:
    std::vector<CUnit> units;  // one per slot, sized once by Start: units never move
    CScriptRunner runner;
    std::string name;  // lower-cased
    CFormationData* pData = nullptr;
    float x = 0.0f;
    float y = 0.0f;  // the height last given to SetUnitsHeight
    float z = 0.0f;

    CUnitFormation();
    CUnitFormation(const CUnitFormation&) = default;
    CUnitFormation& operator=(const CUnitFormation&) = default;
    // A formation that goes while it or one of its units is current is forgotten as current.
    ~CUnitFormation();

    // Ready, with its "main" thread started; no unit is placed.
    void Start(const std::string& formationName, CFormationData* data, float posX, float posZ);
    // Starts the unit of one slot (0-based) at a position drawn for that slot; nothing for a slot
    // that does not exist or whose unit is alive.
    void PlaceUnit(int slot);
    // The formation's position plus the slot's offset plus a fresh random spread, x drawn first.
    void SlotPosition(int slot, float& outX, float& outZ) const;
    void Update();
    void Render();
    // Restarts the "OnMove" thread with (x, z); the formation's position does not change.
    void OnMove(float toX, float toZ);
    // The formation and every living unit put in place at once.
    void Teleport(float toX, float toZ);
    void MoveUnit(int index, float toX, float toZ);
    void MoveUnitSmall(int index);
    void SetUnitsHeight(int mode, float height, int frames, float gain, float maxSpeed, float maxAccel);

private:
    bool HasUnit(int index) const { return index >= 0 && index < static_cast<int>(units.size()); }
};

class FormationManager : public CObject {
public:
    // Formations are never removed, so a script that creates them without end would take all
    // memory; past either bound none is created. Units count whether placed or not.
    static constexpr std::size_t kMostFormations = 10000;
    static constexpr std::size_t kMostUnits = 100000;

    int nFlag;  // read by nothing
    std::list<CUnitFormation> formations;  // in creation order; a formation never moves

    explicit FormationManager(int flag) : nFlag(flag) {}

    // Count 0 or more places the slots below it, -1 every slot, any other negative none. Past
    // the bounds: null, and the first refusal is reported.
    CUnitFormation* CreateFormation(const std::string& name, CFormationData* data, int count, float x, float z);
    CUnitFormation* AddFormation(const std::string& name, CFormationData* data);
    // The first formation of that name, letter case ignored.
    CUnitFormation* FindFormation(const std::string& name);
    void MoveFormation(const std::string& name, float x, float z);
    void TeleportFormation(const std::string& name, float x, float z);
    void UpdateAll();
    void RenderAll();

private:
    bool bFullReported = false;
    // The units of the list's formations, as counted when the list last had nCountedFormations.
    std::size_t nCountedFormations = 0;
    std::size_t nCountedUnits = 0;

    bool HasRoomFor(const CFormationData* data);
};

extern CUnitFormation* g_CurrentFormation;
