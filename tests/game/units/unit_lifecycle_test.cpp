#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/watcher.h"
#include "game/units/component_body.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

const char* const OBJECTS = R"(
struct Tank
{
	float mass: 2
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 60
		}
	}
	int hitPoints: 10
	int damageMultiplier: 2
	bool appliesGravity: true
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Probe"
		}
	}
}
struct Buster
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 30
		}
	}
	int hitPoints: 5
	bool fallToDeath: true
	bool keepInWorld: false
	string teamName: "team_good"
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
			point extent: 12, 30
		}
	}
	int hitPoints: 3
	list struct Components
	{
	}
}
struct Crate
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	bool keepInWorld: true
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 30
		}
	}
	list struct Components
	{
		{
			string componentName: "Probe"
		}
	}
}
)";

// One step of a sequence: a message (id, data) or, when `event` is set, an
// event (id, value) raised on the unit.
struct Step {
    bool event;
    int id;
    int value;
};

Step Message(int id, int data = 0) { return {false, id, data}; }
Step Event(int id, int value = 0) { return {true, id, value}; }

struct EventCounter : orvel::Watcher {
    int events = 0;
    void OnWatchedEvent(orvel::Watched*) override { ++events; }
};

class UnitLifecycleTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeComponent(); }

    static ProbeComponent& Probe(const ComponentBody& unit) {
        return static_cast<ProbeComponent&>(*unit.GetComponents()[0]);
    }

    UnitTestWorld level{OBJECTS};
};

}  // namespace

