#include "world/scene.h"

#include "app/winmain.h"
#include "foundation/inifile.h"

CScene::CScene()
{
    bActive = false;
    runner.pLibrary = &scripts;
}

void CScene::Start(std::string file, std::string name)
{
    ResetView();
    // The scene file's folder stays current, so files its scripts name are found beside it.
    CIniFile ini = OpenDataFile(file);
    CStringList sections;
    ini.GetSectionNames(sections);
    for (int i = 0; i < sections.Count(); ++i) {
        CStringList lines;
        ini.GetSectionLines(lines, sections.At(i));
        scripts.AddScript(lines, sections.At(i));
    }
    runner.Enable();
    runner.StartThread(name, name);
    Activate();
}

void CScene::ResetView()
{
}

void CScene::Update()
{
    if (!bActive)
        return;
    runner.Update();
    particles.Update();
    terrain.Update();
}

void CScene::Render()
{
    if (!bActive)
        return;
    SetupView();
    terrain.Render();
    particles.Render();
}

void CScene::SetupView()
{
    if (!g_pDevice)
        return;
    g_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_pDevice->LightEnable(0, TRUE);
    g_pDevice->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    g_pDevice->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
}
