// What the computer's airship chooses to do, from a table of situations on
// the first level: the planner's tasks and votes with the choice rules.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/physics/mechanica.h"
#include "game/units/component_body.h"
#include "game/units/components/ai_component.h"
#include "game/units/components/ai_planner.h"
#include "level_test_world.h"

namespace {

const float SCALE = LevelTestWorld::SCALE;
const float GOOD_FACTORY_X = 512.0f;
const float BAD_FACTORY_X = 2128.0f;
// The good airship hangs here, pixels; its magnet point is 81 pixels lower.
const float SHIP_X = 800.0f;
const float SHIP_Y = 300.0f;

// One situation: the good computer's airship over the first level with
// both factories, and whatever a row adds.
struct Scene {
    Scene() {
        goodFactory = PlaceOnGround("Static_Factory", 1, GOOD_FACTORY_X, 60.0f);
        badFactory = PlaceOnGround("Static_Factory", -1, BAD_FACTORY_X, 60.0f);
        ship = level.Place("GoodAirShip_AI", 1, SHIP_X, SHIP_Y);
        ai = static_cast<AIComponent*>(ship->GetComponent("AIComponent"));
    }

    std::shared_ptr<ComponentBody> PlaceOnGround(const char* name, int team, float x,
                                                 float halfHeight = 15.0f) {
        return level.Place(name, team, x, level.GroundAt(x) + halfHeight);
    }

    // A unit in the magnet, hanging under the airship.
    std::shared_ptr<ComponentBody> Hold(const char* name, int team) {
        auto unit = level.Place(name, team, ship->GetPosition().x * SCALE,
                                (ship->GetPosition().y - 2.0f) * SCALE);
        situation.held.push_back(unit.get());
        return unit;
    }

    void MoveShip(float y) { ship->SetPosition(orvel::Vector4(SHIP_X / SCALE, y / SCALE, 0.0f)); }

    orvel::Vector4 Home() const {
        const orvel::Vector4 factory = goodFactory->GetPosition();
        return orvel::Vector4(factory.x - 30.0f / SCALE, factory.y + 120.0f / SCALE, factory.z);
    }

    bool Plan() {
        situation.owner = ship.get();
        orvel::Vector4 point = ship->GetPosition();
        point.y -= AIComponent::kMagnetDrop;
        situation.magnetPoint = point;
        situation.scale = SCALE;
        situation.distance = &ai->GetSteering().distanceContext;
        situation.speed = &ai->GetSteering().speedContext;
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        level.world->CopyBodyList(bodies);
        planner.reset(new AIPlanner(situation, cooldown));
        return planner->Plan(bodies);
    }

