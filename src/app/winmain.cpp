// Entry function, window and device creation, the tick loop and the window procedure.
#include "app/winmain.h"

#include "bindings/gameframe.h"
#include "foundation/debuglink.h"
#include "ui/uimanager.h"
#include "world/scene.h"

namespace {

const char kAppName[] = "Direct3D9App";
constexpr DWORD kTickMs = 16;
constexpr DWORD kWindowStyle = 8;
constexpr D3DCOLOR kClearColor = 0xFF000000;

// The shell's own failure boxes: no owner, no caption, and not copied to the debug link.
void ShowFailure(const char* text)
{
    MessageBoxA(nullptr, text, nullptr, MB_OK);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    if (!InitD3D(hInstance, 640, 480, true, D3DDEVTYPE_HAL, &g_pDevice)) {
        ShowFailure("InitD3D() - FAILED");
        return 0;
    }
    if (!g_GameFrame.Setup()) {
        ShowFailure("Setup() - FAILED");
        return 0;
    }
    RunMessageLoop(DisplayFrame);
    g_pDevice->Release();
    // Nothing may draw through the released device: the global objects outlive this function.
    g_pDevice = nullptr;
    return 0;
}

bool InitD3D(HINSTANCE hInstance, int width, int height, bool windowed, D3DDEVTYPE deviceType,
             IDirect3DDevice9** device)
{
    WNDCLASSA wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = kAppName;
    if (!RegisterClassA(&wc)) {
        ShowFailure("RegisterClass() - FAILED");
        return false;
    }

    HWND hwnd = CreateWindowExA(0, kAppName, kAppName, kWindowStyle, 0, 0, width, height, nullptr, nullptr, hInstance,
                                nullptr);
    if (!hwnd) {
        ShowFailure("CreateWindow() - FAILED");
        return false;
    }
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);

    IDirect3D9* d3d9 = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d9) {
        ShowFailure("Direct3DCreate9() - FAILED");
        return false;
    }

    D3DCAPS9 caps{};
    d3d9->GetDeviceCaps(D3DADAPTER_DEFAULT, deviceType, &caps);
    const DWORD vertexProcessing = (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                                                   : D3DCREATE_SOFTWARE_VERTEXPROCESSING;

    D3DPRESENT_PARAMETERS d3dpp;
    d3dpp.BackBufferWidth = static_cast<UINT>(width);
    d3dpp.BackBufferHeight = static_cast<UINT>(height);
    d3dpp.BackBufferFormat = D3DFMT_A8R8G8B8;
    d3dpp.BackBufferCount = 1;
    d3dpp.MultiSampleType = D3DMULTISAMPLE_NONE;
    d3dpp.MultiSampleQuality = 0;
    d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    d3dpp.hDeviceWindow = hwnd;
    d3dpp.Windowed = windowed;
    d3dpp.EnableAutoDepthStencil = TRUE;
    d3dpp.AutoDepthStencilFormat = D3DFMT_D24S8;
    d3dpp.Flags = 0;
    d3dpp.FullScreen_RefreshRateInHz = 0;
    d3dpp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    HRESULT hr = d3d9->CreateDevice(D3DADAPTER_DEFAULT, deviceType, hwnd, vertexProcessing, &d3dpp, device);
    if (FAILED(hr)) {
        d3dpp.AutoDepthStencilFormat = D3DFMT_D16;
        hr = d3d9->CreateDevice(D3DADAPTER_DEFAULT, deviceType, hwnd, vertexProcessing, &d3dpp, device);
        if (FAILED(hr)) {
            d3d9->Release();
            ShowFailure("CreateDevice() - FAILED");
            return false;
        }
    }
    d3d9->Release();
    return true;
}

int RunMessageLoop(bool (*ptr_display)(float timeDelta))
{
    MSG msg{};
    DWORD lastTime = 0;
    while (msg.message != WM_QUIT) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        const DWORD now = timeGetTime();
        const DWORD elapsed = now - lastTime;
        if (elapsed >= kTickMs) {
            g_GameFrame.Update();
            ptr_display(0.1f);
            if (g_pDebugLink) g_pDebugLink->SendPending();
            lastTime = now;
        } else {
            Sleep(kTickMs - elapsed);
        }
    }
    return static_cast<int>(msg.wParam);
}

bool DisplayFrame(float timeDelta)
{
    if (g_pDevice) RenderFrame(g_pDevice, timeDelta);
    return true;
}

bool RenderFrame(IDirect3DDevice9* device, float timeDelta)
{
    if (!device) return true;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    device->BeginScene();
    g_Scene.Render();
    g_UIManager.Render();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    return true;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int x = LOWORD(static_cast<std::uintptr_t>(lParam));
    const int y = HIWORD(static_cast<std::uintptr_t>(lParam));
    switch (msg) {
    case WM_CREATE:
        g_pDebugLink = new CDebugLink(hwnd);
        g_pDebugLink->Connect();
        break;
    case WM_DESTROY:
        if (g_pDebugLink) {
            delete g_pDebugLink;
            g_pDebugLink = nullptr;
        }
        PostQuitMessage(0);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && GetKeyState(VK_SHIFT) < 0) DestroyWindow(hwnd);
        break;
    case WM_CHAR: OnChar(static_cast<int>(wParam)); break;
    case WM_MOUSEMOVE: OnMouseMove(x, y); break;
    case WM_LBUTTONDOWN: OnLButtonDown(x, y); break;
    case WM_RBUTTONDOWN: OnRButtonDown(x, y); break;
    case WM_MBUTTONDOWN: OnMButtonDown(x, y); break;
    default: break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void OnLButtonDown(int x, int y)
{
    g_UIManager.OnLButtonDown(x, y);
}

void OnRButtonDown(int x, int y)
{
    g_UIManager.OnRButtonDown(x, y);
}

void OnMouseMove(int x, int y)
{
    g_UIManager.OnMouseMove(x, y);
}

void OnChar(int ch)
{
    g_UIManager.OnChar(ch);
}

void OnMButtonDown(int x, int y)
{
}
