#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "platform/d3dx9.h"
#include "platform/seams.h"
#include "support/mediafiles.h"
#include "support/testdevice.h"
#include "support/testutil.h"

namespace {

// A quad over the whole target at depth 0.5, texture corners on the screen's corners; the
// upper-right triangle takes material 0, the lower-left material 1.
const char* kQuad = R"(xof 0302txt 0032
Mesh {
 4; -1;1;0.5;, 1;1;0.5;, 1;-1;0.5;, -1;-1;0.5;;
 2; 3;0,1,2;, 3;0,2,3;;
 MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; }
 MeshMaterialList { 2; 2; 0,1;;
  Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "quad.png"; } }
  Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }
 }
}
)";

// Four quadrant colours, as the images below hold them.
constexpr D3DCOLOR kTopLeft = 0xFFFF0000, kTopRight = 0xFF00FF00, kBottomLeft = 0xFF0000FF, kBottomRight = 0xFFFFFFFF;

std::vector<std::uint8_t> Quadrants(int size, int channels)
{
    std::vector<std::uint8_t> px;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const D3DCOLOR c = y < size / 2 ? (x < size / 2 ? kTopLeft : kTopRight)
                                            : (x < size / 2 ? kBottomLeft : kBottomRight);
            const std::uint8_t rgba[4] = {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                          static_cast<std::uint8_t>(c), 255};
            px.insert(px.end(), rgba, rgba + channels);
        }
    return px;
}

// Colour channels only: what the frame keeps as alpha is not the texture's business.
bool Near(D3DCOLOR a, D3DCOLOR b, int tol)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tol)
            return false;
    return true;
}

class D3dxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        device = testutil::MakeTestDevice(64, 64);
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override
    {
        if (device)
            device->Release();
    }

    // Clears to black and draws the subsets of the mesh with the texture, unlit, through
    // identity transforms; then presents.
    void DrawQuad(ID3DXMesh* mesh, IDirect3DTexture9* texture, std::initializer_list<DWORD> subsets)
    {
        D3DMATRIX identity{};
        identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
        device->SetTransform(D3DTS_WORLD, &identity);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetTransform(D3DTS_PROJECTION, &identity);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        device->SetTexture(0, texture);
        for (DWORD subset : subsets)
            mesh->DrawSubset(subset);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    ID3DXMesh* LoadQuad(ID3DXBuffer** materials = nullptr, DWORD* count = nullptr, ID3DXBuffer** adjacency = nullptr)
    {
        dir.Write("quad.x", kQuad);
        ID3DXMesh* mesh = nullptr;
        testutil::ScopedCwd cwd(dir.Path());
        EXPECT_EQ(D3DXLoadMeshFromXA("Quad.X", D3DXMESH_MANAGED, device, adjacency, materials, nullptr, count, &mesh),
                  D3D_OK);
        return mesh;
    }

    IDirect3DDevice9* device = nullptr;
    testutil::TempDir dir;
};

}  // namespace

