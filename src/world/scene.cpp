#include "world/scene.h"

#include "foundation/device.h"
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
    // Each section's lines compiled where the file holds them, as GetSectionLines gives them.
    for (int i = 0; i < sections.Count(); ++i)
        scripts.LoadScript(ini, sections.At(i));
    runner.Enable();
    runner.StartThread(name, name);
    Activate();
}

void CScene::ResetView()
{
    camera.Reset();
    camera.SetFar(500.0f);
    camera.SetNear(10.0f);
    camera.ChangePosition(IM_NONE, 0.0f, 50.0f, -50.0f, 0, 0.0f, 0.0f, 0.0f);
    camera.ChangeLookAt(IM_NONE, 0.0f, 0.0f, 0.0f, 0, 0.0f, 0.0f, 0.0f);
    fog.Disable();
}

void CScene::Update()
{
    if (!bActive)
        return;
    runner.Update();
    camera.Update();
    particles.Update();
    fog.Update();
    lights.Update();
    terrain.Update();
    formations.UpdateAll();
    animations.Update();
}

void CScene::Render()
{
    if (!bActive)
        return;
    SetupView();
    terrain.Render(camera);
    formations.RenderAll();
    animations.Render(camera);
    particles.Render();
}

void CScene::SetupView()
{
    if (!g_pDevice)
        return;
    D3DXMATRIX matrix;
    camera.GetViewMatrix(&matrix);
    g_pDevice->SetTransform(D3DTS_VIEW, &matrix);
    camera.GetProjMatrix(&matrix);
    g_pDevice->SetTransform(D3DTS_PROJECTION, &matrix);
    g_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_pDevice->LightEnable(0, TRUE);
    g_pDevice->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    g_pDevice->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
}
