#include <cmath>

#include "engine/physics/collision.h"
#include "engine/physics/matrix4.h"
#include "engine/state/state_transition.h"
#include "game/play/minimap.h"
#include "game/play/play_field.h"
#include "game/units/components/ai_component.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/game/play/play_fixture.h"
#include "tests/game/play/screen_capture.h"

namespace {

class HoldingTransition : public orvel::StateTransition {
public:
    using StateTransition::StateTransition;
    void Draw() override {}
    PropertyKey GetName() const override { return PropertyKey("HoldingTransition"); }
};

// The level's ground height in pixels at x pixels, between its nodes.
float GroundAt(const LevelFile& level, float x) {
    const float node = x / float(level.nodeSpacing);
    const size_t i = size_t(node);
    const float t = node - float(i);
    return float(level.nodeHeights[i]) * (1.0f - t) + float(level.nodeHeights[i + 1]) * t;
}

// Half a body's height, in pixels.
float HalfHeight(const orvel::Body& body) {
    return body.GetCollision()->GetExtent().y * WORLD_SCALE / 2.0f;
}

orvel::Vector4 PixelsOf(const orvel::Body& body) {
    const orvel::Vector4 p = body.GetPosition();
    return orvel::Vector4(p.x * WORLD_SCALE, p.y * WORLD_SCALE, p.z * WORLD_SCALE);
}

class LevelZeroTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        StartLevel();
    }

    // Lets an engineer of `team` into the factory, as if it had walked in.
    void Infiltrate(ComponentBody* factoryBody, FactoryComponent* factory, int team) {
        ASSERT_NE(factory, nullptr);
        const ComponentBodyPtr engineer = std::make_shared<ComponentBody>();
        engineer->SpawnUnit(&World(), game->GetSpriteManager().get(), game->GetSoundManager().get(),
                            game->GetObjectProperties(), PropertyKey("Engineer"), team);
        engineer->SetPosition(factoryBody->GetPosition());
        World().AddBody(engineer);
        factory->OnContact(nullptr, nullptr, engineer.get());
        EXPECT_TRUE(factory->IsInfiltrated());
    }

    // Runs until the level is over; returns the frames it took.
    int RunToGameOver(int limit) {
        for (int i = 1; i <= limit; ++i) {
            Run(1);
            if (game->IsGameOver()) {
                return i;
            }
        }
        return limit + 1;
    }

    int Medal(int level) {
        const orvel::PropertiesPtr settings =
            orvel::GlobalProperties().GetProperties(PropertyKey("TARNMOORE_Settings"));
        const orvel::AnyVectorPtr medals = settings->GetList(PropertyKey("TARNMOORE_LevelMedals"));
        return size_t(level) < medals->Size() ? medals->GetInt(size_t(level)) : -1;
    }
};

TEST_F(LevelZeroTest, FactoriesStandOnTheGroundAndTheWorldSteps) {
    const LevelFile& level = game->GetLevel();
    for (ComponentBody* factory : {game->GetGoodFactoryBody(), game->GetBadFactoryBody()}) {
        ASSERT_NE(factory, nullptr);
        const orvel::Vector4 at = PixelsOf(*factory);
        // Level0 places the factories' feet on the ground.
        EXPECT_NEAR(at.y - HalfHeight(*factory), GroundAt(level, at.x), 1.0f)
            << "factory at x " << at.x;
    }
    EXPECT_EQ(game->GetGoodFactoryBody()->GetTeam(), TEAM_GOOD);
    EXPECT_EQ(game->GetBadFactoryBody()->GetTeam(), TEAM_BAD);
    ASSERT_TRUE(game->GetGoodAirship());
    ASSERT_TRUE(game->GetBadAirship());
    EXPECT_NEAR(PixelsOf(*game->GetBadAirship()).x, 1560.0f, 0.5f);
    EXPECT_EQ(game->GetUnitStats()->Get(UnitStats::KIND_GOT, PropertyKey("GoodAirShip"), TEAM_GOOD),
              1);
    EXPECT_EQ(orvel::GlobalProperties().GetUnitStats(PropertyKey("qUnitStats")),
              game->GetUnitStats());

    // An engineer dropped from 60 pixels falls and comes to rest on the ground
    // (a drop of 200 pixels is a hard fall, which kills it).
    const ComponentBodyPtr engineer = std::make_shared<ComponentBody>();
    engineer->SpawnUnit(&World(), game->GetSpriteManager().get(), game->GetSoundManager().get(),
                        game->GetObjectProperties(), PropertyKey("Engineer"), TEAM_GOOD);
    const float x = 960.0f;  // on the ridge, clear of both factories
    engineer->SetPosition(
        orvel::Vector4(x / WORLD_SCALE, (GroundAt(level, x) + 60.0f) / WORLD_SCALE, 0));
    World().AddBody(engineer);
    Run(30);
    const float fallen = GroundAt(level, x) + 60.0f - PixelsOf(*engineer).y;
    // Half a second of free fall from rest: g t^2 / 2 = 9.8 x 0.25 / 2 units.
    EXPECT_NEAR(fallen, 0.5f * 9.8f * 0.25f * WORLD_SCALE, 12.0f);
    // Then it lies on the ground (and may slide down the ridge's slope): on
    // a slope a box touches with its lower corner, a few pixels above the
    // ground under its centre, and it never sinks in.
    for (int second = 0; second < 3; ++second) {
        Run(60);
        const orvel::Vector4 at = PixelsOf(*engineer);
        const float above = at.y - HalfHeight(*engineer) - GroundAt(level, at.x);
        EXPECT_GT(above, -2.0f) << "second " << second;
        EXPECT_LT(above, 8.0f) << "second " << second;
    }
    EXPECT_EQ(Fired(), "");
}

