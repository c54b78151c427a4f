#include "ui/uicontrol.h"

#include <cstring>

#include "foundation/colors.h"
#include "foundation/device.h"
#include "foundation/numeric.h"
#include "media/font.h"
#include "media/texture.h"

namespace {

constexpr UINT kVertexBytes = 4 * sizeof(TUIVertex);
constexpr UINT kIndexBytes = 6 * sizeof(WORD);

// Start of the last character of a GBK text: a lead byte 0x81..0xFE takes the byte after it.
std::size_t LastCharStart(const std::string& text)
{
    std::size_t i = 0;
    std::size_t last = 0;
    while (i < text.size()) {
        last = i;
        const auto lead = static_cast<unsigned char>(text[i]);
        i += (lead >= 0x81 && lead <= 0xFE && i + 1 < text.size()) ? 2 : 1;
    }
    return last;
}

}  // namespace

CUIControl::CUIControl()
{
    strClassName = "UIControl";
    PosX.Set(0.0f);
    PosY.Set(0.0f);
    SizeX.Set(0.0f);
    SizeY.Set(0.0f);
    Color.Set(COLOR_WHITE);
}

CUIControl::~CUIControl()
{
    if (pVertexBuffer) pVertexBuffer->Release();
    if (pIndexBuffer) pIndexBuffer->Release();
}

void CUIControl::CopyFrom(const CUIControl& other)
{
    if (this == &other) return;
    CObject::operator=(other);
    nType = other.nType;
    nContact = other.nContact;
    strName = other.strName;
    PosX = other.PosX;
    PosY = other.PosY;
    SizeX = other.SizeX;
    SizeY = other.SizeY;
    Color = other.Color;
    strText = other.strText;
    pTexture = other.pTexture;
    nCmdContact = other.nCmdContact;
    nCmdLoseContact = other.nCmdLoseContact;
    nCmdLClick = other.nCmdLClick;
    nCmdRClick = other.nCmdRClick;
    pSndContact = other.pSndContact;
    pSndLoseContact = other.pSndLoseContact;
    pSndLClick = other.pSndLClick;
    pSndRClick = other.pSndRClick;
    pSndChar = other.pSndChar;
    bEnabled = other.bEnabled;
}

// Without a device (or when the device refuses) the control keeps no buffers and draws no quad.
void CUIControl::CreateBuffers()
{
    if (!g_pDevice) return;
    if (FAILED(g_pDevice->CreateVertexBuffer(kVertexBytes, 0, UI_VERTEX_FVF, D3DPOOL_DEFAULT, &pVertexBuffer,
                                             nullptr)))
        pVertexBuffer = nullptr;
    if (FAILED(g_pDevice->CreateIndexBuffer(kIndexBytes, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &pIndexBuffer,
                                            nullptr))) {
        pIndexBuffer = nullptr;
        return;
    }
    void* data = nullptr;
    if (SUCCEEDED(pIndexBuffer->Lock(0, 0, &data, 0)) && data) {
        const WORD indices[6] = {0, 1, 2, 0, 2, 3};
        std::memcpy(data, indices, sizeof indices);
        pIndexBuffer->Unlock();
    }
}

void CUIControl::Update()
{
    PosX.Update();
    PosY.Update();
    SizeX.Update();
    SizeY.Update();
    Color.Update();
}

D3DXCOLOR CUIControl::DrawColor() const
{
    D3DXCOLOR color = Color.Get();
    if (pPanel) {
        const D3DXCOLOR tint = pPanel->Color.Get();
        D3DXColorModulate(&color, &color, &tint);
    }
    return color;
}

void CUIControl::Render()
{
    if (nType == UI_PANEL) return;
    const D3DXCOLOR color = DrawColor();
    if (!IsVisibleAlpha(color.a)) return;
    const D3DCOLOR packed = color;
    const float x = PosX.Get();
    const float y = PosY.Get();
    const float w = SizeX.Get();
    const float h = SizeY.Get();

    void* data = nullptr;
    if (pTexture && g_pDevice && pVertexBuffer && pIndexBuffer &&
        SUCCEEDED(pVertexBuffer->Lock(0, kVertexBytes, &data, 0)) && data) {
        const TUIVertex quad[4] = {
            {x, y, 0.0f, packed, 0.0f, 0.0f},
            {x + w, y, 0.0f, packed, 1.0f, 0.0f},
            {x + w, y + h, 0.0f, packed, 1.0f, 1.0f},
            {x, y + h, 0.0f, packed, 0.0f, 1.0f},
        };
        std::memcpy(data, quad, sizeof quad);
        pVertexBuffer->Unlock();
        g_pDevice->SetTexture(0, pTexture->GetTexture());
        g_pDevice->SetStreamSource(0, pVertexBuffer, 0, sizeof(TUIVertex));
        g_pDevice->SetIndices(pIndexBuffer);
        g_pDevice->SetFVF(UI_VERTEX_FVF);
        g_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
    }

    if (!strText.empty()) {
        // A position beyond the int range (or NaN) truncates as the processor does, to INT_MIN.
        RECT rect;
        rect.left = TruncToInt(x);
        rect.top = TruncToInt(y);
        rect.right = TruncToInt(x + w);
        rect.bottom = TruncToInt(y + h);
        g_FontManager.DrawTextAligned(strText, rect, packed, 1, 1);
    }
}

bool CUIControl::HitTest(float x, float y) const
{
    return PosX.Get() <= x && x <= PosX.Get() + SizeX.Get() && PosY.Get() <= y && y <= PosY.Get() + SizeY.Get();
}

// Backspace takes back the whole last character, both bytes of a double-byte one, so that no
// lone lead byte is left to pair with the next character typed.
void CUIControl::InputChar(int ch)
{
    if (ch == 8) {
        if (!strText.empty()) strText.erase(LastCharStart(strText));
        return;
    }
    strText.push_back(static_cast<char>(ch & 0xFF));
}

void CUIControl::MoveOffSet(float dx, float dy, EInterpolateMode mode, int frames, float gain, float maxSpeed,
                            float maxAccel)
{
    ChangeInterpolator(PosX, mode, PosX.Get() + dx, frames, gain, maxSpeed, maxAccel);
    ChangeInterpolator(PosY, mode, PosY.Get() + dy, frames, gain, maxSpeed, maxAccel);
    if (nType != UI_PANEL) return;
    for (CUIControl* child : Children)
        child->MoveOffSet(dx, dy, mode, frames, gain, maxSpeed, maxAccel);
}

void CUIControl::MoveTo(float x, float y, EInterpolateMode mode, int frames, float gain, float maxSpeed,
                        float maxAccel)
{
    MoveOffSet(x - PosX.Get(), y - PosY.Get(), mode, frames, gain, maxSpeed, maxAccel);
}

void CUIControl::Resize(float w, float h, EInterpolateMode mode, int frames, float gain, float maxSpeed,
                        float maxAccel)
{
    ChangeInterpolator(SizeX, mode, w, frames, gain, maxSpeed, maxAccel);
    ChangeInterpolator(SizeY, mode, h, frames, gain, maxSpeed, maxAccel);
}

void CUIControl::ChangeColor(D3DCOLOR color, EInterpolateMode mode, int frames, float factor)
{
    ChangeInterpolator(Color, mode, D3DXCOLOR(color), frames, factor);
}
