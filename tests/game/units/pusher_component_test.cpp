#include "game/units/components/pusher_component.h"

#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/physics/multi_sensor_body.h"
#include "game/units/component_body.h"
#include "level_zero_world.h"
#include "unit_test_world.h"

namespace {

const float SCALE = UnitTestWorld::SCALE;

// A Fan of the good side pushes with 10 per unit of mass, fading to nothing
// 300 pixels away, over a sensor reaching 300 pixels each way; a Blower
// pushes without fading. Neither touches the units it pushes. Drifters
// float where they are put.
const char* const OBJECTS = R"(
struct Fan
{
	string materialGroupName: "mg_no_collide"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 40, 40
		}
	}
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Pusher"
			float pushMagnitude: 10
			float range: 300
			list struct Geometry
			{
				{
					string type: "BOX"
					point extent: 600, 600
				}
			}
			string materialGroupName: "mg_unit_sensor"
		}
	}
}
struct Blower
{
	string materialGroupName: "mg_no_collide"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 40, 40
		}
	}
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Pusher"
			float pushMagnitude: 10
			list struct Geometry
			{
				{
					string type: "BOX"
					point extent: 600, 600
				}
			}
			string materialGroupName: "mg_unit_sensor"
		}
	}
}
struct Drifter
{
	float mass: 2
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 20, 20
		}
	}
	list struct Components
	{
	}
}
struct Heavy
{
	float mass: 4
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 20, 20
		}
	}
	list struct Components
	{
	}
}
)";

const PusherComponent& PusherOf(const ComponentBody& unit) {
    return *static_cast<const PusherComponent*>(unit.GetComponent("PusherComponent"));
}

orvel::Vector4 At(float x, float y) { return orvel::Vector4(x / SCALE, y / SCALE, 0.0f); }

}  // namespace

TEST(PusherInLevelZeroTest, AFanBunkerBlowsEnemiesOutOfItsAreaAndLeavesFriendsBe) {
    LevelZeroWorld level;
    const float x = 512.0f;
    std::shared_ptr<ComponentBody> bunker = level.Stand("Static_FanBunker", 1, x, 24.0f);
    std::shared_ptr<ComponentBody> enemy = level.Stand("Infantry", -1, x + 60.0f, 15.0f);
    std::shared_ptr<ComponentBody> friendly = level.Stand("Infantry", 1, x - 60.0f, 15.0f);
    // The enemy walks into the wind towards side 1 and is still blown out.
    level.RunSeconds(5.0f);
    EXPECT_GT(Pixels(enemy->GetPosition()).x, x + 150.0f);
    // The friend walks up to the bunker, never blown back.
    EXPECT_GE(Pixels(friendly->GetPosition()).x, x - 62.0f);
    EXPECT_LT(Pixels(friendly->GetPosition()).x, x);
    EXPECT_NEAR(Pixels(bunker->GetPosition()).x, x, 0.01f);
}

