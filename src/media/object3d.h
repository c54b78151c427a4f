// 3D objects: a mesh read from "$\Models\<name>.x" with the texture "<name>.dds" beside it,
// drawn with one fixed material. The global list owns every object for the whole run.
#pragma once

#include <string>

#include "foundation/arraylist.h"
#include "foundation/objectbase.h"
#include "media/texture.h"
#include "platform/d3dx9mesh.h"

class CObject3D : public CObject {
public:
    ID3DXMesh* pMesh = nullptr;
    CTexture Texture;  // owned, not pooled
    DWORD dwMaterialCount = 0;
    D3DMATERIAL9 Material;
    std::string strName;

    CObject3D();
    // The object releases its mesh and texture: it is never copied.
    CObject3D(const CObject3D&) = delete;
    CObject3D& operator=(const CObject3D&) = delete;
    ~CObject3D();

    bool LoadMesh(const std::string& path);
    // True when the texture loaded; a missing mesh has been reported and leaves no mesh.
    bool Load(const std::string& name);
    // Draws with the world transform the caller set; nothing without a mesh or a texture.
    void Render();
};

class Object3DList : public CNamedObject {
public:
    ArrayList<CObject3D> Objects;

    Object3DList() = default;
    Object3DList(const Object3DList&) = delete;
    Object3DList& operator=(const Object3DList&) = delete;

    // Each call loads anew, so a name added twice gives two objects.
    CObject3D* Add(const std::string& name);
    CObject3D* Find(const std::string& name);
    void Clear();
    // Reached by "Scene.LoadObject3D"; objects are loaded only when unit types name them.
    void LoadObject3D(const std::string& folder, const std::string& pattern);
};

extern Object3DList g_Object3DList;
