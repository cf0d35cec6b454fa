#include "game/units/components/floater_component.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "game/units/component_body.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_message.h"
#include "level_test_world.h"
#include "unit_test_world.h"

namespace {

std::string Floater(const char* name, const char* floaterKeys) {
    return std::string("struct ") + name + R"(
{
	float mass: 0.5
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 40
		}
	}
	int hitPoints: 2
	float linearDamping: 0.15
	bool appliesGravity: true
	bool useUpVectorJoint: true
	bool fallToDeath: true
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Floater"
)" + floaterKeys + R"(
		}
	}
}
)";
}

const char* const OTHERS = R"(
struct Crate
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 60, 20
		}
	}
	bool appliesGravity: true
	bool useUpVectorJoint: true
	list struct Components
	{
	}
}
struct Wall
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 60, 60
		}
	}
	list struct Components
	{
	}
}
)";

// Balloons cruising at 300 pixels (10 units): exactly, or spread by a fifth;
// one that dies on the ground and one that dies on enemy buildings.
const std::string OBJECTS =
    Floater("Balloon", "\t\t\tfloat cruisingAltitude: 300\n") +
    Floater("Spread",
            "\t\t\tfloat cruisingAltitude: 300\n\t\t\tfloat cruisingAltitudeVariance: 0.2\n") +
    Floater("Mine", "\t\t\tbool terrainIsLethal: true\n") +
    Floater("Bomb", "\t\t\tfloat cruisingAltitude: 150\n\t\t\tbool staticIsLethal: true\n") +
    OTHERS;

const float SCALE = UnitTestWorld::SCALE;
const float STEP = orvel::Mechanica::kStep;
const float G = 9.8f;

class FloaterComponentTest : public ::testing::Test {
protected:
    FloaterComponent& Put(const char* name, float x, float y) {
        unit = level.Place(name, 1, x, y);
        return *static_cast<FloaterComponent*>(unit->GetComponent("FloaterComponent"));
    }

    void SetVelocityY(float vy) {
        const float v[3] = {0.0f, vy, 0.0f};
        PhysBodySetVelocity(unit->GetPhysBody(), v);
    }

    UnitTestWorld level{OBJECTS};
    std::shared_ptr<ComponentBody> unit;
};

}  // namespace

TEST_F(FloaterComponentTest, DrawsItsAltitudeAroundTheCruisingOne) {
    EXPECT_FLOAT_EQ(Put("Balloon", 600.0f, 150.0f).GetAltitude(), 10.0f);
    for (int i = 0; i < 20; ++i) {
        const float altitude = Put("Spread", 600.0f + 60.0f * i, 150.0f).GetAltitude();
        EXPECT_GE(altitude, 0.8f * 10.0f);
        EXPECT_LE(altitude, 1.2f * 10.0f);
    }
}

