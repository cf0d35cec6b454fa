#include "game/units/components/bunker_component.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "game/units/component_body.h"
#include "game/units/components/turret_component.h"
#include "game/units/unit_message.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

// A bunker for four infantry whose flag rises from 20 to 60 pixels above
// it, a Buster that kills a garrison by dying at its wall, and a gun
// emplacement for one infantryman of 5 hit points, pinned 30 pixels up.
const char* const OBJECTS = R"(
struct Pillbox
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 64, 48
		}
	}
	list struct Components
	{
		{
			string componentName: "Bunker"
			int soldierCapacity: 4
			list string unitTypesAllowed
			{
				"Infantry"
			}
			list string unitTypesFatal
			{
				"Buster"
			}
			string flagName: "Pennant"
			point flagMinOffset: 0, 20
			point flagMaxOffset: 0, 60
			struct SensorGeometry
			{
				string type: "BOX"
				point extent: 80, 40
				string materialGroupName: "mg_unit_sensor"
			}
		}
	}
}
struct Emplacement
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 64, 40
		}
	}
	list struct Components
	{
		{
			string componentName: "Turret"
			int soldierCapacity: 1
			point gunnerOffset: 10, 30
			int hitPoints: 5
			list string unitTypesAllowed
			{
				"Infantry"
			}
			struct SensorGeometry
			{
				string type: "BOX"
				point extent: 80, 40
				string materialGroupName: "mg_unit_sensor"
			}
		}
		{
			string componentName: "Probe"
		}
	}
}
struct Pennant
{
	string materialGroupName: "mg_no_collide"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 4, 4
		}
	}
	list struct Components
	{
		{
			string componentName: "Probe"
		}
	}
}
struct Infantry
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 12, 24
		}
	}
	int hitPoints: 3
	bool appliesGravity: true
	bool noRotate: true
	string teamName: "team_good"
	list struct Components
	{
	}
}
struct Buster
{
	float mass: 2
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 30
		}
	}
	int hitPoints: 1
	bool appliesGravity: true
	string teamName: "team_good"
	list struct Components
	{
	}
}
)";

const float X = 1000.0f;
const float BUNKER_Y = UnitTestWorld::GROUND_HEIGHT + 24.0f;
const float SOLDIER_Y = UnitTestWorld::GROUND_HEIGHT + 12.0f;

template <typename T>
T& ComponentOf(ComponentBody& unit, const char* type) {
    return *static_cast<T*>(unit.GetComponent(type));
}

BunkerComponent& BunkerOf(ComponentBody& unit) {
    return ComponentOf<BunkerComponent>(unit, "BunkerComponent");
}

// The flag's height above the bunker, in pixels.
float FlagHeight(ComponentBody& bunker) {
    const std::shared_ptr<ComponentBody>& flag = BunkerOf(bunker).GetFlag();
    return (flag->GetPosition().y - bunker.GetPosition().y) * UnitTestWorld::SCALE;
}

// Soldiers of `team` walk into the door one by one.
std::vector<std::shared_ptr<ComponentBody>> Arrive(UnitTestWorld& level, int team, int count) {
    std::vector<std::shared_ptr<ComponentBody>> soldiers;
    for (int i = 0; i < count; ++i) {
        soldiers.push_back(level.Place("Infantry", team, X, SOLDIER_Y));
        level.RunSeconds(0.05f);
    }
    return soldiers;
}

// The data of the last message `id` the probe saw; -1 when none.
intptr_t LastData(const ProbeComponent& probe, int id) {
    intptr_t data = -1;
    for (const ProbeComponent::Message& message : probe.messages) {
        data = message.id == id ? message.data : data;
    }
    return data;
}

class BunkerComponentTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeComponent(); }
};

}  // namespace

