#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "platform/d3dx9/xfile.h"

namespace {

using platform::XMeshData;

// A vertex's position, normal or texture coordinates as one value.
template <std::size_t N>
std::vector<float> V(const float (&values)[N])
{
    return {values, values + N};
}

// A quad and a triangle in one mesh; the quad is split into a fan, the triangle takes material
// 1. Normals: the quad's corners share normal 0 except corner 3 (normal 1), so position 3
// appears once for the quad and once more for the triangle, which uses normal 0 there.
const char* kTextMesh = R"(xof 0302txt 0032
template Mesh {
 <3D82AB44-62DA-11cf-AB39-0020AF71E433>
 DWORD nVertices;
 array Vector vertices[nVertices];
 [...]
}
// a comment { with braces }
Material Red { 1.0;0.0;0.0;1.0;; 5.0; 0.1;0.2;0.3;; 0.0;0.0;0.0;; TextureFilename { "red.dds"; } }
Frame Root {
 FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 10.0,20.0,30.0,1.0;; }
 Mesh Quad {
  5; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;, 2.0;2.0;2.0;;
  2; 4;0,1,2,3;, 3;3,2,4;;
  MeshNormals { 2; 0.0;0.0;-2.0;, 0.0;1.0;0.0;; 2; 4;0,0,0,1;, 3;0,0,0;; }
  MeshTextureCoords { 5; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;, 0.5;0.5;; }
  MeshMaterialList {
   2; 2; 0,1;;
   {Red}
   Material { 0.0;1.0;0.0;0.5;; 1.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  }
 }
}
)";

// Binary encoding writer, enough for the tests.
class BinaryX {
public:
    BinaryX() : bytes("xof 0302bin 0032") {}
    BinaryX& Word(std::uint16_t v) { return Raw(&v, 2); }
    BinaryX& Dword(std::uint32_t v) { return Raw(&v, 4); }
    BinaryX& Name(const std::string& n) { return Text(1, n); }
    BinaryX& Str(const std::string& n) { return Text(2, n).Dword(20); }
    BinaryX& Open() { return Word(10); }
    BinaryX& Close() { return Word(11); }
    BinaryX& Ints(std::initializer_list<std::uint32_t> v)
    {
        Word(6).Dword(static_cast<std::uint32_t>(v.size()));
        for (auto x : v)
            Dword(x);
        return *this;
    }
    BinaryX& Floats(std::initializer_list<float> v)
    {
        Word(7).Dword(static_cast<std::uint32_t>(v.size()));
        for (float x : v)
            Raw(&x, 4);
        return *this;
    }
    std::string bytes;

private:
    BinaryX& Raw(const void* p, std::size_t n)
    {
        bytes.append(static_cast<const char*>(p), n);
        return *this;
    }
    BinaryX& Text(std::uint16_t token, const std::string& s)
    {
        return Word(token).Dword(static_cast<std::uint32_t>(s.size())).Raw(s.data(), s.size());
    }
};

}  // namespace

TEST(XFile, TextMeshIsTransformedFannedSplitAndSubset)
{
    XMeshData mesh;
    std::string error;
    ASSERT_TRUE(platform::ParseXFile(kTextMesh, mesh, &error)) << error;
    EXPECT_TRUE(mesh.hasNormals);
    EXPECT_TRUE(mesh.hasTexCoords);
    // Quad: 4 corners (position 3 with normal 1). Triangle: 3, 2 (same as the quad's) and 4,
    // where 3 comes with normal 0: a new vertex. 4 + 2 = 6 vertices.
    ASSERT_EQ(mesh.vertices.size(), 6u);
    ASSERT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 4, 2, 5}));
    EXPECT_EQ(mesh.attributes, (std::vector<std::uint32_t>{0, 0, 1}));

    // The frame's translation is applied; normals are unit length.
    EXPECT_EQ(V(mesh.vertices[2].pos), (std::vector<float>{11, 21, 30}));
    EXPECT_EQ(V(mesh.vertices[0].normal), (std::vector<float>{0, 0, -1}));
    EXPECT_EQ(V(mesh.vertices[3].normal), (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(V(mesh.vertices[mesh.indices[6]].normal), (std::vector<float>{0, 0, -1}));
    EXPECT_EQ(V(mesh.vertices[mesh.indices[8]].uv), (std::vector<float>{0.5f, 0.5f}));

    // The referenced material comes first, then the inline one.
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].textureFileName, "red.dds");
    EXPECT_FLOAT_EQ(mesh.materials[0].power, 5.0f);
    EXPECT_FLOAT_EQ(mesh.materials[0].specular.b, 0.3f);
    EXPECT_FLOAT_EQ(mesh.materials[1].diffuse.a, 0.5f);
    EXPECT_TRUE(mesh.materials[1].textureFileName.empty());
}

