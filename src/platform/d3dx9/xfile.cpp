// Both encodings of the .x format become one stream of tokens; the data objects are then read
// into a tree whose numbers and strings are flat lists (separators carry no meaning once the
// template is known), and the known templates are interpreted from the tree.
#include "platform/d3dx9/xfile.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <unordered_map>

#include "platform/ascii.h"

namespace platform {
namespace {

struct XToken {
    enum Kind { Name, String, Number, OBrace, CBrace, Guid, Template, End } kind = End;
    std::string text;
    double number = 0;
};

void SetError(std::string* error, const char* text)
{
    if (error)
        *error = text;
}

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'; }

bool TokenizeText(const std::string& s, std::size_t pos, std::vector<XToken>& out)
{
    const std::size_t n = s.size();
    while (pos < n) {
        const char c = s[pos];
        if (c == '#' || (c == '/' && pos + 1 < n && s[pos + 1] == '/')) {
            while (pos < n && s[pos] != '\n')
                ++pos;
        } else if (c == '{' || c == '}') {
            out.push_back({c == '{' ? XToken::OBrace : XToken::CBrace, {}, 0});
            ++pos;
        } else if (c == '"') {
            const std::size_t close = s.find('"', pos + 1);
            if (close == std::string::npos)
                return false;
            out.push_back({XToken::String, s.substr(pos + 1, close - pos - 1), 0});
            pos = close + 1;
        } else if (c == '<') {
            const std::size_t close = s.find('>', pos + 1);
            if (close == std::string::npos)
                return false;
            out.push_back({XToken::Guid, s.substr(pos + 1, close - pos - 1), 0});
            pos = close + 1;
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.') {
            char* end = nullptr;
            const double v = std::strtod(s.c_str() + pos, &end);
            const std::size_t used = static_cast<std::size_t>(end - (s.c_str() + pos));
            if (used == 0) {
                ++pos;
                continue;
            }
            out.push_back({XToken::Number, {}, v});
            pos += used;
        } else if (IsNameStart(c)) {
            const std::size_t start = pos;
            while (pos < n && IsNameChar(s[pos]))
                ++pos;
            std::string word = s.substr(start, pos - start);
            out.push_back({word == "template" ? XToken::Template : XToken::Name, std::move(word), 0});
        } else {
            ++pos;  // blanks, separators and the punctuation of template declarations
        }
    }
    out.push_back({});
    return true;
}

// Token codes of the binary encoding.
enum : std::uint16_t {
    kTokName = 1, kTokString = 2, kTokInteger = 3, kTokGuid = 5, kTokIntegerList = 6, kTokFloatList = 7,
    kTokOBrace = 10, kTokCBrace = 11, kTokComma = 19, kTokSemicolon = 20, kTokTemplate = 31,
};

class BinaryReader {
public:
    BinaryReader(const std::string& s, std::size_t pos) : m_s(s), m_pos(pos) {}
    bool Has(std::size_t n) const { return m_s.size() - m_pos >= n; }
    bool AtEnd() const { return m_pos >= m_s.size(); }
    template <typename T>
    T Peek() const
    {
        T v;
        std::memcpy(&v, m_s.data() + m_pos, sizeof v);
        return v;
    }
    template <typename T>
    T Read()
    {
        const T v = Peek<T>();
        m_pos += sizeof v;
        return v;
    }
    double Float(bool wide) { return wide ? Read<double>() : Read<float>(); }
    std::string Bytes(std::size_t n)
    {
        std::string r = m_s.substr(m_pos, n);
        m_pos += n;
        return r;
    }
    void Skip(std::size_t n) { m_pos += n; }

private:
    const std::string& m_s;
    std::size_t m_pos;
};

bool TokenizeBinary(const std::string& s, std::size_t pos, bool wideFloats, std::vector<XToken>& out)
{
    BinaryReader r(s, pos);
    const std::size_t floatSize = wideFloats ? 8 : 4;
    while (!r.AtEnd()) {
        if (!r.Has(2))
            return false;
        const std::uint16_t token = r.Read<std::uint16_t>();
        switch (token) {
        case kTokName:
        case kTokString: {
            if (!r.Has(4))
                return false;
            const std::uint32_t count = r.Read<std::uint32_t>();
            if (!r.Has(count))
                return false;
            out.push_back({token == kTokName ? XToken::Name : XToken::String, r.Bytes(count), 0});
            // A string carries its terminator token, written as a word or a double word.
            if (token == kTokString && r.Has(2)) {
                const std::uint16_t term = r.Peek<std::uint16_t>();
                if (term == kTokComma || term == kTokSemicolon) {
                    r.Skip(2);
                    if (r.Has(2) && r.Peek<std::uint16_t>() == 0)
                        r.Skip(2);
                }
            }
            break;
        }
        case kTokInteger:
            if (!r.Has(4))
                return false;
            out.push_back({XToken::Number, {}, static_cast<double>(r.Read<std::uint32_t>())});
            break;
        case kTokGuid:
            if (!r.Has(16))
                return false;
            r.Skip(16);
            out.push_back({XToken::Guid, {}, 0});
            break;
        case kTokIntegerList:
        case kTokFloatList: {
            if (!r.Has(4))
                return false;
            const std::uint32_t count = r.Read<std::uint32_t>();
            const std::size_t each = token == kTokIntegerList ? 4 : floatSize;
            if (count > (s.size() / each) || !r.Has(count * each))
                return false;
            for (std::uint32_t i = 0; i < count; ++i) {
                const double v = token == kTokIntegerList ? r.Read<std::uint32_t>() : r.Float(wideFloats);
                out.push_back({XToken::Number, {}, v});
            }
            break;
        }
        case kTokOBrace:
            out.push_back({XToken::OBrace, {}, 0});
            break;
        case kTokCBrace:
            out.push_back({XToken::CBrace, {}, 0});
            break;
        case kTokTemplate:
            out.push_back({XToken::Template, {}, 0});
            break;
        default:
            if (token == 0 || token > 60)
                return false;
            break;  // punctuation and the type keywords of template declarations
        }
    }
    out.push_back({});
    return true;
}

struct XObject {
    std::string type;  // lower-cased template name
    std::string name;
    std::vector<double> nums;
    std::vector<std::string> strings;
    std::vector<XObject> children;  // data objects and references, in file order
    bool isReference = false;        // a "{ name }" member: `name` names a top-level object
};

class TreeBuilder {
public:
    explicit TreeBuilder(const std::vector<XToken>& t) : m_t(t) {}

