#include "game/units/components/breakable_component.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "game/units/component_body.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"
#include "level_zero_world.h"
#include "unit_test_world.h"

namespace {

// A Shed that breaks into "mg_broken_unit" and a Hut that just dies.
const char* const OBJECTS = R"(
struct Shed
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 60, 40
		}
	}
	int hitPoints: 10
	list struct Components
	{
		{
			string componentName: "Breakable"
			string brokenMGName: "mg_broken_unit"
		}
	}
}
struct Hut
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 60, 40
		}
	}
	int hitPoints: 10
	list struct Components
	{
	}
}
)";

}  // namespace

TEST(BreakableInLevelZeroTest, ABuildingShotToPiecesLiesOnAsAWreckInItsBrokenGroup) {
    for (const char* name : {"Static_FanBunker", "Static_Factory"}) {
        SCOPED_TRACE(name);
        LevelZeroWorld level;
        std::shared_ptr<ComponentBody> building = level.Stand(name, 1, 512.0f, 64.0f);
        EXPECT_EQ(building->GetMaterialGroup(), PropertyKey("mg_static_unit"));
        building->HandleEvent(EVENT_HIT, building->GetHitPoints(), nullptr);
        EXPECT_TRUE(building->IsDead());
        EXPECT_EQ(building->GetMaterialGroup(), PropertyKey("mg_broken_unit"));
        level.RunSeconds(0.5f);
        EXPECT_EQ(building->GetMaterialGroup(), PropertyKey("mg_broken_unit"));
    }
}

TEST(BreakableComponentTest, TheDeathMessageIsAnsweredAndBreaksTheUnit) {
    struct Case {
        const char* name;
        bool answered;
        const char* group;
    };
    for (const Case& c : {Case{"Shed", true, "mg_broken_unit"}, Case{"Hut", false, "mg_no_collide"}}) {
        SCOPED_TRACE(c.name);
        UnitTestWorld level(OBJECTS);
        std::shared_ptr<ComponentBody> unit = level.Place(c.name, 1, 900.0f, 80.0f);
        EXPECT_FALSE(unit->SendMessage(MESSAGE_STOP));
        EXPECT_EQ(unit->SendMessage(MESSAGE_DIE), c.answered);
        EXPECT_EQ(unit->GetMaterialGroup(), PropertyKey(c.group));
    }
}

TEST(BreakableComponentTest, ACloneBreaksIntoTheSameGroupAndAloneAsItDies) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> prototype = level.Make("Shed", 1);
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*prototype);
    const auto* copy =
        static_cast<const BreakableComponent*>(clone->GetComponent("BreakableComponent"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetBrokenMaterialGroup(), PropertyKey("mg_broken_unit"));
    clone->SendMessage(MESSAGE_DIE);
    EXPECT_EQ(clone->GetMaterialGroup(), PropertyKey("mg_broken_unit"));
    EXPECT_EQ(prototype->GetMaterialGroup(), PropertyKey("mg_static_unit"));
}

TEST(BreakableComponentTest, ADefinitionWithoutItsBrokenGroupFailsNamingTheKeyAndTheComponent) {
    UnitTestWorld level(
        "struct Broken\n{\nlist struct Geometry\n{\n{\nstring type: \"BOX\"\n"
        "point extent: 10, 10\n}\n}\nlist struct Components\n{\n{\n"
        "string componentName: \"Breakable\"\n}\n}\n}\n");
    try {
        level.Make("Broken", 0);
        ADD_FAILURE() << "loaded";
    } catch (const orvel::ExceptionStringNotFound& e) {
        EXPECT_NE(e.What().find("brokenMGName"), std::string::npos);
        EXPECT_NE(e.What().find("BreakableComponent"), std::string::npos);
    }
}
