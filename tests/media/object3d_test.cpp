#include <gtest/gtest.h>

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

class Object3DTest : public testutil::ScratchFolderTest {
protected:
    void SetUp() override
    {
        ASSERT_NE(g_pDevice, nullptr);
        for (const char* name : {"Models/Box.x", "Models/bare.x"}) dir.Write(name, kBox);
        // A 4 x 4 uncompressed DDS, all green.
        const std::vector<D3DCOLOR> green(16, 0xFF00FF00);
        const std::string dds =
            testutil::DdsHeader(4, 4, 0x41, nullptr, 32) + std::string(reinterpret_cast<const char*>(green.data()), 64);
        for (const char* name : {"Models/Box.dds", "Models/flat.dds"}) dir.Write(name, dds);
        dir.Write("Models/flat.x", kNoMaterials);
        SetRootFolder(dir.WindowsPath());
    }
    // Renders the object unlit over black (the world transform is the device's first, the
    // identity) and answers the centre pixel.
    D3DCOLOR RenderCentre(CObject3D* object)
    {
        g_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        testutil::DrawFrame([&] { object->Render(); });
        return testutil::PresentedPixel(20, 10) & 0xFFFFFF;
    }

    testutil::GlobalTestDevice device{32, 32};
    Object3DList list;
};

}  // namespace

// A missing texture or mesh is reported, and such an object is never drawn.
TEST_F(Object3DTest, ModelsLoadFromTheRootModelsFolderAndOnlyWholeOnesDraw)
{
    CObject3D* box = list.Add("box");
    EXPECT_EQ(box->Texture.GetName(), dir.WindowsPath() + "\\Models\\box.dds");
    EXPECT_EQ(RenderCentre(box), 0x00FF00u);

    // Loading is per call: the same name twice gives two objects; lookups find the first.
    EXPECT_NE(list.Add("BOX"), box);
    EXPECT_EQ(list.Find("Box"), box);

    // No material list: a count of 0 draws nothing.
    CObject3D* flat = list.Add("flat");
    EXPECT_NE(flat->pMesh, nullptr);
    EXPECT_EQ(RenderCentre(flat), 0u);

    CObject3D object;
    EXPECT_FALSE(object.Load("bare"));
    EXPECT_NE(object.pMesh, nullptr);
    EXPECT_EQ(RenderCentre(&object), 0u);
    CObject3D* ghost = list.Add("ghost");
    EXPECT_EQ(ghost->pMesh, nullptr);
    EXPECT_EQ(RenderCentre(ghost), 0u);
    const std::string models = dir.WindowsPath() + "\\Models\\";
    EXPECT_EQ(boxes.Captioned(), (testutil::Strings{"|cant open tex file :" + models + "bare.dds",
                                                 "|" + models + "bare.dds:Load Error", "|无法打开" + models + "ghost.x",
                                                 "|cant open tex file :" + models + "ghost.dds",
                                                 "|" + models + "ghost.dds:Load Error"}));
}
