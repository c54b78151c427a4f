#include "world/heightblock.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "foundation/colors.h"
#include "foundation/device.h"
#include "foundation/graybitmap.h"
#include "foundation/inifile.h"
#include "foundation/namedlist.h"
#include "foundation/stringutil.h"

namespace {

// The turns of a difference d that the normal rules average: about the z axis for a step along
// x, about the x axis for a step along z. A rising step turns the normal away from the rise.
D3DXVECTOR3 TurnX(const D3DXVECTOR3& d) { return {-d.y, d.x, 0.0f}; }
D3DXVECTOR3 TurnZ(const D3DXVECTOR3& d) { return {0.0f, d.z, -d.y}; }

// How far along its side vertex i of a grid of n a side lies, 0 to 1: the texture coordinate.
float GridFraction(int i, int n) { return std::min(i / static_cast<float>(n - 1), 1.0f); }

// The pixel that vertex i of a grid of n reads along a side of `pixels` pixels, truncated; on a
// side past 2^24 pixels the float product may round up past the last pixel, which it then reads.
int GridPixel(int i, int n, int pixels)
{
    const float at = (pixels - 1) * GridFraction(i, n);
    return at >= static_cast<float>(pixels - 1) ? pixels - 1 : static_cast<int>(at);
}

// Every pixel index some grid reads along a side of `pixels`, ascending.
std::vector<int> GridPixels(int pixels)
{
    std::vector<int> out;
    for (int lod = 0; lod <= kMaxLOD; ++lod)
        for (int i = 0; i < 64 >> lod; ++i)
            out.push_back(GridPixel(i, 64 >> lod, pixels));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// The heights of every grid from the pixels they read, and nothing else of the bitmap. The
// three low bytes of a grey value summed and divided by 3: a grey value (0 to 255, in the low
// byte) becomes 0 to 85. Stored height maps are made for this scaling.
THeightMap ReadHeightMap(const std::string& file)
{
    CGrayBitmap bitmap(file);
    THeightMap map{bitmap.nWidth, bitmap.nHeight, {}};
    if (!bitmap.IsLoaded())
        return map;
    const std::vector<int> columns = GridPixels(map.nWidth), rows = GridPixels(map.nHeight);
    const std::vector<std::uint32_t> greys = bitmap.GetGreys(columns, rows);
    if (greys.empty())
        return map;
    auto indexOf = [](const std::vector<int>& pixels, int pixel) {
        return static_cast<std::size_t>(std::lower_bound(pixels.begin(), pixels.end(), pixel) - pixels.begin());
    };
    map.samples.reserve(kHeightSamples);
    for (int lod = 0; lod <= kMaxLOD; ++lod) {
        const int n = 64 >> lod;
        for (int row = 0; row < n; ++row)
            for (int col = 0; col < n; ++col) {
                const std::uint32_t v = greys[indexOf(rows, GridPixel(row, n, map.nHeight)) * columns.size() +
                                              indexOf(columns, GridPixel(col, n, map.nWidth))];
                map.samples.push_back(
                    static_cast<std::uint8_t>(((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF)) / 3));
            }
    }
    return map;
}

}  // namespace

CHeightBlock::~CHeightBlock()
{
    if (pVertexBuffer)
        pVertexBuffer->Release();
    if (pIndexBuffer)
        pIndexBuffer->Release();
}

bool CHeightBlock::Create(std::string heightFile, std::string textureFile, const D3DXVECTOR3* size, int LOD,
                          HeightMapCache* bitmaps)
{
    texture.SetName(textureFile);
    texture.Load();
    nLOD = LOD;
    LoadHeights(heightFile, bitmaps);
    vBlockSize = *size;
    BuildMesh(nLOD);
    material.Ambient = COLOR_WHITE;
    material.Diffuse = COLOR_WHITE;
    material.Specular = COLOR_BLACK;
    material.Emissive = COLOR_BLACK;
    material.Power = 0.0f;
    return true;
}

void CHeightBlock::LoadHeights(std::string file, HeightMapCache* bitmaps)
{
    HeightMapCache own;
    const auto [known, added] = (bitmaps ? bitmaps : &own)->try_emplace(file);
    const THeightMap& map = known->second;
    if (added)
        known->second = ReadHeightMap(file);
    else if (map.samples.empty())
        Error(UnreadableBitmapText(file));  // as when the bitmap was read for the first block
    nBmpWidth = map.nWidth;
    nBmpHeight = map.nHeight;
    pHeights.reset();
    if (map.samples.empty())
        return;
    pHeights = std::make_unique<std::uint8_t[]>(kHeightSamples);
    std::copy(map.samples.begin(), map.samples.end(), pHeights.get());
}

void CHeightBlock::BuildMesh(int LOD)
{
    nLOD = ClampLOD(LOD);
    nGrid = 64 >> nLOD;
    nVertexCount = nGrid * nGrid;
    nTriangleCount = (nGrid - 1) * (nGrid - 1) * 2;
    if (!pHeights)
        return;
    if (pVertexBuffer) {
        pVertexBuffer->Release();
        pVertexBuffer = nullptr;
    }
    if (pIndexBuffer) {
        pIndexBuffer->Release();
        pIndexBuffer = nullptr;
    }

    if (!g_pDevice || FAILED(g_pDevice->CreateVertexBuffer(nVertexCount * sizeof(CHeightVertex), D3DUSAGE_WRITEONLY,
                                                           CHeightVertex::FVF, D3DPOOL_MANAGED, &pVertexBuffer,
                                                           nullptr))) {
        pVertexBuffer = nullptr;
        Error("Vertex buffer Fail to be Created");
        return;
    }
    std::vector<CHeightVertex> vertices(nVertexCount);
    FillVertices(vertices.data());
    void* data = nullptr;
    if (FAILED(pVertexBuffer->Lock(0, 0, &data, 0)))
        return;
    std::memcpy(data, vertices.data(), vertices.size() * sizeof(CHeightVertex));
    pVertexBuffer->Unlock();

    if (FAILED(g_pDevice->CreateIndexBuffer(nTriangleCount * 3 * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                            D3DPOOL_MANAGED, &pIndexBuffer, nullptr))) {
        pIndexBuffer = nullptr;
        Error("Index Buffer failed to be Created");
        return;
    }
    if (FAILED(pIndexBuffer->Lock(0, 0, &data, 0))) {
        pIndexBuffer->Release();
        pIndexBuffer = nullptr;
        return;
    }
    FillIndices(static_cast<WORD*>(data));
    pIndexBuffer->Unlock();
}

// Positions, then normals from the positions. Bitmap row 0 lies at the lowest z and column 0 at
// the lowest x; a bitmap coarser than the grid repeats pixels, a finer one skips them.
void CHeightBlock::FillVertices(CHeightVertex* vertices) const
{
    const int n = nGrid;
    const std::uint8_t* heights = pHeights.get() + HeightSamplesOffset(nLOD);
    for (int row = 0; row < n; ++row)
        for (int col = 0; col < n; ++col) {
            const float u = GridFraction(col, n), v = GridFraction(row, n);
            const int sample = heights[row * n + col];
            CHeightVertex& out = vertices[row * n + col];
            out.x = (u - 0.5f) * vBlockSize.x;
            out.y = sample / 255.0f * vBlockSize.y;
            out.z = (v - 0.5f) * vBlockSize.z;
            out.u = u;
            out.v = v;
        }
    auto at = [&](int row, int col) { return D3DXVECTOR3(&vertices[row * n + col].x); };
    for (int row = 0; row < n; ++row)
        for (int col = 0; col < n; ++col) {
            const bool edgeRow = row == 0 || row == n - 1, edgeCol = col == 0 || col == n - 1;
            const D3DXVECTOR3 p = at(row, col);
            D3DXVECTOR3 normal(0.0f, 1.0f, 0.0f);  // the corners
            if (edgeRow && !edgeCol)
                normal = EdgeNormalX(p, at(row, col - 1), at(row, col + 1));
            else if (edgeCol && !edgeRow)
                normal = EdgeNormalZ(p, at(row - 1, col), at(row + 1, col));
            else if (!edgeRow && !edgeCol)
                normal = InnerNormal(p, at(row, col - 1), at(row, col + 1), at(row - 1, col), at(row + 1, col));
            CHeightVertex& out = vertices[row * n + col];
            out.nx = normal.x;
            out.ny = normal.y;
            out.nz = normal.z;
        }
}

// Two triangles a cell, each turning clockwise seen from above.
void CHeightBlock::FillIndices(WORD* indices) const
{
    const int n = nGrid;
    int triangindex = 0;
    for (int row = 0; row < n - 1; ++row)
        for (int col = 0; col < n - 1; ++col) {
            const WORD a = static_cast<WORD>(row * n + col), b = static_cast<WORD>((row + 1) * n + col);
            const WORD tri[6] = {a, b, static_cast<WORD>(a + 1), static_cast<WORD>(a + 1), b, static_cast<WORD>(b + 1)};
            std::memcpy(indices + triangindex * 3, tri, sizeof tri);
            triangindex += 2;
        }
    assert(triangindex == nTriangleCount && "triangindex==nTriangleCount");
}

D3DXVECTOR3 CHeightBlock::EdgeNormalX(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return (TurnX(p - a) + TurnX(b - p)) / 2.0f;
}

D3DXVECTOR3 CHeightBlock::EdgeNormalZ(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return (TurnZ(p - a) + TurnZ(b - p)) / 2.0f;
}

D3DXVECTOR3 CHeightBlock::InnerNormal(const D3DXVECTOR3& p, const D3DXVECTOR3& xn, const D3DXVECTOR3& xp,
                                      const D3DXVECTOR3& zn, const D3DXVECTOR3& zp)
{
    return (TurnX(p - xn) + TurnX(xp - p) + TurnZ(p - zn) + TurnZ(zp - p)) / 4.0f;
}

void CHeightBlock::Render(const D3DXVECTOR3* offset)
{
    if (SetRenderStates(offset))
        g_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, nVertexCount, 0, nTriangleCount);
}

