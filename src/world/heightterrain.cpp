#include "world/heightterrain.h"

#include <cmath>

#include "foundation/inifile.h"
#include "foundation/namedlist.h"
#include "foundation/stringutil.h"
#include "world/camera.h"
#include "world/heightblock.h"

namespace {

// A strip of more blocks than this is no strip anyone draws; the cap also ends a placement whose
// steps vanish in float rounding far from the origin.
constexpr std::size_t kMostPlacedBlocks = 1024;

// The terrain compares its modes as floats: 1.5 is no mode at all, not a linear change.
int ModeOf(float mode)
{
    return mode == 0.0f || mode == 1.0f || mode == 2.0f ? static_cast<int>(mode) : -1;
}

// The view depths the camera shows, near to far plane, and whether a block may reach into them.
// A view whose depth axis is not a unit vector (the eye on the point looked at), planes out of
// order or any value that is not finite cull nothing.
class DepthSlab {
public:
    DepthSlab(const D3DXMATRIX& view, float nearPlane, float farPlane)
        : axis(view._13, view._23, view._33), origin(view._43), nearZ(nearPlane), farZ(farPlane)
    {
        const double length = std::sqrt(double(axis.x) * axis.x + double(axis.y) * axis.y + double(axis.z) * axis.z);
        culls = std::fabs(length - 1.0) < 1e-3 && nearZ > 0.0 && farZ > nearZ;
    }

    // The block's mesh spans x and z by half its size either side of the offset and y from the
    // offset to the offset plus its height scale. The margin covers the device's rounding.
    bool Shows(const D3DXVECTOR3& offset, const D3DXVECTOR3& size) const
    {
        if (!culls)
            return true;
        const double half[3] = {std::fabs(double(size.x)) / 2, std::fabs(double(size.y)) / 2,
                                std::fabs(double(size.z)) / 2};
        const double centre[3] = {offset.x, offset.y + double(size.y) / 2, offset.z};
        const double a[3] = {axis.x, axis.y, axis.z};
        double depth = origin, reach = 0.0;
        for (int i = 0; i < 3; ++i) {
            depth += a[i] * centre[i];
            reach += std::fabs(a[i]) * half[i];
        }
        const double margin = 1e-4 * (std::fabs(depth) + reach + farZ);
        return !(depth - reach > farZ + margin || depth + reach < nearZ - margin);
    }

private:
    D3DXVECTOR3 axis;
    double origin;
    double nearZ;
    double farZ;
    bool culls = false;
};

}  // namespace

CHeightTerrain::CHeightTerrain()
{
    strClassName = "CHeightTerrain";
    speed.Set(0.0f);
    height.Set(0.0f);
    offsetx.Set(0.0f);
}

void CHeightTerrain::Load(std::string file)
{
    CIniFile ini = OpenDataFile(file);
    ini.SelectSection("data");
    globalwidthx = ini.GetFloat("globalwidthx");
    globalwidthz = ini.GetFloat("globalwidthz");
    globalmaxheight = ini.GetFloat("globalmaxheight");
    LOD = ini.GetInt("LOD");
    if (LOD != ClampLOD(LOD)) {
        Warning("LOD must be 0 to 5, not " + IntToString(LOD), 0);
        LOD = ClampLOD(LOD);
    }
    viewboardermin = ini.GetFloat("viewboardermin");
    viewboardermax = ini.GetFloat("viewboardermax");
    height.Set(ini.GetFloat("height"));
    speed.Set(ini.GetFloat("speed"));
    const std::string blockFolder = ini.GetString("BlockDataDir");
    g_HeightBlockManager.LoadBlockList(ini, "blocklist", blockFolder,
                                       D3DXVECTOR3(globalwidthx, globalmaxheight, globalwidthz), LOD);
    ParseOrder(ini, "order");
    bPlaceable = CheckPlaceable();
}

void CHeightTerrain::ParseOrder(CIniFile& file, std::string section)
{
    order.Clear();
    // The section's lines read where the file holds them.
    const CIniFile::TLineRange lines = file.SectionRange(section);
    std::string loopName;
    int loopStart = -1;
    for (int i = 0; i < lines.Count(); ++i) {
        TOrderItem* item = order.AddNew();
        const std::string line(file.Lines.At(lines.first + i));
        if (!line.empty() && line[0] == '[') {
            item->type = OI_LOOP_START;
            item->name = line.substr(1);
            loopName = item->name;  // loops do not nest: a new start replaces an open loop
            loopStart = i;
        } else if (!line.empty() && line[0] == ']') {
            if (loopStart < 0) {
                Error("No corresponding Loop Start Found at" + IntToString(i));
                return;
            }
            item->type = OI_LOOP_END;
            item->name = loopName;
            item->nMatch = loopStart;
            loopName.clear();
            loopStart = -1;
        } else {
            item->pBlock = g_HeightBlockManager.Find(line);
            if (!item->pBlock) {
                Error("HeightBlock Not Found" + line);
                return;
            }
            item->type = OI_BLOCK;
        }
    }
}

