// The mesh keeps its triangles sorted by material, so that a subset is one indexed draw. Meshes
// loaded from one unchanged file share its vertex and index buffers: a model named by many unit
// types is held once.
#include "platform/d3dx9mesh.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <tuple>

#include "platform/d3d9/d3d9_device.h"
#include "platform/d3dx9/xfile.h"
#include "platform/files.h"

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

// One file as read for one device with one index size: the same file, unchanged.
struct FileKey {
    FileVersion file;
    IDirect3DDevice9* device = nullptr;
    bool wide = false;

    auto operator<=>(const FileKey&) const = default;
};

// The buffers and subsets of one loaded file, shared by the meshes loaded from it.
struct MeshData {
    MeshData(IDirect3DDevice9* d, IDirect3DVertexBuffer9* v, IDirect3DIndexBuffer9* i) : device(d), vb(v), ib(i)
    {
        device->AddRef();
    }
    ~MeshData();
    MeshData(const MeshData&) = delete;
    MeshData& operator=(const MeshData&) = delete;

    IDirect3DDevice9* device;
    IDirect3DVertexBuffer9* vb;
    IDirect3DIndexBuffer9* ib;
    DWORD fvf = 0;
    UINT stride = 0;
    UINT vertices = 0;
    UINT faces = 0;
    bool wide = false;
    std::vector<Subset> subsets;
    std::vector<XMaterial> materials;
    std::optional<FileKey> key;  // none when not shared
};

// The files loaded and not yet released by every mesh made from them. Left to the end of the
// process on purpose: meshes held by global objects outlive every static.
std::map<FileKey, std::weak_ptr<MeshData>>& Loaded()
{
    static auto* loaded = new std::map<FileKey, std::weak_ptr<MeshData>>;
    return *loaded;
}

MeshData::~MeshData()
{
    if (key) {
        auto it = Loaded().find(*key);
        if (it != Loaded().end() && it->second.expired())
            Loaded().erase(it);
    }
    vb->Release();
    ib->Release();
    device->Release();
}

class Mesh final : public RefCounted<ID3DXMesh> {
public:
    explicit Mesh(std::shared_ptr<const MeshData> data) : m_Data(std::move(data)) {}

    HRESULT DrawSubset(DWORD attribId) override
    {
        const MeshData& d = *m_Data;
        for (const Subset& s : d.subsets)
            if (s.attribute == attribId) {
                d.device->SetFVF(d.fvf);
                d.device->SetStreamSource(0, d.vb, 0, d.stride);
                d.device->SetIndices(d.ib);
                return d.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, d.vertices, s.startIndex, s.triangles);
            }
        return D3D_OK;
    }
    DWORD GetNumFaces() override { return m_Data->faces; }
    DWORD GetNumVertices() override { return m_Data->vertices; }
    DWORD GetFVF() override { return m_Data->fvf; }

private:
    std::shared_ptr<const MeshData> m_Data;
};

