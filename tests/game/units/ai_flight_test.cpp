// The computer's airships of the game's own definitions on the first level:
// they fly home along the steering law, fetch a unit and deliver it.
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "game/units/component_body.h"
#include "game/units/components/ai_component.h"
#include "game/units/components/factory_component.h"
#include "game/units/components/magnet_component.h"
#include "game/units/components/unit_physics.h"
#include "level_test_world.h"
#include "physics_sdk/phys.h"

namespace {

const float SCALE = LevelTestWorld::SCALE;
// The level's factories, in pixels.
const float GOOD_FACTORY_X = 512.0f;
const float BAD_FACTORY_X = 2128.0f;
const float FACTORY_HALF_HEIGHT = 60.0f;

// The first level with both factories, and one computer's airship.
struct AIField {
    AIField() {
        goodFactory = PlaceFactory(1, GOOD_FACTORY_X);
        badFactory = PlaceFactory(-1, BAD_FACTORY_X);
    }

    std::shared_ptr<ComponentBody> PlaceFactory(int team, float x) {
        return level.Place("Static_Factory", team, x, level.GroundAt(x) + FACTORY_HALF_HEIGHT);
    }

    std::shared_ptr<ComponentBody> Ship(int team, float x, float y) {
        ship = level.Place(team > 0 ? "GoodAirShip_AI" : "BadAirShip", team, x, y);
        ai = static_cast<AIComponent*>(ship->GetComponent("AIComponent"));
        magnet = static_cast<MagnetComponent*>(ship->GetComponent("MagnetComponent"));
        return ship;
    }

    orvel::Vector4 MagnetPoint() const {
        orvel::Vector4 point = ship->GetPosition();
        point.y -= AIComponent::kMagnetDrop;
        return point;
    }

    LevelTestWorld level;
    std::shared_ptr<ComponentBody> goodFactory;
    std::shared_ptr<ComponentBody> badFactory;
    std::shared_ptr<ComponentBody> ship;
    AIComponent* ai = nullptr;
    MagnetComponent* magnet = nullptr;
};

// A damaged airship has one wish: home, 30 pixels short of its factory's
// centre and 120 above it. From wherever it starts, its magnet point
// reaches that point, slow, in time, and the factory refuels it there.
TEST(AIFlightTest, ADamagedAirshipFliesHomeAndHolds) {
    struct Flight {
        const char* name;
        int team;
        float x, y;     // start, pixels
        float vx;       // start velocity, units a second
        float seconds;  // time allowed
    };
    const Flight flights[] = {
        {"bad ship from across the field", -1, 900.0f, 300.0f, 0.0f, 16.0f},
        {"bad ship from beyond, moving away", -1, 2450.0f, 420.0f, 4.0f, 10.0f},
        {"good ship from the enemy's side", 1, 1900.0f, 300.0f, 0.0f, 16.0f},
        {"good ship from just above home", 1, 560.0f, 500.0f, 0.0f, 6.0f},
        {"good ship low, heading the wrong way", 1, 800.0f, 260.0f, 5.0f, 10.0f},
    };
    for (const Flight& flight : flights) {
        SCOPED_TRACE(flight.name);
        AIField field;
        auto ship = field.Ship(flight.team, flight.x, flight.y);
        ship->SetHitPoints(ship->GetMaxHitPoints() / 10);
        const float velocity[3] = {flight.vx, 0.0f, 0.0f};
        PhysBodySetVelocity(ship->GetPhysBody(), velocity);
        const ComponentBody& factory = flight.team > 0 ? *field.goodFactory : *field.badFactory;
        const orvel::Vector4 home(factory.GetPosition().x - 30.0f / SCALE,
                                  factory.GetPosition().y + 120.0f / SCALE, 0.0f);
        const int fuel = ship->GetHitPoints();
        bool held = false;
        for (int frame = 0; frame < int(flight.seconds * 60.0f) && !held; ++frame) {
            field.level.RunSeconds(1.0f / 60.0f);
            const orvel::Vector4 point = field.MagnetPoint();
            held = std::fabs(point.x - home.x) < 0.5f && std::fabs(point.y - home.y) < 1.0f &&
                   std::fabs(VelocityOf(*ship).x) < 0.5f;
        }
        EXPECT_TRUE(held);
        EXPECT_EQ(field.ai->GetTarget().body, nullptr);
        // Held over its factory, it takes in fuel.
        field.level.RunSeconds(2.0f);
        EXPECT_GT(ship->GetHitPoints(), fuel);
    }
}

// An airship with everything to do and nothing damaged: its own engineer
// waits by its factory; it fetches him and sets him on the enemy's factory,
// which falls to him.
TEST(AIFlightTest, FetchesAnEngineerAndTakesTheEnemyFactory) {
    struct Delivery {
        const char* name;
        int team;
        float shipX, engineerX;
    };
    const Delivery deliveries[] = {
        {"good side", 1, 560.0f, 700.0f},
        {"bad side", -1, 1560.0f, 1950.0f},
    };
    for (const Delivery& delivery : deliveries) {
        SCOPED_TRACE(delivery.name);
        AIField field;
        field.Ship(delivery.team, delivery.shipX, 300.0f);
        field.level.Place("Engineer", delivery.team, delivery.engineerX,
                          field.level.GroundAt(delivery.engineerX) + 15.0f);
        const auto& enemy = delivery.team > 0 ? field.badFactory : field.goodFactory;
        auto* factory = static_cast<FactoryComponent*>(enemy->GetComponent("FactoryComponent"));
        bool carried = false;
        for (int frame = 0; frame < 60 * 40 && !factory->IsInfiltrated(); ++frame) {
            field.level.Step();
            carried = carried || !field.magnet->GetHeldBodies().empty();
        }
        EXPECT_TRUE(carried);
        EXPECT_TRUE(factory->IsInfiltrated());
    }
}

// An airship with an empty magnet and nothing in reach waits; after
// kHuntAfterIdle it goes for an enemy tank far across the field, one that
// stands still where it is (as tanks held below a rise do), and lifts it
// (to drop it from height at once: the field is low there).
TEST(AIFlightTest, AnIdleAirshipFetchesAFarEnemyTank) {
    const float tankX = 1900.0f;
    AIField field;
    auto ship = field.Ship(1, 560.0f, 300.0f);
    auto tank = field.level.Place("Tank", -1, tankX, field.level.GroundAt(tankX) + 20.0f);
    tank->Freeze();
    // Out of reach (330 pixels) all the while it waits.
    const float waited = AIComponent::kHuntAfterIdle - 1.0f;
    for (int frame = 0; frame < int(waited * 60.0f); ++frame) {
        field.level.Step();
    }
    EXPECT_TRUE(field.magnet->GetHeldBodies().empty());
    EXPECT_GT(field.ai->GetIdleTime(), waited - 1.0f);
    EXPECT_GT(tank->GetPosition().x - ship->GetPosition().x, 330.0f / SCALE);
    const float standing = tank->GetPosition().y;
    bool lifted = false;
    for (int frame = 0; frame < 60 * 30 && !lifted; ++frame) {
        field.level.Step();
        lifted = tank->GetPosition().y > standing + 100.0f / SCALE;
    }
    EXPECT_TRUE(lifted);
    // The magnet takes hold of it as it comes up, and the wait begins again.
    field.level.RunSeconds(1.0f);
    EXPECT_LT(field.ai->GetIdleTime(), 2.0f);
}

}  // namespace
