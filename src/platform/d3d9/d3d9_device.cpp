// The Direct3D object and the device's life: creation with its forced failures, the back
// buffer, Clear, the scene brackets and Present.
#include <cstring>

#include "platform/d3d9/d3d9_device.h"
#include "platform/d3d9/d3d9_internal.h"
#include "platform/d3d9/d3d9_program.h"
#include "platform/seams_internal.h"
#include "platform/win32/window_internal.h"

namespace platform::d3d {

namespace {

GLenum DepthStorage(D3DFORMAT f)
{
    switch (f) {
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE: return GL_DEPTH_COMPONENT16;
    case D3DFMT_D24X8: return GL_DEPTH_COMPONENT24;
    case D3DFMT_D32: return GL_DEPTH_COMPONENT32;
    case D3DFMT_D24S8:
    case D3DFMT_D24X4S4:
    case D3DFMT_D15S1: return GL_DEPTH24_STENCIL8;
    default: return 0;
    }
}

bool Refused(D3DFORMAT depth)
{
    const auto& f = seams::detail::Failures();
    return (depth == D3DFMT_D24S8 && f.deviceD24S8) || (depth == D3DFMT_D16 && f.deviceD16);
}

}  // namespace

HRESULT Direct3D9::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps)
{
    if (!caps || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    std::memset(caps, 0, sizeof *caps);
    caps->DeviceType = type;
    caps->AdapterOrdinal = adapter;
    caps->PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
    caps->DevCaps = seams::detail::HardwareTransformAndLight() ? D3DDEVCAPS_HWTRANSFORMANDLIGHT : 0;
    caps->MaxTextureWidth = platform::d3d9::kMaxTextureSize;
    caps->MaxTextureHeight = platform::d3d9::kMaxTextureSize;
    caps->MaxActiveLights = kMaxActiveLights;
    caps->MaxStreams = 1;
    caps->MaxPointSize = kMaxPointSize;
    caps->MaxPrimitiveCount = 0xFFFFF;
    caps->MaxVertexIndex = 0xFFFF;
    return D3D_OK;
}

HRESULT Direct3D9::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device)
{
    if (!params || !device || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    *device = nullptr;
    const bool vertexProcessing = behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                                   D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                                   D3DCREATE_MIXED_VERTEXPROCESSING);
    if (!vertexProcessing) return D3DERR_INVALIDCALL;
    if (params->EnableAutoDepthStencil) {
        if (!DepthStorage(params->AutoDepthStencilFormat)) return D3DERR_INVALIDCALL;
        if (Refused(params->AutoDepthStencilFormat)) return D3DERR_NOTAVAILABLE;
    }

    HWND window = params->hDeviceWindow ? params->hDeviceWindow : focusWindow;
    auto* made = new Device(this, window, *params);
    if (!made->Initialize()) {
        made->Release();
        return D3DERR_NOTAVAILABLE;
    }
    seams::detail::NoteCreatedDevice(behaviorFlags,
                                     params->EnableAutoDepthStencil ? params->AutoDepthStencilFormat : D3DFMT_UNKNOWN);
    *device = made;
    return D3D_OK;
}

Device::Device(Direct3D9* d3d, HWND window, const D3DPRESENT_PARAMETERS& params)
    : m_D3D(d3d), m_Window(nullptr), m_Params(params), m_Width(params.BackBufferWidth), m_Height(params.BackBufferHeight)
{
    // The device holds the Direct3D object and its window for as long as it lives.
    m_D3D->AddRef();
    if (platform::detail::IsLiveWindow(window)) {
        m_Window = window;
        platform::detail::RetainWindow(window);
        m_Sdl = window->sdl;
    }
    SetDefaultStates();
}

