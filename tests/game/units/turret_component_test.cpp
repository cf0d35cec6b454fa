// The game's anti-aircraft turret, manned and firing, on the first level.
#include "game/units/components/turret_component.h"

#include <memory>

#include <gtest/gtest.h>

#include "game/units/component_body.h"
#include "level_test_world.h"

namespace {

// A flat stretch of ground right of the good factory, 112 pixels high.
const float FLAT_X = 640.0f;
const float FLAT_Y = 112.0f;

}  // namespace

// An enemy soldier walks into the turret and its flak goes up at the
// player's airship, which sinks slowly over it until its magnet hangs just
// above the gun. The bursts wear the airship down, but none of them, however
// close to the gun, hurts the turret or its own gunner.
TEST(TurretContentTest, AnAntiAircraftTurretsFlakSparesItsOwnGunner) {
    LevelTestWorld level;
    auto turret = level.Place("Static_AntiAirTurret", 0, FLAT_X, FLAT_Y + 20.0f);
    auto soldier = level.Place("Infantry", -1, FLAT_X + 40.0f, FLAT_Y + 15.0f);
    level.RunSeconds(2.0f);
    const auto& gun = *static_cast<TurretComponent*>(turret->GetComponent("TurretComponent"));
    ASSERT_EQ(soldier.get(), gun.GetGunner());
    ASSERT_EQ(-1, turret->GetTeam());
    const int gunnerHitPoints = gun.GetGunnerHitPoints();
    const int soldierHitPoints = soldier->GetHitPoints();

    auto airship = level.Place("GoodAirShip", 1, FLAT_X, FLAT_Y + 200.0f);
    const int airshipHitPoints = airship->GetHitPoints();
    level.RunSeconds(10.0f);
    EXPECT_LT(airship->GetHitPoints(), airshipHitPoints);
    EXPECT_EQ(soldier.get(), gun.GetGunner());
    EXPECT_FALSE(soldier->IsDead());
    EXPECT_EQ(soldierHitPoints, soldier->GetHitPoints());
    EXPECT_EQ(gunnerHitPoints, gun.GetGunnerHitPoints());
}
