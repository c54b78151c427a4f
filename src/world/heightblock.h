// Height blocks: tiles of terrain, each a regular grid whose heights come from a grey-scale
// bitmap and which one texture covers once. The global manager is the library of blocks by name;
// the terrain places the same block many times and draws it at an offset.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

// What a block keeps of its bitmap: one height a vertex of the grid of every level of detail,
// level 0's 64 x 64 first, then 32 x 32 and so on down to 2 x 2, each grid row by row. However
// large the bitmap, no grid reads more.
constexpr int kHeightSamples = 64 * 64 + 32 * 32 + 16 * 16 + 8 * 8 + 4 * 4 + 2 * 2;
// Where a level's grid starts among them.
constexpr int HeightSamplesOffset(int lod)
{
    return lod <= 0 ? 0 : HeightSamplesOffset(lod - 1) + (128 >> lod) * (128 >> lod);
}
static_assert(HeightSamplesOffset(kMaxLOD + 1) == kHeightSamples);

// The most blocks the manager holds: a block list that would make more is reported and ends
// there.
constexpr int kMaxHeightBlocks = 4096;

// The heights one bitmap file gives, kept while a block list loads so that every block naming
// the file reads it once.
struct THeightMap {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<std::uint8_t> samples;  // kHeightSamples; empty when the file is not a bitmap
};
using HeightMapCache = std::map<std::string, THeightMap>;

class CHeightBlock : public CObject {
public:
    IDirect3DVertexBuffer9* pVertexBuffer = nullptr;
    IDirect3DIndexBuffer9* pIndexBuffer = nullptr;
    CTexture texture;
    D3DXVECTOR3 vBlockSize;  // x extent, height scale, z extent
    int nLOD = 0;
    // kHeightSamples heights, 0 to 85 (a grey value / 3); null: no mesh.
    std::unique_ptr<std::uint8_t[]> pHeights;
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
    // failure has been reported, and a block without mesh or texture draws nothing). A bitmap
    // already in `bitmaps` is not read again (an unreadable one is reported again), and one read
    // is added to it.
    bool Create(std::string heightFile, std::string textureFile, const D3DXVECTOR3* size, int LOD,
                HeightMapCache* bitmaps = nullptr);
    void LoadHeights(std::string file, HeightMapCache* bitmaps = nullptr);
    // A LOD outside 0 to 5 is taken as the nearest of them.
    void BuildMesh(int LOD);
    // Draws the block moved by the offset. Sets its states and leaves them set: alpha blending
    // with source alpha and linear filters stay on for whatever the scene draws next.
    void Render(const D3DXVECTOR3* offset);
    // What Render sets, without the draw: a block that shows nothing still leaves its states to
    // whatever the scene draws next. False when the block has nothing to draw.
    bool SetRenderStates(const D3DXVECTOR3* offset);

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
    // the first missing name, or the first that would make more than kMaxHeightBlocks blocks),
    // with file names relative to `folder`, which becomes current. Blocks new to the manager are
    // made with the size and LOD of the terrain that loads them; each bitmap file is read once.
    void LoadBlockList(CIniFile& file, std::string section, std::string folder, const D3DXVECTOR3& size, int LOD);
    // The block of that name (any ASCII case), made if new; one already made is not remade. Null,
    // reported, for a new name when the manager already holds kMaxHeightBlocks blocks.
    CHeightBlock* LoadBlock(std::string name, std::string heightFile, std::string textureFile,
                            const D3DXVECTOR3& size, int LOD, HeightMapCache* bitmaps = nullptr);
    CHeightBlock* Find(std::string name);
    void Clear() { blocks.Clear(); }

private:
    // Every entry of a block list and every line of an order is looked up by name.
    CNamedListIndex<CHeightBlock> m_Index;
};

extern HeightBlockManager g_HeightBlockManager;