TEST_F(LevelZeroTest, ViewFollowsThePlayersAirship) {
    const std::pair<float, float> cases[] = {{300.0f, 0.0f}, {1280.0f, 0.5f}, {2500.0f, 1.0f}};
    for (const auto& c : cases) {
        game->GetGoodAirship()->SetPosition(orvel::Vector4(c.first / WORLD_SCALE, 10.0f, 0.0f));
        game->Draw();
        EXPECT_NEAR(game->GetScrollFraction(), c.second, 1e-4f) << "airship at " << c.first;
    }
}

TEST_F(LevelZeroTest, DestroyingSideTwosFactoryWinsAfterFourSeconds) {
    orvel::GlobalProperties().SetInt(PropertyKey("difficulty"), 2);
    const int medalBefore = Medal(0);
    Infiltrate(game->GetBadFactoryBody(), game->GetBadFactory(), TEAM_GOOD);
    // The factory falls after its two countdowns.
    EXPECT_LE(RunToGameOver(400), 400);
    EXPECT_EQ(game->GetOutcome(), 1);
    EXPECT_EQ(game->GetBadFactoryBody(), nullptr);
    EXPECT_EQ(medalBefore, -1);

    // Four seconds of 1/60 s frames, give or take the last one's rounding.
    EXPECT_NEAR(Run(300), 240, 1);
    EXPECT_EQ(Fired(), "Win");
    const orvel::PropertiesPtr settings =
        orvel::GlobalProperties().GetProperties(PropertyKey("TARNMOORE_Settings"));
    EXPECT_EQ(settings->GetInt(PropertyKey("TARNMOORE_HighestLevelReached")), 1);
    EXPECT_EQ(Medal(0), 2) << "the medal of the difficulty played";
}

TEST_F(LevelZeroTest, DestroyingSideOnesFactoryLoses) {
    Infiltrate(game->GetGoodFactoryBody(), game->GetGoodFactory(), TEAM_BAD);
    const int medalBefore = Medal(0);
    EXPECT_LE(RunToGameOver(400), 400);
    EXPECT_EQ(game->GetOutcome(), -1);
    EXPECT_NEAR(Run(300), 240, 1);
    EXPECT_EQ(Fired(), "Lose");
    EXPECT_EQ(Medal(0), medalBefore);
    EXPECT_EQ(orvel::GlobalProperties()
                  .GetProperties(PropertyKey("TARNMOORE_Settings"))
                  ->GetInt(PropertyKey("TARNMOORE_HighestLevelReached")),
              0);
}

TEST_F(LevelZeroTest, EndOfLevelDuringATransitionFiresWhenItEnds) {
    Infiltrate(game->GetBadFactoryBody(), game->GetBadFactory(), TEAM_GOOD);
    RunToGameOver(400);
    auto transition = std::make_shared<HoldingTransition>(
        std::make_shared<TriggeredState>(PropertyKey("Elsewhere")), game, 10.0f);
    EXPECT_EQ(Run(300), 300) << "nothing leaves while the transition holds the game";
    transition.reset();
    EXPECT_EQ(Run(1), 1);
    EXPECT_EQ(Fired(), "Win");
}

