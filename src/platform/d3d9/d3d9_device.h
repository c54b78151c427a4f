// The device's classes inside the layer. The device draws into an OpenGL framebuffer object of
// the back buffer's size, top row first (row 0 of the object is the top of the picture);
// Present copies it to the window, and reads it back only for a test that keeps frames.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/d3d9.h"
#include "platform/d3d9/d3d9_internal.h"
#include "platform/seams.h"

namespace platform::d3d {

class Device;

// Reference counting shared by every object of the device.
template <class Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        const ULONG left = --m_Refs;
        if (left == 0) delete this;
        return left;
    }

protected:
    ULONG m_Refs = 1;
};

// The GL texture behind one or more Texture objects: textures loaded from one unchanged file
// share it (nothing writes to it while it is shared), and it goes with the last of them. Its
// bytes count against the device's texture budget while it lives.
class TextureImage : public std::enable_shared_from_this<TextureImage> {
public:
    TextureImage(Device* device, UINT width, UINT height, D3DFORMAT format, std::size_t bytes);
    ~TextureImage();
    TextureImage(const TextureImage&) = delete;
    TextureImage& operator=(const TextureImage&) = delete;

    // Pixels as RGBA8, top row first.
    void UploadRgba(const std::uint8_t* rgba);
    // Compressed DXT1/3/5 blocks of the whole image, in the image's format.
    bool UploadCompressed(const std::uint8_t* blocks, std::size_t size);

    Device* const device;
    GLuint name = 0;
    const UINT width;
    const UINT height;
    const D3DFORMAT format;
    const std::size_t bytes;
    // The file it was loaded from while other loads of that file may share it.
    std::optional<platform::d3d9::TextureFile> file;
    // The sampler states last applied to the GL texture, so unchanged ones are not set again.
    std::array<DWORD, 5> appliedSampler{~0u, ~0u, ~0u, ~0u, ~0u};
};

class Texture final : public RefCounted<IDirect3DTexture9> {
public:
    // A managed texture of one level over the image.
    Texture(Device* device, std::shared_ptr<TextureImage> image);
    ~Texture() override;

    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    GLuint Name() const { return m_Image->name; }
    std::array<DWORD, 5>& AppliedSampler() { return m_Image->appliedSampler; }

private:
    Device* m_Device;
    std::shared_ptr<TextureImage> m_Image;
    std::vector<std::uint8_t> m_Locked;  // A8R8G8B8 copy of the level while it is locked
    bool m_LockWrites = false;
};

// Vertex and index buffers keep a CPU copy (Lock hands it out) and a GL buffer of the same bytes,
// brought up to date at Unlock.
template <class Interface>
class Buffer final : public RefCounted<Interface> {
public:
    Buffer(Device* device, UINT length, DWORD formatOrFvf);
    ~Buffer() override;

    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    GLuint Name() const { return m_Name; }
    const std::vector<std::uint8_t>& Bytes() const { return m_Bytes; }
    DWORD Format() const { return m_Format; }

private:
    Device* m_Device;
    GLuint m_Name = 0;
    std::vector<std::uint8_t> m_Bytes;
    DWORD m_Format;
    unsigned m_Locks = 0;  // locks not yet undone
    // The bytes the outstanding locks may have written, uploaded at the last unlock.
    std::size_t m_DirtyBegin = SIZE_MAX;
    std::size_t m_DirtyEnd = 0;
};

using VertexBuffer = Buffer<IDirect3DVertexBuffer9>;
using IndexBuffer = Buffer<IDirect3DIndexBuffer9>;

struct LightSlot {
    D3DLIGHT9 light{};
    bool enabled = false;
};

constexpr int kStages = 8;
constexpr int kMaxActiveLights = 8;
constexpr float kMaxPointSize = 64.0f;

struct Layout;

struct DeviceState {
    std::array<DWORD, D3DRS_COUNT> render{};
    std::array<std::array<DWORD, D3DSAMP_COUNT>, kStages> sampler{};
    std::array<std::array<DWORD, D3DTSS_COUNT>, kStages> stage{};
    D3DMATRIX world{}, view{}, projection{};
    D3DMATERIAL9 material{};
    std::map<DWORD, LightSlot> lights;  // Direct3D takes any index; a slot exists once set or enabled
    std::array<Texture*, kStages> textures{};
    VertexBuffer* stream = nullptr;
    UINT streamOffset = 0;
    UINT streamStride = 0;
    IndexBuffer* indices = nullptr;
    DWORD fvf = 0;
};

