#include "app/services.h"

#include "app/program_constants.h"
#include "engine/core/attributes.h"

void ReleaseServices() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    registry.Erase(KEY_GL_FONT);
    registry.Erase(KEY_SOUND_MANAGER);
    registry.Erase(KEY_MUSIC_PLAYER);
    registry.Erase(KEY_OBJECT_PROPERTIES);
}
