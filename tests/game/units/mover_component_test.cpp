#include "game/units/components/mover_component.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "game/units/component_body.h"
#include "game/units/components/sprite_component.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"
#include "level_test_world.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

std::string Unit(const char* name, const char* box, const char* unitKeys, const char* moverKeys) {
    return std::string("struct ") + name + R"(
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: )" + box + R"(
		}
	}
	int hitPoints: 3
	bool appliesGravity: true
)" + unitKeys + R"(
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Mover"
)" + moverKeys + R"(
		}
		{
			string componentName: "Probe"
		}
	}
}
)";
}

const char* const WALKER_MOVER = R"(
			float maxVelocity: 2
			bool moveOnContact: true
			string moveOnContactWithMG: "mg_terrain"
			bool stopOnContact: true
			string stopOnContactWithEnemyMG: "mg_static_unit"
			bool dieOnImpact: true
			string dieOnImpactWithMG: "mg_terrain"
			float impactVelocity: -6
)";

const char* const WALL = R"(
struct Wall
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 120
		}
	}
	list struct Components
	{
	}
}
)";

// A walker that drives on the ground, halts at enemy buildings and dies of
// a hard fall; a roller that drives backwards anywhere; a tumbler that must
// stay upright.
const std::string OBJECTS =
    Unit("Walker", "20, 30", "\tbool useUpVectorJoint: true\n\tbool fallToDeath: true\n",
         WALKER_MOVER) +
    Unit("Roller", "30, 20", "\tbool useUpVectorJoint: true\n", "\t\t\tfloat maxVelocity: -3\n") +
    Unit("Tumbler", "40, 20", "",
         "\t\t\tfloat maxVelocity: 1\n\t\t\tbool moveOnContact: true\n"
         "\t\t\tstring moveOnContactWithMG: \"mg_terrain\"\n\t\t\tbool moveOnUpright: true\n") +
    WALL;

const float SCALE = UnitTestWorld::SCALE;
const float STEP = orvel::Mechanica::kStep;
// Where a unit 30 pixels tall stands on the ground.
const float STANDING_Y = UnitTestWorld::GROUND_HEIGHT + 16.0f;

class MoverComponentTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeComponent(); }

    std::shared_ptr<ComponentBody> Put(const char* name, float x, float y) {
        unit = level.Place(name, 1, x, y);
        mover = static_cast<MoverComponent*>(unit->GetComponent("MoverComponent"));
        return unit;
    }

    int Count(int id) const {
        const auto ids = static_cast<ProbeComponent&>(*unit->GetComponents()[1]).Ids();
        return int(std::count(ids.begin(), ids.end(), id));
    }

    UnitTestWorld level{OBJECTS};
    std::shared_ptr<ComponentBody> unit;
    MoverComponent* mover = nullptr;
};

}  // namespace

// The force reaches the speed in one step; friction takes nothing off it.
TEST_F(MoverComponentTest, DrivesAtItsSpeedEitherWay) {
    struct Case {
        const char* unit;
        bool turned;
        float speed;
    };
    const Case cases[] = {
        {"Walker", false, 2.0f},
        {"Walker", true, -2.0f},
        {"Roller", false, -3.0f},
        {"Roller", true, 3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + (c.turned ? " turned" : ""));
        Put(c.unit, 1500.0f, STANDING_Y);
        if (c.turned) {
            unit->SendMessage(MESSAGE_TURN_AROUND_PARTS);
        }
        EXPECT_EQ(mover->GetMaxVelocity(), c.speed);
        level.RunSeconds(1.0f);
        EXPECT_NEAR(VelocityOf(*unit).x, c.speed, 0.05f);
        unit->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(STEP);
    }
}

TEST_F(MoverComponentTest, ANewDirectionIsTakenFromTheTargetMessage) {
    Put("Roller", 1500.0f, STANDING_Y);
    const float up[2] = {0.0f, 1.0f};
    unit->SendMessage(MESSAGE_SET_TARGET, reinterpret_cast<intptr_t>(up));
    EXPECT_FLOAT_EQ(mover->GetDirection().y, 1.0f);
    unit->SendMessage(MESSAGE_SET_TARGET, 0);
    EXPECT_FLOAT_EQ(mover->GetDirection().y, 1.0f);
    EXPECT_FLOAT_EQ(mover->GetDirection().x, 0.0f);
}