TEST_F(UnitLifecycleTest, MessageSequencesLeadToTheirStates) {
    struct Case {
        const char* what;
        const char* type;
        std::vector<Step> steps;
        bool dead;
        int hitPoints;
        const char* group;
        std::vector<int> offered;  // what the component saw, in order
    };
    const Case cases[] = {
        {"a hit that leaves hit points", "Tank", {Event(EVENT_HIT, 4)}, false, 2, "mg_mobile_unit",
         {MESSAGE_HURT}},
        {"a hit times the multiplier kills", "Tank", {Event(EVENT_HIT, 5)}, true, 0, "mg_no_collide",
         {MESSAGE_SET_ARMED, MESSAGE_STOP, MESSAGE_DIE, MESSAGE_HURT}},
        {"damage below one kills", "Tank", {Message(MESSAGE_DAMAGE, 10)}, true, 0, "mg_no_collide",
         {MESSAGE_SET_ARMED, MESSAGE_STOP, MESSAGE_DIE, MESSAGE_DAMAGE}},
        {"damage without hit points never kills", "Crate", {Message(MESSAGE_DAMAGE, 50)}, false, -50,
         "mg_mobile_unit", {MESSAGE_DAMAGE}},
        {"a hit without hit points changes nothing", "Crate", {Event(EVENT_HIT, 50)}, false, 0,
         "mg_mobile_unit", {MESSAGE_HURT}},
        {"dying twice dies once", "Tank", {Message(MESSAGE_DIE), Message(MESSAGE_DIE)}, true, 10,
         "mg_no_collide", {MESSAGE_SET_ARMED, MESSAGE_STOP, MESSAGE_DIE}},
        {"a fall to death without fallToDeath kills at once", "Tank",
         {Message(MESSAGE_FALL_TO_DEATH)}, true, 10, "mg_no_collide",
         {MESSAGE_SET_ARMED, MESSAGE_STOP, MESSAGE_DIE}},
        {"a fall to death with fallToDeath waits for the ground", "Buster",
         {Message(MESSAGE_FALL_TO_DEATH)}, false, 5, "mg_mobile_unit", {MESSAGE_FALL_TO_DEATH}},
        {"a magneted unit does not move", "Tank", {Event(EVENT_PICKED_UP), Message(MESSAGE_MOVE)},
         false, 10, "mg_mobile_unit", {MESSAGE_STOP, MESSAGE_MAGNETED}},
        {"a dropped unit falls and moves again", "Tank",
         {Event(EVENT_PICKED_UP), Event(EVENT_DROPPED), Message(MESSAGE_MOVE)}, false, 10,
         "mg_mobile_unit", {MESSAGE_STOP, MESSAGE_MAGNETED, MESSAGE_FALL, MESSAGE_MOVE}},
        {"healing to the full says so", "Tank", {Event(EVENT_HIT, 3), Event(EVENT_HEAL, 9)}, false,
         10, "mg_mobile_unit", {MESSAGE_HURT, MESSAGE_HEALED}},
        {"turning the parts turns the components only", "Tank",
         {Message(MESSAGE_TURN_AROUND_PARTS)}, false, 10, "mg_mobile_unit", {MESSAGE_TURN_AROUND}},
        {"events become their messages", "Tank",
         {Event(EVENT_SIGNAL, 7), Event(EVENT_STOP), Event(EVENT_FALL), Event(EVENT_SET_SPRITE_VALUE, 2),
          Event(EVENT_REBUILD_SPRITE, 3)},
         false, 10, "mg_mobile_unit",
         {MESSAGE_SIGNAL, MESSAGE_STOP, MESSAGE_FALL, MESSAGE_SET_SPRITE_VALUE, MESSAGE_REBUILD_SPRITE}},
        {"a reset brings the dead back", "Tank",
         {Event(EVENT_HIT, 5), Message(MESSAGE_RESET)}, false, 10, "mg_mobile_unit",
         {MESSAGE_SET_ARMED, MESSAGE_STOP, MESSAGE_DIE, MESSAGE_HURT, MESSAGE_MOVE,
          MESSAGE_REBUILD_SPRITE, MESSAGE_SET_SPRITE_VALUE, MESSAGE_RESET}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::shared_ptr<ComponentBody> unit = level.Place(c.type, 0, 300.0f, 200.0f);
        for (const Step& step : c.steps) {
            if (step.event) {
                unit->HandleEvent(step.id, step.value, nullptr);
            } else {
                unit->SendMessage(step.id, step.value);
            }
        }
        EXPECT_EQ(unit->IsDead(), c.dead);
        EXPECT_EQ(unit->GetHitPoints(), c.hitPoints);
        EXPECT_EQ(unit->GetMaterialGroup(), PropertyKey(c.group));
        EXPECT_EQ(Probe(*unit).Ids(), c.offered);
    }
}

TEST_F(UnitLifecycleTest, AMagnetedUnitAnswersMoveItselfAndTheComponentsAnswerTheRest) {
    std::shared_ptr<ComponentBody> unit = level.Place("Tank", 0, 300.0f, 200.0f);
    EXPECT_FALSE(unit->SendMessage(MESSAGE_SIGNAL, 1));
    Probe(*unit).answers.push_back(MESSAGE_SIGNAL);
    EXPECT_TRUE(unit->SendMessage(MESSAGE_SIGNAL, 1));
    unit->HandleEvent(EVENT_PICKED_UP, 0, nullptr);
    EXPECT_TRUE(unit->IsMagneted());
    EXPECT_TRUE(unit->SendMessage(MESSAGE_MOVE));
    EXPECT_EQ(unit->HandleEvent(EVENT_QUERY_TEAM, 0, nullptr), 1);
}

TEST_F(UnitLifecycleTest, TheDeadLieForTheirCorpseTimeAndAreThenRemoved) {
    std::shared_ptr<ComponentBody> unit = level.Place("Tank", 0, 300.0f, 95.0f);
    EventCounter watcher;
    unit->AddWatcher(&watcher);
    level.RunSeconds(0.5f);
    unit->HandleEvent(EVENT_HIT, 50, nullptr);
    EXPECT_EQ(watcher.events, 1);
    EXPECT_TRUE(unit->IsDeathHandled());
    level.RunSeconds(3.9f);
    EXPECT_TRUE(level.World().Contains(unit.get()));
    level.RunSeconds(0.2f);
    EXPECT_FALSE(level.World().Contains(unit.get()));
    EXPECT_FALSE(unit->IsAlive());
}

TEST_F(UnitLifecycleTest, AFallToDeathEndsOnTheFirstTouchOfGround) {
    std::shared_ptr<ComponentBody> unit = level.Place("Buster", 0, 600.0f, 600.0f);
    unit->SendMessage(MESSAGE_FALL_TO_DEATH);
    EXPECT_TRUE(unit->IsFallingToDeath());
    EXPECT_EQ(unit->GetLink(2), 1);
    level.RunSeconds(0.3f);
    EXPECT_FALSE(unit->IsDead());
    level.RunSeconds(2.0f);
    ASSERT_TRUE(unit->IsDead());
    EXPECT_EQ(unit->GetLink(0), 1);
    EXPECT_EQ(unit->GetLink(1), reinterpret_cast<intptr_t>(level.Ground().get()));
    // The wreck lies still on the ground: static, at the ground's height.
    EXPECT_FLOAT_EQ(unit->GetMass(), 0.0f);
    EXPECT_NEAR(unit->GetPosition().y, UnitTestWorld::GROUND_HEIGHT / UnitTestWorld::SCALE, 1e-4);
    EXPECT_EQ(level.stats->Get(1, "Buster", 1), 1);
}

TEST_F(UnitLifecycleTest, LossesAreCountedOncePerUnitWhateverEndsIt) {
    std::shared_ptr<ComponentBody> shot = level.Place("Tank", 1, 300.0f, 95.0f);
    shot->HandleEvent(EVENT_HIT, 50, nullptr);
    shot->HandleEvent(EVENT_HIT, 50, nullptr);
    std::shared_ptr<ComponentBody> steamed = level.Place("Tank", -1, 900.0f, 95.0f);
    steamed->SendMessage(MESSAGE_DIE);
    std::shared_ptr<ComponentBody> damaged = level.Place("Tank", -1, 1500.0f, 95.0f);
    damaged->SendMessage(MESSAGE_DAMAGE, 20);
    std::shared_ptr<ComponentBody> lost = level.Place("Buster", 1, 2100.0f, 200.0f);
    lost->SetPosition(orvel::Vector4(100.0f, 80.0f, 0.0f));
    level.RunSeconds(5.0f);

    EXPECT_EQ(level.stats->Get(1, "Tank", 1), 1);
    EXPECT_EQ(level.stats->Get(1, "Tank", -1), 2);
    EXPECT_EQ(level.stats->Get(1, "Buster", 1), 1);
    EXPECT_EQ(level.stats->GetSideTotal(0, 1), 0);
    for (const auto& unit : {shot, steamed, damaged, lost}) {
        EXPECT_FALSE(level.World().Contains(unit.get()));
    }
}

TEST_F(UnitLifecycleTest, AUnitKeptInTheWorldIsPutBackOnTheEdge) {
    std::shared_ptr<ComponentBody> crate = level.Place("Crate", 0, 600.0f, 200.0f);
    crate->SetPosition(orvel::Vector4(230.0f, 30.0f, 0.0f));
    level.RunSeconds(0.1f);
    EXPECT_TRUE(level.World().Contains(crate.get()));
    EXPECT_LE(crate->GetPosition().x, 210.0f + 1e-3f);
    EXPECT_NEAR(crate->GetPosition().z, 0.0f, 1e-4);
}

TEST_F(UnitLifecycleTest, AResetUnitCanDieAgainAndIsNotRemovedByItsOldCorpseTimer) {
    std::shared_ptr<ComponentBody> unit = level.Place("Tank", 0, 300.0f, 95.0f);
    unit->SendMessage(MESSAGE_DIE);
    level.RunSeconds(2.0f);
    unit->SendMessage(MESSAGE_RESET);
    level.RunSeconds(3.0f);
    EXPECT_TRUE(level.World().Contains(unit.get()));
    EXPECT_FALSE(unit->IsDead());
    unit->SendMessage(MESSAGE_DIE);
    EXPECT_TRUE(unit->IsDead());
    EXPECT_EQ(level.stats->Get(1, "Tank", 1), 2);
}

TEST_F(UnitLifecycleTest, ACorpseOnWhatItLandedOnBecomesStaticUnlessItIsSlainInfantry) {
    struct Case {
        const char* what;
        const char* type;
        bool landedOnGround;
        bool groundStillInWorld;
        bool becomesStatic;
    };
    const Case cases[] = {
        {"a tank on the ground", "Tank", true, true, true},
        {"slain infantry on the ground", "Infantry", true, true, false},
        {"a tank that never landed", "Tank", false, true, false},
        {"a tank whose ground has left the world", "Tank", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UnitTestWorld world(OBJECTS);
        std::shared_ptr<ComponentBody> unit = world.Place(c.type, 0, 300.0f, 200.0f);
        const std::shared_ptr<orvel::TerrainBody> ground = world.Ground();
        if (c.landedOnGround) {
            unit->SetLink(1, reinterpret_cast<intptr_t>(ground.get()));
        }
        if (!c.groundStillInWorld) {
            ground->SetAlive(false);
            world.RunSeconds(0.02f);
        }
        const float mass = unit->GetMass();
        unit->HandleEvent(EVENT_HIT, 50, nullptr);
        ASSERT_TRUE(unit->IsDead());
        EXPECT_FLOAT_EQ(unit->GetMass(), c.becomesStatic ? 0.0f : mass);
        if (c.becomesStatic) {
            EXPECT_NEAR(unit->GetPosition().y, UnitTestWorld::GROUND_HEIGHT / UnitTestWorld::SCALE,
                        1e-4);
        }
    }
}