TEST(PusherComponentTest, ThePushGrowsWithMassAndFadesWithDistanceToNothingAtTheRange) {
    struct Case {
        const char* what;
        const char* pusher;
        const char* body;
        float dx;
        float dy;
        float forceX;
        float forceY;
    };
    // Fan and Blower stand at (1000, 900); the push is mass x 10, times
    // (300 - distance) / 300 for the Fan.
    const Case cases[] = {
        {"half the range to the right", "Fan", "Drifter", 150.0f, 0.0f, 10.0f, 0.0f},
        {"a quarter of the range", "Fan", "Drifter", 75.0f, 0.0f, 15.0f, 0.0f},
        {"twice the mass to the left", "Fan", "Heavy", -150.0f, 0.0f, -20.0f, 0.0f},
        {"above, on a slant", "Fan", "Drifter", 90.0f, 120.0f, 6.0f, 8.0f},
        {"at the range", "Fan", "Drifter", 300.0f, 0.0f, 0.0f, 0.0f},
        {"right at the centre", "Fan", "Drifter", 0.0f, 0.0f, 0.0f, 0.0f},
        {"no fading, far off", "Blower", "Drifter", 0.0f, -280.0f, 0.0f, -20.0f},
        {"no fading, near", "Blower", "Heavy", 50.0f, 0.0f, 40.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UnitTestWorld level(OBJECTS);
        level.Place(c.pusher, 1, 1000.0f, 900.0f);
        std::shared_ptr<ComponentBody> body = level.Place(c.body, -1, 1000.0f + c.dx, 900.0f + c.dy);
        level.RunSeconds(orvel::Mechanica::kStep);
        EXPECT_NEAR(body->GetForce().x, c.forceX, 1e-3f);
        EXPECT_NEAR(body->GetForce().y, c.forceY, 1e-3f);
        EXPECT_FLOAT_EQ(body->GetForce().z, 0.0f);
    }
}

TEST(PusherComponentTest, OnlyBodiesOfAnotherSideThatTheWorldHoldsArePushed) {
    struct Case {
        const char* what;
        int pusherTeam;
        int bodyTeam;
        bool inWorld;
        bool pushed;
    };
    const Case cases[] = {
        {"an enemy", 1, -1, true, true},
        {"a unit of no side", 1, 0, true, true},
        {"a friend", 1, 1, true, false},
        {"anyone, by a fan of no side", 0, -1, true, false},
        {"an enemy the world does not hold", 1, -1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UnitTestWorld level(OBJECTS);
        std::shared_ptr<ComponentBody> fan = level.Place("Fan", 1, 1000.0f, 900.0f);
        fan->SetTeam(c.pusherTeam);
        std::shared_ptr<ComponentBody> body = level.Make("Drifter", c.bodyTeam);
        body->SetPosition(At(1150.0f, 900.0f));
        if (c.inWorld) {
            level.World().AddBody(body);
        }
        level.RunSeconds(0.5f);
        EXPECT_EQ(body->GetForce().x > 0.0f, c.pushed);
        EXPECT_EQ(body->GetPosition().x * SCALE > 1151.0f, c.pushed);
    }
}

TEST(PusherComponentTest, ACloneTakesThePushAndASensorOfItsOwn) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> fan = level.Place("Fan", 1, 1000.0f, 900.0f);
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*fan);
    const PusherComponent& copy = PusherOf(*clone);
    EXPECT_FLOAT_EQ(copy.GetPushMagnitude(), 10.0f);
    EXPECT_FLOAT_EQ(copy.GetRange(), 10.0f);
    ASSERT_TRUE(copy.GetSensor());
    EXPECT_NE(copy.GetSensor(), PusherOf(*fan).GetSensor());
    EXPECT_EQ(copy.GetSensor()->GetMaterialGroup(), PropertyKey("mg_unit_sensor"));

    clone->SetPosition(At(3000.0f, 900.0f));
    level.World().AddBody(clone);
    std::shared_ptr<ComponentBody> near = level.Place("Drifter", -1, 1150.0f, 900.0f);
    std::shared_ptr<ComponentBody> far = level.Place("Drifter", -1, 2850.0f, 900.0f);
    level.RunSeconds(orvel::Mechanica::kStep);
    EXPECT_NEAR(near->GetForce().x, 10.0f, 1e-3f);
    EXPECT_NEAR(far->GetForce().x, -10.0f, 1e-3f);
    EXPECT_NEAR(PusherOf(*fan).GetSensor()->GetPosition().x * SCALE, 1000.0f, 1e-2f);
}

TEST(PusherComponentTest, ADefinitionMissingAKeyFailsNamingItAndOneWithoutGeometryPushesNothing) {
    const std::string head =
        "struct Broken\n{\nlist struct Geometry\n{\n{\nstring type: \"BOX\"\n"
        "point extent: 10, 10\n}\n}\nstring teamName: \"team_good\"\n"
        "list struct Components\n{\n{\nstring componentName: \"Pusher\"\n";
    const std::string geometry =
        "list struct Geometry\n{\n{\nstring type: \"BOX\"\npoint extent: 600, 600\n}\n}\n";
    const std::string tail = "}\n}\n}\n";
    struct Case {
        const char* key;
        std::string entry;
    };
    const Case cases[] = {
        {"pushMagnitude", "float range: 100\n"},
        {"materialGroupName", "float pushMagnitude: 10\n" + geometry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        UnitTestWorld level(head + c.entry + tail);
        try {
            level.Make("Broken", 0);
            ADD_FAILURE() << "loaded";
        } catch (const orvel::ExceptionStringNotFound& e) {
            EXPECT_NE(e.What().find(c.key), std::string::npos);
            EXPECT_NE(e.What().find("objectFile?"), std::string::npos);
        }
    }

    UnitTestWorld level(std::string(OBJECTS) + head + "float pushMagnitude: 10\n" + tail);
    std::shared_ptr<ComponentBody> still = level.Place("Broken", 1, 1000.0f, 900.0f);
    EXPECT_FALSE(PusherOf(*still).GetSensor());
    std::shared_ptr<ComponentBody> body = level.Place("Drifter", -1, 1010.0f, 900.0f);
    level.RunSeconds(0.2f);
    EXPECT_FLOAT_EQ(body->GetForce().x, 0.0f);
}