    // Reads members until the closing brace (or the end of the file at the top level).
    bool ReadBody(XObject& obj, bool topLevel, int depth)
    {
        if (depth > 64)
            return false;
        for (;;) {
            const XToken& tok = m_t[m_i];
            switch (tok.kind) {
            case XToken::End:
                return topLevel;
            case XToken::CBrace:
                ++m_i;
                return !topLevel;
            case XToken::Number:
                obj.nums.push_back(tok.number);
                ++m_i;
                break;
            case XToken::String:
                obj.strings.push_back(tok.text);
                ++m_i;
                break;
            case XToken::Guid:
                ++m_i;
                break;
            case XToken::Template:
                if (!SkipTemplate())
                    return false;
                break;
            case XToken::OBrace: {
                ++m_i;
                while (m_t[m_i].kind == XToken::Name || m_t[m_i].kind == XToken::Guid) {
                    if (m_t[m_i].kind == XToken::Name) {
                        XObject ref;
                        ref.name = m_t[m_i].text;
                        ref.isReference = true;
                        obj.children.push_back(std::move(ref));
                    }
                    ++m_i;
                }
                if (m_t[m_i].kind != XToken::CBrace)
                    return false;
                ++m_i;
                break;
            }
            case XToken::Name: {
                XObject child;
                child.type = AsciiLower(tok.text);
                ++m_i;
                if (m_t[m_i].kind == XToken::Name)
                    child.name = m_t[m_i++].text;
                if (m_t[m_i].kind == XToken::Guid)
                    ++m_i;
                if (m_t[m_i].kind != XToken::OBrace)
                    break;  // a stray word in the data
                ++m_i;
                if (!ReadBody(child, false, depth + 1))
                    return false;
                obj.children.push_back(std::move(child));
                break;
            }
            }
        }
    }

private:
    bool SkipTemplate()
    {
        ++m_i;
        int depth = 0;
        for (; m_t[m_i].kind != XToken::End; ++m_i) {
            if (m_t[m_i].kind == XToken::OBrace)
                ++depth;
            else if (m_t[m_i].kind == XToken::CBrace && --depth == 0) {
                ++m_i;
                return true;
            }
        }
        return false;
    }

