// D3DX buffers and fonts. A font draws text straight to the screen in the device's window
// coordinates; drawing neither depends on nor changes the device's state.
#pragma once

#include "platform/d3d9.h"
#include "platform/textformat.h"

constexpr UINT D3DX_DEFAULT = static_cast<UINT>(-1);
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr int LF_FACESIZE = 32;

constexpr UINT FW_NORMAL = 400;
constexpr UINT FW_BOLD = 700;

using LPCVOID = const void*;
using LPRECT = RECT*;
using CHAR = char;

class ID3DXBuffer : public IUnknown {
public:
    virtual LPVOID GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

class ID3DXSprite;

struct D3DXFONT_DESCA {
    INT Height;
    UINT Width;
    UINT Weight;
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    CHAR FaceName[LF_FACESIZE];
};

class ID3DXFont : public IUnknown {
public:
    // Draws `count` bytes of GBK text (all of it up to the terminating zero when -1) in the
    // rectangle with the DT_ format, colour packed ARGB. Returns the height of the text.
    virtual INT DrawTextA(ID3DXSprite* sprite, LPCSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) = 0;
    virtual HRESULT GetDescA(D3DXFONT_DESCA* desc) = 0;
};

using LPD3DXBUFFER = ID3DXBuffer*;
using LPD3DXFONT = ID3DXFont*;

// The face name is GBK and need not be terminated within its 32 characters.
HRESULT D3DXCreateFontIndirectA(IDirect3DDevice9* device, const D3DXFONT_DESCA* desc, ID3DXFont** font);

// A buffer of `size` zeroed bytes, owned by the caller (Release frees it).
HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer);
