// Side 1's purse in the display of the first level: bags fall onto the pile
// as money comes in, spent ones fly to the button of what was bought, and
// the scale's needle shows how full the purse is.
#include <cmath>
#include <memory>
#include <vector>

#include "game/play/money_bags.h"
#include "tests/game/play/play_fixture.h"
#include "tests/game/play/screen_capture.h"

namespace {

const PropertyKey KEY_DELTA("deltaMoneyBags");
const float PI = 3.14159265358979f;
const float FRAME = 1.0f / 60.0f;

class MoneyBagsTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        StartLevel();
        orvel::GlobalProperties().Erase(KEY_DELTA);
        layout = game->GetHud().GetMoneyBags();
        needle = game->GetHudSpriteManager()->CreateSprite("resources/UI/moneyneedle.txt");
    }

    void TearDown() override {
        bags.reset();
        orvel::GlobalProperties().Erase(KEY_DELTA);
        PlayFixture::TearDown();
    }

    FactoryComponent& Factory() { return *game->GetGoodFactory(); }

    // A purse whose random numbers are all `random`.
    void MakeBags(float random = 0.5f) {
        bags.reset(new MoneyBags(layout, game->GetHudSpriteManager(), needle, nullptr,
                                 [random] { return random; }));
    }

    // The factory earns `dollars` and tells the display, as it does.
    void Earn(int dollars) {
        Factory().SetDollars(Factory().GetDollars() + dollars);
        orvel::GlobalProperties().SetInt(KEY_DELTA, dollars);
    }

    // Side 1 spends; the record says where its button is.
    std::vector<PurchaseRecord> Spend(int dollars, int x, int y) {
        Factory().SetDollars(Factory().GetDollars() - dollars);
        return {PurchaseRecord{dollars, x, y}};
    }

    void Frames(int count, float dt = FRAME) {
        for (int i = 0; i < count; ++i) {
            bags->Update(dt, {}, Factory());
        }
    }

    MoneyBagLayout layout;
    orvel::SpritePtr needle;
    std::unique_ptr<MoneyBags> bags;
};

TEST_F(MoneyBagsTest, EarnedBagsFallOntoThePile) {
    MakeBags();
    Factory().SetDollars(0);
    Earn(5);
    bags->Update(0.0f, {}, Factory());
    EXPECT_EQ(bags->GetFallingCount(), 5u);
    EXPECT_FALSE(orvel::GlobalProperties().Contains(KEY_DELTA)) << "the report is taken";
    bags->Update(layout.dropTime / 2.0f, {}, Factory());
    EXPECT_EQ(bags->GetFallingCount(), 5u);
    bags->Update(layout.dropTime / 2.0f, {}, Factory());
    ASSERT_EQ(bags->GetSittingCount(), 5u);
    EXPECT_EQ(bags->GetFallingCount(), 0u);
    for (const orvel::SpritePtr& bag : bags->GetSitting()) {
        EXPECT_EQ(bag->GetX(), float(layout.position.x)) << "the middle of the band";
        EXPECT_EQ(bag->GetY(), float(layout.position.y));
    }
}

// The fall eases in: slow from the drop height, fastest at the floor.
TEST_F(MoneyBagsTest, ABagFallsSlowlyFirst) {
    MakeBags();
    Factory().SetDollars(0);
    Earn(1);
    const float top = float(layout.position.y + layout.dropHeight);
    std::vector<float> heights;
    for (int i = 0; i <= 3; ++i) {
        bags->Update(i == 0 ? 0.0f : layout.dropTime / 4.0f, {}, Factory());
        ASSERT_EQ(bags->GetFallingCount(), 1u);
        heights.push_back(bags->GetFalling().front()->GetY());
    }
    EXPECT_EQ(heights[0], top);
    bags->Update(layout.dropTime / 4.0f, {}, Factory());
    EXPECT_EQ(bags->GetSittingCount(), 1u);
    EXPECT_EQ(bags->GetSitting().front()->GetY(), float(layout.position.y));
    EXPECT_LT(heights[0] - heights[1], heights[2] - heights[3]);
}

