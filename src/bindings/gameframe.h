// The game frame: the program's top object. The entry function asks it to set the system up
// once, the message loop to update once per tick, and the "Frame.Command" script call to quit.
// It sits with the script bindings: its start-up registers them and its "Frame." functions reach
// it, so the two belong to one layer, under the shell that owns the window and the loop.
#pragma once

#include "foundation/objectbase.h"
#include "platform/d3d9.h"

class CGameFrame : public CNamedObject {
public:
    CGameFrame();

    bool Setup();
    void Update();
    // 0.05 exactly quits; every other value does nothing. Always 0.
    int Command(float value);
    void Quit();
    bool Cleanup();
};

extern CGameFrame g_GameFrame;

// The start-up sequence: every global resource from the data tree, then the fixed render states.
bool GameStartup(IDirect3DDevice9* device);
bool GameCleanup(IDirect3DDevice9* device);
bool SetupRenderStates(IDirect3DDevice9* device);
