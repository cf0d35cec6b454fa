#include <ostream>
#include <string>
#include <vector>

#include "engine/physics/collision.h"
#include "tests/game/play/play_fixture.h"

namespace {

const int CAMPAIGN_LEVELS = 17;
const int TUTORIAL_LEVELS = 4;
// The campaign levels that the skirmish screen offers as well.
const int SKIRMISH_LEVELS[] = {1, 2, 3, 4, 6, 7, 9, 10, 11, 13, 14, 15};

enum class Mode { Campaign, Skirmish, Tutorial };

// A level to load: its number, and how it is played.
struct LevelCase {
    int number;
    Mode mode;
};

std::string NameOf(const LevelCase& level) {
    const char* names[] = {"Level", "Skirmish", "Tutorial"};
    return names[int(level.mode)] + std::to_string(level.number);
}

void PrintTo(const LevelCase& level, std::ostream* out) { *out << NameOf(level); }

std::string CaseName(const testing::TestParamInfo<LevelCase>& info) { return NameOf(info.param); }

std::vector<LevelCase> AllCases() {
    std::vector<LevelCase> cases;
    for (int n = 0; n < CAMPAIGN_LEVELS; ++n) {
        cases.push_back({n, Mode::Campaign});
    }
    for (int n : SKIRMISH_LEVELS) {
        cases.push_back({n, Mode::Skirmish});
    }
    for (int n = 0; n < TUTORIAL_LEVELS; ++n) {
        cases.push_back({n, Mode::Tutorial});
    }
    return cases;
}

float GroundAt(const LevelFile& level, float x) {
    const float node = x / float(level.nodeSpacing);
    const size_t i = size_t(node);
    const float t = node - float(i);
    return float(level.nodeHeights[i]) * (1.0f - t) + float(level.nodeHeights[i + 1]) * t;
}

float HalfHeight(const orvel::Body& body) {
    return body.GetCollision()->GetExtent().y * WORLD_SCALE / 2.0f;
}

// Every level of the campaign, of the skirmish set and of the tutorial,
// loaded from the built datafile through the in-game state as the loading
// screen builds it.
class CampaignLevelTest : public PlayFixture, public testing::WithParamInterface<LevelCase> {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        SetLevel(GetParam().number);
        orvel::Attributes& registry = orvel::GlobalProperties();
        if (GetParam().mode == Mode::Skirmish) {
            registry.SetBool(PropertyKey("isSkirmishMode"), true);
            registry.SetString(PropertyKey("levelPath"), "resources/Level" + std::to_string(GetParam().number));
        }
        registry.SetBool(PropertyKey("isTutorialLevel"), GetParam().mode == Mode::Tutorial);
        StartLevel();
    }
    void TearDown() override {
        orvel::GlobalProperties().Erase(PropertyKey("levelPath"));
        PlayFixture::TearDown();
    }
};

// Both factories stand on the ground (the centre of the 120-pixel body 60
// pixels above it), the airships start where they should (the tutorials
// have none on side 2), and a few seconds of play pass without the level
// ending by itself.
TEST_P(CampaignLevelTest, LoadsWithFactoriesOnTheGroundAndPlays) {
    ASSERT_TRUE(game);
    const LevelFile& level = game->GetLevel();
    for (ComponentBody* factory : {game->GetGoodFactoryBody(), game->GetBadFactoryBody()}) {
        ASSERT_NE(factory, nullptr);
        const orvel::Vector4 at = factory->GetPosition();
        const float x = at.x * WORLD_SCALE;
        EXPECT_NEAR(HalfHeight(*factory), 60.0f, 1.0f);
        EXPECT_NEAR(at.y * WORLD_SCALE - HalfHeight(*factory), GroundAt(level, x), 1.0f) << "factory at x " << x;
    }
    ASSERT_TRUE(game->GetGoodAirship());
    EXPECT_NEAR(game->GetGoodAirship()->GetPosition().x * WORLD_SCALE, 560.0f, 0.5f);
    if (GetParam().mode == Mode::Tutorial) {
        EXPECT_FALSE(game->GetBadAirship());
    } else {
        ASSERT_TRUE(game->GetBadAirship());
        EXPECT_NEAR(game->GetBadAirship()->GetPosition().x * WORLD_SCALE, 1560.0f, 0.5f);
    }
    Run(180);
    EXPECT_EQ(Fired(), "");
    EXPECT_FALSE(game->IsGameOver());
    EXPECT_NE(game->GetGoodFactoryBody(), nullptr);
    EXPECT_NE(game->GetBadFactoryBody(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Campaign, CampaignLevelTest, testing::ValuesIn(AllCases()), CaseName);

}  // namespace
