// The known templates of an .x file's tree interpreted: meshes read once, placed by every frame
// and reference that places them, and merged.
#include "platform/d3dx9/xfile.h"

#include <cmath>
#include <map>
#include <span>
#include <unordered_map>

#include "platform/d3dx9/xfiletree.h"
#include "platform/d3dx9math.h"

namespace platform {
namespace {

void SetError(std::string* error, const char* text)
{
    if (error)
        *error = text;
}

struct Matrix {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

// The inverse transpose of a placement's 3 x 3 part, up to a positive factor: what carries
// normals, so that a frame that scales unevenly keeps them perpendicular to their faces. The
// cofactors are the inverse transpose times the determinant; only the determinant's sign is
// kept, since normals are normalized after (a flattening placement keeps its cofactors).
struct NormalMatrix {
    double m[3][3];
};

NormalMatrix NormalsOf(const Matrix& w)
{
    NormalMatrix r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            r.m[i][j] = w.m[i1][j1] * w.m[i2][j2] - w.m[i1][j2] * w.m[i2][j1];
        }
    const double det = w.m[0][0] * r.m[0][0] + w.m[0][1] * r.m[0][1] + w.m[0][2] * r.m[0][2];
    if (det < 0)
        for (auto& row : r.m)
            for (double& v : row)
                v = -v;
    return r;
}

// Sequential reading of an object's numbers with bounds checks.
class NumberCursor {
public:
    explicit NumberCursor(const std::vector<double>& nums) : m_N(nums) {}
    // A count: a number from 0 to `limit` (not a NaN), its fraction dropped.
    bool Count(std::size_t& out, std::size_t limit = 1u << 24)
    {
        if (m_I >= m_N.size() || !(m_N[m_I] >= 0 && m_N[m_I] <= static_cast<double>(limit)))
            return false;
        out = static_cast<std::size_t>(m_N[m_I++]);
        return true;
    }
    // Whether n more numbers are left, checked before anything is sized by a count.
    bool Fits(std::size_t n) const { return m_N.size() - m_I >= n; }
    // The next n numbers where they are (the caller has checked that they fit).
    std::span<const double> Take(std::size_t n)
    {
        const std::span<const double> r = std::span<const double>(m_N).subspan(m_I, n);
        m_I += n;
        return r;
    }
    bool Values(double* out, std::size_t n)
    {
        if (!Fits(n))
            return false;
        for (std::size_t k = 0; k < n; ++k)
            out[k] = m_N[m_I++];
        return true;
    }
    // A face: a corner count of at least 3, then that many indices, each below `bound`. `at` is
    // where the count stands.
    bool Face(std::size_t& at, std::size_t bound)
    {
        at = m_I;
        std::size_t count;
        if (!Count(count, 1024) || count < 3 || !Fits(count))
            return false;
        for (std::size_t k = 0; k < count; ++k, ++m_I)
            if (!(m_N[m_I] >= 0 && m_N[m_I] < static_cast<double>(bound)))
                return false;
        return true;
    }

private:
    const std::vector<double>& m_N;
    std::size_t m_I = 0;
};

float F(double v) { return static_cast<float>(v); }

// A mesh object read once: its output vertices as (position, normal) pairs, its triangles over
// them, and its materials. A file may place one mesh many times (every reference places it
// again), so each placement only transforms and copies these. The numbers stay where the file's
// objects hold them.
struct MeshParts {
    std::span<const double> positions;  // three per vertex of the file
    std::span<const double> normals;    // three per normal of the file
    bool hasNormals = false;            // normals given for the faces (a mesh without faces has none)
    std::span<const double> uvs;        // two per vertex of the file; empty when none
    std::vector<std::uint32_t> colors;  // one per vertex of the file, packed ARGB; empty when none
    std::vector<std::pair<std::uint32_t, std::uint32_t>> corners;  // (position, normal), first use first
    std::vector<std::uint32_t> indices;                            // three per triangle, into corners
    bool hasMaterialList = false;
    std::vector<std::uint32_t> triangleMaterials;  // per triangle: index into materials, or kNoMaterial
    std::vector<XMaterial> materials;
};

class MeshBuilder {
public:
    MeshBuilder(const XObject& root, XMeshData& out) : m_root(root), m_out(out)
    {
        for (const XObject& obj : root.children)
            if (!obj.name.empty())
                m_named.emplace(obj.name, &obj);
    }

