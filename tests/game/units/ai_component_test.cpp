// The computer's pilot component: what a level lets it do, its clones, and
// the limit on its horizontal force.
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "game/units/component_body.h"
#include "game/units/components/ai_component.h"
#include "game/units/components/magnet_component.h"
#include "game/units/unit_message.h"
#include "level_test_world.h"

namespace {

const PropertyKey KEY_CAPABILITIES("AI_COMPONENT_Capabilities");

class AIComponentTest : public ::testing::Test {
protected:
    void TearDown() override { orvel::GlobalProperties().Erase(KEY_CAPABILITIES); }

    AIComponent* Pilot(const std::shared_ptr<ComponentBody>& ship) {
        return static_cast<AIComponent*>(ship->GetComponent("AIComponent"));
    }

    std::shared_ptr<ComponentBody> Ship(float x) {
        return level.Place("BadAirShip", -1, x, 300.0f);
    }

    LevelTestWorld level;
};

TEST_F(AIComponentTest, WithoutALevelsCapabilitiesEverythingIsAllowed) {
    const AICapabilities& can = Pilot(Ship(1000.0f))->GetCapabilities();
    for (bool flag : {can.putInfantryInBunker, can.dropInfantryOnArtillery, can.putEngineerInTurret,
                      can.putEngineerInFactory, can.killEnemyTanks, can.killEnemyInfantry,
                      can.carryFlakTruckOffensively, can.carryFlakTruckDefensively}) {
        EXPECT_TRUE(flag);
    }
}

TEST_F(AIComponentTest, ReadsTheLevelsCapabilitiesWhenLoaded) {
    const char* const names[] = {
        "putInfantryInBunker",       "dropInfantryOnArtillery",  "putEngineerInTurret",
        "putEngineerInFactory",      "killEnemyTanks",           "killEnemyInfantry",
        "carryFlakTruckOffensively", "carryFlakTruckDefensively"};
    auto set = std::make_shared<orvel::Properties>();
    for (const char* name : names) {
        set->SetBool(PropertyKey(name), true);
    }
    set->SetBool(PropertyKey("killEnemyTanks"), false);
    set->SetBool(PropertyKey("carryFlakTruckDefensively"), false);
    orvel::GlobalProperties()[KEY_CAPABILITIES] = set;
    const AICapabilities& can = Pilot(Ship(1000.0f))->GetCapabilities();
    EXPECT_FALSE(can.killEnemyTanks);
    EXPECT_FALSE(can.carryFlakTruckDefensively);
    EXPECT_TRUE(can.killEnemyInfantry);
    EXPECT_TRUE(can.carryFlakTruckOffensively);

    set->Erase(PropertyKey("putEngineerInTurret"));
    EXPECT_THROW(Ship(1000.0f), orvel::Exception);
}

TEST_F(AIComponentTest, AClonePilotsLikeItsPrototype) {
    const auto prototype = Ship(1000.0f);
    const auto clone = std::static_pointer_cast<ComponentBody>(prototype->Clone());
    clone->CopyFrom(*prototype);
    const AIComponent* original = Pilot(prototype);
    const AIComponent* copy = Pilot(clone);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_EQ(copy->GetSteering().horizontalThrust, original->GetSteering().horizontalThrust);
    EXPECT_EQ(copy->GetSteering().maxHorizontalVelocity,
              original->GetSteering().maxHorizontalVelocity);
    EXPECT_EQ(copy->GetSteering().maxVerticalVelocity, original->GetSteering().maxVerticalVelocity);
    EXPECT_EQ(copy->GetSteering().verticalThrust, original->GetSteering().verticalThrust);
    const PropertyKey approach("approachVelocity");
    EXPECT_EQ(copy->GetSteering().distanceContext.GetFuzzySet(approach),
              original->GetSteering().distanceContext.GetFuzzySet(approach));
    EXPECT_EQ(copy->GetSteering().speedContext.GetFuzzySet(PropertyKey("absSlow")),
              original->GetSteering().speedContext.GetFuzzySet(PropertyKey("absSlow")));
}

// Far from home and damaged, the wanted force along is far beyond the
// thrust: the step's force is limited while the airship flies, not while it
// falls to its death.
TEST_F(AIComponentTest, TheForceAlongIsLimitedUnlessFalling) {
    level.Place("Static_Factory", 1, 512.0f, level.GroundAt(512.0f) + 60.0f);
    level.Place("Static_Factory", -1, 2128.0f, level.GroundAt(2128.0f) + 60.0f);
    const auto ship = Ship(300.0f);
    ship->SetHitPoints(1);
    AIComponent* ai = Pilot(ship);
    const float limit = ai->GetSteering().horizontalThrust;
    // The first update chooses home; the airship steers for it from the next.
    level.Step();
    level.Step();
    EXPECT_GT(ai->GetForce().x, 10.0f * limit);
    ai->ApplyForces();
    EXPECT_FLOAT_EQ(ai->GetForce().x, limit);

    EXPECT_TRUE(ai->HandleMessage(MESSAGE_FALL_TO_DEATH, 0, nullptr));
    EXPECT_TRUE(ai->IsSuspended());
    level.Step();
    const float wanted = ai->GetForce().x;
    EXPECT_GT(wanted, 10.0f * limit);
    ai->ApplyForces();
    EXPECT_EQ(ai->GetForce().x, wanted);

    EXPECT_TRUE(ai->HandleMessage(MESSAGE_DIE, 0, nullptr));
    ai->ApplyForces();
    EXPECT_FLOAT_EQ(ai->GetForce().x, limit);
    EXPECT_FALSE(ai->HandleMessage(MESSAGE_FIRE, 0, nullptr));
}

// A dead airship lets go of the unit it was after.
TEST_F(AIComponentTest, ADeadAirshipLetsGoOfItsTarget) {
    level.Place("Static_Factory", 1, 512.0f, level.GroundAt(512.0f) + 60.0f);
    level.Place("Static_Factory", -1, 2128.0f, level.GroundAt(2128.0f) + 60.0f);
    const auto engineer = level.Place("Engineer", -1, 1900.0f, level.GroundAt(1900.0f) + 15.0f);
    AIComponent* ai = Pilot(Ship(1700.0f));
    level.Step();
    ASSERT_EQ(ai->GetTarget().body, engineer);
    EXPECT_TRUE(ai->HandleMessage(MESSAGE_DIE, 0, nullptr));
    EXPECT_EQ(ai->GetTarget().body, nullptr);
}

// A unit that no task wants, picked up on the way, is let go at once.
TEST_F(AIComponentTest, WhatNoTaskWantsIsDropped) {
    level.Place("Static_Factory", 1, 512.0f, level.GroundAt(512.0f) + 60.0f);
    level.Place("Static_Factory", -1, 2128.0f, level.GroundAt(2128.0f) + 60.0f);
    const auto ship = Ship(1000.0f);
    auto* magnet = static_cast<MagnetComponent*>(ship->GetComponent("MagnetComponent"));
    magnet->Activate();
    level.Place("Infantry", -1, 1000.0f, ship->GetPosition().y * LevelTestWorld::SCALE - 55.0f);
    // The magnet takes what its pad touches in its own update, which runs
    // before the pilot's.
    bool held = false;
    for (int frame = 0; frame < 120 && !held; ++frame) {
        level.world->PreStepBodies();
        level.world->Update(orvel::Mechanica::kStep + 1e-7f);
        magnet->Update();
        held = !magnet->GetHeldBodies().empty();
        if (!held) {
            level.world->UpdateBodies();
        }
    }
    ASSERT_TRUE(held) << "the pad took the soldier";
    Pilot(ship)->Update();
    EXPECT_TRUE(magnet->GetHeldBodies().empty()) << "and the pilot let him go";
    EXPECT_FALSE(magnet->IsActive());
}

// Two computer airships meeting head-on pass each other; a computer
// airship still meets the player's.
TEST_F(AIComponentTest, ComputerAirshipsPassEachOther) {
    level.Place("Static_Factory", 1, 512.0f, level.GroundAt(512.0f) + 60.0f);
    level.Place("Static_Factory", -1, 2128.0f, level.GroundAt(2128.0f) + 60.0f);
    const auto bad = Ship(1400.0f);
    const auto good = level.Place("GoodAirShip_AI", 1, 1300.0f, 300.0f);
    const auto player = level.Place("GoodAirShip", 1, 1500.0f, 300.0f);
    EXPECT_FALSE(bad->AcceptContact(nullptr, good.get()));
    EXPECT_FALSE(good->AcceptContact(nullptr, bad.get()));
    EXPECT_TRUE(bad->AcceptContact(nullptr, player.get()));
}

// Without both factories there is nothing to plan: the airship keeps the
// force and target it had.
TEST_F(AIComponentTest, WithoutTheEnemyFactoryTheLastPlanStands) {
    level.Place("Static_Factory", -1, 2128.0f, level.GroundAt(2128.0f) + 60.0f);
    const auto ship = Ship(1000.0f);
    AIComponent* ai = Pilot(ship);
    level.RunSeconds(0.5f);
    EXPECT_EQ(ai->GetForce().x, 0.0f);
    EXPECT_EQ(ai->GetForce().y, 0.0f);
    EXPECT_EQ(ai->GetUpdateCounter(), 30u);
    EXPECT_FALSE(ai->IsMagnetOn());
}

}  // namespace
