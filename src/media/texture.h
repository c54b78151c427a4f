// Textures loaded from image files and known by their file name, and the pool that shares them
// between the controls of the user interface.
#pragma once

#include <string>

#include "foundation/arraylist.h"
#include "foundation/objectbase.h"
#include "platform/d3d9.h"

class CTexture : public CObject {
public:
    std::string strFileName;  // exactly as the owner gave it
    IDirect3DTexture9* pTexture = nullptr;

    CTexture() = default;
    explicit CTexture(const std::string& name);
    // The texture holds one reference: it moves (TakeFrom) but is never copied.
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;
    ~CTexture();

    void SetName(const std::string& name) { strFileName = name; }
    const std::string& GetName() const { return strFileName; }
    IDirect3DTexture9* GetTexture() const { return pTexture; }

    bool Load();
    void Release();
    // Moves the source's name and texture into this texture and leaves the source empty.
    bool TakeFrom(CTexture* source);
};

class CTextureManager : public CNamedObject {
public:
    ArrayList<CTexture> Textures;

    CTextureManager();
    CTextureManager(const CTextureManager&) = delete;
    CTextureManager& operator=(const CTextureManager&) = delete;

    // The pooled texture of that name (any ASCII case), loaded on first request. A failed load
    // stays pooled without a texture and is never retried.
    CTexture* AddTexture(std::string name);
    CTexture* FindTexture(std::string name);
    void Clear();
};

extern CTextureManager* g_pTextureManager;
