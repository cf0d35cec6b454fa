#include <string>
#include <vector>

#include "game/units/components/bunker_component.h"
#include "game/units/components/turret_component.h"
#include "game/units/unit_stats.h"
#include "tests/game/play/play_fixture.h"
#include "tests/support/screenshot_png.h"

namespace {

// The level's ground height in pixels at x pixels, between its nodes.
float GroundAt(const LevelFile& level, float x) {
    const float node = x / float(level.nodeSpacing);
    const size_t i = size_t(node);
    const float t = node - float(i);
    return float(level.nodeHeights[i]) * (1.0f - t) + float(level.nodeHeights[i + 1]) * t;
}

// Twenty units a side, each side's line facing the other across the middle
// of the level: mostly infantry, with engineers, armour, flak, aircraft and
// the airship's bombs.
const char* const ARMY[] = {
    "Infantry",  "Infantry",  "Infantry", "Infantry", "Infantry",    "Infantry", "Infantry",
    "Infantry",  "Engineer",  "Engineer", "Engineer", "Tank",        "Tank",     "Tank",
    "FlakTruck", "FlakTruck", "AutoGyro", "AutoGyro", "BalloonBomb", "Buster",
};
const float FLYING[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 160, 200, 120, 0};

class BattleTest : public PlayFixture {
protected:
    ComponentBodyPtr Spawn(const char* type, int team, float x, float height) {
        const ComponentBodyPtr unit = std::make_shared<ComponentBody>();
        unit->SpawnUnit(&World(), game->GetSpriteManager().get(), game->GetSoundManager().get(),
                        game->GetObjectProperties(), PropertyKey(type), team);
        const float y = GroundAt(game->GetLevel(), x) + height;
        unit->SetPosition(orvel::Vector4(x / WORLD_SCALE, y / WORLD_SCALE, 0.0f));
        World().AddBody(unit);
        return unit;
    }

    int Count(PropertyKey type) const {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        World().CopyBodyList(bodies);
        int n = 0;
        for (const auto& body : bodies) {
            n += body->GetObjectName() == type ? 1 : 0;
        }
        return n;
    }
};

}  // namespace

// A minute of battle on the first level (or until a factory falls): both
// armies march, shoot and die, infantry take the bunker and man the turret
// between them, and nothing fails on the way (the test runs under the
// sanitizers).
TEST_F(BattleTest, TwentyUnitsASideFightForAMinute) {
    StartLevel();
    const float middle = 1280.0f;
    // The bunker lies a few steps ahead of the good line, the turret behind it.
    const ComponentBodyPtr bunker = Spawn("Static_Bunker", 0, middle - 150.0f, 25.0f);
    const ComponentBodyPtr turret = Spawn("Static_ArtilleryTurret", 0, middle - 260.0f, 21.0f);
    for (int i = 0; i < 20; ++i) {
        const float out = 200.0f + 16.0f * i;
        Spawn(ARMY[i], 1, middle - out, FLYING[i] + 20.0f);
        Spawn(ARMY[i], -1, middle + out, FLYING[i] + 20.0f);
    }
    auto* held = static_cast<BunkerComponent*>(bunker->GetComponent("BunkerComponent"));
    auto* gun = static_cast<TurretComponent*>(turret->GetComponent("TurretComponent"));
    unsigned mostSoldiers = 0;
    bool manned = false;
    int mostShots = 0;
    for (int second = 0; second < 60; ++second) {
        Run(60);
        // An army that breaks through may bring a factory down, which ends
        // the level; but not before half a minute of fighting.
        if (!Fired().empty()) {
            EXPECT_GE(second, 30) << Fired() << " at " << second << " s";
            break;
        }
        mostSoldiers = std::max(mostSoldiers, held->GetSoldiers());
        manned = manned || gun->GetGunner() != nullptr;
        mostShots = std::max(mostShots, Count("Bullet") + Count("Shell") + Count("Flak"));
        // The view follows the player's airship: over the field, it shows the fight.
        if (second == 10) {
            game->GetGoodAirship()->SetPosition(
                orvel::Vector4((middle - 100.0f) / WORLD_SCALE, 420.0f / WORLD_SCALE, 0.0f));
        }
        if (second == 12) {
            glViewport(0, 0, 800, 600);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrtho(0, 800, 0, 600, -100, 100);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glClear(GL_COLOR_BUFFER_BIT);
            game->Draw();
            EXPECT_TRUE(WriteScreenPng(std::string(GEARHAVEN_SCREENSHOT_DIR) + "/battle.png"));
        }
    }
    const std::shared_ptr<UnitStats> stats =
        orvel::GlobalProperties().GetUnitStats(PropertyKey("qUnitStats"));
    EXPECT_GT(stats->GetSideTotal(UnitStats::KIND_LOST, 1), 0);
    EXPECT_GT(stats->GetSideTotal(UnitStats::KIND_LOST, -1), 0);
    EXPECT_GT(mostShots, 5);
    EXPECT_GT(mostSoldiers, 0u);
    EXPECT_TRUE(manned);
}