TEST_F(D3dxTest, EveryImageFormatDrawsAsATexturedQuad)
{
    const auto rgba = Quadrants(2, 4), rgb = Quadrants(2, 3);
    const std::string png = testutil::PngFile(2, 2, 4, rgba), bmp = testutil::BmpFile(2, 2, 3, rgb),
                      tga = testutil::TgaFile(2, 2, 4, rgba), jpg = testutil::JpgFile(16, 16, 3, Quadrants(16, 3), 100);

    // DXT1 and DXT5: one 4x4 block, red and green end points, the lower half transparent black
    // in DXT1 (punch-through) and fully opaque in DXT5.
    const std::string dxt1 = testutil::DdsHeader(4, 4, 0x4, "DXT1", 0) +
                             std::string("\xE0\x07\x00\xF8\x55\x55\xFF\xFF", 8);  // c0 green < c1 red
    const std::string dxt5 = testutil::DdsHeader(4, 4, 0x4, "DXT5", 0) + std::string("\xFF\xFF", 2) +
                             std::string(6, '\0') + std::string("\x00\xF8\xE0\x07\x00\x00\x55\x55", 8);
    std::string argb = testutil::DdsHeader(2, 2, 0x41, nullptr, 32);
    for (D3DCOLOR c : {kTopLeft, kTopRight, kBottomLeft, kBottomRight})
        argb.append(reinterpret_cast<const char*>(&c), 4);

    using Corners = std::array<D3DCOLOR, 4>;  // top left, top right, bottom left, bottom right
    const Corners quadrants = {kTopLeft, kTopRight, kBottomLeft, kBottomRight};
    struct Case {
        const char* file;
        std::string bytes;
        Corners corners;
        int tol;
    };
    const Case cases[] = {
        {"q.png", png, quadrants, 0},
        {"q.bmp", bmp, quadrants, 0},
        {"q.tga", tga, quadrants, 0},
        {"q.jpg", jpg, quadrants, 40},
        {"q1.dds", dxt1, {0xFFFF0000, 0xFFFF0000, 0xFF000000, 0xFF000000}, 8},
        {"q5.dds", dxt5, {0xFFFF0000, 0xFFFF0000, 0xFF00FF00, 0xFF00FF00}, 8},
        {"q32.dds", argb, quadrants, 0},
    };
    ID3DXMesh* mesh = LoadQuad();
    ASSERT_NE(mesh, nullptr);
    for (const Case& c : cases) {
        dir.Write(c.file, c.bytes);
        IDirect3DTexture9* texture = nullptr;
        testutil::ScopedCwd cwd(dir.Path());
        ASSERT_EQ(D3DXCreateTextureFromFileA(device, c.file, &texture), D3D_OK) << c.file;
        DrawQuad(mesh, texture, {0, 1});
        for (int k = 0; k < 4; ++k) {
            const D3DCOLOR got = testutil::PresentedPixel(12 + 40 * (k % 2), 12 + 40 * (k / 2));
            EXPECT_TRUE(Near(got, c.corners[k], c.tol)) << c.file << " corner " << k << std::hex << " " << got;
        }
        device->SetTexture(0, nullptr);
        texture->Release();
    }
    mesh->Release();

    // A missing file, and a DXT file a byte short of its blocks, make no texture.
    dir.Write("short.dds", dxt1.substr(0, dxt1.size() - 1));
    testutil::ScopedCwd cwd(dir.Path());
    for (const char* file : {"missing.png", "short.dds"}) {
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(1);
        EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileA(device, file, &texture))) << file;
        EXPECT_EQ(texture, nullptr) << file;
    }
}

TEST_F(D3dxTest, MeshSubsetsMaterialsAndAdjacency)
{
    ID3DXBuffer* materials = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    DWORD count = 0;
    ID3DXMesh* mesh = LoadQuad(&materials, &count, &adjacency);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(mesh->GetNumVertices(), 4u);
    EXPECT_EQ(mesh->GetFVF(), D3DFVF_XYZ | D3DFVF_TEX1);
    ASSERT_EQ(count, 2u);
    ASSERT_NE(materials, nullptr);
    const auto* m = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_STREQ(m[0].pTextureFilename, "quad.png");
    EXPECT_EQ(m[1].pTextureFilename, nullptr);
    EXPECT_FLOAT_EQ(m[1].MatD3D.Diffuse.g, 0.0f);
    const auto* adj = static_cast<const DWORD*>(adjacency->GetBufferPointer());
    ASSERT_EQ(adjacency->GetBufferSize(), 6 * sizeof(DWORD));
    EXPECT_EQ(adj[2], 1u) << "edge 2-0 of the first triangle borders the second";
    EXPECT_EQ(adj[0], 0xFFFFFFFFu);
    materials->Release();
    adjacency->Release();

    // Subset 1 is the lower-left triangle only; a subset with no triangles draws nothing.
    DrawQuad(mesh, nullptr, {1});
    EXPECT_EQ(testutil::PresentedPixel(8, 56) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(testutil::PresentedPixel(56, 8) & 0xFFFFFF, 0u);
    DrawQuad(mesh, nullptr, {7});
    EXPECT_EQ(testutil::PresentedPixel(8, 56) & 0xFFFFFF, 0u);
    mesh->Release();

    // Unreadable and material-less files.
    testutil::ScopedCwd cwd(dir.Path());
    dir.Write("plain.x", "xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n");
    dir.Write("bad.x", "xof 0302txt 0032\nMesh { 3; 0;0;0;;\n");
    count = 9;
    mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXA("plain.x", D3DXMESH_MANAGED, device, nullptr, &materials, nullptr, &count, &mesh), D3D_OK);
    EXPECT_EQ(count, 0u);
    mesh->Release();
    materials->Release();
    mesh = reinterpret_cast<ID3DXMesh*>(1);
    EXPECT_TRUE(FAILED(D3DXLoadMeshFromXA("bad.x", D3DXMESH_MANAGED, device, nullptr, nullptr, nullptr, &count, &mesh)));
    EXPECT_EQ(mesh, nullptr);
    EXPECT_TRUE(FAILED(D3DXLoadMeshFromXA("none.x", D3DXMESH_MANAGED, device, nullptr, nullptr, nullptr, &count, &mesh)));
}

