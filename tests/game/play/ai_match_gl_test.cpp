// The computer against itself on the first level: both airships flown and
// both sides bought for by the computer, frame after frame at full speed,
// match after match. The longer run to the end of a match is the soak tool
// in bench/play.
#include <algorithm>
#include <memory>
#include <vector>

#include "game/play/computer_buyer.h"
#include "game/play/product.h"
#include "game/units/components/ai_component.h"
#include "tests/game/play/play_fixture.h"

namespace {

// Simulated minutes of the CI run; the soak tool plays on to the end.
const int MINUTES = 3;
const int FRAMES_PER_MINUTE = 60 * 60;
// The largest purchase group, which the computer buys whole.
const int LARGEST_GROUP = 3;

class AIMatchTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        orvel::Attributes& registry = orvel::GlobalProperties();
        registry.SetBool(PropertyKey("isSkirmishMode"), true);
        registry.SetString(PropertyKey("levelPath"), "resources/Level0");
    }

    void TearDown() override {
        orvel::GlobalProperties().Erase(PropertyKey("levelPath"));
        PlayFixture::TearDown();
    }

    int Fielded(int team) {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        World().CopyBodyList(bodies);
        return int(std::count_if(bodies.begin(), bodies.end(), [team](const auto& body) {
            bool bought = false;
            for (int product = 0; product < PRODUCT_UNIT_COUNT; ++product) {
                bought = bought || body->GetObjectName() == ProductObjectName(product);
            }
            return bought && body->IsAlive() && body->GetTeam() == team &&
                   body->GetPosition().x >= 0.0f;
        }));
    }
};

TEST_F(AIMatchTest, TheComputerPlaysBothSidesWithoutFault) {
    int matches = 0;
    int frame = 0;
    while (frame < MINUTES * FRAMES_PER_MINUTE) {
        StartLevel();
        ++matches;
        for (const ComponentBodyPtr& airship : {game->GetGoodAirship(), game->GetBadAirship()}) {
            ASSERT_NE(airship->GetComponent(PropertyKey("AIComponent")), nullptr)
                << airship->GetObjectName().GetName();
        }
        while (frame < MINUTES * FRAMES_PER_MINUTE) {
            const int run = Run(60);
            frame += run;
            if (!Fired().empty()) {
                EXPECT_TRUE(Fired() == "Win" || Fired() == "Lose") << Fired();
                break;
            }
            if (game->IsGameOver() || game->GetGoodFactory() == nullptr) {
                continue;
            }
            const MoneyBags& purse = game->GetMoneyBags();
            EXPECT_EQ(purse.GetFallingCount() + purse.GetSittingCount(),
                      size_t(game->GetGoodFactory()->GetDollars()));
            for (int team : {TEAM_GOOD, TEAM_BAD}) {
                EXPECT_LT(Fielded(team), ComputerBuyer::kFieldLimit + LARGEST_GROUP) << team;
            }
        }
        game.reset();
    }
    RecordProperty("matches", matches);
}

}  // namespace