TEST_F(LevelZeroTest, FirstFrameAppliesTheDifficulty) {
    struct Case {
        int difficulty;
        int goodHitPoints;  // of 60
        int badHitPoints;   // of 60
        float goodPurchaseTime;
        float badPurchaseTime;
        float depositScale;
    };
    const Case cases[] = {
        {0, 90, 30, 9.0f * 0.7f, 9.0f * 1.3f, 0.6f},
        {1, 72, 60, 9.0f, 9.0f, 1.0f},
        {2, 60, 78, 9.0f * 1.2f, 9.0f * 0.8f, 1.7f},
    };
    for (const Case& c : cases) {
        game.reset();
        orvel::GlobalProperties().SetInt(PropertyKey("difficulty"), c.difficulty);
        StartLevel();
        const float deposits = game->GetGoodFactory()->GetTimeBetweenDeposits();
        EXPECT_EQ(game->GetGoodAirship()->GetMaxHitPoints(), 60);
        Run(1);
        EXPECT_EQ(game->GetGoodAirship()->GetHitPoints(), c.goodHitPoints) << c.difficulty;
        EXPECT_EQ(game->GetGoodAirship()->GetMaxHitPoints(), c.goodHitPoints) << c.difficulty;
        EXPECT_EQ(game->GetBadAirship()->GetMaxHitPoints(), c.badHitPoints) << c.difficulty;
        EXPECT_FLOAT_EQ(game->GetPurchaseTimePerUnit(TEAM_GOOD), c.goodPurchaseTime);
        EXPECT_FLOAT_EQ(game->GetPurchaseTimePerUnit(TEAM_BAD), c.badPurchaseTime);
        EXPECT_FLOAT_EQ(game->GetGoodFactory()->GetTimeBetweenDeposits(),
                        deposits * c.depositScale);
        Run(1);
        EXPECT_EQ(game->GetGoodAirship()->GetMaxHitPoints(), c.goodHitPoints) << "only once";
    }
}

// The level's capabilities reach the computer's pilot; a Cadet's opponent
// leaves its flak trucks alone.
TEST_F(LevelZeroTest, TheOpponentMayDoWhatTheLevelAndTheDifficultyAllow) {
    const PropertyKey key("AI_COMPONENT_Capabilities");
    for (int difficulty : {0, 1, 2}) {
        SCOPED_TRACE(difficulty);
        game.reset();
        orvel::GlobalProperties().SetInt(PropertyKey("difficulty"), difficulty);
        StartLevel();
        const orvel::PropertiesPtr set = orvel::GlobalProperties().GetProperties(key);
        EXPECT_EQ(set->GetBool(PropertyKey("carryFlakTruckOffensively")), difficulty != 0);
        EXPECT_EQ(set->GetBool(PropertyKey("carryFlakTruckDefensively")), difficulty != 0);
        const auto* ai = static_cast<AIComponent*>(
            game->GetBadAirship()->GetComponent(PropertyKey("AIComponent")));
        ASSERT_NE(ai, nullptr);
        const AICapabilities& can = ai->GetCapabilities();
        EXPECT_EQ(can.carryFlakTruckOffensively, difficulty != 0);
        EXPECT_EQ(can.carryFlakTruckDefensively, difficulty != 0);
        EXPECT_TRUE(can.killEnemyTanks);
        EXPECT_TRUE(can.putEngineerInFactory);
        EXPECT_FALSE(can.putInfantryInBunker);
    }
}

TEST_F(LevelZeroTest, FirstFactoryToFallDecides) {
    game->GetBadFactoryBody()->NotifyEvent();
    game->GetGoodFactoryBody()->NotifyEvent();
    EXPECT_EQ(game->GetOutcome(), 1);
    EXPECT_EQ(game->GetGoodFactoryBody(), nullptr);
    Run(1);
    EXPECT_TRUE(game->IsGameOver());
    EXPECT_NEAR(Run(300), 240, 1);
    EXPECT_EQ(Fired(), "Win");
}