// In the air a ground unit gets no driving force; it starts once, on
// landing.
TEST_F(MoverComponentTest, DrivesOnlyOnTheGround) {
    // A drop of 40 pixels takes half a second and lands at 5.2 units a
    // second, short of a hard fall.
    Put("Walker", 1500.0f, STANDING_Y + 40.0f);
    level.RunSeconds(0.2f);
    EXPECT_NEAR(VelocityOf(*unit).x, 0.0f, 1e-4f);
    EXPECT_FALSE(mover->IsMoving());
    EXPECT_EQ(Count(MESSAGE_MOVE), 0);
    level.RunSeconds(1.5f);
    EXPECT_TRUE(mover->IsMoving());
    EXPECT_EQ(Count(MESSAGE_MOVE), 1);
    EXPECT_NEAR(VelocityOf(*unit).x, 2.0f, 0.05f);
    EXPECT_EQ(unit->GetLink(0), 1);
}

// After Stop the speed climbs back at 1 unit per second per second.
TEST_F(MoverComponentTest, ClimbsBackToSpeedAfterAStop) {
    Put("Walker", 1500.0f, STANDING_Y);
    level.RunSeconds(0.5f);
    unit->SendMessage(MESSAGE_STOP);
    EXPECT_EQ(mover->GetSpeed(), 0.0f);
    unit->SendMessage(MESSAGE_MOVE);
    EXPECT_EQ(mover->GetSpeed(), 0.0f);
    level.RunSeconds(1.0f);
    EXPECT_NEAR(mover->GetSpeed(), 1.0f, 0.02f);
    EXPECT_NEAR(VelocityOf(*unit).x, mover->GetSpeed(), 0.05f);
    level.RunSeconds(1.5f);
    EXPECT_EQ(mover->GetSpeed(), 2.0f);
}

// Against an enemy building it stops and waits; a building of its own side
// or of none only blocks it.
TEST_F(MoverComponentTest, StopsAtEnemyBuildingsUntilTheyGo) {
    struct Case {
        int team;
        bool stops;
    };
    for (const Case& c : {Case{-1, true}, Case{1, false}, Case{0, false}}) {
        SCOPED_TRACE(c.team);
        auto wall = level.Place("Wall", c.team, 1560.0f, UnitTestWorld::GROUND_HEIGHT + 60.0f);
        wall->SetTeam(c.team);
        Put("Walker", 1500.0f, STANDING_Y);
        level.RunSeconds(2.0f);
        EXPECT_LT(unit->GetPosition().x * SCALE, 1560.0f - 25.0f + 1.0f);
        EXPECT_EQ(mover->IsStopped(), c.stops);
        EXPECT_EQ(Count(MESSAGE_STOP), c.stops ? 1 : 0);
        wall->SendMessage(MESSAGE_REMOVE);
        wall.reset();
        level.RunSeconds(3.0f);
        EXPECT_FALSE(mover->IsStopped());
        EXPECT_GT(unit->GetPosition().x * SCALE, 1600.0f);
        unit->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(STEP);
    }
}

// Falling faster than impactVelocity starts the fall to death (once), and
// the landing kills; a short drop does not.
TEST_F(MoverComponentTest, DiesOfAHardFallOnly) {
    struct Case {
        float height;
        bool dies;
    };
    // Free fall from h pixels lands at sqrt(2 g h / 30): 2.5 from 10, 8.1 from 100.
    for (const Case& c : {Case{10.0f, false}, Case{100.0f, true}}) {
        SCOPED_TRACE(c.height);
        Put("Walker", 1500.0f, STANDING_Y + c.height);
        level.RunSeconds(2.0f);
        EXPECT_EQ(unit->IsDead(), c.dies);
        EXPECT_EQ(Count(MESSAGE_FALL_TO_DEATH), c.dies ? 1 : 0);
        EXPECT_EQ(mover->DiesOnImpact(), !c.dies);
        EXPECT_EQ(mover->IsEnabled(), !c.dies);
        unit->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(STEP);
    }
}

// Upside down a unit that must stay upright dies; on its side it waits.
TEST_F(MoverComponentTest, DiesUpsideDownButNotOnItsSide) {
    struct Case {
        float turn;
        bool dies;
    };
    for (const Case& c : {Case{0.0f, false}, Case{1.5707964f, false}, Case{3.1415927f, true}}) {
        SCOPED_TRACE(c.turn);
        Put("Tumbler", 1500.0f, STANDING_Y);
        level.RunSeconds(0.5f);
        ASSERT_TRUE(mover->IsMoving());
        orvel::Matrix4 m = orvel::Matrix4::RotationZ(c.turn);
        m.SetPosition(orvel::Vector4(1500.0f / SCALE, (STANDING_Y + 10.0f) / SCALE, 0.0f));
        unit->SetMatrix(m);
        level.RunSeconds(0.5f);
        EXPECT_EQ(unit->IsDead(), c.dies);
        unit->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(STEP);
    }
}