    const std::vector<XToken>& m_t;
    std::size_t m_i = 0;
};

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

// Sequential reading of an object's numbers with bounds checks.
class NumberCursor {
public:
    explicit NumberCursor(const std::vector<double>& nums) : m_n(nums) {}
    bool Count(std::size_t& out, std::size_t limit = 1u << 24)
    {
        if (m_i >= m_n.size() || m_n[m_i] < 0 || m_n[m_i] > static_cast<double>(limit))
            return false;
        out = static_cast<std::size_t>(m_n[m_i++]);
        return true;
    }
    // Whether n more numbers are left, checked before anything is sized by a count.
    bool Fits(std::size_t n) const { return m_n.size() - m_i >= n; }
    bool Values(double* out, std::size_t n)
    {
        if (m_n.size() - m_i < n)
            return false;
        for (std::size_t k = 0; k < n; ++k)
            out[k] = m_n[m_i++];
        return true;
    }
    // A face: a corner count, then that many indices, each below `bound`.
    bool Face(std::vector<std::uint32_t>& corners, std::size_t bound)
    {
        std::size_t count;
        if (!Count(count, 1024) || m_n.size() - m_i < count)
            return false;
        corners.resize(count);
        for (std::size_t k = 0; k < count; ++k) {
            const double v = m_n[m_i++];
            if (v < 0 || v >= static_cast<double>(bound))
                return false;
            corners[k] = static_cast<std::uint32_t>(v);
        }
        return true;
    }

private:
    const std::vector<double>& m_n;
    std::size_t m_i = 0;
};

float F(double v) { return static_cast<float>(v); }

// A mesh object read once: its output vertices as (position, normal) pairs, its triangles over
// them, and its materials. A file may place one mesh many times (every reference places it
// again), so each placement only transforms and copies these.
struct MeshParts {
    std::vector<double> positions;  // three per vertex of the file
    std::vector<double> normals;    // three per normal of the file
    bool hasNormals = false;        // normals given for the faces (a mesh without faces has none)
    std::vector<double> uvs;        // two per vertex of the file
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
            if (!cur.Values(&v, 1) || v < 0 || v >= static_cast<double>(materialCount))
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
        parts.positions.resize(vertexCount * 3);
        if (!cur.Values(parts.positions.data(), parts.positions.size()) || !cur.Count(faceCount) || !cur.Fits(faceCount))
            return Fail("short vertex list");
        std::vector<std::vector<std::uint32_t>> faces(faceCount);
        for (auto& face : faces)
            if (!cur.Face(face, vertexCount) || face.size() < 3)
                return Fail("bad face");