TEST_F(D3dxTest, TextIsDrawnCentredInItsColourAndLeavesTheDeviceStateAlone)
{
    D3DXFONT_DESCA desc{};
    desc.Height = 20;
    desc.Weight = 400;
    std::strcpy(desc.FaceName, "Arial");
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontIndirectA(device, &desc, &font), D3D_OK);

    // Each state set against what text drawing needs: the font changes it and must put it back.
    const std::pair<D3DRENDERSTATETYPE, DWORD> states[] = {
        {D3DRS_ALPHABLENDENABLE, FALSE}, {D3DRS_ZENABLE, TRUE}, {D3DRS_LIGHTING, TRUE}, {D3DRS_CULLMODE, D3DCULL_CW}};
    for (const auto& [state, value] : states)
        device->SetRenderState(state, value);
    D3DMATRIX scale{};
    scale._11 = scale._22 = scale._33 = 0.1f;
    scale._44 = 1.0f;
    device->SetTransform(D3DTS_WORLD, &scale);

    auto draw = [&](const char* text, RECT rect, DWORD format, D3DCOLOR colour) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        const INT h = font->DrawTextA(nullptr, text, -1, &rect, format, colour);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        return h;
    };
    EXPECT_GT(draw("HH", RECT{0, 0, 64, 64}, DT_CENTER | DT_VCENTER, 0xFFFFFF00), 0);
    const RECT b = testutil::LitRect(0, 0, 64, 64);
    ASSERT_LT(b.left, b.right);
    EXPECT_NEAR((b.left + b.right) / 2.0, 32.0, 2.0);
    EXPECT_NEAR((b.top + b.bottom) / 2.0, 32.0, 4.0);
    // Find a fully covered pixel: it carries the colour.
    bool yellow = false;
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x)
            yellow = yellow || (testutil::PresentedPixel(x, y) & 0xFFFFFF) == 0xFFFF00u;
    EXPECT_TRUE(yellow);

    draw("HH", RECT{0, 0, 64, 64}, DT_CENTER, 0x00FFFFFF);
    EXPECT_LT(testutil::LitRect(0, 0, 64, 64).right, 0) << "a transparent colour draws nothing";

    for (const auto& [state, value] : states) {
        DWORD v = 0;
        device->GetRenderState(state, &v);
        EXPECT_EQ(v, value) << state;
    }
    D3DMATRIX world{};
    device->GetTransform(D3DTS_WORLD, &world);
    EXPECT_FLOAT_EQ(world._11, 0.1f);

    D3DXFONT_DESCA back{};
    font->GetDescA(&back);
    EXPECT_STREQ(back.FaceName, "Arial");
    font->Release();

    EXPECT_TRUE(FAILED(D3DXCreateFontIndirectA(nullptr, &desc, &font)));
    EXPECT_EQ(font, nullptr);
}