TEST(XFile, MeshesOfNestedFramesMergeAndAFileWithoutListHasNoMaterials)
{
    // Two meshes: one at the top, one in a child frame scaled by 2 inside a frame moved by 5.
    const char* text = R"(xof 0302txt 0064
Mesh A { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
Frame Outer {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 5,0,0,1;; }
 Frame Inner {
  FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1;; }
  Mesh B { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 1; 4;0,1,2,3;; }
 }
}
)";
    XMeshData mesh;
    ASSERT_TRUE(platform::ParseXFile(text, mesh));
    EXPECT_FALSE(mesh.hasNormals);
    EXPECT_FALSE(mesh.hasTexCoords);
    ASSERT_EQ(mesh.vertices.size(), 7u);
    EXPECT_EQ(mesh.indices.size(), 9u);
    EXPECT_TRUE(mesh.materials.empty());
    EXPECT_EQ(V(mesh.vertices[5].pos), (std::vector<float>{7, 2, 0}));  // (1,1,0) scaled by 2, moved by 5
    EXPECT_EQ(mesh.indices[3], 3u);
}

TEST(XFile, BinaryEncodingReadsLikeText)
{
    BinaryX x;
    x.Word(31).Open().Word(5).Dword(0).Dword(0).Dword(0).Dword(0).Word(41).Name("nVertices").Word(20).Close();
    x.Name("Mesh").Name("Tri").Open();
    x.Ints({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1}).Ints({3, 0, 1, 2});
    x.Name("MeshMaterialList").Open().Ints({1, 1, 0});
    x.Name("Material").Open().Floats({1, 1, 1, 1, 2, 0, 0, 0, 0, 0, 0});
    x.Name("TextureFilename").Open().Str("tri.dds").Close();
    x.Close().Close().Close();
    XMeshData mesh;
    std::string error;
    ASSERT_TRUE(platform::ParseXFile(x.bytes, mesh, &error)) << error;
    EXPECT_EQ(mesh.vertices.size(), 3u);
    EXPECT_EQ(mesh.attributes, (std::vector<std::uint32_t>{0}));
    ASSERT_EQ(mesh.materials.size(), 1u);
    EXPECT_EQ(mesh.materials[0].textureFileName, "tri.dds");
    EXPECT_FLOAT_EQ(mesh.vertices[1].pos[0], 1.0f);
}

TEST(XFile, DamagedFilesAreRefused)
{
    const std::string header = "xof 0302txt 0032\n", triangle = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;";
    const std::string damaged[] = {
        "",
        "xof 0302zip 0032",
        header + "Header { 1; 0; 1; }\n",  // no mesh
        header + triangle + "\n",           // unclosed
        header + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,7;; }",  // index out of range
        header + "Mesh { 3; 0;0;0;, 1;0;0;; 1; 3;0,1,2;; }",           // short vertex list
        // A count larger than the data is refused before anything is sized by it.
        header + "Mesh { 16000000; 0;0;0;; 1; 3;0,0,0;; }",
        header + triangle + " MeshMaterialList { 1; 1; 3;; } }",  // material index beyond the list
        // Numbers that are not numbers are no count or index.
        header + "Mesh { -nan; 0;0;0;; 1; 3;0,0,0;; }",
        header + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,-nan;; }",
        header + triangle + " MeshMaterialList { 1; 1; -nan;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }",
        header + triangle + " MeshNormals { 1; 0;0;1;; 1; 3;0,0,-nan;; } }",
    };
    XMeshData mesh;
    for (const std::string& file : damaged)
        EXPECT_FALSE(platform::ParseXFile(file, mesh)) << file;
    BinaryX truncated;
    truncated.Name("Mesh").Open().Word(6).Dword(1000);
    EXPECT_FALSE(platform::ParseXFile(truncated.bytes, mesh));
    EXPECT_TRUE(mesh.vertices.empty());
}