// The first soldier takes the bunker for his side, friends fill it to its
// capacity and the flag rises with them; one more friend stays outside.
TEST_F(BunkerComponentTest, InfantryCaptureABunkerAndItsFlagRisesWithTheGarrison) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> bunker = level.Place("Pillbox", 0, X, BUNKER_Y);
    level.RunSeconds(0.05f);
    EXPECT_EQ(0, bunker->GetTeam());
    EXPECT_NEAR(20.0f, FlagHeight(*bunker), 0.01f);

    struct Step {
        unsigned soldiers;
        float flagHeight;
    };
    const Step steps[] = {{1, 30.0f}, {2, 40.0f}, {3, 50.0f}, {4, 60.0f}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.soldiers);
        std::shared_ptr<ComponentBody> soldier = Arrive(level, 1, 1)[0];
        EXPECT_FALSE(soldier->IsAlive());
        EXPECT_EQ(step.soldiers, BunkerOf(*bunker).GetSoldiers());
        EXPECT_NEAR(step.flagHeight, FlagHeight(*bunker), 0.01f);
    }
    EXPECT_EQ(1, bunker->GetTeam());
    EXPECT_EQ(1, BunkerOf(*bunker).GetFlag()->GetTeam());
    std::shared_ptr<ComponentBody> extra = Arrive(level, 1, 1)[0];
    EXPECT_TRUE(extra->IsAlive());
    EXPECT_EQ(4u, BunkerOf(*bunker).GetSoldiers());
}

// Each enemy who gets in kills one defender, counted as the defenders'
// loss; the last defender's death leaves the bunker neutral and its flag down.
TEST_F(BunkerComponentTest, EnemiesKillTheGarrisonOneByOne) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> bunker = level.Place("Pillbox", 0, X, BUNKER_Y);
    Arrive(level, 1, 3);
    Arrive(level, -1, 1);
    EXPECT_EQ(2u, BunkerOf(*bunker).GetSoldiers());
    EXPECT_EQ(1, level.stats->Get(UnitStats::KIND_LOST, "Infantry", 1));
    EXPECT_NEAR(40.0f, FlagHeight(*bunker), 0.01f);
    Arrive(level, -1, 2);
    EXPECT_EQ(0u, BunkerOf(*bunker).GetSoldiers());
    EXPECT_EQ(0, bunker->GetTeam());
    EXPECT_EQ(0, BunkerOf(*bunker).GetFlag()->GetTeam());
    // The flag idles and is hidden.
    const std::vector<ProbeComponent::Message>& flagMessages =
        ComponentOf<ProbeComponent>(*BunkerOf(*bunker).GetFlag(), "ProbeComponent").messages;
    ASSERT_LE(2u, flagMessages.size());
    EXPECT_EQ(MESSAGE_IDLE, flagMessages[flagMessages.size() - 2].id);
    EXPECT_EQ(MESSAGE_SET_SPRITE_VALUE, flagMessages.back().id);
    EXPECT_EQ(0, flagMessages.back().data);
    // Now empty, the next enemy takes it.
    Arrive(level, -1, 1);
    EXPECT_EQ(-1, bunker->GetTeam());
}

TEST_F(BunkerComponentTest, AFatalUnitDyingAtTheWallKillsTheWholeGarrison) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> bunker = level.Place("Pillbox", 0, X, BUNKER_Y);
    Arrive(level, 1, 4);
    std::shared_ptr<ComponentBody> buster = level.Place("Buster", -1, X - 45.0f, 76.0f);
    level.RunSeconds(0.2f);
    EXPECT_EQ(4u, BunkerOf(*bunker).GetSoldiers());
    buster->SendMessage(MESSAGE_DIE);
    level.RunSeconds(0.05f);
    EXPECT_EQ(0u, BunkerOf(*bunker).GetSoldiers());
    EXPECT_EQ(0, bunker->GetTeam());
    // The corpse has done its work: a new garrison is safe from it.
    Arrive(level, 1, 2);
    EXPECT_EQ(2u, BunkerOf(*bunker).GetSoldiers());
}

// A flag's height is the share of a full garrison, so a bunker with a flag
// that can hold no one is refused when it loads.
TEST_F(BunkerComponentTest, AFlaggedBunkerWithoutRoomIsRefused) {
    std::string objects = OBJECTS;
    objects.replace(objects.find("int soldierCapacity: 4"), 22, "int soldierCapacity: 0");
    UnitTestWorld level(objects);
    EXPECT_THROW(level.Make("Pillbox", 0), orvel::ExceptionGeneral);
}