// The bags of the game's own random numbers land within their band (the
// library's random numbers run to RAND_MAX, far beyond 32767).
TEST_F(MoneyBagsTest, BagsLandWithinTheirBand) {
    bags.reset(new MoneyBags(layout, game->GetHudSpriteManager(), needle, nullptr));
    Factory().SetDollars(0);
    Earn(60);
    Frames(40);
    ASSERT_EQ(bags->GetSittingCount(), 60u);
    const float half = float(layout.positionVariation) / 2.0f;
    for (const orvel::SpritePtr& bag : bags->GetSitting()) {
        EXPECT_GE(bag->GetX(), float(layout.position.x) - half - 1.0f);
        EXPECT_LE(bag->GetX(), float(layout.position.x) + half + 1.0f);
    }
}

// A purchase of 5 with no gaps: one bag starts a frame for five frames, each
// flies to the button, shrinking, and is gone after the flight time.
TEST_F(MoneyBagsTest, SpentBagsFlyToTheButtonOneAFrame) {
    layout.maxRemovalInterval = 0.0f;
    MakeBags();
    Factory().SetDollars(0);
    Earn(8);
    Frames(40);
    bags->Update(FRAME, Spend(5, 250, 570), Factory());
    EXPECT_EQ(bags->GetSittingCount(), 3u);
    EXPECT_EQ(bags->GetWaitingCount(), 4u);
    EXPECT_EQ(bags->GetFlyingCount(), 1u);
    for (size_t flying = 2; flying <= 5; ++flying) {
        Frames(1);
        EXPECT_EQ(bags->GetFlyingCount(), flying);
    }
    EXPECT_EQ(bags->GetWaitingCount(), 0u);
    const orvel::SpritePtr first = bags->GetFlying().front();
    const float startX = first->GetX();
    Frames(1);
    EXPECT_GT(first->GetX(), startX) << "towards the button";
    EXPECT_LT(first->GetTransform()[0], 1.0f) << "shrinking";
    EXPECT_GT(first->GetTransform()[0], 0.0f);
    const int flight = int(std::ceil(layout.removalTime / FRAME));
    Frames(flight);
    EXPECT_LT(bags->GetFlyingCount(), 5u);
    Frames(10);
    EXPECT_EQ(bags->GetFlyingCount(), 0u);
    EXPECT_EQ(bags->GetSittingCount(), 3u);
}

// Buying while the bags still fall: the oldest falling bags go, from where
// they are.
TEST_F(MoneyBagsTest, BuyingTakesFallingBagsWhenNoneSits) {
    layout.maxRemovalInterval = 0.0f;
    MakeBags();
    Factory().SetDollars(0);
    Earn(3);
    bags->Update(layout.dropTime / 2.0f, {}, Factory());
    ASSERT_EQ(bags->GetFallingCount(), 3u);
    bags->Update(0.0f, Spend(2, 250, 570), Factory());
    EXPECT_EQ(bags->GetFallingCount(), 1u);
    ASSERT_EQ(bags->GetFlyingCount(), 1u);
    EXPECT_GT(bags->GetFlying().front()->GetY(), float(layout.position.y))
        << "it leaves from mid-air";
}

// Two purchases in one frame: the later record's bags go first, and the
// random gaps run on from one record to the next.
TEST_F(MoneyBagsTest, TwoPurchasesInAFrameTheLaterFirst) {
    layout.maxRemovalInterval = 0.3f;
    MakeBags(0.5f);
    Factory().SetDollars(0);
    Earn(6);
    Frames(40);
    std::vector<PurchaseRecord> records = Spend(1, 150, 570);
    records.push_back(Spend(2, 450, 570).front());
    bags->Update(FRAME, records, Factory());
    ASSERT_EQ(bags->GetFlyingCount(), 1u);
    EXPECT_EQ(bags->GetWaitingCount(), 2u);
    const orvel::SpritePtr first = bags->GetFlying().front();
    // Gaps of 0.15 s: the second bag starts 0.15 s after the first, the
    // third (the earlier record's) 0.15 s after that.
    Frames(8);
    EXPECT_EQ(bags->GetFlyingCount(), 1u);
    Frames(2);
    EXPECT_EQ(bags->GetFlyingCount(), 2u);
    Frames(9);
    EXPECT_EQ(bags->GetFlyingCount(), 3u);
    Frames(int(layout.removalTime / FRAME) - 19);
    EXPECT_NEAR(first->GetX(), 450.0f, 10.0f) << "the later record's button";
}

