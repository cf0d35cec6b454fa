#pragma once

#include "engine/core/property_key.h"

// Names the program's start-up, main loop and end share.
extern const char WINDOW_TITLE[];

// Registry keys of the long-lived services.
extern const PropertyKey KEY_GL_FONT;
extern const PropertyKey KEY_SOUND_MANAGER;
extern const PropertyKey KEY_MUSIC_PLAYER;
extern const PropertyKey KEY_OBJECT_PROPERTIES;
