#include "media/mediascript.h"

#include "media/object3d.h"
#include "media/sound.h"
#include "script/scriptbase.h"

void Audio_PlayMusic(TScriptParam* args, int count) { g_SoundManager.PlayMusic(args[0].strText); }

void Audio_SetMusicVolume(TScriptParam* args, int count) { g_SoundManager.SetMusicVolume(args[0].fValue); }

void Scene_LoadSound(TScriptParam* args, int count) { g_SoundManager.LoadSceneSounds(args[0].strText, args[1].strText); }

void Scene_LoadObject3D(TScriptParam* args, int count) { g_Object3DList.LoadObject3D(args[0].strText, args[1].strText); }
