#include "media/object3d.h"

#include "foundation/colors.h"
#include "foundation/device.h"
#include "foundation/namedlist.h"
#include "foundation/stringutil.h"

CObject3D::CObject3D()
{
    Material.Diffuse = COLOR_WHITE;
    Material.Ambient = COLOR_WHITE;
    Material.Specular = COLOR_WHITE;
    Material.Emissive = COLOR_BLACK;
    Material.Power = 2.0f;
}

CObject3D::~CObject3D()
{
    if (pMesh)
        pMesh->Release();
}

bool CObject3D::LoadMesh(const std::string& path)
{
    ID3DXBuffer* pAdjBuf = nullptr;
    ID3DXBuffer* pMtrlBuf = nullptr;
    DWORD MtrlCount = 0;
    if (FAILED(D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, g_pDevice, &pAdjBuf, &pMtrlBuf, nullptr, &MtrlCount,
                                  &pMesh))) {
        pMesh = nullptr;
        Error("无法打开" + path);
        return false;
    }
    dwMaterialCount = MtrlCount;
    if (pMtrlBuf)
        pMtrlBuf->Release();
    if (pAdjBuf)
        pAdjBuf->Release();
    return true;
}

bool CObject3D::Load(const std::string& name)
{
    strName = name;
    const std::string path = GetRootFolder() + "\\Models\\";
    LoadMesh(path + name + ".x");
    Texture.SetName(path + name + ".dds");
    if (!Texture.Load()) {
        Error(path + name + ".dds" + ":Load Error");
        return false;
    }
    return true;
}

void CObject3D::Render()
{
    if (!Texture.GetTexture() || !pMesh)
        return;
    g_pDevice->SetMaterial(&Material);
    g_pDevice->SetTexture(0, Texture.GetTexture());
    for (DWORD i = 0; i < dwMaterialCount; ++i)
        pMesh->DrawSubset(i);
}

CObject3D* Object3DList::Add(const std::string& name)
{
    CObject3D* object = Objects.AddNew();
    object->Load(name);
    return object;
}

CObject3D* Object3DList::Find(const std::string& name) { return FindNamed(Objects, name); }

void Object3DList::Clear() { Objects.Clear(); }

void Object3DList::LoadObject3D(const std::string& folder, const std::string& pattern) {}