// Vertex colours become the vertices' diffuse colour, which the device's default colour source
// lights: a white light straight onto the quad shows each colour, a plain mesh keeps its layout
// and shows the white material.
TEST_F(D3dxTest, VertexColoursAreTheDiffuseColourUnderALight)
{
    const std::string mesh = R"(xof 0302txt 0032
Mesh {
 4; -1;1;0.5;, 1;1;0.5;, 1;-1;0.5;, -1;-1;0.5;;
 2; 3;0,1,2;, 3;0,2,3;;
 MeshNormals { 1; 0;0;-1;; 2; 3;0,0,0;, 3;0,0,0;; }
 MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }
)";
    dir.Write("coloured.x", mesh + " MeshVertexColors { 4; 0;1;0.5;0.25;1;, 1;1;0.5;0.25;1;, 2;0;0;1;1;, 3;0;0;1;1;; }\n}\n");
    dir.Write("plain.x", mesh + "}\n");
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    D3DMATERIAL9 white{};
    white.Diffuse = white.Ambient = {1, 1, 1, 1};
    struct Case {
        const char* file;
        DWORD fvf;
        D3DCOLOR upperRight, lowerLeft;
    };
    const Case cases[] = {
        {"coloured.x", D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, 0xFFFF8040, 0xFF0000FF},
        {"plain.x", D3DFVF_XYZ | D3DFVF_NORMAL, 0xFFFFFFFF, 0xFFFFFFFF},
    };
    testutil::ScopedCwd cwd(dir.Path());
    for (const Case& c : cases) {
        ID3DXMesh* m = nullptr;
        ASSERT_EQ(D3DXLoadMeshFromXA(c.file, D3DXMESH_MANAGED, device, nullptr, nullptr, nullptr, nullptr, &m), D3D_OK);
        EXPECT_EQ(m->GetFVF(), c.fvf) << c.file;
        D3DMATRIX identity{};
        identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
        for (D3DTRANSFORMSTATETYPE t : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION})
            device->SetTransform(t, &identity);
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        device->SetMaterial(&white);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        m->DrawSubset(0);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        // The corner pixels take their vertex's colour, all but a 64th or so.
        EXPECT_TRUE(Near(testutil::PresentedPixel(63, 0), c.upperRight, 5)) << c.file;
        EXPECT_TRUE(Near(testutil::PresentedPixel(0, 63), c.lowerLeft, 5)) << c.file;
        m->Release();
    }
}

namespace {

int CreatedVertexBuffers()
{
    int n = 0;
    for (const std::string& call : platform::seams::RecordedDeviceCalls())
        n += call.rfind("CreateVertexBuffer(", 0) == 0;
    return n;
}

}  // namespace

// Loads of one unchanged file share its buffers until the last of them is released; a changed
// file (another size, or the same size written again later) and other index sizes are read
// afresh. Each load is a mesh of its own.
TEST_F(D3dxTest, LoadsOfOneUnchangedFileShareItsBuffers)
{
    platform::seams::SetDeviceRecording(true);
    platform::seams::RecordedDeviceCalls().clear();
    ID3DXMesh* first = LoadQuad();
    testutil::ScopedCwd cwd(dir.Path());
    auto load = [&](DWORD options, const char* name = "quad.x") {
        ID3DXMesh* m = nullptr;
        EXPECT_EQ(D3DXLoadMeshFromXA(name, options, device, nullptr, nullptr, nullptr, nullptr, &m), D3D_OK);
        return m;
    };
    ID3DXMesh* second = load(D3DXMESH_MANAGED);
    ID3DXMesh* third = load(D3DXMESH_MANAGED, "./QUAD.x");
    EXPECT_TRUE(first != second && second != third);
    EXPECT_EQ(CreatedVertexBuffers(), 1);
    first->Release();
    third->Release();
    DrawQuad(second, nullptr, {1});
    EXPECT_EQ(testutil::PresentedPixel(8, 56) & 0xFFFFFF, 0xFFFFFFu);

    ID3DXMesh* wide = load(D3DXMESH_MANAGED | D3DXMESH_32BIT);
    EXPECT_EQ(CreatedVertexBuffers(), 2);
    wide->Release();

    // The same size: the upper-right triangle takes material 1 now.
    const std::string swapped = std::string(kQuad).replace(std::string(kQuad).find("0,1;;"), 5, "1,0;;");
    dir.Write("quad.x", swapped);
    const auto path = std::filesystem::path(dir.Path()) / "quad.x";
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(2));
    ID3DXMesh* changed = load(D3DXMESH_MANAGED);
    EXPECT_EQ(CreatedVertexBuffers(), 3);
    DrawQuad(changed, nullptr, {1});
    EXPECT_EQ(testutil::PresentedPixel(56, 8) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(testutil::PresentedPixel(8, 56) & 0xFFFFFF, 0u);
    changed->Release();
    dir.Write("quad.x", swapped + "\n");  // another size
    changed = load(D3DXMESH_MANAGED);
    EXPECT_EQ(CreatedVertexBuffers(), 4);
    changed->Release();

    // Once every mesh of a file is released, its buffers go with them.
    second->Release();
    dir.Write("quad.x", kQuad);
    first = load(D3DXMESH_MANAGED);
    second = load(D3DXMESH_MANAGED);
    EXPECT_EQ(CreatedVertexBuffers(), 5);
    first->Release();
    second->Release();
    first = load(D3DXMESH_MANAGED);
    EXPECT_EQ(CreatedVertexBuffers(), 6);
    first->Release();
    platform::seams::SetDeviceRecording(false);
    platform::seams::RecordedDeviceCalls().clear();
}

