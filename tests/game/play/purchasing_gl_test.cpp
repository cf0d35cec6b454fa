#include <cmath>

#include "game/play/control_input.h"
#include "game/play/play_field.h"
#include "tests/game/play/play_fixture.h"

namespace {

const char* const PRODUCT_NAMES[] = {"Infantry", "Engineer", "Tank", "FlakTruck"};
// Level0's unit costs, in product order.
const int COSTS[] = {10, 15, 40, 35};

ScriptedFrame Keys(std::set<int> keys) {
    ScriptedFrame frame;
    frame.keys = std::move(keys);
    return frame;
}

// A point of each purchase button on the bar, screen pixels (y down).
int ButtonX(int product) {
    const int middles[] = {160, 198, 246, 302, 339, 375, 415, 458};
    return middles[product];
}

class PurchasingTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        StartLevel();
        Run(1);
    }

    FactoryComponent& Factory() const { return *game->GetGoodFactory(); }

    int Got(const char* type, int team) const {
        return game->GetUnitStats()->Get(UnitStats::KIND_GOT, PropertyKey(type), team);
    }

    // Whether a unit of the type stands within `radius` pixels of (x, y).
    bool UnitNear(const char* type, float x, float y, float radius) {
        const std::vector<PropertyKey> names = {PropertyKey(type)};
        for (float dy = -radius; dy <= radius; dy += 4.0f) {
            for (float dx = -radius; dx <= radius; dx += 4.0f) {
                const orvel::Vector4 at((x + dx) / WORLD_SCALE, (y + dy) / WORLD_SCALE, 0.0f);
                if (World().BodyAtPoint(at, names) != nullptr) {
                    return true;
                }
            }
        }
        return false;
    }

    // Runs until side 1's factory has let out one more unit of the type.
    bool RunUntilSpawned(const char* type, int frames) {
        const int before = Got(type, TEAM_GOOD);
        for (int i = 0; i < frames; ++i) {
            Run(1);
            if (Got(type, TEAM_GOOD) > before) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(PurchasingTest, TheFactoriesOfferTheLevelsMenusWithAThirdAndAHalfOfTheirPurse) {
    for (FactoryComponent* factory : {game->GetGoodFactory(), game->GetBadFactory()}) {
        for (int product = 0; product <= PRODUCT_AIRSHIP; ++product) {
            EXPECT_EQ(factory->CanBuy(product), product < 4) << "product " << product;
        }
        EXPECT_EQ(factory->GetHeldBody(2)->GetUnitCost(), COSTS[2]);
    }
    EXPECT_EQ(game->GetGoodFactory()->GetHeldBody(0)->GetTeam(), TEAM_GOOD);
    EXPECT_EQ(game->GetBadFactory()->GetHeldBody(0)->GetTeam(), TEAM_BAD);
    // Level0's purse holds 150 dollars at most; the first frame's deposits
    // have not come in yet. Side 2's computer spent 20 of its 75 on the
    // first group, two soldiers, in the first frame.
    EXPECT_EQ(Factory().GetDollars(), 50);
    EXPECT_EQ(game->GetBadFactory()->GetDollars(), 75 - 2 * COSTS[0]);
    // The purse's starting money is handed to its display as bags to drop.
    EXPECT_EQ(game->GetMoneyBags().GetFallingCount(), 50u);
    // Side 2's groups cost what their units cost.
    const PurchaseGroups& groups = game->GetPurchaseGroups();
    ASSERT_FALSE(groups.groups.empty());
    EXPECT_EQ(groups.groups[0], (std::vector<int>{0, 0}));
    EXPECT_EQ(groups.costs[0], 2 * COSTS[0]);
}

// Every way side 1 buys on a campaign level: the purchase bar, the keypad
// and the number row, for each unit type on offer. The money goes, the
// purse is told where to take its bags, the button blinks, and the unit
// comes out of the factory's door.
TEST_F(PurchasingTest, MouseKeypadAndNumberRowBuyAndTheFactorySpawns) {
    struct Way {
        const char* name;
        std::function<ScriptedFrame(int product)> frame;
    };
    const Way ways[] = {
        {"mouse",
         [](int product) {
             ScriptedFrame frame;
             frame.mouseX = ButtonX(product);
             frame.mouseY = 30;
             frame.mouseButtons = 1;
             return frame;
         }},
        {"keypad", [](int product) { return Keys({KEY_KEYPAD_1 + product}); }},
        {"number row", [](int product) { return Keys({KEY_NUMBER_ROW_1 + product}); }},
    };
    const orvel::Vector4 door = Factory().GetSpawnPoint();
    const orvel::Vector4 factory = game->GetGoodFactoryBody()->GetPosition();
    for (const Way& way : ways) {
        for (int product = 0; product < 4; ++product) {
            SCOPED_TRACE(std::string(way.name) + " buys " + PRODUCT_NAMES[product]);
            Factory().SetDollars(100);
            Run(1, [&](int) { return way.frame(product); });
            EXPECT_EQ(Factory().GetDollars(), 100 - COSTS[product]);
            ASSERT_EQ(game->GetPurchaseRecords().size(), 1u);
            const PurchaseRecord& record = game->GetPurchaseRecords()[0];
            EXPECT_EQ(record.dollars, COSTS[product]);
            const orvel::SpritePtr& button = game->GetHud().GetButton(product);
            EXPECT_EQ(record.x, int(button->GetX()) + int(button->GetData()->sheet.width) / 2);
            EXPECT_EQ(game->GetHud().Flash(product), game->GetHud().GetFlashFrames() - 1)
                << "the button blinks";
            ASSERT_TRUE(RunUntilSpawned(PRODUCT_NAMES[product], 200));
            // Out of the door: the factory's spawn point, raised by the
            // unit's own offset.
            EXPECT_TRUE(UnitNear(PRODUCT_NAMES[product], (factory.x + door.x) * WORLD_SCALE,
                                 (factory.y + door.y) * WORLD_SCALE + 15.0f, 30.0f));
            Run(1);
            EXPECT_TRUE(game->GetPurchaseRecords().empty()) << "one record per purchase";
        }
    }
}

TEST_F(PurchasingTest, NoMoneyNoUnitAndTheDeniedSound) {
    Factory().SetDollars(30);
    EXPECT_EQ(VoicesPlaying("snd_access_denied"), 0);
    ScriptedFrame click;
    click.mouseX = ButtonX(2);
    click.mouseY = 30;
    click.mouseButtons = 1;
    Run(1, [&](int) { return click; });
    EXPECT_EQ(Factory().GetDollars(), 30);
    EXPECT_TRUE(Factory().GetQueue().empty());
    EXPECT_TRUE(game->GetPurchaseRecords().empty());
    EXPECT_EQ(VoicesPlaying("snd_access_denied"), 1);
    EXPECT_EQ(game->GetHud().Flash(2), 0);

    // A unit type the level does not sell: nothing, not even the sound.
    Run(1);
    voices->Advance(1 << 20);
    Run(1, [](int) { return Keys({KEY_NUMBER_ROW_1 + 5}); });
    EXPECT_EQ(Factory().GetDollars(), 30);
    EXPECT_EQ(VoicesPlaying("snd_access_denied"), 1) << "refused as any purchase without money";
}

// Each button shows how near the purse is to its price, and only while
// its product is on offer.
TEST_F(PurchasingTest, ButtonsFillUpWithTheMoney) {
    const struct {
        int dollars;
        int tankFrame;  // of 8
    } cases[] = {{0, 0}, {20, 3}, {39, 6}, {40, 7}, {150, 7}};
    for (const auto& c : cases) {
        Factory().SetDollars(c.dollars);
        Run(1);
        const orvel::SpritePtr& tank = game->GetHud().GetButton(2);
        EXPECT_EQ(tank->GetFrame(), c.tankFrame) << c.dollars << " dollars";
        EXPECT_EQ(tank->alpha, 1.0f);
        EXPECT_EQ(game->GetHud().GetButton(5)->alpha, 0.0f) << "no autogyros on Level0";
        EXPECT_EQ(game->GetHud().GetButton(PRODUCT_AIRSHIP)->alpha, 0.0f) << "the airship flies";
    }
    // Hovering tints the button under the pointer; leaving it clears it.
    ScriptedFrame over;
    over.mouseX = ButtonX(1);
    over.mouseY = 30;
    Run(1, [&](int) { return over; });
    EXPECT_EQ(game->GetHud().GetButton(1)->colour, int32_t(0xff555555));
    over.mouseX = ButtonX(3);
    Run(1, [&](int) { return over; });
    EXPECT_EQ(game->GetHud().GetButton(1)->colour, int32_t(0xffffffff));
    EXPECT_EQ(game->GetHud().GetButton(3)->colour, int32_t(0xff555555));
}

// A destroyed airship is for sale: bought back, it flies again, and the
// controls find its parts a frame after it is rebuilt.
TEST_F(PurchasingTest, ABoughtBackAirshipFliesAgain) {
    game->GetGoodAirship()->SetAlive(false);
    Run(2);
    // The mechanic's hint on what to do now: shown, then sent away.
    ASSERT_TRUE(game->GetTutorialDialog().IsShowing());
    Run(40);
    Run(40, [](int i) { return i == 0 ? Keys({KEY_SPACE}) : ScriptedFrame(); });
    ASSERT_FALSE(game->GetTutorialDialog().IsShowing());
    ASSERT_TRUE(Factory().CanBuy(PRODUCT_AIRSHIP));
    Factory().SetDollars(Factory().GetMaxDollars());
    Run(1);
    const orvel::SpritePtr& button = game->GetHud().GetButton(PRODUCT_AIRSHIP);
    EXPECT_EQ(button->alpha, 1.0f);
    // The airship costs nothing to build again: its button shows full.
    EXPECT_EQ(button->GetFrame(), button->GetData()->GetFrameCount() - 1);
    Run(1, [](int) { return Keys({KEY_NUMBER_ROW_1 + PRODUCT_AIRSHIP}); });
    EXPECT_FALSE(Factory().CanBuy(PRODUCT_AIRSHIP)) << "bought once";
    for (int i = 0; i < 300 && !game->GetGoodAirship()->IsAlive(); ++i) {
        Run(1);
    }
    ASSERT_TRUE(game->GetGoodAirship()->IsAlive());
    const float y = game->GetGoodAirship()->GetPosition().y;
    Run(60, [](int) { return Keys({KEY_UP}); });
    EXPECT_GT(game->GetGoodAirship()->GetPosition().y, y + 1.0f);
}

// Side 2's computer buys the level's groups on its timer.
TEST_F(PurchasingTest, TheComputerBuysGroupsForSideTwo) {
    FactoryComponent& bad = *game->GetBadFactory();
    // The first group (two soldiers) went in the first frame: the timer
    // starts run out, and each unit of the group adds its time.
    EXPECT_EQ(bad.GetQueue().size(), 2u);
    EXPECT_FLOAT_EQ(game->GetComputerBuyer(TEAM_BAD).GetTimer(),
                    2.0f * game->GetPurchaseTimePerUnit(TEAM_BAD) - FRAME_TIME);
    const int boughtBefore = Got("Infantry", TEAM_BAD) + Got("Engineer", TEAM_BAD) +
                             Got("Tank", TEAM_BAD) + Got("FlakTruck", TEAM_BAD);
    bad.SetDollars(bad.GetMaxDollars());
    Run(1200);
    const int bought = Got("Infantry", TEAM_BAD) + Got("Engineer", TEAM_BAD) +
                       Got("Tank", TEAM_BAD) + Got("FlakTruck", TEAM_BAD);
    EXPECT_GE(bought - boughtBefore, 3) << "the first group and at least one more";
    EXPECT_TRUE(game->GetPurchaseRecords().empty()) << "side 2's purchases are not side 1's";
}

// A computer side with no groups at all (a skirmish whose groups were all
// left out) buys nothing; a group naming a product that the factory does not
// sell costs nothing for it and buys nothing of it.
TEST_F(PurchasingTest, EmptyGroupsAndEmptySlotsBuyNothing) {
    FactoryComponent& bad = *game->GetBadFactory();
    bad.SetDollars(100);
    const size_t queued = bad.GetQueue().size();
    int bought = 0;
    const auto count = [&](int, int32_t) { ++bought; };
    ComputerBuyer idle;
    idle.Update(bad, PurchaseGroups(), 1.0f, 1.0f, false, count);
    idle.Update(bad, PurchaseGroups(), 1.0f, 5.0f, false, count);
    EXPECT_EQ(bought, 0);
    EXPECT_EQ(bad.GetDollars(), 100);
    EXPECT_EQ(bad.GetQueue().size(), queued);

    // Level0 sells no autogyros (5) or busters (6).
    PurchaseGroups groups;
    groups.groups = {{5, 2, 6}};
    groups.costs = {GroupCost(bad, groups.groups[0])};
    EXPECT_EQ(groups.costs[0], COSTS[2]);
    FactoryComponent& good = Factory();
    good.SetDollars(100);
    ComputerBuyer buyer;
    buyer.Update(good, groups, 1.0f, 1.0f, false, count);
    EXPECT_EQ(bought, 1);
    EXPECT_EQ(good.GetDollars(), 100 - COSTS[2]);
    EXPECT_EQ(good.GetQueue(), (std::deque<int32_t>{2}));
    EXPECT_EQ(VoicesPlaying("snd_access_denied"), 0) << "nothing was refused";
    EXPECT_FLOAT_EQ(buyer.GetTimer(), 3.0f - 1.0f) << "each product of the group takes its time";
}

// A side with a full field buys no more units until some are gone; its
// airship it still buys back.
TEST_F(PurchasingTest, AFullFieldStopsTheComputersBuying) {
    FactoryComponent& good = Factory();
    good.SetDollars(100);
    PurchaseGroups groups;
    groups.groups = {{0}};
    groups.costs = {GroupCost(good, groups.groups[0])};
    int bought = 0;
    const auto count = [&](int, int32_t) { ++bought; };
    ComputerBuyer buyer;
    buyer.Update(good, groups, 1.0f, 1.0f, false, count, ComputerBuyer::kFieldLimit);
    EXPECT_EQ(bought, 0);
    EXPECT_EQ(good.GetDollars(), 100);
    buyer.Update(good, groups, 1.0f, 1.0f, false, count, ComputerBuyer::kFieldLimit - 1);
    EXPECT_EQ(bought, 1);

    game->GetGoodAirship()->SetAlive(false);
    Run(1);
    ASSERT_TRUE(good.CanBuy(PRODUCT_AIRSHIP));
    good.SetDollars(good.GetMaxDollars());
    buyer.Update(good, groups, 1.0f, 1.0f, false, count, ComputerBuyer::kFieldLimit);
    EXPECT_EQ(good.GetQueue().back(), PRODUCT_AIRSHIP);
    EXPECT_FALSE(good.CanBuy(PRODUCT_AIRSHIP)) << "queued";
}

}  // namespace
