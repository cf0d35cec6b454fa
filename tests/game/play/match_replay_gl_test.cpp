// A match of the computer against itself played twice in one process with
// the same seed is the same match: the second one runs on a heap that the
// first has stirred, so any order taken from addresses would show here.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/play/product.h"
#include "game/play/tutorial_dialog.h"
#include "tests/game/play/play_fixture.h"

namespace {

const int SEED = 7;
// Forty seconds of game time: both sides have bought and fought by then.
const int FRAMES = 40 * 60;
// World units; a replayed match lands on the same numbers, this only
// forgives rounding.
const float TOLERANCE = 1e-3f;

// What a match has come to: every body in the order the world walks them,
// and the purse of side 1.
struct Snapshot {
    struct Unit {
        std::string name;
        int team;
        bool alive;
        float x, y;
    };
    int frames = 0;
    std::string fired;
    int dollars = -1;
    std::vector<Unit> units;
};

bool IsProduct(const std::string& name) {
    for (int product = 0; product < PRODUCT_UNIT_COUNT; ++product) {
        if (name == ProductObjectName(product).GetName()) {
            return true;
        }
    }
    return false;
}

class MatchReplayTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        orvel::Attributes& registry = orvel::GlobalProperties();
        registry.SetBool(PropertyKey("isSkirmishMode"), true);
        registry.SetString(PropertyKey("levelPath"), "resources/Level0");
        // Nobody is there to close a hint, and an open hint holds the game.
        SetTutorialDialogsEnabled(0);
    }

    Snapshot Play() {
        Snapshot snapshot;
        std::srand(SEED);
        StartLevel();
        snapshot.frames = Run(FRAMES);
        snapshot.fired = Fired();
        if (game->GetGoodFactory() != nullptr) {
            snapshot.dollars = game->GetGoodFactory()->GetDollars();
        }
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        World().CopyBodyList(bodies);
        for (const std::shared_ptr<orvel::Body>& body : bodies) {
            const orvel::Vector4 position = body->GetPosition();
            snapshot.units.push_back(Snapshot::Unit{body->GetObjectName().GetName(),
                                                    body->GetTeam(), body->IsAlive(), position.x,
                                                    position.y});
        }
        game.reset();
        next.reset();
        return snapshot;
    }
};

TEST_F(MatchReplayTest, TheSameSeedPlaysTheSameMatchTwice) {
    const Snapshot first = Play();
    const Snapshot second = Play();
    EXPECT_EQ(first.frames, second.frames);
    EXPECT_EQ(first.fired, second.fired);
    EXPECT_EQ(first.dollars, second.dollars);
    // A match with nothing bought would prove little.
    for (const int team : {1, -1}) {
        EXPECT_TRUE(std::any_of(first.units.begin(), first.units.end(),
                                [team](const Snapshot::Unit& unit) {
                                    return unit.team == team && IsProduct(unit.name);
                                }))
            << "side " << team << " bought nothing";
    }
    ASSERT_EQ(first.units.size(), second.units.size());
    for (size_t i = 0; i < first.units.size(); ++i) {
        const Snapshot::Unit& a = first.units[i];
        const Snapshot::Unit& b = second.units[i];
        SCOPED_TRACE("body " + std::to_string(i) + ", " + a.name);
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.team, b.team);
        EXPECT_EQ(a.alive, b.alive);
        EXPECT_NEAR(a.x, b.x, TOLERANCE);
        EXPECT_NEAR(a.y, b.y, TOLERANCE);
    }
}

}  // namespace
