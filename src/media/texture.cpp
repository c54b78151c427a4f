#include "media/texture.h"

#include "foundation/device.h"
#include "foundation/namedlist.h"
#include "platform/d3dx9tex.h"

CTexture::CTexture(const std::string& name) { SetName(name); }

CTexture::~CTexture() { Release(); }

bool CTexture::Load()
{
    if (!g_pDevice || strFileName.empty())
        return false;
    if (pTexture) {
        pTexture->Release();
        pTexture = nullptr;
    }
    if (FAILED(D3DXCreateTextureFromFileA(g_pDevice, strFileName.c_str(), &pTexture))) {
        pTexture = nullptr;
        Error("cant open tex file :" + strFileName);
        return false;
    }
    return true;
}

void CTexture::Release()
{
    if (pTexture) {
        pTexture->Release();
        pTexture = nullptr;
    }
    strFileName.clear();
}

bool CTexture::TakeFrom(CTexture* source)
{
    if (!source)
        return false;
    if (source == this)
        return true;
    strFileName = source->strFileName;
    pTexture = source->pTexture;
    source->pTexture = nullptr;
    source->strFileName.clear();
    return true;
}

CTextureManager::CTextureManager() { strClassName = "CTextureManager"; }

CTexture* CTextureManager::AddTexture(std::string name)
{
    if (name.empty()) {
        Error("AddTexture do not accept Empty string param");
        return nullptr;
    }
    if (CTexture* found = FindTexture(name))
        return found;
    CTexture* texture = Textures.AddNew();
    texture->SetName(name);
    texture->Load();
    return texture;
}

CTexture* CTextureManager::FindTexture(std::string name)
{
    return FindNamed(Textures, name, &CTexture::strFileName);
}

void CTextureManager::Clear() { Textures.Clear(); }
