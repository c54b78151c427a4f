// The handlers of the script system functions that reach the media managers: "Audio.PlayMusic"
// ("s"), "Audio.SetMusicVolume" ("v"), "Scene.LoadSound" ("ss") and "Scene.LoadObject3D"
// ("ss"). The bindings register them under those names and signatures.
#pragma once

struct TScriptParam;

void Audio_PlayMusic(TScriptParam* args, int count);
void Audio_SetMusicVolume(TScriptParam* args, int count);
void Scene_LoadSound(TScriptParam* args, int count);
void Scene_LoadObject3D(TScriptParam* args, int count);
