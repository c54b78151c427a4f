// The D3DX font: text laid out and rasterized on the CPU (fontraster), tinted with the
// colour, and drawn as a screen-space overlay that leaves the device's state as it found it.
// The user interface draws the same captions in the same places every frame, so each font keeps
// its last few layouts and lays a text out again only when the text, its rectangle or its format
// has changed.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/d3d9/d3d9_internal.h"
#include "platform/d3dx9core.h"
#include "platform/d3d9/d3d9_device.h"
#include "platform/d3dx9/fontraster.h"

namespace platform::d3dx {

using platform::d3d::RefCounted;
namespace {

// One text as it was laid out.
struct KeptLayout {
    std::string text;
    RECT rect{};
    RECT screen{};
    DWORD format = 0;
    int height = 0;
    TextMask mask;
    unsigned long long lastUse = 0;
};

// Enough for every caption of a menu drawn with one font; the oldest goes first.
constexpr std::size_t kKeptLayouts = 32;
// The texts kept are bounded too: room for a caption of megabytes beside the ordinary ones, so
// that it is not laid out again each frame, while long texts seen once do not pile up.
constexpr std::size_t kKeptTextBytes = 64 << 20;

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

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
        const std::size_t length = count < 0 ? std::strlen(text) : strnlen(text, static_cast<std::size_t>(count));
        const std::string_view bytes(text, length);
        const KeptLayout& layout = Laid(bytes, *rect, format);
        const TextMask& mask = layout.mask;
        if (mask.coverage.empty())
            return layout.height;
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
        return layout.height;
    }

    HRESULT GetDescA(D3DXFONT_DESCA* desc) override
    {
        if (!desc)
            return D3DERR_INVALIDCALL;
        *desc = m_Desc;
        return D3D_OK;
    }

private:
    // The layout of the text, kept from an earlier draw or made now (within what the back
    // buffer shows).
    const KeptLayout& Laid(std::string_view text, const RECT& rect, DWORD format)
    {
        const RECT screen = platform::d3d9::BackBufferRect(m_Device);
        ++m_Clock;
        for (KeptLayout& kept : m_Kept)
            if (kept.format == format && SameRect(kept.rect, rect) && SameRect(kept.screen, screen) && kept.text == text) {
                kept.lastUse = m_Clock;
                return kept;
            }
        auto oldest = [](const KeptLayout& a, const KeptLayout& b) { return a.lastUse < b.lastUse; };
        std::size_t textBytes = text.size();
        for (const KeptLayout& kept : m_Kept)
            textBytes += kept.text.size();
        while (!m_Kept.empty() && (m_Kept.size() >= kKeptLayouts || textBytes > kKeptTextBytes)) {
            auto victim = std::min_element(m_Kept.begin(), m_Kept.end(), oldest);
            textBytes -= victim->text.size();
            m_Kept.erase(victim);
        }
        KeptLayout& made = m_Kept.emplace_back();
        made.text.assign(text);
        made.rect = rect;
        made.screen = screen;
        made.format = format;
        made.lastUse = m_Clock;
        made.height = m_Raster->Layout(text, -1, rect, format, made.mask, &screen);
        return made;
    }

    IDirect3DDevice9* m_Device;
    D3DXFONT_DESCA m_Desc;
    std::unique_ptr<FontRasterizer> m_Raster;
    std::vector<KeptLayout> m_Kept;
    unsigned long long m_Clock = 0;
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