class Direct3D9;
class ProgramCache;

class Device final : public RefCounted<IDirect3DDevice9> {
public:
    Device(Direct3D9* d3d, HWND window, const D3DPRESENT_PARAMETERS& params);
    ~Device() override;
    // False when no GL context or framebuffer could be made.
    bool Initialize();

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const RGNDATA* dirtyRegion) override;

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;

    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** buffer,
                              HANDLE* sharedHandle) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;

    // Makes this device's GL context current (several devices may live at once in tests).
    void MakeCurrent();
    // Resources hold the device; the device's bindings do not hold them, so no cycle keeps
    // either alive. A resource going away unbinds itself.
    void Unbind(const void* resource);

    // Draws an RGBA8 image over the back buffer at (x, y) in back-buffer pixels, blended by its
    // alpha, leaving every device and GL state as it was.
    void DrawOverlay(int x, int y, int width, int height, const std::uint8_t* rgba);
    RECT BackBufferRect() const { return RECT{0, 0, static_cast<LONG>(m_Width), static_cast<LONG>(m_Height)}; }

    // A new image of that size and format (its GL storage made, no pixels yet); null when its
    // bytes would take the live images past the texture budget, or the size is beyond the caps.
    std::shared_ptr<TextureImage> NewTextureImage(UINT width, UINT height, D3DFORMAT format);
    // The live image loaded from that file, or null; and the sharing of an image by its file.
    std::shared_ptr<TextureImage> FileImage(const platform::d3d9::TextureFile& file) const;
    void ShareByFile(const std::shared_ptr<TextureImage>& image, const platform::d3d9::TextureFile& file);
    void StopSharing(TextureImage& image);
    // Called by an image as it goes.
    void ForgetImage(TextureImage& image);

private:
    void SetDefaultStates();
    bool CreateFramebuffer();
    // Copies the back buffer into a test's frame, top row first.
    void ReadBackFrame(seams::Frame& frame);
    void ApplyFixedState();
    void SetUniforms(const struct Program& p, bool points, bool pretransformed, const Layout& layout);
    void BindStageTexture();
    // The program for the current pixel-stage state; null when GL cannot build it.
    const struct Program* SelectProgram(bool points, bool pretransformed);
    HRESULT Draw(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount, bool indexed, INT baseVertexIndex,
                 UINT startIndex);

    Direct3D9* m_D3D;
    HWND m_Window;
    SDL_Window* m_Sdl = nullptr;
    bool m_OwnsSdlWindow = false;
    SDL_GLContext m_Context = nullptr;
    D3DPRESENT_PARAMETERS m_Params;
    UINT m_Width;
    UINT m_Height;
    GLuint m_Framebuffer = 0;
    GLuint m_ColorBuffer = 0;
    GLuint m_DepthBuffer = 0;
    bool m_HasStencil = false;
    bool m_InScene = false;
    DeviceState m_State;
    std::unique_ptr<ProgramCache> m_Programs;  // made with the GL context
    std::size_t m_TextureBytes = 0;             // of every live image
    std::map<platform::d3d9::TextureFile, TextureImage*> m_FileImages;  // images shared by their file
};

class Direct3D9 final : public RefCounted<IDirect3D9> {
public:
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override;
};

// The call log of recording mode, and whether it is on; values are written with Hex (flags,
// colours, states' values) and Num (floats). Off, recording costs one test of a flag per call.
extern bool g_Recording;
inline bool Recording()
{
    return g_Recording;
}
void RecordCall(const std::string& call);
std::string Hex(DWORD value);
std::string Num(float value);

// A packed ARGB colour as red, green, blue, alpha in 0..1.
inline void ColorToFloats(D3DCOLOR c, float out[4])
{
    out[0] = ((c >> 16) & 0xFF) / 255.0f;
    out[1] = ((c >> 8) & 0xFF) / 255.0f;
    out[2] = (c & 0xFF) / 255.0f;
    out[3] = ((c >> 24) & 0xFF) / 255.0f;
}

}  // namespace platform::d3d