bool Device::Initialize()
{
    if (!platform::detail::EnsureVideo()) return false;
    if (m_Sdl && (m_Width == 0 || m_Height == 0)) {
        int w = 0, h = 0;
        SDL_GetWindowSize(m_Sdl, &w, &h);
        if (m_Width == 0) m_Width = static_cast<UINT>(w);
        if (m_Height == 0) m_Height = static_cast<UINT>(h);
    }
    if (m_Width == 0) m_Width = 640;
    if (m_Height == 0) m_Height = 480;
    if (!m_Sdl) {
        // Without a window the device draws into a hidden one of its own.
        m_Sdl = SDL_CreateWindow("", 0, 0, static_cast<int>(m_Width), static_cast<int>(m_Height),
                                 SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!m_Sdl) return false;
        m_OwnsSdlWindow = true;
    }
    m_Context = SDL_GL_CreateContext(m_Sdl);
    if (!m_Context) return false;
    MakeCurrent();
    m_Programs = std::make_unique<ProgramCache>();
    SDL_GL_SetSwapInterval(m_Params.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
    // Point states no other drawing changes: the program gives the size, and sprite texture
    // coordinates start at the top row, which is OpenGL's lowest.
    glEnable(GL_PROGRAM_POINT_SIZE);
    glEnable(GL_POINT_SPRITE);
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    return CreateFramebuffer();
}

Device::~Device()
{
    if (m_Context) {
        MakeCurrent();
        m_Programs.reset();
        if (m_Framebuffer) glDeleteFramebuffers(1, &m_Framebuffer);
        if (m_ColorBuffer) glDeleteRenderbuffers(1, &m_ColorBuffer);
        if (m_DepthBuffer) glDeleteRenderbuffers(1, &m_DepthBuffer);
        SDL_GL_MakeCurrent(m_Sdl, nullptr);
        SDL_GL_DeleteContext(m_Context);
    }
    if (m_OwnsSdlWindow) SDL_DestroyWindow(m_Sdl);
    if (m_Window) platform::detail::ReleaseWindow(m_Window);
    m_D3D->Release();
}

void Device::MakeCurrent()
{
    if (SDL_GL_GetCurrentContext() != m_Context) SDL_GL_MakeCurrent(m_Sdl, m_Context);
}

bool Device::CreateFramebuffer()
{
    glGenFramebuffers(1, &m_Framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    glGenRenderbuffers(1, &m_ColorBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, m_ColorBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height));
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_ColorBuffer);
    if (m_Params.EnableAutoDepthStencil) {
        const D3DFORMAT format = m_Params.AutoDepthStencilFormat;
        m_HasStencil = DepthStorage(format) == GL_DEPTH24_STENCIL8;
        glGenRenderbuffers(1, &m_DepthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, m_DepthBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, DepthStorage(format), static_cast<GLsizei>(m_Width),
                              static_cast<GLsizei>(m_Height));
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, m_HasStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                  GL_RENDERBUFFER, m_DepthBuffer);
    }
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glViewport(0, 0, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height));
    return complete;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    if (Recording()) {
        RecordCall("Clear(" + std::to_string(count) + ", " + Hex(flags) + ", " + Hex(color) + ", " + Num(z) + ", " +
                   std::to_string(stencil) + ")");
    }
    MakeCurrent();
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        float rgba[4];
        ColorToFloats(color, rgba);
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & D3DCLEAR_ZBUFFER) && m_DepthBuffer) {
        glDepthMask(GL_TRUE);
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((flags & D3DCLEAR_STENCIL) && m_HasStencil) {
        glStencilMask(0xFF);
        glClearStencil(static_cast<GLint>(stencil & 0xFF));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    // The draws set every GL state they depend on, so Clear may change these freely.
    if (count == 0 || !rects) {
        glDisable(GL_SCISSOR_TEST);
        glClear(mask);
        return D3D_OK;
    }
    glEnable(GL_SCISSOR_TEST);
    for (DWORD i = 0; i < count; ++i) {
        const D3DRECT& r = rects[i];
        glScissor(r.x1, r.y1, r.x2 - r.x1, r.y2 - r.y1);
        glClear(mask);
    }
    glDisable(GL_SCISSOR_TEST);
    return D3D_OK;
}

HRESULT Device::BeginScene()
{
    if (Recording()) RecordCall("BeginScene()");
    if (m_InScene) return D3DERR_INVALIDCALL;
    m_InScene = true;
    return D3D_OK;
}

HRESULT Device::EndScene()
{
    if (Recording()) RecordCall("EndScene()");
    if (!m_InScene) return D3DERR_INVALIDCALL;
    m_InScene = false;
    return D3D_OK;
}

void Device::ReadBackFrame(seams::Frame& frame)
{
    frame.width = static_cast<int>(m_Width);
    frame.height = static_cast<int>(m_Height);
    frame.bgra.resize(static_cast<std::size_t>(m_Width) * m_Height * 4);
    // The back buffer holds the top row first already.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_Framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height), GL_BGRA, GL_UNSIGNED_BYTE,
                 frame.bgra.data());
}

HRESULT Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const RGNDATA* dirtyRegion)
{
    if (Recording()) RecordCall("Present()");
    MakeCurrent();
    if (seams::Frame* kept = seams::detail::PresentedFrame()) ReadBackFrame(*kept);
    if (m_Window && m_Window->alive) {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(m_Sdl, &w, &h);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_Framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glBlitFramebuffer(0, 0, static_cast<GLint>(m_Width), static_cast<GLint>(m_Height), 0, h, w, 0,
                          GL_COLOR_BUFFER_BIT, GL_LINEAR);
        SDL_GL_SwapWindow(m_Sdl);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    return D3D_OK;
}

}  // namespace platform::d3d

IDirect3D9* Direct3DCreate9(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION || platform::seams::detail::Failures().direct3DCreate) return nullptr;
    return new platform::d3d::Direct3D9();
}
