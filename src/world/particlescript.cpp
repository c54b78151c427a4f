#include "world/particlescript.h"

#include "script/scriptbase.h"
#include "world/scene.h"

void Scene_LoadParticleSystem(TScriptParam* args, int count) { g_Scene.particles.Load(args[0].strText); }

void ParticleSys_Enable(TScriptParam* args, int count) { g_Scene.particles.bEnabled = true; }

// The particles freeze where they are and are not drawn; nothing is cleared.
void ParticleSys_Disable(TScriptParam* args, int count) { g_Scene.particles.bEnabled = false; }