// Adjacency, against its definition on meshes with shared edges both ways round, an edge shared
// three times, a triangle with a repeated vertex and triangles twice over, in 16- and 32-bit
// indices; read when asked, even after the mesh is gone.
TEST_F(D3dxTest, AdjacencyNamesTheFirstTriangleAcrossEachEdge)
{
    const std::vector<std::uint32_t> triangles = {0, 1, 4, 1, 5, 4, 1, 2, 5, 2, 6, 5, 4, 5, 8, 5, 9, 8,
                                                  4, 1, 0, 1, 4, 7, 4, 4, 7, 5, 2, 1, 6, 2, 5, 0, 1, 4};
    std::string text = "xof 0302txt 0032\nMesh { 10; ";
    for (int v = 0; v < 10; ++v)
        text += std::to_string(v % 4) + ";" + std::to_string(v / 4) + ";0;" + (v < 9 ? "," : ";");
    text += " " + std::to_string(triangles.size() / 3) + ";";
    for (std::size_t i = 0; i < triangles.size(); i += 3)
        text += " 3;" + std::to_string(triangles[i]) + "," + std::to_string(triangles[i + 1]) + "," +
                std::to_string(triangles[i + 2]) + (i + 3 < triangles.size() ? ";," : ";;");
    dir.Write("edges.x", text + " }\n");
    const std::size_t faces = triangles.size() / 3;
    std::vector<DWORD> expected(faces * 3, 0xFFFFFFFF);
    for (std::size_t e = 0; e < expected.size(); ++e) {
        const std::uint32_t a = triangles[e], b = triangles[e - e % 3 + (e % 3 + 1) % 3];
        for (std::size_t o = 0; o < expected.size() && expected[e] == 0xFFFFFFFF; ++o)
            if (triangles[o] == b && triangles[o - o % 3 + (o % 3 + 1) % 3] == a)
                expected[e] = static_cast<DWORD>(o / 3);
    }
    testutil::ScopedCwd cwd(dir.Path());
    for (DWORD options : {D3DXMESH_MANAGED, D3DXMESH_MANAGED | D3DXMESH_32BIT}) {
        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* adjacency = nullptr;
        ASSERT_EQ(D3DXLoadMeshFromXA("edges.x", options, device, &adjacency, nullptr, nullptr, nullptr, &mesh), D3D_OK);
        mesh->Release();
        ASSERT_EQ(adjacency->GetBufferSize(), expected.size() * sizeof(DWORD));
        const auto* got = static_cast<const DWORD*>(adjacency->GetBufferPointer());
        EXPECT_EQ(std::vector<DWORD>(got, got + expected.size()), expected) << options;
        adjacency->Release();
    }
}
