// Meshes read from .x files (text and binary, plain or compressed), drawn one material subset at
// a time.
#pragma once

#include "platform/d3dx9core.h"

constexpr DWORD D3DXMESH_32BIT = 0x001;
constexpr DWORD D3DXMESH_MANAGED = 0x220;

struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    LPSTR pTextureFilename;  // null when the material names no texture
};

struct D3DXEFFECTINSTANCE;

class ID3DXMesh : public IUnknown {
public:
    // Draws the triangles whose material index is `attribId` with the device's current state.
    virtual HRESULT DrawSubset(DWORD attribId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
};

using LPD3DXMESH = ID3DXMesh*;

// Reads the file (relative to the current folder) into one mesh: every mesh of the file placed
// by its frames and merged, with the file's vertex colours as its diffuse colours when it has
// any. `materials` receives `*materialCount` D3DXMATERIAL records (zero when the file has no
// material list); `adjacency` three DWORDs per face. Out-parameters may be null when not wanted.
// Each call makes a mesh of its own, but meshes loaded from one file, unchanged since, for one
// device with the same index size share its vertex and index buffers.
HRESULT D3DXLoadMeshFromXA(LPCSTR fileName, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* materialCount,
                           ID3DXMesh** mesh);