// The lift is the weight times k: 1 + 2 % of the relative distance below
// the altitude, 0.98 above it, and 1 when the unit already moves towards
// the altitude at 0.5 units a second or faster. The acceleration is then
// (k - 1) g.
TEST_F(FloaterComponentTest, LiftsTowardsTheAltitudeUnlessAlreadyOnItsWay) {
    struct Case {
        const char* what;
        float y;
        float vy;
        float k;
    };
    const Case cases[] = {
        {"below, at rest", 5.0f, 0.0f, 1.0f + 0.02f * 0.5f},
        {"below, rising slowly", 5.0f, 0.4f, 1.0f + 0.02f * 0.5f},
        {"below, rising fast", 5.0f, 0.6f, 1.0f},
        {"above, at rest", 15.0f, 0.0f, 0.98f},
        {"above, sinking fast", 15.0f, -0.6f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Put("Balloon", 600.0f, c.y * SCALE);
        SetVelocityY(c.vy);
        const float before = VelocityOf(*unit).y;
        level.RunSeconds(STEP);
        const float damped = before * (1.0f - (0.0199f * 0.01f + 0.0001f));
        EXPECT_NEAR((VelocityOf(*unit).y - damped) / STEP, (c.k - 1.0f) * G, 0.01f);
        unit->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(STEP);
    }
}

// Bought from a factory (a copy, which runs with the definition's damping),
// a balloon below its altitude rises to it and then stays within 10 pixels.
TEST_F(FloaterComponentTest, ABoughtFloaterSettlesAtItsAltitude) {
    auto prototype = level.Make("Balloon", 1);
    unit = std::make_shared<ComponentBody>();
    unit->CopyFrom(*prototype);
    unit->SetPosition(orvel::Vector4(20.0f, 5.0f, 0.0f));
    level.world->AddBody(unit);
    level.RunSeconds(25.0f);
    for (int i = 0; i < 30; ++i) {
        level.RunSeconds(1.0f);
        EXPECT_NEAR(unit->GetPosition().y * SCALE, 300.0f, 10.0f);
    }
}

// Without an altitude (0) there is no distance to it to lift by: the lift
// only cancels the weight, also below the ground line.
TEST_F(FloaterComponentTest, NoAltitudeGivesNoBias) {
    Put("Mine", 600.0f, -150.0f);
    level.RunSeconds(STEP);
    EXPECT_NEAR(VelocityOf(*unit).y, 0.0f, 1e-4f);
}

// Sent to its death it passes through units and dies on the ground.
TEST_F(FloaterComponentTest, AFallingFloaterPassesThroughUnitsAndDiesOnTheGround) {
    auto crate = level.Place("Crate", -1, 600.0f, UnitTestWorld::GROUND_HEIGHT + 11.0f);
    Put("Balloon", 600.0f, 200.0f);
    level.RunSeconds(0.5f);
    unit->SendMessage(MESSAGE_FALL_TO_DEATH);
    const auto* floater = static_cast<FloaterComponent*>(unit->GetComponent("FloaterComponent"));
    EXPECT_TRUE(floater->IsFalling());
    level.RunSeconds(3.0f);
    EXPECT_TRUE(unit->IsDead());
    EXPECT_FALSE(crate->IsDead());
    EXPECT_LT(unit->GetPosition().y * SCALE, UnitTestWorld::GROUND_HEIGHT + 20.0f + 5.0f);
}

TEST_F(FloaterComponentTest, DiesOnWhatItsDefinitionMakesLethal) {
    struct Case {
        const char* floater;
        const char* building;
        int team;
        bool dies;
    };
    const Case cases[] = {
        {"Mine", nullptr, 0, true},
        {"Balloon", nullptr, 0, false},
        {"Bomb", "Wall", -1, true},
        {"Bomb", "Wall", 1, false},
        {"Balloon", "Wall", -1, false},
    };
    for (const Case& c : cases) {
        const std::string where =
            c.building ? " on a wall of team " + std::to_string(c.team) : " on the ground";
        SCOPED_TRACE(c.floater + where);
        std::shared_ptr<ComponentBody> wall;
        float y = UnitTestWorld::GROUND_HEIGHT + 21.0f;
        if (c.building != nullptr) {
            wall = level.Place(c.building, c.team, 1500.0f, UnitTestWorld::GROUND_HEIGHT + 30.0f);
            wall->SetTeam(c.team);
            y += 60.0f;
        }
        Put(c.floater, 1500.0f, y + 5.0f);
        // Pressed down onto it.
        for (int i = 0; i < 30; ++i) {
            unit->AddForce(orvel::Vector4(0.0f, -20.0f, 0.0f, 0.0f));
            level.RunSeconds(STEP);
        }
        EXPECT_EQ(unit->IsDead(), c.dies);
        unit->SendMessage(MESSAGE_REMOVE);
        if (wall) {
            wall->SendMessage(MESSAGE_REMOVE);
            wall.reset();
        }
        level.RunSeconds(STEP);
    }
}

// A dead floater keeps its altitude but no longer its cruising one, and
// stays where it died instead of being thrown upwards by its lift.
TEST_F(FloaterComponentTest, ADeadFloaterStaysWhereItDied) {
    FloaterComponent& floater = Put("Balloon", 600.0f, 250.0f);
    level.RunSeconds(0.5f);
    unit->SendMessage(MESSAGE_DIE);
    EXPECT_EQ(floater.GetCruisingAltitude(), 0.0f);
    EXPECT_FLOAT_EQ(floater.GetAltitude(), 10.0f);
    const float y = unit->GetPosition().y;
    level.RunSeconds(2.0f);
    EXPECT_NEAR(unit->GetPosition().y, y, 0.01f);
}

TEST_F(FloaterComponentTest, AChangedCloneLeavesItsPrototypeAndDrawsItsOwnAltitude) {
    auto prototype = level.Make("Spread", 1);
    const auto& original =
        *static_cast<FloaterComponent*>(prototype->GetComponent("FloaterComponent"));
    bool differs = false;
    for (int i = 0; i < 5; ++i) {
        auto clone = std::make_shared<ComponentBody>();
        clone->CopyFrom(*prototype);
        const auto& copy = *static_cast<FloaterComponent*>(clone->GetComponent("FloaterComponent"));
        EXPECT_EQ(copy.GetCruisingAltitude(), 10.0f);
        EXPECT_EQ(copy.GetCruisingAltitudeVariance(), 0.2f);
        differs = differs || copy.GetAltitude() != original.GetAltitude();
        clone->SendMessage(MESSAGE_DIE);
        EXPECT_EQ(copy.GetCruisingAltitude(), 0.0f);
    }
    EXPECT_TRUE(differs);
    EXPECT_EQ(original.GetCruisingAltitude(), 10.0f);
}

// The game's own floaters, bought from a factory over the first level: from
// over the factory they rise to their altitude within 50 seconds (turning
// back halfway, to stay over the level) and then cruise along within 10
// pixels of it.
TEST(FloaterContentTest, BalloonsAndAutogyrosCruiseAtTheirAltitude) {
    LevelTestWorld level;
    for (const char* name : {"BalloonBomb", "AutoGyro"}) {
        SCOPED_TRACE(name);
        auto prototype = std::make_shared<ComponentBody>();
        prototype->SpawnUnit(level.world.get(), nullptr, nullptr, level.definitions,
                             PropertyKey::Intern(name), 1);
        auto unit = std::make_shared<ComponentBody>();
        unit->CopyFrom(*prototype);
        // Right of the good factory, over its roof, where it lets floaters
        // out: high enough for a balloon's hanging bomb to clear the hills.
        unit->SetPosition(orvel::Vector4(600.0f / SCALE, 280.0f / SCALE, 0.0f));
        level.world->AddBody(unit);
        const float altitude =
            static_cast<FloaterComponent*>(unit->GetComponent("FloaterComponent"))->GetAltitude();
        level.RunSeconds(30.0f);
        EXPECT_GT(unit->GetPosition().x * SCALE, 1000.0f);
        unit->SendMessage(MESSAGE_TURN_AROUND_PARTS);
        level.RunSeconds(20.0f);
        for (int i = 0; i < 10; ++i) {
            level.RunSeconds(1.0f);
            EXPECT_NEAR(unit->GetPosition().y, altitude, 10.0f / SCALE);
        }
        unit->SendMessage(MESSAGE_REMOVE);
        unit.reset();
        level.RunSeconds(STEP);
    }
}