TEST_F(LevelZeroTest, DestroyedAirshipGoesBackToItsFactory) {
    EXPECT_FALSE(game->GetGoodFactory()->CanBuy(PRODUCT_AIRSHIP));
    game->GetGoodAirship()->SetAlive(false);
    Run(1);
    EXPECT_TRUE(game->GetGoodFactory()->CanBuy(PRODUCT_AIRSHIP));
    EXPECT_EQ(game->GetGoodFactory()->GetHeldBody(PRODUCT_AIRSHIP), game->GetGoodAirship());
    EXPECT_FALSE(game->GetBadFactory()->CanBuy(PRODUCT_AIRSHIP));
}

TEST_F(LevelZeroTest, TexturesUnloadAndReloadWithTheDisplay) {
    game->UnloadTextures();
    game->UnloadTextures();
    game->ReloadTextures();
    Run(1);
    game->Draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

class LevelZeroDrawTest : public LevelZeroTest {
protected:
    static Rgb ReadPixel(int x, int y) {
        glFinish();
        uint8_t rgb[3] = {};
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return Rgb{rgb[0], rgb[1], rgb[2]};
    }

    static bool Near(const Rgb& a, const Rgb& b, int tolerance) {
        return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
               std::abs(a.b - b.b) <= tolerance;
    }

    // Whether any pixel within `radius` of (x, y) has the colour.
    static bool FindNear(int x, int y, int radius, const Rgb& colour) {
        for (int dy = -radius; dy <= radius; ++dy) {
            for (int dx = -radius; dx <= radius; ++dx) {
                if (Near(ReadPixel(x + dx, y + dy), colour, 6)) {
                    return true;
                }
            }
        }
        return false;
    }

    void DrawFrame() {
        glViewport(0, 0, 800, 600);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 800, 0, 600, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT);
        game->Draw();
    }
};

TEST_F(LevelZeroDrawTest, FrameShowsSkyGroundMinimapAndBodies) {
    Run(2);
    DrawFrame();
    const std::string picture = WriteScreenPpm("gearhaven-level0.ppm");
    const Rgb background = {63, 60, 44};

    const Rgb sky = ReadPixel(300, 515);
    EXPECT_GT(sky.b, sky.r) << "sky below the top panel is blue";
    // The airship at 560 pixels keeps the view at its left end.
    const float fraction = game->GetScrollFraction();
    EXPECT_NEAR(fraction, (560.0f - 400.0f) / (2560.0f - 800.0f), 1e-4f);
    const float shift = ScrollOffset(2560.0f, fraction);
    for (int x : {100, 400, 700}) {
        const int ground = int(GroundAt(game->GetLevel(), float(x) + shift));
        // Earth (brown dirt or green grass), not sky, just below the ground line.
        const Rgb below = ReadPixel(x, MINIMAP_HEIGHT + ground - 15);
        EXPECT_LT(below.b, std::max(below.r, below.g)) << "ground at x " << x << " in " << picture;
        EXPECT_FALSE(Near(below, background, 4)) << "ground drawn at x " << x;
    }

    const float left = (800.0f - MinimapWidth(2560)) / 2.0f;
    EXPECT_FLOAT_EQ(left, 144.0f);
    // The minimap's glass tints it a little.
    EXPECT_TRUE(Near(ReadPixel(150, 50), background, 5)) << "the minimap fills the strip";
    EXPECT_TRUE(Near(ReadPixel(20, 50), background, 3)) << "the clear colour beside it";
    // Each factory's outline in its side's colour where the world put it:
    // the apex of its roof, 60 pixels above its centre.
    const Rgb teamColours[] = {{131, 142, 110}, {160, 92, 162}};
    ComponentBody* factories[] = {game->GetGoodFactoryBody(), game->GetBadFactoryBody()};
    for (int side = 0; side < 2; ++side) {
        const orvel::Vector4 at = PixelsOf(*factories[side]);
        const int x = int(left + at.x * 0.2f);
        const int y = int((at.y + 60.0f) * 0.2f);
        EXPECT_TRUE(FindNear(x, y, 2, teamColours[side]))
            << "factory of side " << side + 1 << " at minimap (" << x << ", " << y << ") in "
            << picture;
        EXPECT_FALSE(FindNear(x + 40, y, 2, teamColours[side])) << "nothing beside it";
    }
}

}  // namespace
