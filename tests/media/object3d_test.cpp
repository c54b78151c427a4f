#include <gtest/gtest.h>

#include <cstring>

#include "foundation/device.h"
#include "foundation/stringutil.h"
#include "media/object3d.h"
#include "support/mediafiles.h"
#include "support/testdevice.h"
#include "support/testutil.h"

namespace {

// A quad over the whole target with one material, or without a material list.
const char* kBox = R"(xof 0302txt 0032
Mesh { 4; -1;1;0.5;, 1;1;0.5;, 1;-1;0.5;, -1;-1;0.5;; 1; 4;0,1,2,3;;
 MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; }
 MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "ignored.dds"; } } }
}
)";
const char* kNoMaterials = "xof 0302txt 0032\nMesh { 3; -1;1;0.5;, 1;1;0.5;, 1;-1;0.5;; 1; 3;0,1,2;; }\n";

// A 4 x 4 uncompressed DDS, all one colour.
std::string Dds(D3DCOLOR colour)
{
    std::string s = testutil::DdsHeader(4, 4, 0x41, nullptr, 32);
    for (int i = 0; i < 16; ++i)
        s.append(reinterpret_cast<const char*>(&colour), 4);
    return s;
}

class Object3DTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(g_pDevice, nullptr);
        dir.Write("Models/Box.x", kBox);
        dir.Write("Models/Box.dds", Dds(0xFF00FF00));
        dir.Write("Models/bare.x", kBox);
        dir.Write("Models/flat.x", kNoMaterials);
        dir.Write("Models/flat.dds", Dds(0xFF00FF00));
        SetRootFolder(dir.WindowsPath());
    }
    // Renders the object unlit over black and answers the centre pixel.
    D3DCOLOR RenderCentre(CObject3D* object)
    {
        D3DMATRIX identity{};
        identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
        g_pDevice->SetTransform(D3DTS_WORLD, &identity);
        g_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        testutil::DrawFrame([&] { object->Render(); });
        return testutil::PresentedPixel(20, 10) & 0xFFFFFF;
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const auto& b : boxes.Boxes()) {
            EXPECT_EQ(b.caption, "");
            out.push_back(b.text);
        }
        return out;
    }

    testutil::GlobalTestDevice device{32, 32};
    testutil::TempDir dir;
    testutil::BoxCapture boxes;
    Object3DList list;
};

}  // namespace

TEST_F(Object3DTest, ModelsLoadFromTheRootModelsFolderAndDraw)
{
    CObject3D* box = list.Add("box");
    EXPECT_EQ(box->Texture.GetName(), dir.WindowsPath() + "\\Models\\box.dds");
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(RenderCentre(box), 0x00FF00u);

    // Loading is per call: the same name twice gives two objects; lookups find the first.
    EXPECT_NE(list.Add("BOX"), box);
    EXPECT_EQ(list.Find("Box"), box);

    // No material list: a count of 0 draws nothing.
    CObject3D* flat = list.Add("flat");
    EXPECT_NE(flat->pMesh, nullptr);
    EXPECT_EQ(RenderCentre(flat), 0u);
}

TEST_F(Object3DTest, MissingFilesAreReportedAndNeverDrawn)
{
    const std::string models = dir.WindowsPath() + "\\Models\\";
    CObject3D object;
    EXPECT_FALSE(object.Load("bare"));
    EXPECT_NE(object.pMesh, nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"cant open tex file :" + models + "bare.dds",
                                                  models + "bare.dds:Load Error"}));
    EXPECT_EQ(RenderCentre(&object), 0u);

    boxes.Clear();
    CObject3D* ghost = list.Add("ghost");
    EXPECT_EQ(ghost->pMesh, nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"无法打开" + models + "ghost.x",
                                                  "cant open tex file :" + models + "ghost.dds",
                                                  models + "ghost.dds:Load Error"}));
    EXPECT_EQ(RenderCentre(ghost), 0u);
}