// The needle stands at -120 degrees for an empty purse and at +120 for a
// full one; landed and waiting bags count, falling ones do not.
TEST_F(MoneyBagsTest, TheNeedleShowsTheLandedAndWaitingBags) {
    layout.maxRemovalInterval = 10.0f;
    MakeBags(1.0f);
    const int most = Factory().GetMaxDollars();
    Factory().SetDollars(0);
    Frames(1);
    EXPECT_NEAR(bags->GetNeedleAngle(), -2.0f * PI / 3.0f, 1e-5f);
    Earn(most);
    Frames(1);
    EXPECT_NEAR(bags->GetNeedleAngle(), -2.0f * PI / 3.0f, 1e-5f) << "still falling";
    Frames(40);
    EXPECT_NEAR(bags->GetNeedleAngle(), 2.0f * PI / 3.0f, 1e-5f);
    const float* m = needle->GetTransform();
    EXPECT_NEAR(m[0], std::cos(-2.0f * PI / 3.0f), 1e-5f);
    EXPECT_NEAR(m[1], std::sin(-2.0f * PI / 3.0f), 1e-5f);
    EXPECT_EQ(m[12], float(layout.needlePosition.x));
    EXPECT_EQ(m[13], float(layout.needlePosition.y));
    // Two bags spent: one flies at once, the other waits ten seconds and
    // still counts.
    bags->Update(FRAME, Spend(2, 250, 570), Factory());
    EXPECT_EQ(bags->GetWaitingCount(), 1u);
    EXPECT_NEAR(bags->GetNeedleAngle(),
                float(most - 1) / float(most) * 4.0f * PI / 3.0f - 2.0f * PI / 3.0f, 1e-5f);
}

// Dollars that changed without a report, and a purchase bigger than the
// pile, leave the pile matching the factory: play goes on.
TEST_F(MoneyBagsTest, ThePileFollowsDollarsNobodyReported) {
    MakeBags();
    Factory().SetDollars(0);
    Earn(4);
    Frames(40);
    Factory().SetDollars(10);
    Frames(1);
    EXPECT_EQ(bags->GetFallingCount() + bags->GetSittingCount(), 10u);
    Factory().SetDollars(2);
    Frames(1);
    EXPECT_EQ(bags->GetFallingCount() + bags->GetSittingCount(), 2u);
    Factory().SetDollars(5);
    bags->Update(FRAME, {PurchaseRecord{9, 250, 570}}, Factory());
    EXPECT_EQ(bags->GetFallingCount() + bags->GetSittingCount(), 5u);
    EXPECT_LE(bags->GetWaitingCount() + bags->GetFlyingCount(), 2u);
}

// In play: the starting money falls onto the pile, and a bought infantry
// unit's bags fly to its button. The picture shows them on their way.
TEST_F(MoneyBagsTest, InPlayTheMoneyFallsAndFliesToTheButton) {
    Run(60);
    const MoneyBags& purse = game->GetMoneyBags();
    EXPECT_EQ(purse.GetSittingCount() + purse.GetFallingCount(), size_t(Factory().GetDollars()));
    EXPECT_GE(purse.GetSittingCount(), 50u);
    const int32_t before = Factory().GetDollars();
    Run(1, [](int) {
        ScriptedFrame frame;
        frame.mouseX = 160;
        frame.mouseY = 30;
        frame.mouseButtons = 1;
        return frame;
    });
    ASSERT_LT(Factory().GetDollars(), before);
    Run(8);
    EXPECT_GT(purse.GetFlyingCount(), 0u);
    EXPECT_EQ(purse.GetSittingCount() + purse.GetFallingCount(), size_t(Factory().GetDollars()));
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    game->Draw();
    const std::string picture = WriteScreenPpm("gearhaven-money-bags.ppm");
    const orvel::SpritePtr bag = purse.GetFlying().back();
    EXPECT_GT(bag->GetY(), float(game->GetHud().GetMoneyBags().position.y)) << picture;
}

}  // namespace