    // Counts what the placements of the file's meshes would produce and refuses the file past the
    // limits before building anything; then builds the merged mesh.
    bool Build()
    {
        m_counting = true;
        if (!Walk(m_root, Matrix(), 0))
            return false;
        m_counting = false;
        m_out.vertices.reserve(m_vertexTotal);
        m_out.indices.reserve(m_faceTotal * 3);
        m_out.attributes.reserve(m_faceTotal);
        m_out.materials.reserve(m_materialTotal);
        return Walk(m_root, Matrix(), 0);
    }

    int MeshCount() const { return m_meshes; }
    bool AnyMaterialList() const { return m_anyMaterialList; }
    const char* Reason() const { return m_reason; }

private:
    bool Walk(const XObject& obj, const Matrix& parent, int depth)
    {
        if (depth > 64)
            return Fail("frames nested too deeply");
        if (obj.type == "mesh")
            return Place(obj, parent);
        if (obj.type != "frame" && depth > 0)
            return true;
        Matrix world = parent;
        for (const XObject& child : obj.children)
            if (child.type == "frametransformmatrix" && child.nums.size() >= 16) {
                Matrix local;
                for (int k = 0; k < 16; ++k)
                    local.m[k / 4][k % 4] = child.nums[static_cast<std::size_t>(k)];
                world = Multiply(local, parent);
            }
        for (const XObject& child : obj.children) {
            const XObject* target = Resolve(child);
            if (target && target->type == "mesh" ? !Place(*target, world) : !Walk(child, world, depth + 1))
                return false;
        }
        return true;
    }

    bool Fail(const char* reason)
    {
        m_reason = reason;
        return false;
    }

    // A reference resolves to the named top-level object; a data object is itself.
    const XObject* Resolve(const XObject& member) const
    {
        if (!member.isReference)
            return &member;
        auto it = m_named.find(member.name);
        return it == m_named.end() ? nullptr : it->second;
    }

    const XObject* Child(const XObject& obj, const char* type) const
    {
        for (const XObject& c : obj.children)
            if (c.type == type)
                return &c;
        return nullptr;
    }

    bool ReadMaterial(const XObject& m, std::vector<XMaterial>& materials)
    {
        XMaterial mat;
        double v[11];
        if (!NumberCursor(m.nums).Values(v, 11))
            return Fail("short material");
        mat.diffuse = {F(v[0]), F(v[1]), F(v[2]), F(v[3])};
        mat.power = F(v[4]);
        mat.specular = {F(v[5]), F(v[6]), F(v[7]), 1};
        mat.emissive = {F(v[8]), F(v[9]), F(v[10]), 1};
        if (const XObject* tex = Child(m, "texturefilename"); tex && !tex->strings.empty())
            mat.textureFileName = tex->strings[0];
        materials.push_back(mat);
        return true;
    }

