#include "game/units/components/warhead_component.h"

#include <memory>

#include <gtest/gtest.h>

#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "unit_test_world.h"
#include "weapon_test_objects.h"

namespace {

// Standing height of a Target's centre on the test ground.
const float STANDING = UnitTestWorld::GROUND_HEIGHT + 12.0f;

WarheadComponent& WarheadOf(ComponentBody& unit) {
    return *static_cast<WarheadComponent*>(unit.GetComponent("WarheadComponent"));
}

}  // namespace

// A shell bursting 28 pixels above the ground hits every target whose body
// reaches into its area of 60 pixels round, and no other.
TEST(WarheadComponentTest, ABlastDamagesWhatLiesWithinItsArea) {
    struct Case {
        float distance;  // pixels from the shell, along the ground
        int hitPoints;   // the target's, after the blast
    };
    const Case cases[] = {{0.0f, 70}, {30.0f, 70}, {-55.0f, 70}, {80.0f, 100}, {-150.0f, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        UnitTestWorld level(WEAPON_OBJECTS);
        std::shared_ptr<ComponentBody> target =
            level.Place("Target", -1, 1000.0f + c.distance, STANDING);
        std::shared_ptr<ComponentBody> shell = level.Place("Shell", 1, 1000.0f, 100.0f);
        level.RunSeconds(0.3f);
        EXPECT_TRUE(WarheadOf(*shell).HasExploded());
        EXPECT_TRUE(shell->IsDead());
        EXPECT_EQ(c.hitPoints, target->GetHitPoints());
        // A second death does not burst again.
        shell->SendMessage(MESSAGE_DIE);
        level.RunSeconds(0.1f);
        EXPECT_EQ(c.hitPoints, target->GetHitPoints());
    }
}

// A burst hurts its own side too, but never the unit whose gun fired it.
TEST(WarheadComponentTest, ABlastSparesTheUnitThatFiredIt) {
    UnitTestWorld level(WEAPON_OBJECTS);
    std::shared_ptr<ComponentBody> firer = level.Place("Target", 1, 980.0f, STANDING);
    std::shared_ptr<ComponentBody> ally = level.Place("Target", 1, 1020.0f, STANDING);
    std::shared_ptr<ComponentBody> shell = level.Place("Shell", 1, 1000.0f, 100.0f);
    shell->SendMessage(MESSAGE_SET_FIRER, 0, firer.get());
    level.RunSeconds(0.3f);
    ASSERT_TRUE(WarheadOf(*shell).HasExploded());
    EXPECT_EQ(100, firer->GetHitPoints());
    EXPECT_EQ(70, ally->GetHitPoints());
}

// A charge with an impulse throws instead of hurting: away from a point
// below it, so always upwards, and sideways by the side the body lies on.
TEST(WarheadComponentTest, AnImpulseThrowsWhatLiesWithinUpAndAway) {
    for (float distance : {-30.0f, 30.0f}) {
        SCOPED_TRACE(distance);
        UnitTestWorld level(WEAPON_OBJECTS);
        std::shared_ptr<ComponentBody> target =
            level.Place("Target", -1, 1000.0f + distance, STANDING);
        const orvel::Vector4 before = target->GetPosition();
        level.Place("Blaster", 1, 1000.0f, 100.0f);
        level.RunSeconds(0.4f);
        const orvel::Vector4 after = target->GetPosition();
        EXPECT_GT(after.y - before.y, 0.1f);
        EXPECT_GT((after.x - before.x) * distance, 0.0f);
        EXPECT_EQ(100, target->GetHitPoints());
        // A unit that cannot fall to its death dies of the throw.
        EXPECT_TRUE(target->IsDead());
    }
}

// Without a blast area a charge acts on what it strikes alone: it damages
// or heals a body of another side and leaves its own side alone.
TEST(WarheadComponentTest, AStrikeHurtsOrHealsAnotherSideOnly) {
    struct Case {
        const char* shot;
        int targetTeam;
        int hitPoints;  // the target's, from 50
        bool shotDead;
        bool shotSpent;  // no longer collides
    };
    const Case cases[] = {
        {"Slug", -1, 40, true, true},
        {"Slug", 1, 50, false, false},
        {"Medic", -1, 70, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shot + std::to_string(c.targetTeam));
        UnitTestWorld level(WEAPON_OBJECTS);
        std::shared_ptr<ComponentBody> target =
            level.Place("Target", c.targetTeam, 1000.0f, STANDING);
        target->SetHitPoints(50);
        std::shared_ptr<ComponentBody> shot = level.Place(c.shot, 1, 1000.0f, STANDING);
        level.RunSeconds(0.1f);
        EXPECT_EQ(c.hitPoints, target->GetHitPoints());
        EXPECT_EQ(c.shotDead, shot->IsDead());
        EXPECT_EQ(c.shotSpent, shot->GetMaterialGroup() == PropertyKey("mg_no_collide"));
    }
}

TEST(WarheadComponentTest, AChargeWithoutHitPointsOnlyGoesOffWhenItsLifeIsOut) {
    UnitTestWorld level(WEAPON_OBJECTS);
    std::shared_ptr<ComponentBody> target = level.Place("Target", -1, 1000.0f, STANDING);
    std::shared_ptr<ComponentBody> dud = level.Place("Dud", 1, 1000.0f, STANDING);
    level.RunSeconds(0.4f);
    EXPECT_FALSE(dud->IsDead());
    level.RunSeconds(0.2f);
    EXPECT_TRUE(dud->IsDead());
    EXPECT_EQ(100, target->GetHitPoints());
}

// A mine is armed by the ground once it has been allowed to arm, and then
// counts as landed; a life of 0 never runs out.
TEST(WarheadComponentTest, AMineArmsOnTheGroundOnlyWhenAllowed) {
    for (bool allowed : {false, true}) {
        SCOPED_TRACE(allowed);
        UnitTestWorld level(WEAPON_OBJECTS);
        std::shared_ptr<ComponentBody> mine = level.Place("Mine", 1, 1000.0f, 90.0f);
        mine->SendMessage(MESSAGE_SET_ARMED, allowed ? 1 : 0);
        level.RunSeconds(2.0f);
        EXPECT_EQ(allowed, WarheadOf(*mine).IsArmed());
        EXPECT_EQ(allowed ? 1 : 0, mine->GetLink(0));
        EXPECT_FALSE(mine->IsDead());
    }
}

TEST(WarheadComponentTest, AClonedChargeIsItsOwn) {
    UnitTestWorld level(WEAPON_OBJECTS);
    std::shared_ptr<ComponentBody> prototype = level.Make("Shell", 1);
    auto clone = std::static_pointer_cast<ComponentBody>(prototype->Clone());
    clone->CopyFrom(*prototype);
    WarheadComponent& copy = WarheadOf(*clone);
    EXPECT_EQ(30, copy.GetHitPoints());
    ASSERT_TRUE(copy.GetSensor());
    EXPECT_NE(copy.GetSensor(), WarheadOf(*prototype).GetSensor());
    EXPECT_EQ(PropertyKey("mg_all_unit_sensor"), copy.GetSensor()->GetMaterialGroup());
    clone->SetPosition(
        orvel::Vector4(1000.0f / UnitTestWorld::SCALE, 100.0f / UnitTestWorld::SCALE, 0.0f));
    level.World().AddBody(clone);
    level.RunSeconds(0.3f);
    EXPECT_TRUE(copy.HasExploded());
    EXPECT_EQ(0, copy.GetHitPoints());
    EXPECT_FALSE(WarheadOf(*prototype).HasExploded());
    EXPECT_EQ(30, WarheadOf(*prototype).GetHitPoints());
    EXPECT_FLOAT_EQ(0.1f, WarheadOf(*prototype).GetLife());
}
