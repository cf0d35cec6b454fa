#include "app/services.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/program_constants.h"
#include "app/show_message.h"
#include "app/startup_failure.h"
#include "engine/core/attributes.h"

namespace {

TEST(ServicesTest, ReleaseTakesTheLibraryServicesOutOfTheRegistry) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    auto objects = std::make_shared<orvel::Properties>();
    registry[KEY_OBJECT_PROPERTIES] = orvel::PropertiesPtr(objects);
    registry[KEY_SOUND_MANAGER] = std::shared_ptr<orvel::SoundManager>();
    registry[KEY_MUSIC_PLAYER] = std::shared_ptr<orvel::OggPlayer>();
    registry[KEY_GL_FONT] = static_cast<FONT*>(nullptr);
    const PropertyKey other("servicesTestOther");
    registry.SetInt(other, 7);

    ReleaseServices();

    for (PropertyKey key :
         {KEY_GL_FONT, KEY_SOUND_MANAGER, KEY_MUSIC_PLAYER, KEY_OBJECT_PROPERTIES}) {
        EXPECT_FALSE(registry.Contains(key)) << key.GetName();
    }
    EXPECT_EQ(objects.use_count(), 1);
    EXPECT_EQ(registry.GetInt(other), 7);
    registry.Erase(other);
}

TEST(StartupFailureTest, ReportedOnlyUntilTheEndIsMarkedNormal) {
    std::vector<std::string> shown;
    const MessageHandler previous =
        SetMessageHandler([&](const std::string& text) { shown.push_back(text); });

    ReportStartupFailure();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], ALLEGRO_GL_INSTALL_FAILED);
    EXPECT_EQ(shown[0].rfind("Installation of AllegroGL failed.  This probably\n", 0), 0u);

    MarkNormalEnd();
    ReportStartupFailure();
    EXPECT_EQ(shown.size(), 1u);

    SetMessageHandler(previous);
}

}  // namespace
