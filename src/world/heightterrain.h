// The height terrain: an endless strip of height blocks laid along z and scrolled toward -z.
// Which block comes next is given by the order list of the terrain file, whose loops repeat until
// a script ends them by name.
#pragma once

#include <list>
#include <string>

#include "foundation/arraylist.h"
#include "foundation/interpolator.h"
#include "foundation/objectbase.h"
#include "foundation/stringlist.h"

class CHeightBlock;
class CIniFile;
class CSceneCamera;

enum EOrderItemType {
    OI_BLOCK = 1,       // a block to place
    OI_LOOP_START = 2,  // "[name": a loop's first line
    OI_LOOP_END = 3,    // "]": a loop's last line
};

// One line of the order section. An item left at type 0 (a line the parser stopped at) is
// skipped by the walk.
struct TOrderItem {
    EOrderItemType type{};
    CHeightBlock* pBlock = nullptr;
    std::string name;  // the loop's name, for both its lines
    int nMatch = -1;   // of a loop's last line: the index of its first line
};

struct TBlockInstance {
    CHeightBlock* pBlock = nullptr;
    float z = 0.0f;  // of the block's centre
};

class CHeightTerrain : public CNamedObject {
public:
    float globalwidthx = 0.0f;  // the size of every block made for this terrain
    float globalwidthz = 0.0f;
    float globalmaxheight = 0.0f;
    int LOD = 0;
    ArrayList<TOrderItem> order{20};
    int nCurrentOrder = -1;  // the item the walk visited last
    CStringList disabledLoops;
    std::list<TBlockInstance> instances;  // in placing order, ascending z
    float viewboardermin = 0.0f;          // the z window blocks stay in and are placed up to
    float viewboardermax = 0.0f;
    CInterpolatorFloat speed;  // scroll distance a tick
    CInterpolatorFloat height;
    CInterpolatorFloat offsetx;
    // False while the order gives the walk no block to reach, or the blocks have no depth: then
    // nothing is placed.
    bool bPlaceable = false;

    CHeightTerrain();

    // Reads a terrain file: sizes, window, speed and height, the blocks it names and its order.
    // Placed blocks and the walk stay as they were until the next Start.
    void Load(std::string file);
    void ParseOrder(CIniFile& file, std::string section);
    void ResetOrder();
    // The index of the next block item, or -1 when the order has none the walk can reach.
    int NextOrder();
    // Loop names compare without regard to ASCII case; "" names no loop.
    void DisableLoop(std::string name);
    void Start();
    void Update();
    void FillAhead(float z);
    // Draws every placed block the camera's depth range can show.
    void Render(const CSceneCamera& camera);
    // Mode 0 sets at once, 1 moves linearly and 2 smoothly over `frames` ticks; other modes do
    // nothing.
    void ChangeSpeed(float mode, float value, int frames, float gain, float maxSpeed, float maxAccel);
    void ChangeHeight(float mode, float value, int frames, float gain, float maxSpeed, float maxAccel);
    void ChangeOffsetx(float mode, float value, int frames, float gain, float maxSpeed, float maxAccel);
    void SetViewBoarder(float min, float max);

private:
    bool LoopDisabled(const std::string& name) const;
    bool CheckPlaceable();
};
