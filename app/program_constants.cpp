#include "app/program_constants.h"

const char WINDOW_TITLE[] = "Gearhaven";

const PropertyKey KEY_GL_FONT("glFont");
const PropertyKey KEY_SOUND_MANAGER("qSoundManager");
const PropertyKey KEY_MUSIC_PLAYER("qOggPlayer");
const PropertyKey KEY_OBJECT_PROPERTIES("qObjectProperties");