bool CHeightBlock::SetRenderStates(const D3DXVECTOR3* offset)
{
    if (!pVertexBuffer || !pIndexBuffer || !texture.GetTexture() || !offset || !g_pDevice)
        return false;
    g_pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    g_pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetMaterial(&material);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, offset->x, offset->y, offset->z);
    g_pDevice->SetTransform(D3DTS_WORLD, &world);
    g_pDevice->SetTexture(0, texture.GetTexture());
    g_pDevice->SetStreamSource(0, pVertexBuffer, 0, sizeof(CHeightVertex));
    g_pDevice->SetIndices(pIndexBuffer);
    g_pDevice->SetFVF(CHeightVertex::FVF);
    return true;
}

void HeightBlockManager::LoadBlockList(CIniFile& file, std::string section, std::string folder,
                                       const D3DXVECTOR3& size, int LOD)
{
    file.SelectSection(section);
    SetCurrentFolder(folder);
    HeightMapCache bitmaps;
    for (int i = 1;; ++i) {
        const std::string number = IntToString(i);
        const std::string name = file.GetString("name" + number);
        if (name.empty())
            break;
        // Only a new block past the most the manager holds ends the list: an entry naming a block
        // already made is a lookup.
        if (!LoadBlock(name, file.GetString("height" + number), file.GetString("texture" + number), size, LOD,
                       &bitmaps))
            break;
    }
}

CHeightBlock* HeightBlockManager::LoadBlock(std::string name, std::string heightFile, std::string textureFile,
                                            const D3DXVECTOR3& size, int LOD, HeightMapCache* bitmaps)
{
    if (CHeightBlock* found = Find(name))
        return found;
    if (blocks.Count() >= kMaxHeightBlocks) {
        Error("Too many HeightBlocks, " + IntToString(kMaxHeightBlocks) + " at most:" + name);
        return nullptr;
    }
    CHeightBlock* block = blocks.AddNew();
    block->Create(heightFile, textureFile, &size, LOD, bitmaps);
    block->strName = name;
    return block;
}

CHeightBlock* HeightBlockManager::Find(std::string name) { return m_Index.Find(blocks, name); }
