// The media managers' global objects, until the program's one list of globals takes them.
#include "media/font.h"
#include "media/object3d.h"
#include "media/sound.h"
#include "media/texture.h"

CTextureManager* g_pTextureManager = nullptr;
FontManager g_FontManager;
SoundManager g_SoundManager;
Object3DList g_Object3DList;
