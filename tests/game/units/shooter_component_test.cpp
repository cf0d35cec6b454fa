#include "game/units/components/shooter_component.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "probe_component.h"
#include "unit_test_world.h"
#include "weapon_test_objects.h"

namespace {

const float STANDING = UnitTestWorld::GROUND_HEIGHT + 12.0f;

ShooterComponent& ShooterOf(ComponentBody& unit) {
    return *static_cast<ShooterComponent*>(unit.GetComponent("ShooterComponent"));
}

ProbeComponent& ProbeOf(ComponentBody& unit) {
    return *static_cast<ProbeComponent*>(unit.GetComponent("ProbeComponent"));
}

int Count(const std::vector<int>& ids, int id) {
    int n = 0;
    for (int each : ids) {
        n += each == id ? 1 : 0;
    }
    return n;
}

// The units of `type` in the world.
std::vector<std::shared_ptr<ComponentBody>> UnitsOf(UnitTestWorld& level, PropertyKey type) {
    std::vector<std::shared_ptr<orvel::Body>> bodies;
    level.World().CopyBodyList(bodies);
    std::vector<std::shared_ptr<ComponentBody>> units;
    for (const auto& body : bodies) {
        if (body->GetObjectName() == type) {
            units.push_back(std::static_pointer_cast<ComponentBody>(body));
        }
    }
    return units;
}

class ShooterComponentTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeComponent(); }
};

}  // namespace

// A gunner that sees an enemy stops, aims at it and fires on its interval:
// the shot starts at the barrel on the gunner's side and takes the aim, and
// the gun kicks the gunner back.
TEST_F(ShooterComponentTest, AnEnemyInSightIsShotAt) {
    UnitTestWorld level(WEAPON_OBJECTS);
    std::shared_ptr<ComponentBody> gunner = level.Place("Gunner", 1, 1000.0f, STANDING);
    std::shared_ptr<ComponentBody> enemy = level.Place("Target", -1, 1150.0f, STANDING);
    level.RunSeconds(0.5f);
    const std::vector<int> early = ProbeOf(*gunner).Ids();
    EXPECT_GT(Count(early, MESSAGE_STOP), 0);
    EXPECT_EQ(0, Count(early, MESSAGE_FIRE));

    const float before = gunner->GetPosition().x;
    level.RunSeconds(0.55f);
    EXPECT_EQ(1, Count(ProbeOf(*gunner).Ids(), MESSAGE_FIRE));
    const std::vector<std::shared_ptr<ComponentBody>> shots = UnitsOf(level, "Slug");
    ASSERT_EQ(1u, shots.size());
    EXPECT_EQ(1, shots[0]->GetTeam());
    const orvel::Vector4 aim = ShooterOf(*gunner).GetAimDirection();
    EXPECT_NEAR(1.0f, std::hypot(aim.x, aim.y), 1e-4f);
    EXPECT_GT(aim.x, 0.99f);
    EXPECT_LT(aim.y, 0.0f);  // the barrel is 5 pixels above the target's centre
    EXPECT_LT(gunner->GetPosition().x, before - 0.005f);
    const orvel::Vector4 shot = shots[0]->GetPosition();
    EXPECT_NEAR(shot.x, before + 10.0f / UnitTestWorld::SCALE, 0.05f);
    EXPECT_NEAR(shot.y, (STANDING + 5.0f) / UnitTestWorld::SCALE, 0.05f);
}

// Losing the last target sends one Move; never having had one, none.
TEST_F(ShooterComponentTest, ATargetLeavingSightLetsTheUnitMoveOn) {
    UnitTestWorld level(WEAPON_OBJECTS);
    std::shared_ptr<ComponentBody> gunner = level.Place("Gunner", 1, 1000.0f, STANDING);
    level.RunSeconds(0.2f);
    EXPECT_EQ(0, Count(ProbeOf(*gunner).Ids(), MESSAGE_MOVE));
    std::shared_ptr<ComponentBody> enemy = level.Place("Target", -1, 1100.0f, STANDING);
    level.RunSeconds(0.2f);
    EXPECT_TRUE(ShooterOf(*gunner).IsEngaged());
    enemy->SetPosition(
        orvel::Vector4(3000.0f / UnitTestWorld::SCALE, STANDING / UnitTestWorld::SCALE, 0.0f));
    level.RunSeconds(0.5f);
    EXPECT_EQ(1, Count(ProbeOf(*gunner).Ids(), MESSAGE_MOVE));
    EXPECT_FALSE(ShooterOf(*gunner).IsEngaged());
}