    // The face indexes of the list, one per face (a short list repeats its last index).
    bool ReadMaterialList(const XObject& list, std::size_t faceCount, std::vector<std::uint32_t>& faceMaterial,
                          std::vector<XMaterial>& materials)
    {
        NumberCursor cur(list.nums);
        std::size_t materialCount, indexCount;
        if (!cur.Count(materialCount, 65536) || !cur.Count(indexCount))
            return Fail("bad material list");
        // With no material of its own, a face must not take the first one a later mesh adds.
        faceMaterial.assign(faceCount, materialCount > 0 ? 0 : kNoMaterial);
        for (std::size_t f = 0; f < indexCount; ++f) {
            double v;
            if (!cur.Values(&v, 1) || !(v >= 0 && v < static_cast<double>(materialCount)))
                return Fail("bad material index");
            if (f < faceCount)
                faceMaterial[f] = static_cast<std::uint32_t>(v);
        }
        for (std::size_t f = indexCount; f < faceCount && indexCount > 0; ++f)
            faceMaterial[f] = faceMaterial[indexCount - 1];
        for (const XObject& c : list.children) {
            const XObject* target = Resolve(c);
            if (c.isReference && (!target || target->type != "material"))
                return Fail("unknown material reference");
            if (target && target->type == "material" && !ReadMaterial(*target, materials))
                return false;
        }
        if (materials.size() != materialCount)
            return Fail("material count mismatch");
        return true;
    }

    // Colours by vertex; a vertex the list leaves out stays white. Files were read without their
    // colours before, so the list never makes a mesh unreadable: entries past its numbers or
    // naming no vertex are passed over.
    static void ReadColors(const XObject& list, std::size_t vertexCount, std::vector<std::uint32_t>& colors)
    {
        NumberCursor cur(list.nums);
        std::size_t count;
        if (!cur.Count(count))
            return;
        colors.assign(vertexCount, 0xFFFFFFFF);
        double v[5];  // vertex, red, green, blue, alpha
        for (std::size_t i = 0; i < count && cur.Values(v, 5); ++i)
            if (v[0] >= 0 && v[0] < static_cast<double>(vertexCount))
                colors[static_cast<std::size_t>(v[0])] = D3DXCOLOR(F(v[1]), F(v[2]), F(v[3]), F(v[4]));
    }

    // The mesh object read and triangulated, once for all its placements; null when malformed.
    const MeshParts* Parts(const XObject& mesh)
    {
        auto cached = m_parts.find(&mesh);
        if (cached != m_parts.end())
            return &cached->second;
        MeshParts parts;
        if (!ReadMesh(mesh, parts))
            return nullptr;
        return &m_parts.emplace(&mesh, std::move(parts)).first->second;
    }