    LevelTestWorld level;
    std::shared_ptr<ComponentBody> goodFactory, badFactory, ship;
    AIComponent* ai = nullptr;
    AISituation situation;
    float cooldown = 0.0f;
    std::unique_ptr<AIPlanner> planner;
};

const char* const CAPABILITIES[] = {
    "putInfantryInBunker",       "dropInfantryOnArtillery",  "putEngineerInTurret",
    "putEngineerInFactory",      "killEnemyTanks",           "killEnemyInfantry",
    "carryFlakTruckOffensively", "carryFlakTruckDefensively"};

// A capability set with every flag at `value`.
orvel::PropertiesPtr Capabilities(bool value) {
    auto set = std::make_shared<orvel::Properties>();
    for (const char* name : CAPABILITIES) {
        set->SetBool(PropertyKey(name), value);
    }
    return set;
}

enum class Goal { Origin, Home, Unit, Point };
const int NO_VOTE = -1;

struct Situation {
    const char* name;
    // Sets the scene up; returns the unit expected as the target, if any.
    std::function<std::shared_ptr<ComponentBody>(Scene&)> setUp;
    Goal goal;
    int magnet;  // 1 on, 0 off, NO_VOTE
    // For Goal::Point: the expected point, world units.
    float pointX, pointY;
};

TEST(AIPlannerTest, PicksTheTaskThatScoresBest) {
    const float shipX = SHIP_X / SCALE;
    const Situation situations[] = {
        {"nothing to do: it steers for the origin", [](Scene&) { return nullptr; }, Goal::Origin,
         NO_VOTE},
        {"damaged, nothing to do: home",
         [](Scene& s) {
             s.ship->SetHitPoints(s.ship->GetMaxHitPoints() / 10);
             return nullptr;
         },
         Goal::Home, NO_VOTE},
        {"an own engineer waits by the factory: fetch him",
         [](Scene& s) { return s.PlaceOnGround("Engineer", 1, 650.0f); }, Goal::Unit, 1},
        {"the engineer waits, but a drop was just made",
         [](Scene& s) {
             s.cooldown = 1.0f;
             s.PlaceOnGround("Engineer", 1, 650.0f);
             return nullptr;
         },
         Goal::Origin, NO_VOTE},
        {"an enemy tank near outranks the engineer",
         [](Scene& s) {
             s.PlaceOnGround("Engineer", 1, 650.0f);
             return s.PlaceOnGround("Tank", -1, 900.0f, 20.0f);
         },
         Goal::Unit, 1},
        {"an enemy tank guarded by a flak truck is left alone",
         [](Scene& s) {
             s.PlaceOnGround("Tank", -1, 900.0f, 20.0f);
             s.PlaceOnGround("FlakTruck", -1, 1000.0f, 20.0f);
             return s.PlaceOnGround("Engineer", 1, 650.0f);
         },
         Goal::Unit, 1},
        {"enemy infantry walking near",
         [](Scene& s) {
             // A few frames, so that the soldier is seen walking.
             auto unit = s.PlaceOnGround("Infantry", -1, 850.0f);
             s.level.RunSeconds(0.1f);
             return unit;
         },
         Goal::Unit, 1},
        {"units left of the field are not seen",
         [](Scene& s) {
             s.PlaceOnGround("Engineer", 1, -15.0f);
             return nullptr;
         },
         Goal::Origin, NO_VOTE},
        {"carrying an own engineer: to the enemy factory, magnet kept on",
         [](Scene& s) {
             s.Hold("Engineer", 1);
             return s.badFactory;
         },
         Goal::Unit, 1},
        {"carrying an own engineer, fuel low: home first",
         [](Scene& s) {
             s.Hold("Engineer", 1);
             s.ship->SetHitPoints(s.ship->GetMaxHitPoints() / 10);
             return nullptr;
         },
         Goal::Home, 1},
        {"an enemy engineer in the magnet is let go",
         [](Scene& s) {
             s.Hold("Engineer", -1);
             return s.badFactory;
         },
         Goal::Unit, 0},
        {"carrying an enemy tank low: towards the enemy factory first",
         [](Scene& s) {
             s.MoveShip(250.0f);
             s.Hold("Tank", -1);
             return s.badFactory;
         },
         Goal::Unit, 1},
        {"carrying an enemy tank, 128 updates on: towards the own factory",
         [](Scene& s) {
             s.MoveShip(250.0f);
             s.situation.updateCounter = 128;
             s.Hold("Tank", -1);
             return s.goodFactory;
         },
         Goal::Unit, 1},
        {"carrying an enemy tank at height 7.3: dropped",
         [](Scene& s) {
             s.Hold("Tank", -1);
             return s.badFactory;
         },
         Goal::Unit, 0},
        {"an enemy engineer in the magnet is let go while it gathers infantry and anti-air "
         "guards the enemy factory",
         [](Scene& s) {
             s.PlaceOnGround("Static_AntiAirTurret", -1, 1900.0f, 30.0f);
             auto first = s.PlaceOnGround("Infantry", -1, 850.0f);
             s.PlaceOnGround("Infantry", -1, 880.0f);
             s.level.RunSeconds(0.1f);
             s.Hold("Engineer", -1);
             return first;
         },
         Goal::Unit, 0},
        {"an enemy engineer in the magnet is let go with every capability off",
         [](Scene& s) {
             s.situation.capabilities = AICapabilities::FromProperties(*Capabilities(false));
             s.Hold("Engineer", -1);
             return nullptr;
         },
         Goal::Origin, 0},
        {"an enemy tank out of reach is left alone",
         [](Scene& s) {
             s.PlaceOnGround("Tank", -1, 1800.0f, 20.0f);
             return nullptr;
         },
         Goal::Origin, NO_VOTE},
        {"idle a long while: it hunts the nearest enemy tank out of reach",
         [](Scene& s) {
             s.situation.hunting = true;
             s.PlaceOnGround("Tank", -1, 1900.0f, 20.0f);
             return s.PlaceOnGround("Tank", -1, 1500.0f, 20.0f);
         },
         Goal::Unit, 1},
        {"hunting: a tank that a flak truck guards is passed over for an unguarded one",
         [](Scene& s) {
             s.situation.hunting = true;
             s.PlaceOnGround("Tank", -1, 1400.0f, 20.0f);
             s.PlaceOnGround("FlakTruck", -1, 1450.0f, 20.0f);
             return s.PlaceOnGround("Tank", -1, 1900.0f, 20.0f);
         },
         Goal::Unit, 1},
        {"hunting, but an own engineer waits near: the engineer comes first",
         [](Scene& s) {
             s.situation.hunting = true;
             s.PlaceOnGround("Tank", -1, 1800.0f, 20.0f);
             return s.PlaceOnGround("Engineer", 1, 650.0f);
         },
         Goal::Unit, 1},
        {"carrying enemy infantry low: straight up",
         [](Scene& s) {
             s.MoveShip(250.0f);
             s.Hold("Infantry", -1);
             return nullptr;
         },
         Goal::Point, 1, shipX, 12.0f},
        {"carrying enemy infantry at height 9: dropped",
         [](Scene& s) {
             s.MoveShip(352.0f);
             s.Hold("Infantry", -1);
             return nullptr;
         },
         Goal::Point, 0, shipX, 12.0f},
        {"more than four held: let go",
         [](Scene& s) {
             for (int i = 0; i < 5; ++i) {
                 s.Hold("Infantry", 1);
             }
             return nullptr;
         },
         Goal::Origin, 0},
        {"every capability off: the enemy tank is left alone",
         [](Scene& s) {
             s.situation.capabilities = AICapabilities::FromProperties(*Capabilities(false));
             s.PlaceOnGround("Tank", -1, 900.0f, 20.0f);
             s.PlaceOnGround("Infantry", -1, 850.0f);
             s.PlaceOnGround("Engineer", 1, 650.0f);
             return nullptr;
         },
         Goal::Origin, NO_VOTE},
    };
    for (const Situation& row : situations) {
        SCOPED_TRACE(row.name);
        Scene scene;
        const std::shared_ptr<ComponentBody> unit = row.setUp(scene);
        ASSERT_TRUE(scene.Plan());
        const AITarget target = AIPlanner::ChooseTarget(scene.planner->GetTasks());
        switch (row.goal) {
            case Goal::Origin:
                EXPECT_EQ(target.body, nullptr);
                EXPECT_EQ(target.position.x, 0.0f);
                EXPECT_EQ(target.position.y, 0.0f);
                break;
            case Goal::Home:
                EXPECT_EQ(target.body, nullptr);
                EXPECT_NEAR(target.position.x, scene.Home().x, 1e-4f);
                EXPECT_NEAR(target.position.y, scene.Home().y, 1e-4f);
                break;
            case Goal::Unit:
                EXPECT_EQ(target.body, unit);
                break;
            case Goal::Point:
                EXPECT_EQ(target.body, nullptr);
                EXPECT_NEAR(target.position.x, row.pointX, 1e-4f);
                EXPECT_NEAR(target.position.y, row.pointY, 1e-4f);
                break;
        }
        const MagnetVote* vote = AIPlanner::ChooseVote(scene.planner->GetVotes());
        if (row.magnet == NO_VOTE) {
            EXPECT_EQ(vote, nullptr);
        } else {
            ASSERT_NE(vote, nullptr);
            EXPECT_EQ(vote->on, row.magnet);
        }
    }
}

}  // namespace