namespace {

// A file of one top-level mesh, placed once more by each of `references` references in a frame.
std::string PlacedMesh(const std::string& mesh, int references)
{
    std::string text = "xof 0302txt 0032\n" + mesh + "\nFrame F {\n";
    for (int i = 0; i < references; ++i)
        text += "{M}\n";
    return text + "}\n";
}

// One face of `corners` corners over the vertices 0 .. vertices - 1 in turn: corners - 2 triangles.
std::string FanMesh(int vertices, int corners, const std::string& extra = "")
{
    std::string text = "Mesh M { " + std::to_string(vertices) + ";";
    for (int v = 0; v < vertices; ++v)
        text += std::to_string(v) + ";0;0;" + (v + 1 < vertices ? "," : ";");
    text += " 1; " + std::to_string(corners) + ";";
    for (int c = 0; c < corners; ++c)
        text += std::to_string(c % vertices) + (c + 1 < corners ? "," : ";;");
    return text + extra + " }";
}

}  // namespace

TEST(XFile, EachReferencePlacesTheMeshAgain)
{
    const char* text = R"(xof 0302txt 0032
Material Red { 1;0;0;1;; 5; 0;0;0;; 0;0;0;; }
Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;; {Red} } }
Frame F {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 5,0,0,1;; }
 {M}
}
)";
    XMeshData mesh;
    ASSERT_TRUE(platform::ParseXFile(text, mesh));
    ASSERT_EQ(mesh.vertices.size(), 6u);
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_FLOAT_EQ(mesh.vertices[4].pos[0], 6.0f);  // the frame's placement
    EXPECT_EQ(mesh.materials.size(), 2u);            // each placement brings its own materials
    EXPECT_EQ(mesh.attributes, (std::vector<std::uint32_t>{0, 1}));
}

// References re-place a mesh at the cost of a few bytes each, so what a file produces in all is
// bounded; a file past a bound fails to load like a malformed one.
TEST(XFile, WhatAFileProducesIsBounded)
{
    XMeshData mesh;
    std::string error;
    // 1,000 triangles a placement: 4,000 placements reach the bound exactly, one more passes it.
    const std::string fan = FanMesh(3, 1002);
    ASSERT_TRUE(platform::ParseXFile(PlacedMesh(fan, 3999), mesh, &error)) << error;
    EXPECT_EQ(mesh.attributes.size(), platform::kMaxXFaces);
    EXPECT_FALSE(platform::ParseXFile(PlacedMesh(fan, 4000), mesh));
    EXPECT_TRUE(mesh.vertices.empty() && mesh.indices.empty());

    // 1,000 vertices and 998 triangles a placement: 4,001 placements pass the vertex bound only.
    EXPECT_FALSE(platform::ParseXFile(PlacedMesh(FanMesh(1000, 1000), 4000), mesh));

    // One material a placement.
    const std::string withMaterial = FanMesh(3, 3, " MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }");
    ASSERT_TRUE(platform::ParseXFile(PlacedMesh(withMaterial, 65535), mesh, &error)) << error;
    EXPECT_EQ(mesh.materials.size(), platform::kMaxXMaterials);
    EXPECT_FALSE(platform::ParseXFile(PlacedMesh(withMaterial, 65536), mesh));
}

