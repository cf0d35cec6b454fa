#include <gtest/gtest.h>

#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "game/play/tutorial_component.h"
#include "game/units/unit_message.h"
#include "tests/game/units/unit_test_world.h"

namespace {

std::string Ship(const std::string& keys) {
    return "struct Ship\n{\n\tfloat mass: 10\n\tstring materialGroupName: \"mg_magnet\"\n"
           "\tlist struct Geometry\n\t{\n\t\t{\n\t\t\tstring type: \"BOX\"\n"
           "\t\t\tpoint extent: 150, 40\n\t\t}\n\t}\n\tstring teamName: \"team_good\"\n"
           "\tlist struct Components\n\t{\n\t\t{\n"
           "\t\t\tstring componentName: \"TutorialComponent\"\n" +
           keys + "\t\t}\n\t}\n}\n";
}

const std::string OFFSETS =
    "\t\t\tpointf airshipOffset: 0, 45\n\t\t\tpointf factoryOffset: 30, 60\n";

TEST(TutorialComponentTest, OffsetsAreRequiredPointsAndTheSoundIsOptional) {
    const struct {
        std::string keys;
        bool loads;
    } cases[] = {
        {OFFSETS, true},
        {OFFSETS + "\t\t\tstring sound: \"no_such_sample\"\n", true},
        {"\t\t\tpointf airshipOffset: 0, 45\n", false},
        {"\t\t\tpointf factoryOffset: 0, 45\n", false},
        {"\t\t\tint airshipOffset: 4\n\t\t\tpointf factoryOffset: 0, 45\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        UnitTestWorld level(Ship(c.keys));
        if (c.loads) {
            EXPECT_NO_THROW(level.Make("Ship", 1));
        } else {
            EXPECT_THROW(level.Make("Ship", 1), orvel::Exception);
        }
    }
}

TEST(TutorialComponentTest, WithoutADialogOnlyTheTimersRunAndDeathIsAnswered) {
    UnitTestWorld level(Ship(OFFSETS));
    const auto ship = level.Place("Ship", 1, 300.0f, 300.0f);
    auto* script = static_cast<TutorialComponent*>(ship->GetComponent("TutorialComponent"));
    ASSERT_NE(script, nullptr);
    level.RunSeconds(1.0f);
    EXPECT_NEAR(script->GetLevelTime(), 1.0f, 0.05f);
    EXPECT_NEAR(script->GetStepTime(), 1.0f, 0.05f);
    EXPECT_TRUE(ship->SendMessage(MESSAGE_DIE));
}

}  // namespace
