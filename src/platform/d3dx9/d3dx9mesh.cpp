// The mesh keeps its triangles sorted by material, so that a subset is one indexed draw.
#include "platform/d3dx9mesh.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <unordered_map>

#include "platform/d3d9/d3d9_device.h"
#include "platform/files.h"
#include "platform/d3dx9/xfile.h"

namespace platform::d3dx {

using platform::d3d::RefCounted;
namespace {

class Buffer final : public RefCounted<ID3DXBuffer> {
public:
    explicit Buffer(std::size_t size) : m_Bytes(size, 0) {}
    LPVOID GetBufferPointer() override { return m_Bytes.empty() ? nullptr : m_Bytes.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(m_Bytes.size()); }

private:
    std::vector<std::uint8_t> m_Bytes;
};

struct Subset {
    DWORD attribute;
    UINT startIndex;
    UINT triangles;
};

class Mesh final : public RefCounted<ID3DXMesh> {
public:
    Mesh(IDirect3DDevice9* device, IDirect3DVertexBuffer9* vb, IDirect3DIndexBuffer9* ib, DWORD fvf, UINT stride,
         UINT vertices, UINT faces, std::vector<Subset> subsets)
        : m_Device(device), m_VB(vb), m_IB(ib), m_FVF(fvf), m_Stride(stride), m_Vertices(vertices), m_Faces(faces),
          m_Subsets(std::move(subsets))
    {
        m_Device->AddRef();
    }
    ~Mesh() override
    {
        m_VB->Release();
        m_IB->Release();
        m_Device->Release();
    }

    HRESULT DrawSubset(DWORD attribId) override
    {
        for (const Subset& s : m_Subsets)
            if (s.attribute == attribId) {
                m_Device->SetFVF(m_FVF);
                m_Device->SetStreamSource(0, m_VB, 0, m_Stride);
                m_Device->SetIndices(m_IB);
                return m_Device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, m_Vertices, s.startIndex, s.triangles);
            }
        return D3D_OK;
    }
    DWORD GetNumFaces() override { return m_Faces; }
    DWORD GetNumVertices() override { return m_Vertices; }
    DWORD GetFVF() override { return m_FVF; }

private:
    IDirect3DDevice9* m_Device;
    IDirect3DVertexBuffer9* m_VB;
    IDirect3DIndexBuffer9* m_IB;
    DWORD m_FVF;
    UINT m_Stride;
    UINT m_Vertices;
    UINT m_Faces;
    std::vector<Subset> m_Subsets;
};

// The material records followed by their texture names, which the records point into.
ID3DXBuffer* MakeMaterialBuffer(const std::vector<XMaterial>& materials)
{
    std::size_t size = materials.size() * sizeof(D3DXMATERIAL);
    for (const XMaterial& m : materials)
        size += m.textureFileName.empty() ? 0 : m.textureFileName.size() + 1;
    auto* buffer = new Buffer(size);
    auto* records = static_cast<D3DXMATERIAL*>(buffer->GetBufferPointer());
    char* names = reinterpret_cast<char*>(records + materials.size());
    for (std::size_t i = 0; i < materials.size(); ++i) {
        const XMaterial& m = materials[i];
        D3DXMATERIAL& r = records[i];
        r.MatD3D.Diffuse = m.diffuse;
        r.MatD3D.Ambient = m.diffuse;
        r.MatD3D.Specular = m.specular;
        r.MatD3D.Emissive = m.emissive;
        r.MatD3D.Power = m.power;
        r.pTextureFilename = nullptr;
        if (!m.textureFileName.empty()) {
            std::memcpy(names, m.textureFileName.c_str(), m.textureFileName.size() + 1);
            r.pTextureFilename = names;
            names += m.textureFileName.size() + 1;
        }
    }
    return buffer;
}

// For each edge of each triangle, the triangle on the other side of it (the same two vertices
// in the opposite direction), or 0xFFFFFFFF.
ID3DXBuffer* MakeAdjacency(const std::vector<std::uint32_t>& indices)
{
    const std::size_t faces = indices.size() / 3;
    auto* buffer = new Buffer(faces * 3 * sizeof(DWORD));
    auto* adjacency = static_cast<DWORD*>(buffer->GetBufferPointer());
    std::unordered_map<std::uint64_t, DWORD> edges;
    auto key = [](std::uint32_t a, std::uint32_t b) { return (static_cast<std::uint64_t>(a) << 32) | b; };
    for (std::size_t f = 0; f < faces; ++f)
        for (int e = 0; e < 3; ++e)
            edges.emplace(key(indices[f * 3 + e], indices[f * 3 + (e + 1) % 3]), static_cast<DWORD>(f));
    for (std::size_t f = 0; f < faces; ++f)
        for (int e = 0; e < 3; ++e) {
            auto it = edges.find(key(indices[f * 3 + (e + 1) % 3], indices[f * 3 + e]));
            adjacency[f * 3 + e] = it == edges.end() ? 0xFFFFFFFFu : it->second;
        }
    return buffer;
}

}  // namespace
}  // namespace platform::d3dx

HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = new platform::d3dx::Buffer(size);
    return D3D_OK;
}

HRESULT D3DXLoadMeshFromXA(LPCSTR fileName, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* materialCount,
                           ID3DXMesh** mesh)
{
    using namespace platform::d3dx;
    for (ID3DXBuffer** out : {adjacency, materials, effectInstances})
        if (out)
            *out = nullptr;
    if (materialCount)
        *materialCount = 0;
    if (!fileName || !device || !mesh)
        return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    std::string bytes;
    platform::XMeshData data;
    if (!platform::ReadFileBytes(fileName, bytes) || !platform::ParseXFile(bytes, data))
        return E_FAIL;
    const bool wide = (options & D3DXMESH_32BIT) != 0;
    if (data.vertices.size() > (wide ? 0xFFFFFFFEu : 0xFFFFu) || data.indices.empty())
        return E_FAIL;

    DWORD fvf = D3DFVF_XYZ;
    UINT stride = 12;
    if (data.hasNormals) {
        fvf |= D3DFVF_NORMAL;
        stride += 12;
    }
    if (data.hasTexCoords) {
        fvf |= D3DFVF_TEX1;
        stride += 8;
    }

    // Triangles in material order, each material one contiguous run.
    const std::size_t faces = data.attributes.size();
    std::vector<std::uint32_t> order(faces);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return data.attributes[a] < data.attributes[b]; });
    std::vector<std::uint32_t> sorted;
    sorted.reserve(data.indices.size());
    std::vector<Subset> subsets;
    for (std::size_t i = 0; i < faces; ++i) {
        const std::uint32_t f = order[i];
        if (subsets.empty() || subsets.back().attribute != data.attributes[f])
            subsets.push_back({data.attributes[f], static_cast<UINT>(i * 3), 0});
        ++subsets.back().triangles;
        sorted.insert(sorted.end(), {data.indices[f * 3], data.indices[f * 3 + 1], data.indices[f * 3 + 2]});
    }

    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    const UINT indexSize = wide ? 4 : 2;
    if (FAILED(device->CreateVertexBuffer(static_cast<UINT>(data.vertices.size()) * stride, 0, fvf, D3DPOOL_MANAGED, &vb,
                                          nullptr)))
        return E_FAIL;
    if (FAILED(device->CreateIndexBuffer(static_cast<UINT>(sorted.size()) * indexSize, 0,
                                         wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr))) {
        vb->Release();
        return E_FAIL;
    }
    void* p = nullptr;
    if (SUCCEEDED(vb->Lock(0, 0, &p, 0))) {
        auto* out = static_cast<std::uint8_t*>(p);
        for (const platform::XVertex& v : data.vertices) {
            std::memcpy(out, v.pos, 12);
            out += 12;
            if (data.hasNormals) {
                std::memcpy(out, v.normal, 12);
                out += 12;
            }
            if (data.hasTexCoords) {
                std::memcpy(out, v.uv, 8);
                out += 8;
            }
        }
        vb->Unlock();
    }
    if (SUCCEEDED(ib->Lock(0, 0, &p, 0))) {
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            if (wide)
                static_cast<std::uint32_t*>(p)[i] = sorted[i];
            else
                static_cast<std::uint16_t*>(p)[i] = static_cast<std::uint16_t>(sorted[i]);
        }
        ib->Unlock();
    }
    *mesh = new Mesh(device, vb, ib, fvf, stride, static_cast<UINT>(data.vertices.size()), static_cast<UINT>(faces),
                     std::move(subsets));
    if (materials)
        *materials = MakeMaterialBuffer(data.materials);
    if (materialCount)
        *materialCount = static_cast<DWORD>(data.materials.size());
    if (adjacency)
        *adjacency = MakeAdjacency(sorted);
    return D3D_OK;
}