namespace {

// One block: its sizes, "CK" and `block` deflated with the `historySize` bytes before `history`'s
// end as its dictionary.
std::string PackBlock(const std::string& block, const char* history = nullptr, std::size_t historySize = 0,
                      bool signatureCounted = true)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (historySize > 0)
        deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(history - historySize), static_cast<uInt>(historySize));
    std::string packed(deflateBound(&z, block.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    z.avail_in = static_cast<uInt>(block.size());
    z.next_out = reinterpret_cast<Bytef*>(packed.data());
    z.avail_out = static_cast<uInt>(packed.size());
    deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    const std::uint16_t sizes[2] = {static_cast<std::uint16_t>(block.size()),
                                    static_cast<std::uint16_t>(packed.size() + (signatureCounted ? 2 : 0))};
    return std::string(reinterpret_cast<const char*>(sizes), 4) + "CK" + packed;
}

// The compressed form of a whole plain file: its header with the format made "tzip" or "bzip",
// the total size, then blocks of `blockSize` bytes, each deflated with the output before it as
// its dictionary. `signatureCounted`: whether a block's packed size counts its "CK".
std::string Compress(const std::string& plain, std::size_t blockSize = 32768, bool signatureCounted = true)
{
    std::string out = plain.substr(0, 16);
    out.replace(8, 4, plain.compare(8, 4, "txt ") == 0 ? "tzip" : "bzip");
    const std::string body = plain.substr(16);
    const auto total = static_cast<std::uint32_t>(plain.size());
    out.append(reinterpret_cast<const char*>(&total), 4);
    for (std::size_t pos = 0; pos < body.size(); pos += blockSize)
        out += PackBlock(body.substr(pos, blockSize), body.data() + pos, std::min<std::size_t>(pos, 32768),
                         signatureCounted);
    return out;
}

void ExpectSameMesh(const XMeshData& a, const XMeshData& b)
{
    ASSERT_EQ(a.vertices.size(), b.vertices.size());
    EXPECT_EQ(std::memcmp(a.vertices.data(), b.vertices.data(), a.vertices.size() * sizeof(platform::XVertex)), 0);
    EXPECT_EQ(a.indices, b.indices);
    EXPECT_EQ(a.attributes, b.attributes);
    ASSERT_EQ(a.materials.size(), b.materials.size());
    for (std::size_t i = 0; i < a.materials.size(); ++i)
        EXPECT_EQ(a.materials[i].textureFileName, b.materials[i].textureFileName);
    EXPECT_EQ(a.hasNormals, b.hasNormals);
    EXPECT_EQ(a.hasTexCoords, b.hasTexCoords);
}

}  // namespace

// Compressed files read as their plain form. The text one of 40 KB is two blocks, the second
// repeating the first, which it reaches only through the first block's output.
TEST(XFile, CompressedFilesReadAsTheirPlainForm)
{
    std::string text = R"(xof 0302txt 0032
Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;
 MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "m.dds"; } } }
}
Frame F {
)";
    while (text.size() < 40000)  // two blocks
        text += "{M}\n";
    text += "}\n";
    BinaryX binary;
    binary.Name("Mesh").Open().Ints({4}).Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}).Ints({1, 4, 0, 1, 2, 3});
    binary.Name("MeshNormals").Open().Ints({1}).Floats({0, 0, -1}).Ints({1, 4, 0, 0, 0, 0}).Close().Close();

    XMeshData plain, packed;
    std::string error;
    for (const std::string& file : {text, binary.bytes}) {
        ASSERT_TRUE(platform::ParseXFile(file, plain, &error)) << error;
        for (const auto& [blockSize, counted] : {std::pair{32768, true}, {7, false}}) {
            const std::string zipped = Compress(file, static_cast<std::size_t>(blockSize), counted);
            ASSERT_TRUE(platform::ParseXFile(zipped, packed, &error)) << error << " block " << blockSize;
            ExpectSameMesh(plain, packed);
        }
    }
}