// Friends, a disarmed gun and a gunner of no side fire at nothing.
TEST_F(ShooterComponentTest, NoShotWithoutAnEnemyOrWhenDisarmed) {
    struct Case {
        const char* name;
        int gunnerTeam;
        int otherTeam;
        bool disarm;
    };
    const Case cases[] = {
        {"a friend", 1, 1, false},
        {"disarmed", 1, -1, true},
        {"a gunner of no side", 0, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnitTestWorld level(WEAPON_OBJECTS);
        std::shared_ptr<ComponentBody> gunner =
            level.Place("Gunner", c.gunnerTeam, 1000.0f, STANDING);
        gunner->SetTeam(c.gunnerTeam);
        level.Place("Target", c.otherTeam, 1100.0f, STANDING);
        if (c.disarm) {
            gunner->SendMessage(MESSAGE_SET_ARMED, 0);
        }
        level.RunSeconds(1.5f);
        EXPECT_EQ(0, Count(ProbeOf(*gunner).Ids(), MESSAGE_FIRE));
        EXPECT_TRUE(UnitsOf(level, "Slug").empty());
    }
}

// A gun without sight fires straight up on its interval, announcing each
// shot with Emit.
TEST_F(ShooterComponentTest, AGunWithoutSightFiresUpOnItsInterval) {
    UnitTestWorld level(WEAPON_OBJECTS);
    std::shared_ptr<ComponentBody> mortar = level.Place("Mortar", 1, 1000.0f, 75.0f);
    level.RunSeconds(1.05f);
    EXPECT_EQ(2, Count(ProbeOf(*mortar).Ids(), MESSAGE_EMIT));
    const orvel::Vector4 aim = ShooterOf(*mortar).GetAimDirection();
    EXPECT_EQ(0.0f, aim.x);
    EXPECT_EQ(1.0f, aim.y);
    EXPECT_EQ(2u, UnitsOf(level, "Dud").size());
}

TEST_F(ShooterComponentTest, AMirroredGunnerHasItsBarrelOnTheOtherSide) {
    UnitTestWorld level(WEAPON_OBJECTS);
    std::shared_ptr<ComponentBody> bad = level.Make("Gunner", -1);
    EXPECT_FLOAT_EQ(-10.0f / UnitTestWorld::SCALE, ShooterOf(*bad).GetShotCreationPoint().x);
    std::shared_ptr<ComponentBody> good = level.Make("Gunner", 1);
    EXPECT_FLOAT_EQ(10.0f / UnitTestWorld::SCALE, ShooterOf(*good).GetShotCreationPoint().x);
}

// A barrel randomised by 10 degrees turns each shot by at most 5 degrees
// either way from the aim at the target (1.9 degrees below level here),
// and not by the same amount every time.
TEST_F(ShooterComponentTest, ARandomisedBarrelSpreadsItsShotsAroundTheAim) {
    // The gunner's gun without its kick, which would slide him out of range.
    std::string objects = WEAPON_OBJECTS;
    const std::string kick = "\t\t\tpointf recoilVector: -2, 0\n";
    objects.replace(objects.find(kick), kick.size(),
                    "\t\t\tbool randomizeBarrel: true\n\t\t\tint randomizeBarrelBy: 10\n");
    UnitTestWorld level(objects);
    std::shared_ptr<ComponentBody> gunner = level.Place("Gunner", 1, 1000.0f, STANDING);
    level.Place("Target", -1, 1150.0f, STANDING);
    const float fiveDegrees = 0.0873f;
    const float aimAtTarget = -0.0333f;
    float lowest = 1.0f;
    float highest = -1.0f;
    // The target takes 10 shots of its 100 hit points; 8 leave it standing.
    int shots = 0;
    for (int frame = 0; frame < 10 * 60 && shots < 8; ++frame) {
        level.RunSeconds(orvel::Mechanica::kStep);
        const int fired = Count(ProbeOf(*gunner).Ids(), MESSAGE_FIRE);
        if (fired == shots) {
            continue;
        }
        shots = fired;
        const orvel::Vector4 aim = ShooterOf(*gunner).GetAimDirection();
        const float turn = std::atan2(aim.y, aim.x) - aimAtTarget;
        EXPECT_LE(std::fabs(turn), fiveDegrees + 0.01f) << "shot " << shots;
        lowest = std::min(lowest, turn);
        highest = std::max(highest, turn);
    }
    EXPECT_EQ(8, shots);
    EXPECT_GT(highest - lowest, 0.02f);
}

TEST_F(ShooterComponentTest, AClonedGunIsItsOwn) {
    UnitTestWorld level(WEAPON_OBJECTS);
    std::shared_ptr<ComponentBody> prototype = level.Make("Gunner", 1);
    auto clone = std::static_pointer_cast<ComponentBody>(prototype->Clone());
    clone->CopyFrom(*prototype);
    ShooterComponent& copy = ShooterOf(*clone);
    ASSERT_TRUE(copy.GetSensor());
    EXPECT_NE(copy.GetSensor(), ShooterOf(*prototype).GetSensor());
    EXPECT_EQ(ShooterOf(*prototype).GetShotCreationPoint().x, copy.GetShotCreationPoint().x);
    clone->SendMessage(MESSAGE_DIE);
    EXPECT_FALSE(copy.IsArmed());
    EXPECT_TRUE(ShooterOf(*prototype).IsArmed());
}
