// The scene: the 3D world a script starts. It owns the scene's scripts and their runner, steps its
// members once per tick and draws them in a fixed order.
#pragma once

#include <string>

#include "script/scriptbase.h"
#include "script/scriptrunner.h"
#include "world/animation.h"
#include "world/camera.h"
#include "world/fog.h"
#include "world/formation.h"
#include "world/heightterrain.h"
#include "world/lights.h"
#include "world/particles.h"

class CScene {
public:
    bool bActive = false;
    CScriptLibrary scripts;
    CScriptRunner runner;
    CSceneCamera camera;
    CFog fog;
    CHeightTerrain terrain;
    LightManager lights;
    CParticleSystem particles;
    AnimationManager animations;
    FormationManager formations{1};  // the formations "Friend.CreateFormation" makes

    CScene();

    // Loads a scene file (a full path: "$" already resolved), one script per section, and starts
    // the script `name` as the thread `name`. Nothing loaded earlier is cleared.
    void Start(std::string file, std::string name);
    void ResetView();
    void Update();
    void Render();
    void SetupView();
    void Activate() { bActive = true; }
};

extern CScene g_Scene;