// For each edge of each triangle, the first triangle with the same two vertices the other way
// round, or 0xFFFFFFFF. The edges are sorted by their two vertices, whichever way round, so that
// both ways of one edge meet: four bytes an edge and four a vertex besides the answer. They are
// first counted out by their lower vertex, which leaves a few edges for each to sort.
template <typename Index>
void FindAdjacency(const Index* indices, std::size_t faces, DWORD* adjacency)
{
    const auto edges = static_cast<std::uint32_t>(faces * 3);
    auto from = [&](std::uint32_t e) -> std::uint32_t { return indices[e]; };
    auto to = [&](std::uint32_t e) -> std::uint32_t { return indices[e - e % 3 + (e % 3 + 1) % 3]; };
    auto ends = [&](std::uint32_t e) {
        const std::uint32_t a = from(e), b = to(e);
        return std::pair(std::min(a, b), std::max(a, b));
    };
    // An edge's place: its two vertices, lower first, whether it runs downwards, its number.
    auto place = [&](std::uint32_t e) { return std::tuple(ends(e), from(e) > to(e), e); };
    std::vector<std::uint32_t> start(static_cast<std::size_t>(*std::max_element(indices, indices + edges)) + 2, 0);
    for (std::uint32_t e = 0; e < edges; ++e)
        ++start[ends(e).first + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<std::uint32_t> order(edges);
    for (std::uint32_t e = 0; e < edges; ++e)
        order[start[ends(e).first]++] = e;  // each vertex's run ends where the next one's starts now
    for (std::size_t v = 0, first = 0; v + 1 < start.size(); first = start[v++])
        std::sort(order.begin() + static_cast<std::ptrdiff_t>(first), order.begin() + start[v],
                  [&](std::uint32_t x, std::uint32_t y) { return place(x) < place(y); });
    for (std::uint32_t i = 0; i < edges;) {
        // One edge's group: its upward ways (and those from a vertex to itself), then its
        // downward ways, each in face order.
        const auto edge = ends(order[i]);
        std::uint32_t end = i, firstUp = UINT32_MAX, firstDown = UINT32_MAX;
        for (; end < edges && ends(order[end]) == edge; ++end) {
            std::uint32_t& firstOfWay = from(order[end]) > to(order[end]) ? firstDown : firstUp;
            if (firstOfWay == UINT32_MAX)
                firstOfWay = order[end];
        }
        for (; i < end; ++i) {
            const std::uint32_t e = order[i];
            const std::uint32_t twin = from(e) < to(e) ? firstDown : firstUp;
            adjacency[e] = twin == UINT32_MAX ? 0xFFFFFFFFu : twin / 3;
        }
    }
}

// The adjacency of a mesh, worked out when first read: the callers that ask for it mostly
// release it unread.
class AdjacencyBuffer final : public RefCounted<ID3DXBuffer> {
public:
    explicit AdjacencyBuffer(std::shared_ptr<const MeshData> data) : m_Data(std::move(data)) {}
    LPVOID GetBufferPointer() override
    {
        if (m_Adjacency.empty() && m_Data->faces > 0)
            Build();
        return m_Adjacency.empty() ? nullptr : m_Adjacency.data();
    }
    DWORD GetBufferSize() override { return m_Data->faces * 3 * static_cast<DWORD>(sizeof(DWORD)); }

private:
    void Build()
    {
        void* indices = nullptr;
        if (FAILED(m_Data->ib->Lock(0, 0, &indices, D3DLOCK_READONLY)))
            return;
        m_Adjacency.resize(static_cast<std::size_t>(m_Data->faces) * 3);
        if (m_Data->wide)
            FindAdjacency(static_cast<const std::uint32_t*>(indices), m_Data->faces, m_Adjacency.data());
        else
            FindAdjacency(static_cast<const std::uint16_t*>(indices), m_Data->faces, m_Adjacency.data());
        m_Data->ib->Unlock();
    }

    std::shared_ptr<const MeshData> m_Data;
    std::vector<DWORD> m_Adjacency;
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

// The parsed file in buffers of the device: vertices as the file gives them, triangles in
// material order, each material one contiguous run. What has been copied is freed as it goes,
// so that a large file is not held twice over.
std::shared_ptr<MeshData> MakeMeshData(XMeshData& parsed, IDirect3DDevice9* device, bool wide)
{
    if (parsed.vertices.size() > (wide ? 0xFFFFFFFEu : 0xFFFFu) || parsed.indices.empty())
        return nullptr;
    DWORD fvf = D3DFVF_XYZ;
    UINT stride = 12;
    if (parsed.hasNormals) {
        fvf |= D3DFVF_NORMAL;
        stride += 12;
    }
    if (parsed.hasColors) {
        fvf |= D3DFVF_DIFFUSE;
        stride += 4;
    }
    if (parsed.hasTexCoords) {
        fvf |= D3DFVF_TEX1;
        stride += 8;
    }
    const auto vertices = static_cast<UINT>(parsed.vertices.size());
    const auto faces = static_cast<UINT>(parsed.attributes.size());
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    const UINT indexSize = wide ? 4 : 2;
    if (FAILED(device->CreateVertexBuffer(vertices * stride, 0, fvf, D3DPOOL_MANAGED, &vb, nullptr)))
        return nullptr;
    if (FAILED(device->CreateIndexBuffer(faces * 3 * indexSize, 0, wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                         D3DPOOL_MANAGED, &ib, nullptr))) {
        vb->Release();
        return nullptr;
    }
    auto data = std::make_shared<MeshData>(device, vb, ib);
    data->fvf = fvf;
    data->stride = stride;
    data->vertices = vertices;
    data->faces = faces;
    data->wide = wide;
    data->materials = std::move(parsed.materials);

    // Each material's run starts where the runs of the lower ones end; triangles keep their
    // order within a run.
    std::map<std::uint32_t, UINT> next;
    for (std::uint32_t attribute : parsed.attributes)
        ++next[attribute];
    UINT start = 0;
    for (auto& [attribute, count] : next) {
        data->subsets.push_back({attribute, start * 3, count});
        const UINT first = start;
        start += count;
        count = first;  // from here on, where the run's next triangle goes
    }
    void* p = nullptr;
    if (SUCCEEDED(ib->Lock(0, 0, &p, 0))) {
        for (std::size_t f = 0; f < faces; ++f) {
            const std::size_t at = static_cast<std::size_t>(next[parsed.attributes[f]]++) * 3;
            for (std::size_t k = 0; k < 3; ++k) {
                if (wide)
                    static_cast<std::uint32_t*>(p)[at + k] = parsed.indices[f * 3 + k];
                else
                    static_cast<std::uint16_t*>(p)[at + k] = static_cast<std::uint16_t>(parsed.indices[f * 3 + k]);
            }
        }
        ib->Unlock();
    }
    parsed.indices = {};
    parsed.attributes = {};
    if (SUCCEEDED(vb->Lock(0, 0, &p, 0))) {
        auto* out = static_cast<std::uint8_t*>(p);
        for (const XVertex& v : parsed.vertices) {
            std::memcpy(out, v.pos, 12);
            out += 12;
            if (parsed.hasNormals) {
                std::memcpy(out, v.normal, 12);
                out += 12;
            }
            if (parsed.hasColors) {
                std::memcpy(out, &v.diffuse, 4);
                out += 4;
            }
            if (parsed.hasTexCoords) {
                std::memcpy(out, v.uv, 8);
                out += 8;
            }
        }
        vb->Unlock();
    }
    parsed.vertices = {};
    return data;
}

// The file's data: shared with the meshes already loaded from it when it has not changed since,
// read afresh otherwise.
std::shared_ptr<const MeshData> LoadMeshData(LPCSTR fileName, IDirect3DDevice9* device, bool wide)
{
    // A file whose version cannot be told is not shared.
    std::optional<FileKey> key;
    if (const std::optional<FileVersion> file = CurrentFileVersion(fileName))
        key = FileKey{*file, device, wide};
    if (key)
        if (auto it = Loaded().find(*key); it != Loaded().end())
            if (std::shared_ptr<MeshData> data = it->second.lock())
                return data;
    std::string bytes;
    XMeshData parsed;
    if (!ReadFileBytes(fileName, bytes) || !ParseXFile(std::move(bytes), parsed))
        return nullptr;
    std::shared_ptr<MeshData> data = MakeMeshData(parsed, device, wide);
    if (data && key) {
        Loaded()[*key] = data;
        data->key = std::move(key);
    }
    return data;
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
    const std::shared_ptr<const MeshData> data = LoadMeshData(fileName, device, (options & D3DXMESH_32BIT) != 0);
    if (!data)
        return E_FAIL;
    *mesh = new Mesh(data);
    if (materials)
        *materials = MakeMaterialBuffer(data->materials);
    if (materialCount)
        *materialCount = static_cast<DWORD>(data->materials.size());
    if (adjacency)
        *adjacency = new AdjacencyBuffer(data);
    return D3D_OK;
}