TEST_F(BunkerComponentTest, AClonedBunkerIsItsOwn) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> prototype = level.Make("Pillbox", 0);
    auto clone = std::static_pointer_cast<ComponentBody>(prototype->Clone());
    clone->CopyFrom(*prototype);
    BunkerComponent& copy = BunkerOf(*clone);
    ASSERT_TRUE(copy.GetFlag());
    EXPECT_NE(copy.GetFlag(), BunkerOf(*prototype).GetFlag());
    EXPECT_NE(copy.GetSensor(), BunkerOf(*prototype).GetSensor());
    EXPECT_EQ(4u, copy.GetSoldierCapacity());
    EXPECT_TRUE(copy.EnterUnit(1, "Infantry"));
    EXPECT_TRUE(copy.EnterUnit(1, "Infantry"));
    EXPECT_EQ(2u, copy.GetSoldiers());
    EXPECT_NEAR(40.0f / UnitTestWorld::SCALE, copy.GetFlagOffset().y, 1e-5f);
    EXPECT_EQ(0u, BunkerOf(*prototype).GetSoldiers());
    EXPECT_EQ(0, prototype->GetTeam());
}

TEST_F(BunkerComponentTest, AClonedTurretIsItsOwn) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> prototype = level.Make("Emplacement", 0);
    auto clone = std::static_pointer_cast<ComponentBody>(prototype->Clone());
    clone->CopyFrom(*prototype);
    auto& copy = ComponentOf<TurretComponent>(*clone, "TurretComponent");
    auto& original = ComponentOf<TurretComponent>(*prototype, "TurretComponent");
    EXPECT_FLOAT_EQ(10.0f / UnitTestWorld::SCALE, copy.GetGunnerOffset().x);
    EXPECT_EQ(5, copy.GetGunnerHitPoints());
    EXPECT_TRUE(copy.EnterUnit(1, "Infantry"));
    EXPECT_EQ(1u, copy.GetSoldiers());
    EXPECT_EQ(0u, original.GetSoldiers());
    EXPECT_EQ(0, prototype->GetTeam());
}

// An infantryman mans the turret: he stays in the world, pinned at the gun,
// arms it and gives it his side; damage to the turret kills him and leaves
// it unmanned, disarmed and neutral, ready for the next.
TEST_F(BunkerComponentTest, AGunnerMansATurretUntilHeFalls) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> turret = level.Place("Emplacement", 0, X, 80.0f);
    std::shared_ptr<ComponentBody> gunner = Arrive(level, -1, 1)[0];
    TurretComponent& gun = ComponentOf<TurretComponent>(*turret, "TurretComponent");
    EXPECT_EQ(gunner.get(), gun.GetGunner());
    EXPECT_TRUE(gunner->IsAlive());
    EXPECT_TRUE(gunner->IsStowed());
    EXPECT_TRUE(turret->SendMessage(MESSAGE_IS_CREW, 0, gunner.get()));
    EXPECT_FALSE(turret->SendMessage(MESSAGE_IS_CREW, 0, turret.get()));
    EXPECT_EQ(-1, turret->GetTeam());
    EXPECT_EQ(1,
              LastData(ComponentOf<ProbeComponent>(*turret, "ProbeComponent"), MESSAGE_SET_ARMED));
    level.RunSeconds(0.5f);
    // The turret faces its gunner's side, so the seat is on the left.
    EXPECT_NEAR((X - 10.0f) / UnitTestWorld::SCALE, gunner->GetPosition().x, 0.02f);
    EXPECT_NEAR(110.0f / UnitTestWorld::SCALE, gunner->GetPosition().y, 0.02f);

    turret->HandleEvent(2, 3, nullptr);
    EXPECT_EQ(gunner.get(), gun.GetGunner());
    turret->HandleEvent(2, 3, nullptr);
    EXPECT_EQ(nullptr, gun.GetGunner());
    EXPECT_FALSE(gunner->IsAlive());
    EXPECT_FALSE(turret->SendMessage(MESSAGE_IS_CREW, 0, gunner.get()));
    EXPECT_EQ(0, turret->GetTeam());
    EXPECT_EQ(1, level.stats->Get(UnitStats::KIND_LOST, "Infantry", -1));
    EXPECT_EQ(0,
              LastData(ComponentOf<ProbeComponent>(*turret, "ProbeComponent"), MESSAGE_SET_ARMED));

    std::shared_ptr<ComponentBody> next = Arrive(level, 1, 1)[0];
    EXPECT_EQ(next.get(), gun.GetGunner());
    EXPECT_EQ(1, turret->GetTeam());
    EXPECT_EQ(1u, gun.GetSoldiers());
}
