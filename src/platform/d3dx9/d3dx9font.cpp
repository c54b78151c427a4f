// The D3DX font: text laid out and rasterized on the CPU (fontraster), tinted with the
// colour, and drawn as a screen-space overlay that leaves the device's state as it found it.
#include <cstring>
#include <memory>
#include <vector>

#include "platform/d3d9/d3d9_internal.h"
#include "platform/d3dx9core.h"
#include "platform/d3d9/d3d9_device.h"
#include "platform/d3dx9/fontraster.h"

namespace platform::d3dx {

using platform::d3d::RefCounted;
namespace {

class Font final : public RefCounted<ID3DXFont> {
public:
    Font(IDirect3DDevice9* device, const D3DXFONT_DESCA& desc, std::unique_ptr<FontRasterizer> raster)
        : m_Device(device), m_Desc(desc), m_Raster(std::move(raster))
    {
        m_Device->AddRef();
    }
    ~Font() override { m_Device->Release(); }

    INT DrawTextA(ID3DXSprite* sprite, LPCSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) override
    {
        if (!text || !rect)
            return 0;
        TextMask mask;
        const int height = m_Raster->Layout(text, count, *rect, format, mask);
        if (mask.coverage.empty())
            return height;
        // Straight (not premultiplied) RGBA: the colour everywhere, its alpha scaled by coverage.
        const std::uint8_t a = static_cast<std::uint8_t>(color >> 24), r = static_cast<std::uint8_t>(color >> 16),
                           g = static_cast<std::uint8_t>(color >> 8), b = static_cast<std::uint8_t>(color);
        m_Pixels.resize(mask.coverage.size() * 4);
        for (std::size_t i = 0; i < mask.coverage.size(); ++i) {
            std::uint8_t* p = &m_Pixels[i * 4];
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = static_cast<std::uint8_t>((mask.coverage[i] * a + 127) / 255);
        }
        platform::d3d9::DrawOverlay(m_Device, mask.left, mask.top, mask.width, mask.height, m_Pixels.data());
        return height;
    }

    HRESULT GetDescA(D3DXFONT_DESCA* desc) override
    {
        if (!desc)
            return D3DERR_INVALIDCALL;
        *desc = m_Desc;
        return D3D_OK;
    }

private:
    IDirect3DDevice9* m_Device;
    D3DXFONT_DESCA m_Desc;
    std::unique_ptr<FontRasterizer> m_Raster;
    std::vector<std::uint8_t> m_Pixels;
};

}  // namespace
}  // namespace platform::d3dx

HRESULT D3DXCreateFontIndirectA(IDirect3DDevice9* device, const D3DXFONT_DESCA* desc, ID3DXFont** font)
{
    if (!font)
        return D3DERR_INVALIDCALL;
    *font = nullptr;
    if (!device || !desc)
        return D3DERR_INVALIDCALL;
    platform::FontRequest request;
    request.height = desc->Height;
    request.width = static_cast<int>(desc->Width);
    request.weight = static_cast<int>(desc->Weight);
    request.italic = desc->Italic != 0;
    request.faceName.assign(desc->FaceName, strnlen(desc->FaceName, LF_FACESIZE));
    auto raster = platform::FontRasterizer::Create(request);
    if (!raster)
        return E_FAIL;
    *font = new platform::d3dx::Font(device, *desc, std::move(raster));
    return D3D_OK;
}