        std::vector<std::vector<std::uint32_t>> normalFaces;
        if (const XObject* mn = Child(mesh, "meshnormals")) {
            NumberCursor nc(mn->nums);
            std::size_t normalCount, normalFaceCount;
            if (!nc.Count(normalCount) || !nc.Fits(normalCount * 3))
                return Fail("bad normal count");
            parts.normals.resize(normalCount * 3);
            if (!nc.Values(parts.normals.data(), parts.normals.size()) || !nc.Count(normalFaceCount) ||
                normalFaceCount != faceCount)
                return Fail("normals do not match the faces");
            normalFaces.resize(faceCount);
            for (std::size_t f = 0; f < faceCount; ++f)
                if (!nc.Face(normalFaces[f], normalCount) || normalFaces[f].size() != faces[f].size())
                    return Fail("bad normal face");
        }
        if (const XObject* tc = Child(mesh, "meshtexturecoords")) {
            NumberCursor tcur(tc->nums);
            std::size_t count;
            if (!tcur.Count(count) || count != vertexCount || !tcur.Fits(count * 2))
                return Fail("texture coordinates do not match the vertices");
            parts.uvs.resize(count * 2);
            if (!tcur.Values(parts.uvs.data(), parts.uvs.size()))
                return Fail("short texture coordinates");
        }
        parts.hasNormals = !normalFaces.empty();
        std::vector<std::uint32_t> faceMaterial(faceCount, 0);
        if (const XObject* list = Child(mesh, "meshmateriallist")) {
            if (!ReadMaterialList(*list, faceCount, faceMaterial, parts.materials))
                return false;
            parts.hasMaterialList = true;
        }

        // One output vertex per distinct (position, normal) pair of a corner.
        std::unordered_map<std::uint64_t, std::uint32_t> split;
        std::vector<std::uint32_t> corners;
        for (std::size_t f = 0; f < faceCount; ++f) {
            corners.clear();
            for (std::size_t k = 0; k < faces[f].size(); ++k) {
                const std::uint32_t p = faces[f][k];
                const std::uint32_t n = normalFaces.empty() ? 0 : normalFaces[f][k];
                const std::uint64_t key = (static_cast<std::uint64_t>(p) << 32) | n;
                auto [it, added] = split.emplace(key, static_cast<std::uint32_t>(parts.corners.size()));
                if (added)
                    parts.corners.emplace_back(p, n);
                corners.push_back(it->second);
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
        if (parts->hasMaterialList)
            m_anyMaterialList = true;

        const auto vertexBase = static_cast<std::uint32_t>(m_out.vertices.size());
        for (const auto& [p, n] : parts->corners)
            m_out.vertices.push_back(MakeVertex(world, *parts, p, n));
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

    static XVertex MakeVertex(const Matrix& w, const MeshParts& parts, std::uint32_t p, std::uint32_t n)
    {
        XVertex v;
        const double* in = &parts.positions[p * 3];
        for (int j = 0; j < 3; ++j)
            v.pos[j] = F(in[0] * w.m[0][j] + in[1] * w.m[1][j] + in[2] * w.m[2][j] + w.m[3][j]);
        if (parts.hasNormals) {
            const double* nn = &parts.normals[n * 3];
            double t[3], len = 0;
            for (int j = 0; j < 3; ++j) {
                t[j] = nn[0] * w.m[0][j] + nn[1] * w.m[1][j] + nn[2] * w.m[2][j];
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

bool ParseXFile(const std::string& bytes, XMeshData& out, std::string* error)
{
    out = XMeshData();
    // "xof " + version (4) + format (4) + float size (4).
    if (bytes.size() < 16 || bytes.compare(0, 4, "xof ") != 0) {
        SetError(error, "not an x file");
        return false;
    }
    const std::string format = bytes.substr(8, 4);
    const bool wideFloats = bytes.compare(12, 4, "0064") == 0;
    std::vector<XToken> tokens;
    bool ok;
    if (format == "txt ")
        ok = TokenizeText(bytes, 16, tokens);
    else if (format == "bin ")
        ok = TokenizeBinary(bytes, 16, wideFloats, tokens);
    else {
        SetError(error, "unsupported x file encoding");
        return false;
    }
    if (!ok) {
        SetError(error, "malformed x file");
        return false;
    }
    XObject root;
    if (!TreeBuilder(tokens).ReadBody(root, true, 0)) {
        SetError(error, "unbalanced braces");
        return false;
    }
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