// The walk finds a block from anywhere when the order holds one and every loop holds one: a
// loop's end leads back to its start, and a loop holds nothing but blocks between the two. A
// disabled loop only shortens the walk, so an order that passes here always yields a block.
bool CHeightTerrain::CheckPlaceable()
{
    int lastBlock = -1;
    int i = 0;
    for (const TOrderItem& item : order) {
        if (item.type == OI_BLOCK) {
            lastBlock = i;
        } else if (item.type == OI_LOOP_END && lastBlock < item.nMatch) {
            Error("Loop Holds No Block:" + item.name);
            return false;
        }
        ++i;
    }
    if (lastBlock < 0) {
        Error("Order Holds No Block");
        return false;
    }
    if (!(globalwidthz > 0.0f)) {
        Error("globalwidthz Must Be Above 0");
        return false;
    }
    return true;
}

void CHeightTerrain::ResetOrder()
{
    nCurrentOrder = -1;
    disabledLoops.Clear();
}

int CHeightTerrain::NextOrder()
{
    const int n = order.Count();
    if (n < 1 || !bPlaceable)
        return -1;
    for (;;) {
        if (++nCurrentOrder >= n)
            nCurrentOrder = 0;
        const TOrderItem* item = order.Get(nCurrentOrder);
        if (item->type == OI_BLOCK)
            return nCurrentOrder;
        if (item->type == OI_LOOP_END && !LoopDisabled(item->name))
            nCurrentOrder = item->nMatch;
    }
}

bool CHeightTerrain::LoopDisabled(const std::string& name) const
{
    for (const std::string& disabled : disabledLoops.Items)
        if (SameName(disabled, name))
            return true;
    return false;
}

// A name already disabled is not added again, so a script that disables a loop every tick does
// not grow the list.
void CHeightTerrain::DisableLoop(std::string name)
{
    if (!name.empty() && !LoopDisabled(name))
        disabledLoops.Add(name);
}

void CHeightTerrain::Start()
{
    ResetOrder();
    instances.clear();
    FillAhead(viewboardermin);
}

void CHeightTerrain::Update()
{
    speed.Update();
    height.Update();
    offsetx.Update();
    if (instances.empty())
        return;
    const float half = globalwidthz / 2.0f;
    const float step = speed.Get();
    float farEdge = 0.0f;
    for (auto it = instances.begin(); it != instances.end();) {
        it->z -= step;
        farEdge = it->z + half;
        if (farEdge < viewboardermin || it->z - half > viewboardermax)
            it = instances.erase(it);
        else
            ++it;
    }
    FillAhead(farEdge);
}

void CHeightTerrain::FillAhead(float z)
{
    while (z < viewboardermax && instances.size() < kMostPlacedBlocks) {
        const int i = NextOrder();
        if (i < 0)
            return;
        instances.push_back({order.Get(i)->pBlock, z + globalwidthz / 2.0f});
        z += globalwidthz;
    }
}

// A block wholly nearer than the near plane or farther than the far plane shows nothing, so only
// its states are set: what the scene draws next inherits them as from a drawn block.
void CHeightTerrain::Render(const CSceneCamera& camera)
{
    D3DXMATRIX view;
    camera.GetViewMatrix(&view);
    const DepthSlab slab(view, camera.Near, camera.Far);
    for (const TBlockInstance& instance : instances) {
        const D3DXVECTOR3 offset(offsetx.Get(), height.Get(), instance.z);
        if (slab.Shows(offset, instance.pBlock->GetSize()))
            instance.pBlock->Render(&offset);
        else
            instance.pBlock->SetRenderStates(&offset);
    }
}

void CHeightTerrain::ChangeSpeed(float mode, float value, int frames, float gain, float maxSpeed, float maxAccel)
{
    ChangeInterpolator(speed, ModeOf(mode), value, frames, gain, maxSpeed, maxAccel);
}

void CHeightTerrain::ChangeHeight(float mode, float value, int frames, float gain, float maxSpeed, float maxAccel)
{
    ChangeInterpolator(height, ModeOf(mode), value, frames, gain, maxSpeed, maxAccel);
}

void CHeightTerrain::ChangeOffsetx(float mode, float value, int frames, float gain, float maxSpeed, float maxAccel)
{
    ChangeInterpolator(offsetx, ModeOf(mode), value, frames, gain, maxSpeed, maxAccel);
}

void CHeightTerrain::SetViewBoarder(float min, float max)
{
    viewboardermin = min;
    viewboardermax = max;
}
