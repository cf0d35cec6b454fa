// The computer against itself on a few levels: both airships flown and both
// sides bought for by the computer, frame after frame at full speed, match
// after match. The runs to the end of a match on every campaign level are
// the tools in bench/play.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "game/play/computer_buyer.h"
#include "game/play/product.h"
#include "game/play/tutorial_dialog.h"
#include "game/units/components/ai_component.h"
#include "game/units/components/magnet_component.h"
#include "tests/game/play/play_fixture.h"

namespace {

// Simulated minutes of the CI run on a level; the tools play on to the end.
// The first level's run is the game's soak, ten minutes; the others three.
int MinutesOn(int level) { return level == 0 ? 10 : 3; }
const int FRAMES_PER_MINUTE = 60 * 60;
// Frames between two looks at the field.
const int LOOK_EVERY = 30;
// The largest purchase group, which the computer buys whole.
const int LARGEST_GROUP = 3;

// The first level, the long climb of low steps and the two gorges.
const int LEVELS[] = {0, 9, 13};

class AIMatchTest : public PlayFixture, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        orvel::Attributes& registry = orvel::GlobalProperties();
        registry.SetBool(PropertyKey("isSkirmishMode"), true);
        registry.SetString(PropertyKey("levelPath"), "resources/Level" + std::to_string(GetParam()));
        // Nobody is there to close a hint, and an open hint holds the game.
        SetTutorialDialogsEnabled(0);
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

    static bool Holds(const ComponentBodyPtr& airship) {
        if (!airship || !airship->IsAlive()) {
            return false;
        }
        const auto* magnet =
            static_cast<const MagnetComponent*>(airship->GetComponent(PropertyKey("MagnetComponent")));
        return magnet != nullptr && !magnet->GetHeldBodies().empty();
    }
};

// Nothing breaks, and the match moves: both sides buy units, both airships
// lift some, and a match that ends ends in a win or a loss.
TEST_P(AIMatchTest, TheComputerPlaysBothSidesWithoutFault) {
    int matches = 0;
    int decided = 0;
    int frame = 0;
    bool fielded[2] = {false, false};
    bool lifted[2] = {false, false};
    while (frame < MinutesOn(GetParam()) * FRAMES_PER_MINUTE) {
        StartLevel();
        ++matches;
        for (const ComponentBodyPtr& airship : {game->GetGoodAirship(), game->GetBadAirship()}) {
            ASSERT_NE(airship->GetComponent(PropertyKey("AIComponent")), nullptr)
                << airship->GetObjectName().GetName();
        }
        while (frame < MinutesOn(GetParam()) * FRAMES_PER_MINUTE) {
            frame += Run(LOOK_EVERY);
            if (!Fired().empty()) {
                EXPECT_TRUE(Fired() == "Win" || Fired() == "Lose") << Fired();
                ++decided;
                break;
            }
            lifted[0] = lifted[0] || Holds(game->GetGoodAirship());
            lifted[1] = lifted[1] || Holds(game->GetBadAirship());
            if (game->IsGameOver() || game->GetGoodFactory() == nullptr) {
                continue;
            }
            const MoneyBags& purse = game->GetMoneyBags();
            EXPECT_EQ(purse.GetFallingCount() + purse.GetSittingCount(),
                      size_t(game->GetGoodFactory()->GetDollars()));
            for (int side = 0; side < 2; ++side) {
                const int count = Fielded(side == 0 ? TEAM_GOOD : TEAM_BAD);
                fielded[side] = fielded[side] || count > 0;
                EXPECT_LT(count, ComputerBuyer::kFieldLimit + LARGEST_GROUP) << side;
            }
        }
        game.reset();
    }
    for (int side = 0; side < 2; ++side) {
        EXPECT_TRUE(fielded[side]) << "side " << side + 1 << " bought nothing";
        EXPECT_TRUE(lifted[side]) << "side " << side + 1 << "'s airship lifted nothing";
    }
    RecordProperty("matches", matches);
    RecordProperty("decided", decided);
}

INSTANTIATE_TEST_SUITE_P(Levels, AIMatchTest, testing::ValuesIn(LEVELS),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });

}  // namespace
