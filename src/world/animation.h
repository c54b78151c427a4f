// Billboard animations: sprite-sheet animations drawn as camera-facing quads. A group file names
// one sprite sheet and defines one animation per section; each group keeps a fixed pool of
// running instances and draws them all with one indexed draw.
#pragma once

#include <string>
#include <vector>

#include "foundation/arraylist.h"
#include "foundation/nameindex.h"
#include "foundation/objectbase.h"
#include "media/texture.h"
#include "platform/d3d9.h"
#include "platform/d3dx9math.h"

class CIniFile;
class CAnimationGroup;
class CSceneCamera;

// The two billboard axes, taken from the scene camera at the start of every animation render.
extern D3DXVECTOR3 g_vBillboardH;
extern D3DXVECTOR3 g_vBillboardV;

// One frame's rectangle on the sheet, as fractions of the sheet's size.
struct TAnimFrameData {
    float uLeft = 0.0f;
    float vTop = 0.0f;
    float uRight = 0.0f;
    float vBottom = 0.0f;
};

// One animation definition: a section of a group file. Its frames follow each other to the right
// on one row of the sheet, so a frame's rectangle is worked out when it is drawn and a definition
// costs the same whatever its number of frames.
struct TAnimData {
    std::string name;
    float RenderSizex = 0.0f;  // half width of the quad, world units
    float RenderSizey = 0.0f;  // half height
    int framecount = 0;
    int TimePerFrame = 1;
    D3DXVECTOR3 randomspeed;
    D3DXVECTOR3 randompos;
    CAnimationGroup* pGroup = nullptr;
    // Frame 0's left and top pixel, a frame's size in pixels and the sheet's.
    int startx = 0;
    int starty = 0;
    int picsizex = 0;
    int picsizey = 0;
    int sheetWidth = 0;
    int sheetHeight = 0;

    bool Load(CIniFile& file, const std::string& section, int sheetWidth, int sheetHeight, CAnimationGroup* group);
    // Frame i's rectangle on the sheet. Right and bottom are the frame's last pixel.
    TAnimFrameData Frame(int i) const;
};

// One running instance.
struct TAnim {
    TAnimData* pData = nullptr;
    int nFrame = 0;
    int nTick = 0;
    D3DXVECTOR3 vPos;
    D3DXVECTOR3 vVelocity;  // world units per tick

    void Start(TAnimData* data, const D3DXVECTOR3& pos, const D3DXVECTOR3& velocity);
    // False once the last frame has been shown for its time, and at the first update of an
    // instance whose definition has no frames.
    bool Update();
};

class CAnimationGroup : public CObject {
public:
    // Pools beyond this cannot be addressed by 16-bit indices (four corners an instance).
    static constexpr int kMaxPool = 16384;

    std::string name;
    ArrayList<TAnimData> anims{20};
    CTexture sheet;
    int sizex = 0;
    int sizey = 0;
    IDirect3DVertexBuffer9* pVB = nullptr;
    IDirect3DIndexBuffer9* pIB = nullptr;
    std::vector<TAnim> pool;
    int MaxAnimCount = 0;
    int nActive = 0;

    CAnimationGroup() = default;
    CAnimationGroup(const CAnimationGroup&) = delete;
    // Only new, empty groups are assigned (the block list fills its slots that way).
    CAnimationGroup& operator=(const CAnimationGroup& other);
    ~CAnimationGroup();

    bool Load(const std::string& file);
    void CreateBuffers();
    TAnimData* FindAnimData(const std::string& name);
    void Emit(TAnimData* data, const D3DXVECTOR3& pos, const D3DXVECTOR3& velocity);
    void Update();
    void Render();

private:
    // A unit type looks up each of its animations by name: a group of many definitions is not
    // scanned for each.
    CNamedListIndex<TAnimData> m_AnimIndex{&TAnimData::name};
};

class AnimationManager : public CNamedObject {
public:
    ArrayList<CAnimationGroup> groups{20};

    AnimationManager() = default;
    AnimationManager(const AnimationManager&) = delete;
    AnimationManager& operator=(const AnimationManager&) = delete;

    // Every group file of the folder that matches the pattern; the folder stays current.
    bool LoadGroups(const std::string& folder, const std::string& pattern);
    // The first definition of that name (any ASCII case), groups in load order; null if none.
    TAnimData* FindAnimData(const std::string& name);
    // Starts an instance in the definition's own group; `data` must not be null.
    void Emit(TAnimData* data, const D3DXVECTOR3& pos, const D3DXVECTOR3& velocity);
    void Update();
    // Draws every group facing the scene's camera.
    void Render(const CSceneCamera& camera);
    void BeginRender(const CSceneCamera& camera);
    void EndRender();
};
