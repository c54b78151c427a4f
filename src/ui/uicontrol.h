// One rectangle of the user interface: a textured quad tinted by a colour, an optional caption
// centred in it, an animated position, size and colour, commands and sounds for mouse and key
// events, and an optional panel it belongs to. Positions and sizes are design units.
#pragma once

#include <string>
#include <vector>

#include "foundation/interpolator.h"
#include "foundation/objectbase.h"
#include "platform/d3d9.h"

class CTexture;
struct TSound;

enum EUIControlType {
    UI_NONE = 0,
    UI_STATIC = 1,
    UI_EDITTEXT = 2,  // takes typed characters while it has the focus
    UI_BUTTON = 3,
    UI_PANEL = 4,     // never drawn; moving it moves its children
};

struct TUIVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};

inline constexpr DWORD UI_VERTEX_FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class CUIControl : public CObject {
public:
    IDirect3DVertexBuffer9* pVertexBuffer = nullptr;
    IDirect3DIndexBuffer9* pIndexBuffer = nullptr;
    int nType = UI_NONE;
    int nContact = 0;  // 1 while the mouse was inside at the last move
    std::string strName;
    CInterpolatorFloat PosX;
    CInterpolatorFloat PosY;
    CInterpolatorFloat SizeX;
    CInterpolatorFloat SizeY;
    CInterpolatorColor Color;
    std::string strText;
    CTexture* pTexture = nullptr;  // pooled, not owned
    CUIControl* pPanel = nullptr;  // not owned
    std::vector<CUIControl*> Children;
    int nCmdContact = 0;
    int nCmdLoseContact = 0;
    int nCmdLClick = 0;
    int nCmdRClick = 0;
    TSound* pSndContact = nullptr;
    TSound* pSndLoseContact = nullptr;
    TSound* pSndLClick = nullptr;
    TSound* pSndRClick = nullptr;
    TSound* pSndChar = nullptr;
    bool bEnabled = true;

    CUIControl();
    ~CUIControl();
    // The control releases its buffers: it is never copied whole.
    CUIControl(const CUIControl&) = delete;
    CUIControl& operator=(const CUIControl&) = delete;
    // Takes every setting of other but its panel links and its buffers: each control creates
    // its own buffers (CreateBuffers), so no two ever share one.
    void CopyFrom(const CUIControl& other);

    void CreateBuffers();
    void Update();
    void Render();
    bool HitTest(float x, float y) const;
    void InputChar(int ch);

    void MoveTo(float x, float y, EInterpolateMode mode, int frames, float gain, float maxSpeed, float maxAccel);
    void MoveOffSet(float dx, float dy, EInterpolateMode mode, int frames, float gain, float maxSpeed,
                    float maxAccel);
    void Resize(float w, float h, EInterpolateMode mode, int frames, float gain, float maxSpeed, float maxAccel);
    void ChangeColor(D3DCOLOR color, EInterpolateMode mode, int frames, float factor);
    void Enable(bool b) { bEnabled = b; }

    // The colour it is drawn with: its own, tinted by its direct panel's.
    D3DXCOLOR DrawColor() const;
    // Drawn only above this alpha; the bound is exact, the alpha single precision.
    static bool IsVisibleAlpha(float alpha) { return static_cast<double>(alpha) > 32.0 / 255.0; }
    // Open to mouse and key events: enabled, and so is its direct panel.
    bool IsOpen() const { return bEnabled && (!pPanel || pPanel->bEnabled); }
};
