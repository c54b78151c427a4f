// The media managers' global objects, until the program's one list of globals takes them.
#include "media/sound.h"

SoundManager g_SoundManager;