// Damaged compressed data, and data that would unpack past its total or past what a plain file
// may hold, is refused.
TEST(XFile, DamagedOrOversizedCompressedFilesAreRefused)
{
    std::string text = "xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
    text += std::string(70000 - text.size(), ' ');  // three blocks, the last of 4,464 bytes
    const std::string good = Compress(text);
    XMeshData mesh;
    ASSERT_TRUE(platform::ParseXFile(good, mesh));

    auto withTotal = [&](std::uint32_t total) {
        std::string s = good;
        std::memcpy(s.data() + 16, &total, 4);
        return s;
    };
    const std::size_t lastBlock = good.rfind("CK") - 4;
    auto patched = [&](std::size_t at, char byte) {
        std::string s = good;
        s[at] = byte;
        return s;
    };
    const std::string damaged[] = {
        good.substr(0, good.size() - 1),           // cut short
        good + "\x01",                             // a block header cut short
        withTotal(70000 - 1),                      // unpacks past its total
        withTotal(70000 + 1),                      // unpacks short of it
        withTotal(static_cast<std::uint32_t>(platform::kMaxXUnpackedBytes + 17)),  // more than a file may hold
        patched(lastBlock + 4, 'X'),               // no signature
        patched(lastBlock, static_cast<char>(good[lastBlock] - 1)),      // unpacks past its block
        patched(lastBlock, static_cast<char>(good[lastBlock] + 1)),      // unpacks short of its block
        patched(lastBlock + 2, static_cast<char>(good[lastBlock + 2] + 5)),  // a packed size that is not the data's
        patched(lastBlock + 7, static_cast<char>(good[lastBlock + 7] ^ 0x55)),  // damaged deflate data
    };
    for (const std::string& file : damaged)
        EXPECT_FALSE(platform::ParseXFile(file, mesh)) << file.size();
    // A total that leaves the header out is taken as well.
    EXPECT_TRUE(platform::ParseXFile(withTotal(70000 - 16), mesh));

    // A mesh followed by spaces, one byte more than a plain file may hold, in blocks of a few
    // bytes each: refused, not unpacked.
    const std::size_t block = 32768, body = platform::kMaxXUnpackedBytes + 1;
    std::string first = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
    first.resize(block, ' ');
    const std::string spaces = PackBlock(std::string(block, ' '));
    const auto total = static_cast<std::uint32_t>(16 + body);
    std::string huge = "xof 0302tzip0032" + std::string(reinterpret_cast<const char*>(&total), 4) + PackBlock(first);
    for (std::size_t unpacked = block; body - unpacked >= block; unpacked += block)
        huge += spaces;
    huge += PackBlock(std::string(body % block, ' '));
    EXPECT_FALSE(platform::ParseXFile(huge, mesh));
}

// Vertex colours are kept by vertex; a vertex the list leaves out, or a merged mesh without a
// list, is white; a list that names no vertex or runs short never makes the file unreadable.
TEST(XFile, VertexColoursAreKeptByVertex)
{
    const char* text = R"(xof 0302txt 0032
Mesh A {
 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
 2; 3;0,1,2;, 3;0,2,3;;
 MeshVertexColors { 4; 0;1.0;0.0;0.0;1.0;, 2;0.0;0.5;1.0;0.25;, 9;1;1;1;1;, 3;0;0;1;; }
}
Mesh B { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
)";
    XMeshData mesh;
    ASSERT_TRUE(platform::ParseXFile(text, mesh));
    EXPECT_TRUE(mesh.hasColors);
    std::vector<std::uint32_t> colours;
    for (const auto& v : mesh.vertices)
        colours.push_back(v.diffuse);
    EXPECT_EQ(colours, (std::vector<std::uint32_t>{0xFFFF0000, 0xFFFFFFFF, 0x400080FF, 0xFFFFFFFF, 0xFFFFFFFF,
                                                   0xFFFFFFFF, 0xFFFFFFFF}));
    ASSERT_TRUE(platform::ParseXFile("xof 0302txt 0032\nMesh B { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }", mesh));
    EXPECT_FALSE(mesh.hasColors);
}

// Normals are carried by the inverse transpose of their frame's transform: a frame that scales
// unevenly keeps them perpendicular to their faces, and one that mirrors mirrors them.
TEST(XFile, NormalsFollowTheInverseTransposeOfTheirFrame)
{
    struct Case {
        const char* matrix;
        float normal[3];
        float expected[3];
    };
    const Case cases[] = {
        {"2,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1", {1, 1, 0}, {0.4472136f, 0.8944272f, 0}},
        {"-1,0,0,0, 0,1,0,0, 0,0,1,0, 5,6,7,1", {1, 0, 0}, {-1, 0, 0}},
        {"1,0,0,0, 1,1,0,0, 0,0,1,0, 0,0,0,1", {0, 1, 0}, {0, 1, 0}},  // sheared along x
    };
    for (const Case& c : cases) {
        const std::string text = std::string("xof 0302txt 0032\nFrame F { FrameTransformMatrix { ") + c.matrix +
                                 ";; }\n Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n  MeshNormals { 1; " +
                                 std::to_string(c.normal[0]) + ";" + std::to_string(c.normal[1]) + ";" +
                                 std::to_string(c.normal[2]) + ";; 1; 3;0,0,0;; } } }\n";
        XMeshData mesh;
        ASSERT_TRUE(platform::ParseXFile(text, mesh)) << c.matrix;
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(mesh.vertices[0].normal[j], c.expected[j], 1e-6) << c.matrix << " axis " << j;
    }
}