TEST_F(MoverComponentTest, AChangedCloneLeavesItsPrototype) {
    auto prototype = level.Make("Walker", 1);
    const auto& original =
        *static_cast<MoverComponent*>(prototype->GetComponent("MoverComponent"));
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*prototype);
    const auto& copy = *static_cast<MoverComponent*>(clone->GetComponent("MoverComponent"));
    EXPECT_EQ(copy.GetMaxVelocity(), 2.0f);
    EXPECT_EQ(copy.GetSpeed(), 2.0f);
    EXPECT_EQ(copy.GetImpactVelocity(), -6.0f);
    EXPECT_TRUE(copy.DiesOnImpact());

    clone->SendMessage(MESSAGE_TURN_AROUND);
    clone->SendMessage(MESSAGE_FALL_TO_DEATH);
    EXPECT_EQ(copy.GetMaxVelocity(), -2.0f);
    EXPECT_EQ(original.GetMaxVelocity(), 2.0f);
    EXPECT_TRUE(original.DiesOnImpact());
    EXPECT_TRUE(original.IsEnabled());
}

// The game's ground units on the first level: on the flat right of the good
// factory each drives to the right at its own speed; dropped from 300
// pixels (landing at 14 units a second) each dies of the fall, from 10
// pixels none does.
TEST(MoverContentTest, GroundUnitsDriveAndDieOfHardFalls) {
    struct Case {
        const char* unit;
        float speed;
    };
    const Case cases[] = {
        {"Infantry", 1.0f},  {"Engineer", 1.0f}, {"Tank", 0.8f},
        {"FlakTruck", 1.2f}, {"Buster", 1.5f},
    };
    LevelTestWorld level;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        auto driver = level.Place(c.unit, 1, 440.0f, 112.0f + 25.0f);
        auto low = level.Place(c.unit, 1, 1200.0f, level.GroundAt(1200.0f) + 25.0f + 10.0f);
        auto high = level.Place(c.unit, 1, 1500.0f, level.GroundAt(1500.0f) + 25.0f + 300.0f);
        level.RunSeconds(2.0f);
        EXPECT_NEAR(VelocityOf(*driver).x, c.speed, 0.1f);
        EXPECT_FALSE(driver->IsDead());
        EXPECT_FALSE(low->IsDead());
        EXPECT_TRUE(high->IsDead());
        for (const auto& unit : {driver, low, high}) {
            unit->SendMessage(MESSAGE_REMOVE);
        }
        level.RunSeconds(STEP);
    }
}

// Vehicles halt at an enemy building: a tank driving at the bad side's
// factory stops against its wall and stays there (its speed climbs back,
// but the wall holds it). Halted, it still stands on the ground, so shot
// dead there it shows its death on the ground, the look that the bunker
// lesson waits for.
TEST(MoverContentTest, ATankStopsAtAnEnemyFactory) {
    LevelTestWorld level;
    auto factory = level.Place("Static_Factory", -1, 2128.0f, 188.0f);
    auto tank = level.Place("Tank", 1, 1995.0f, 128.0f + 16.0f);
    level.RunSeconds(3.0f);
    const auto& mover = *static_cast<MoverComponent*>(tank->GetComponent("MoverComponent"));
    EXPECT_TRUE(mover.IsStopped());
    const float x = tank->GetPosition().x;
    EXPECT_LT(x * SCALE, 2128.0f - 90.0f - 30.0f + 2.0f);
    level.RunSeconds(2.0f);
    EXPECT_NEAR(tank->GetPosition().x, x, 0.05f);
    EXPECT_FALSE(tank->IsDead());
    EXPECT_EQ(tank->GetLink(0), 1);
    tank->HandleEvent(EVENT_HIT, tank->GetHitPoints(), nullptr);
    ASSERT_TRUE(tank->IsDead());
    const auto& sprite = *static_cast<SpriteComponent*>(tank->GetComponent("SpriteComponent"));
    EXPECT_EQ(sprite.GetStateName(), PropertyKey("dyingonground"));
}