    bool ReadMesh(const XObject& mesh, MeshParts& parts)
    {
        NumberCursor cur(mesh.nums);
        std::size_t vertexCount, faceCount;
        if (!cur.Count(vertexCount) || !cur.Fits(vertexCount * 3))
            return Fail("bad vertex count");
        parts.positions = cur.Take(vertexCount * 3);
        if (!cur.Count(faceCount) || !cur.Fits(faceCount))
            return Fail("short vertex list");
        std::vector<std::size_t> faces(faceCount);  // where each face stands in the mesh's numbers
        std::size_t triangles = 0;
        for (std::size_t& at : faces) {
            if (!cur.Face(at, vertexCount))
                return Fail("bad face");
            triangles += static_cast<std::size_t>(mesh.nums[at]) - 2;
        }

        std::vector<std::size_t> normalFaces;
        const std::vector<double>* normalNums = nullptr;
        if (const XObject* mn = Child(mesh, "meshnormals")) {
            NumberCursor nc(mn->nums);
            std::size_t normalCount, normalFaceCount;
            if (!nc.Count(normalCount) || !nc.Fits(normalCount * 3))
                return Fail("bad normal count");
            parts.normals = nc.Take(normalCount * 3);
            if (!nc.Count(normalFaceCount) || normalFaceCount != faceCount)
                return Fail("normals do not match the faces");
            normalFaces.resize(faceCount);
            for (std::size_t f = 0; f < faceCount; ++f)
                if (!nc.Face(normalFaces[f], normalCount) ||
                    static_cast<std::size_t>(mn->nums[normalFaces[f]]) != static_cast<std::size_t>(mesh.nums[faces[f]]))
                    return Fail("bad normal face");
            normalNums = &mn->nums;
        }
        if (const XObject* tc = Child(mesh, "meshtexturecoords")) {
            NumberCursor tcur(tc->nums);
            std::size_t count;
            if (!tcur.Count(count) || count != vertexCount || !tcur.Fits(count * 2))
                return Fail("texture coordinates do not match the vertices");
            parts.uvs = tcur.Take(count * 2);
        }
        if (const XObject* vc = Child(mesh, "meshvertexcolors"))
            ReadColors(*vc, vertexCount, parts.colors);
        parts.hasNormals = !normalFaces.empty();
        std::vector<std::uint32_t> faceMaterial(faceCount, 0);
        if (const XObject* list = Child(mesh, "meshmateriallist")) {
            if (!ReadMaterialList(*list, faceCount, faceMaterial, parts.materials))
                return false;
            parts.hasMaterialList = true;
        }

        // One output vertex per distinct (position, normal) pair of a corner, numbered by first
        // use. Most positions come with one normal: a position's first pair is kept beside it,
        // and only its further normals go through the map.
        constexpr std::uint32_t kNone = 0xFFFFFFFF;
        std::vector<std::uint32_t> firstNormal(vertexCount, kNone), firstCorner(vertexCount);
        std::unordered_map<std::uint64_t, std::uint32_t> moreNormals;
        auto corner = [&](std::uint32_t p, std::uint32_t n) {
            const auto next = static_cast<std::uint32_t>(parts.corners.size());
            if (firstNormal[p] == kNone) {
                firstNormal[p] = n;
                firstCorner[p] = next;
            } else if (firstNormal[p] == n) {
                return firstCorner[p];
            } else {
                auto [it, added] = moreNormals.emplace((static_cast<std::uint64_t>(p) << 32) | n, next);
                if (!added)
                    return it->second;
            }
            parts.corners.emplace_back(p, n);
            return next;
        };
        parts.indices.reserve(triangles * 3);
        parts.triangleMaterials.reserve(triangles);
        std::vector<std::uint32_t> corners;
        for (std::size_t f = 0; f < faceCount; ++f) {
            corners.clear();
            const std::size_t at = faces[f], count = static_cast<std::size_t>(mesh.nums[at]);
            for (std::size_t k = 1; k <= count; ++k) {
                const auto p = static_cast<std::uint32_t>(mesh.nums[at + k]);
                const auto n = normalNums ? static_cast<std::uint32_t>((*normalNums)[normalFaces[f] + k]) : 0u;
                corners.push_back(corner(p, n));
            }
            for (std::size_t k = 1; k + 1 < corners.size(); ++k) {
                parts.indices.insert(parts.indices.end(), {corners[0], corners[k], corners[k + 1]});
                parts.triangleMaterials.push_back(faceMaterial[f]);
            }
        }
        return true;
    }

    bool Place(const XObject& mesh, const Matrix& world)
    {
        const MeshParts* parts = Parts(mesh);
        if (!parts)
            return false;
        if (m_counting) {
            m_vertexTotal += parts->corners.size();
            m_faceTotal += parts->indices.size() / 3;
            m_materialTotal += parts->materials.size();
            if (m_vertexTotal > kMaxXVertices || m_faceTotal > kMaxXFaces || m_materialTotal > kMaxXMaterials)
                return Fail("too many vertices, faces or materials");
            return true;
        }

        m_out.hasNormals = (m_meshes == 0 || m_out.hasNormals) && parts->hasNormals;
        m_out.hasTexCoords = (m_meshes == 0 || m_out.hasTexCoords) && !parts->uvs.empty();
        m_out.hasColors = m_out.hasColors || !parts->colors.empty();
        if (parts->hasMaterialList)
            m_anyMaterialList = true;

        const NormalMatrix normals = NormalsOf(world);
        const auto vertexBase = static_cast<std::uint32_t>(m_out.vertices.size());
        for (const auto& [p, n] : parts->corners)
            m_out.vertices.push_back(MakeVertex(world, normals, *parts, p, n));
        for (std::uint32_t index : parts->indices)
            m_out.indices.push_back(vertexBase + index);
        const auto materialBase = static_cast<std::uint32_t>(m_out.materials.size());
        m_out.materials.insert(m_out.materials.end(), parts->materials.begin(), parts->materials.end());
        for (std::uint32_t material : parts->triangleMaterials)
            m_out.attributes.push_back(!parts->hasMaterialList ? 0
                                       : material == kNoMaterial ? kNoMaterial
                                                                 : materialBase + material);
        ++m_meshes;
        return true;
    }

