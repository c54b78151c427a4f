// The user interface: the controls of the UI file, the camera that maps their design units onto
// the back buffer, the UI scripts with their runner, and the sounds scripts give ids to. A
// control does not act by itself: its command numbers start the UI script "UIMain".
#pragma once

#include <string>

#include "foundation/arraylist.h"
#include "foundation/nameindex.h"
#include "foundation/objectbase.h"
#include "media/sound.h"
#include "platform/d3d9.h"
#include "script/scriptbase.h"
#include "script/scriptrunner.h"
#include "ui/freecamera.h"
#include "ui/uicontrol.h"

class FontEntry;

class UIManager : public CNamedObject {
public:
    CUIControl* pFocus = nullptr;  // typed characters go here
    ArrayList<CUIControl> Controls;
    CFreeCamera Camera;
    D3DMATERIAL9 Material;
    FontEntry* pFont = nullptr;  // null keeps the font manager's current font
    CScriptLibrary Scripts;
    CScriptRunner Runner;
    int nWidth = 500;
    int nHeight = 500;
    SoundResourceTable Sounds;

    UIManager();
    UIManager(const UIManager&) = delete;
    UIManager& operator=(const UIManager&) = delete;

    // Appends the file's controls and scripts to what is loaded already, places the camera and
    // runs command 100.
    bool Load(const std::string& fileName);
    bool LoadControls(const std::string& fileName);
    // Stores a copy of the control's settings (CUIControl::CopyFrom), without its buffers.
    CUIControl* AddControl(CUIControl* control);
    CUIControl* FindControl(const std::string& name);
    // Starts "UIMain" with n as input0 and steps the UI threads at once; dropped while a
    // "UIMain" thread lives.
    void RunCommand(int n);

    void Update();
    void Render();
    void BeginRender();
    void EndRender();

    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnRButtonDown(int x, int y);
    void OnChar(int ch);
    // The topmost control under the point, whatever its type or state.
    CUIControl* GetControlAt(float x, float y);

private:
    // Panels are looked up as controls load, and scripts find controls by name on every call.
    CNamedListIndex<CUIControl> m_ControlIndex;

    void SetUpCamera();
    void OnButtonDown(int x, int y, int CUIControl::*command, TSound* CUIControl::*sound);
};

extern UIManager g_UIManager;
