#include "support/unitsupport.h"

#include <filesystem>

#include "media/object3d.h"
#include "script/expression.h"
#include "support/scriptsupport.h"
#include "world/scene.h"
#include "world/unitdata.h"

namespace fuzz {

namespace {

// libFuzzer names corpus and artifact files relative to the folder it started in, which loading
// the types' folder changes.
const std::filesystem::path& StartFolder()
{
    static const std::filesystem::path folder = std::filesystem::current_path();
    return folder;
}

}  // namespace

void PrepareUnits()
{
    StartFolder();
    PrepareScripts();
    static const bool done = [] {
        // A group without a device: its definitions are all the types name.
        CAnimationGroup* group = g_Scene.animations.groups.AddNew();
        for (const char* name : {"spark", "puff"}) {
            TAnimData* anim = group->anims.AddNew();
            anim->name = name;
            anim->pGroup = group;
        }
        return true;
    }();
    (void)done;
    ForgetUnits();
}

void ForgetUnits()
{
    g_Scene.formations.formations.clear();
    g_UnitDataManager.formations.Clear();
    g_UnitDataManager.units.Clear();
    g_Object3DList.Clear();
    g_ExpressionPool.Clear();
    std::filesystem::current_path(StartFolder());
}

}  // namespace fuzz
