// Formation type files on any bytes, over two unit types "tank" and "scout": every section a
// formation type, and one formation made of each with every slot placed.
#include <cstddef>
#include <cstdint>

#include "support/fuzzsupport.h"
#include "support/unitsupport.h"
#include "world/scene.h"
#include "world/unitdata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    fuzz::PrepareUnits();
    fuzz::WriteInput(reinterpret_cast<const std::uint8_t*>("[tank]\n[scout]\n"), 15, "unittypes.txt");
    g_UnitDataManager.LoadUnits(fuzz::InputFolder(), "unittypes.txt");
    fuzz::WriteInput(data, size, "formations.txt");
    g_UnitDataManager.LoadFormations(fuzz::InputFolder(), "formations.txt");
    for (int i = 0; i < g_UnitDataManager.formations.Count(); ++i) {
        CFormationData* type = g_UnitDataManager.formations.Get(i);
        if (type->nMaxUnit != static_cast<int>(type->slots.size()))
            __builtin_trap();
        CUnitFormation* f = g_Scene.formations.CreateFormation(type->name, type, -1, 0, 0);
        for (const CUnit& unit : f->units)
            if (!unit.bAlive || !unit.pData)
                __builtin_trap();
    }
    fuzz::ForgetUnits();
    return 0;
}
