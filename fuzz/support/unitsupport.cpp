#include "support/unitsupport.h"

#include "media/object3d.h"
#include "script/expression.h"
#include "support/fuzzsupport.h"
#include "support/scriptsupport.h"
#include "world/scene.h"
#include "world/unitdata.h"

namespace fuzz {

void PrepareUnits()
{
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
    ReturnToStartFolder();
}

}  // namespace fuzz
