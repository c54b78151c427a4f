#include "bindings/gameframe.h"

#include <vector>

#include "bindings/bindings.h"
#include "foundation/device.h"
#include "foundation/stringutil.h"
#include "media/font.h"
#include "media/sound.h"
#include "media/texture.h"
#include "platform/win32.h"
#include "script/consttable.h"
#include "ui/keytable.h"
#include "ui/uimanager.h"
#include "world/scene.h"

CGameFrame::CGameFrame()
{
    strClassName = "CGameFrame";
}

bool CGameFrame::Setup()
{
    return GameStartup(g_pDevice);
}

void CGameFrame::Update()
{
    g_UIManager.Update();
    g_Scene.Update();
}

int CGameFrame::Command(float value)
{
    if (value == 0.05f)
        Quit();
    return 0;
}

void CGameFrame::Quit()
{
    PostQuitMessage(0);
}

bool CGameFrame::Cleanup()
{
    return GameCleanup(g_pDevice);
}

namespace {

// The working folder, whatever its length.
std::string WorkingFolder()
{
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    std::vector<char> path(size + 1, '\0');
    GetCurrentDirectoryA(static_cast<DWORD>(path.size()), path.data());
    return path.data();
}

}  // namespace

bool GameStartup(IDirect3DDevice9* device)
{
    g_pTextureManager = new CTextureManager;

    if (!RegisterScriptBindings()) {
        GlobalError("Script Init Fail");
        return false;
    }

    SetRootFolder(WorkingFolder());
    SetCurrentFolder("$");

    g_FontManager.LoadFonts("GlobalFonts.txt");
    g_SoundManager.LoadSounds("$\\sound");
    g_ConstTableSet.LoadDirectory("$\\Global");

    g_KeyTable.Load("$\\Global\\Control.txt");
    g_KeyTable.Enable();

    SetCurrentFolder("$\\menu");
    if (!g_UIManager.Load("MainMenu.txt")) {
        MessageBoxA(nullptr, "打开MainMenu.txt出错", nullptr, MB_OK);
        return false;
    }

    if (!SetupRenderStates(device)) {
        GlobalError("Geometry Init Fail");
        return false;
    }
    return true;
}

bool GameCleanup(IDirect3DDevice9*)
{
    delete g_pTextureManager;
    g_pTextureManager = nullptr;
    return true;
}

bool SetupRenderStates(IDirect3DDevice9* device)
{
    if (!device)
        return true;
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    return true;
}