    static XVertex MakeVertex(const Matrix& w, const NormalMatrix& nw, const MeshParts& parts, std::uint32_t p,
                              std::uint32_t n)
    {
        XVertex v;
        const double* in = &parts.positions[p * 3];
        for (int j = 0; j < 3; ++j)
            v.pos[j] = F(in[0] * w.m[0][j] + in[1] * w.m[1][j] + in[2] * w.m[2][j] + w.m[3][j]);
        if (parts.hasNormals) {
            const double* nn = &parts.normals[n * 3];
            double t[3], len = 0;
            for (int j = 0; j < 3; ++j) {
                t[j] = nn[0] * nw.m[0][j] + nn[1] * nw.m[1][j] + nn[2] * nw.m[2][j];
                len += t[j] * t[j];
            }
            len = std::sqrt(len);
            for (int j = 0; j < 3; ++j)
                v.normal[j] = F(len > 0 ? t[j] / len : 0);
        }
        if (!parts.uvs.empty()) {
            v.uv[0] = F(parts.uvs[p * 2]);
            v.uv[1] = F(parts.uvs[p * 2 + 1]);
        }
        if (!parts.colors.empty())
            v.diffuse = parts.colors[p];
        return v;
    }

    const XObject& m_root;
    XMeshData& m_out;
    std::map<std::string, const XObject*> m_named;
    std::unordered_map<const XObject*, MeshParts> m_parts;
    bool m_counting = false;
    std::size_t m_vertexTotal = 0;
    std::size_t m_faceTotal = 0;
    std::size_t m_materialTotal = 0;
    int m_meshes = 0;
    bool m_anyMaterialList = false;
    const char* m_reason = "";
};

}  // namespace

bool ParseXFile(std::string bytes, XMeshData& out, std::string* error)
{
    out = XMeshData();
    // "xof " + version (4) + format (4) + float size (4).
    if (bytes.size() < 16 || bytes.compare(0, 4, "xof ") != 0) {
        SetError(error, "not an x file");
        return false;
    }
    const std::string format = bytes.substr(8, 4);
    const bool wideFloats = bytes.compare(12, 4, "0064") == 0;
    const bool binary = format == "bin " || format == "bzip";
    std::size_t start = 16;
    if (format == "tzip" || format == "bzip") {
        std::string unpacked;
        if (!UnpackXFile(bytes, 16, unpacked)) {
            SetError(error, "damaged compressed x file");
            return false;
        }
        bytes.swap(unpacked);  // the packed bytes go with `unpacked`
        start = 0;
    } else if (format != "txt " && format != "bin ") {
        SetError(error, "unsupported x file encoding");
        return false;
    }
    XObject root;
    std::string reason;
    if (!ReadXTree(bytes, start, binary, wideFloats, root, reason)) {
        SetError(error, reason.c_str());
        return false;
    }
    bytes = std::string();  // what the mesh needs is in the tree now
    MeshBuilder builder(root, out);
    if (!builder.Build()) {
        SetError(error, builder.Reason());
        out = XMeshData();
        return false;
    }
    if (builder.MeshCount() == 0) {
        SetError(error, "no mesh");
        return false;
    }
    if (!builder.AnyMaterialList())
        out.materials.clear();
    return true;
}

}  // namespace platform
