#include "ui/uimanager.h"

#include "foundation/device.h"
#include "foundation/inifile.h"
#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "media/font.h"
#include "media/texture.h"

namespace {

// The "type" keywords, matched exactly: a capital letter is an unknown type.
bool ParseType(const std::string& value, int& type)
{
    static const char* const kKeywords[] = {"none", "static", "edittext", "button", "panel"};
    for (int i = 0; i < 5; ++i) {
        if (value == kKeywords[i]) {
            type = i;
            return true;
        }
    }
    return false;
}

// A key without a value leaves the coordinate as it is; any other value is read as a whole number.
void SetIfGiven(CIniFile& ini, const char* key, CInterpolatorFloat& coordinate)
{
    const std::string value = ini.GetString(key);
    if (!value.empty()) coordinate.Set(static_cast<float>(StringToInt(value)));
}

TSound* FindSoundOrNull(const std::string& name)
{
    return name.empty() ? nullptr : g_SoundManager.FindSound(name);
}

}  // namespace

UIManager::UIManager()
{
    strClassName = "UIManager";
    Material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    Material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    Material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    Material.Emissive = {0.0f, 0.0f, 0.0f, 1.0f};
    Material.Power = 0.0f;
    Runner.pLibrary = &Scripts;
}

bool UIManager::Load(const std::string& fileName)
{
    nWidth = 500;
    nHeight = 500;
    if (!LoadControls(fileName)) return false;
    SetUpCamera();
    RunCommand(100);
    return true;
}

// The plane z = 0 shows the design area: a 90-degree view from half the height away, with y
// growing downwards.
void UIManager::SetUpCamera()
{
    const float halfW = static_cast<float>(nWidth / 2);
    const float halfH = static_cast<float>(nHeight / 2);
    Camera.Reset();
    const D3DXVECTOR3 eye(halfW, halfH, halfH);
    const D3DXVECTOR3 lookAt(halfW, halfH, 0.0f);
    const D3DXVECTOR3 up(0.0f, -1.0f, 0.0f);
    Camera.SetEye(&eye);
    Camera.SetLookAt(&lookAt);
    Camera.SetUp(&up);
    Camera.SetFov(1.5707964f);
    Camera.SetAspect(static_cast<float>(nWidth) / static_cast<float>(nHeight));
    Camera.SetFar(1000.0f);
    Camera.SetNear(1.0f);
}

bool UIManager::LoadControls(const std::string& fileName)
{
    CIniFile ini(fileName);

    std::string value = ini.GetGlobalString("sizex");
    if (!value.empty()) nWidth = StringToInt(value);
    value = ini.GetGlobalString("sizey");
    if (!value.empty()) nHeight = StringToInt(value);
    value = ini.GetGlobalString("font");
    if (!value.empty()) pFont = g_FontManager.FindFont(value);
    value = ini.GetGlobalString("script");
    if (!value.empty()) {
        CIniFile scriptFile(value);
        CStringList sections;
        scriptFile.GetSectionNames(sections);
        for (int i = 0; i < sections.Count(); ++i) Scripts.LoadScript(scriptFile, sections.At(i));
    }

    CStringList sections;
    ini.GetSectionNames(sections);
    if (sections.Count() == 0) {
        Error("UI:读取sectionlist失败");
        return false;
    }

    for (int i = 0; i < sections.Count(); ++i) {
        CUIControl* control = Controls.AddNew();
        control->strName = sections.At(i);
        control->CreateBuffers();

        ini.SelectSection(control->strName);
        control->strText = ini.GetString("text");
        value = ini.GetString("type");
        if (!ParseType(value, control->nType)) {
            Error("Unrecognized value:" + value);
            return false;
        }
        value = ini.GetString("texture");
        if (!value.empty() && g_pTextureManager) control->pTexture = g_pTextureManager->AddTexture(value);
        SetIfGiven(ini, "posx", control->PosX);
        SetIfGiven(ini, "posy", control->PosY);
        SetIfGiven(ini, "sizex", control->SizeX);
        SetIfGiven(ini, "sizey", control->SizeY);
        if (!(value = ini.GetString("color")).empty()) control->Color.Set(D3DXCOLOR(D3DCOLOR{HexToUInt(value)}));
        value = ini.GetString("panel");
        if (!value.empty()) {
            // A control that names itself stays top level: a panel of its own would carry
            // itself for ever.
            CUIControl* panel = FindControl(value);
            if (panel && panel != control) {
                control->pPanel = panel;
                panel->Children.push_back(control);
            }
        }
        control->nCmdLClick = ini.GetInt("cmdlclick");
        control->nCmdRClick = ini.GetInt("cmdrclick");
        control->nCmdContact = ini.GetInt("cmdcontact");
        control->nCmdLoseContact = ini.GetInt("cmdlosecontact");
        control->pSndContact = FindSoundOrNull(ini.GetString("sndcontact"));
        control->pSndLoseContact = FindSoundOrNull(ini.GetString("sndlosecontact"));
        control->pSndLClick = FindSoundOrNull(ini.GetString("sndlclick"));
        control->pSndRClick = FindSoundOrNull(ini.GetString("sndrclick"));
        control->pSndChar = FindSoundOrNull(ini.GetString("sndchar"));
        control->bEnabled = ini.GetString("enabled") != "0";
    }
    return true;
}

CUIControl* UIManager::AddControl(CUIControl* control)
{
    if (!control) return nullptr;
    CUIControl* stored = Controls.AddNew();
    stored->CopyFrom(*control);
    return stored;
}

CUIControl* UIManager::FindControl(const std::string& name) { return m_ControlIndex.Find(Controls, name); }

void UIManager::RunCommand(int n)
{
    const float input = static_cast<float>(n);
    Runner.StartThread("UIMain", "UIMain", &input, 1);
    Runner.Enable();
    Runner.Update();
}

void UIManager::Update()
{
    for (CUIControl& control : Controls) control.Update();
    Runner.Update();
}

void UIManager::Render()
{
    BeginRender();
    for (CUIControl& control : Controls) control.Render();
    EndRender();
}

void UIManager::BeginRender()
{
    if (g_pDevice) {
        D3DXMATRIX view;
        D3DXMATRIX proj;
        D3DXMATRIX world;
        Camera.GetViewMatrix(&view);
        Camera.GetProjMatrix(&proj);
        D3DXMatrixIdentity(&world);
        g_pDevice->SetTransform(D3DTS_VIEW, &view);
        g_pDevice->SetTransform(D3DTS_PROJECTION, &proj);
        g_pDevice->SetTransform(D3DTS_WORLD, &world);
        g_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
        g_pDevice->SetMaterial(&Material);
    }
    if (pFont) g_FontManager.SetCurrent(pFont);
}

void UIManager::EndRender()
{
    if (!g_pDevice) return;
    g_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    g_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
}
