// Unit type files on any bytes: every section a unit type, with its numbered animations looked
// up and its script file (whatever "script" names) compiled.
#include <cstddef>
#include <cstdint>

#include "support/fuzzsupport.h"
#include "support/unitsupport.h"
#include "world/unitdata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    fuzz::PrepareUnits();
    fuzz::WriteInput(data, size, "units.txt");
    g_UnitDataManager.LoadUnits(fuzz::InputFolder(), "units.txt");
    for (int i = 0; i < g_UnitDataManager.units.Count(); ++i)
        if (g_UnitDataManager.units.Get(i)->anims.size() > 1000)
            __builtin_trap();
    fuzz::ForgetUnits();
    return 0;
}
