// The script system functions of the scene's particle system: "Scene.LoadParticleSystem" ("s"),
// "ParticleSys.Enable" and "ParticleSys.Disable" (""), each at once.
#pragma once

struct TScriptParam;

void Scene_LoadParticleSystem(TScriptParam* args, int count);
void ParticleSys_Enable(TScriptParam* args, int count);
void ParticleSys_Disable(TScriptParam* args, int count);
