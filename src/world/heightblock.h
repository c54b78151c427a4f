// Height blocks: tiles of terrain, each a regular grid whose heights come from a grey-scale
// bitmap and which one texture covers once. The global manager is the library of blocks by name;
// the terrain places the same block many times and draws it at an offset.
#pragma once

#include <memory>
#include <string>

#include "foundation/arraylist.h"
#include "foundation/nameindex.h"
#include "foundation/objectbase.h"
#include "media/texture.h"
#include "platform/d3d9.h"
#include "platform/d3dx9math.h"

class CIniFile;

struct CHeightVertex {
    float x, y, z;     // block space, the block centred on its origin
    float nx, ny, nz;  // not of unit length: the scene normalises normals
    float u, v;
    static constexpr DWORD FVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
};
static_assert(sizeof(CHeightVertex) == 32);

// Levels of detail 0 to 5 give 64, 32, 16, 8, 4 and 2 vertices a side; a finer grid would not
// fit 16-bit indices and a coarser one has no cell.
constexpr int kMaxLOD = 5;
inline int ClampLOD(int lod) { return lod < 0 ? 0 : (lod > kMaxLOD ? kMaxLOD : lod); }

class CHeightBlock : public CObject {
public:
    IDirect3DVertexBuffer9* pVertexBuffer = nullptr;
    IDirect3DIndexBuffer9* pIndexBuffer = nullptr;
    CTexture texture;
    D3DXVECTOR3 vBlockSize;  // x extent, height scale, z extent
    int nLOD = 0;
    std::unique_ptr<int[]> pHeights;  // one sample per bitmap pixel, top row first; null: no mesh
    int nBmpWidth = 0;
    int nBmpHeight = 0;
    int nGrid = 0;  // vertices a side
    int nTriangleCount = 0;
    int nVertexCount = 0;
    D3DMATERIAL9 material{};
    std::string strName;  // as the block list writes it

    // A block owns its buffers and heights: the list builds it in place and never copies it.
    CHeightBlock() = default;
    CHeightBlock(const CHeightBlock&) = delete;
    CHeightBlock& operator=(const CHeightBlock&) = delete;
    ~CHeightBlock();

    // Loads the texture and the heights and builds the mesh; always true, whatever failed (each
    // failure has been reported, and a block without mesh or texture draws nothing).
    bool Create(std::string heightFile, std::string textureFile, const D3DXVECTOR3* size, int LOD);
    void LoadHeights(std::string file);
    // A LOD outside 0 to 5 is taken as the nearest of them.
    void BuildMesh(int LOD);
    // Draws the block moved by the offset. Sets its states and leaves them set: alpha blending
    // with source alpha and linear filters stay on for whatever the scene draws next.
    void Render(const D3DXVECTOR3* offset);

    D3DXVECTOR3 GetSize() const { return vBlockSize; }
    void SetSize(const D3DXVECTOR3& size) { vBlockSize = size; }

    // The normal rules of the grid's edges and inside, from the vertex P and its neighbours in
    // its row (A, B; XN, XP) and its column (A, B; ZN, ZP): averages of turned differences.
    static D3DXVECTOR3 EdgeNormalX(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b);
    static D3DXVECTOR3 EdgeNormalZ(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b);
    static D3DXVECTOR3 InnerNormal(const D3DXVECTOR3& p, const D3DXVECTOR3& xn, const D3DXVECTOR3& xp,
                                   const D3DXVECTOR3& zn, const D3DXVECTOR3& zp);

private:
    void FillVertices(CHeightVertex* vertices) const;
    void FillIndices(WORD* indices) const;
};

class HeightBlockManager : public CNamedObject {
public:
    ArrayList<CHeightBlock> blocks{20};

    HeightBlockManager() { strClassName = "HeightBlockManager"; }
    HeightBlockManager(const HeightBlockManager&) = delete;
    HeightBlockManager& operator=(const HeightBlockManager&) = delete;

    // Every block the section names ("name<i>", "height<i>", "texture<i>" for i = 1, 2, … up to
    // the first missing name), with file names relative to `folder`, which becomes current.
    // Blocks new to the manager are made with the size and LOD of the terrain that loads them.
    void LoadBlockList(CIniFile& file, std::string section, std::string folder, const D3DXVECTOR3& size, int LOD);
    // The block of that name (any ASCII case), made if new; one already made is not remade.
    CHeightBlock* LoadBlock(std::string name, std::string heightFile, std::string textureFile,
                            const D3DXVECTOR3& size, int LOD);
    CHeightBlock* Find(std::string name);
    void Clear() { blocks.Clear(); }

private:
    // Every entry of a block list and every line of an order is looked up by name.
    CNamedListIndex<CHeightBlock> m_Index;
};

extern HeightBlockManager g_HeightBlockManager;
