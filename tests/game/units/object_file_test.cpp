#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/property_file.h"
#include "game/units/component_body.h"
#include "game/units/components/factory_component.h"
#include "unit_test_world.h"

namespace {

const char* const BUYABLE[] = {"Infantry", "Engineer", "Tank", "FlakTruck",
                               "BalloonBomb", "AutoGyro", "Buster"};
const char* const AIRSHIPS[] = {"GoodAirShip", "GoodAirShip_AI", "BadAirShip"};

class ObjectFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        level.definitions = orvel::LoadPropertyFile("resources/objectfile1.txt");
    }

    UnitTestWorld level{""};
};

}  // namespace

TEST_F(ObjectFileTest, EveryBuyableUnitIsAPricedGoodUnitThatBothSidesCanMake) {
    for (const char* name : BUYABLE) {
        SCOPED_TRACE(name);
        std::shared_ptr<ComponentBody> good = level.Make(name, 0);
        std::shared_ptr<ComponentBody> bad = level.Make(name, -1);
        EXPECT_EQ(good->GetTeam(), 1);
        EXPECT_EQ(bad->GetTeam(), -1);
        EXPECT_GT(good->GetUnitCost(), 0);
        EXPECT_GT(good->GetHitPoints(), 0);
        EXPECT_GT(good->GetMass(), 0.0f);
        EXPECT_EQ(good->HandleEvent(1, 0, nullptr), 1);
        EXPECT_EQ(good->GetMaterialGroup(), PropertyKey("mg_mobile_unit"));
        EXPECT_FALSE(good->GetLines().empty());
        EXPECT_EQ(good->GetLines().size() % 2, 0u);
    }
}

TEST_F(ObjectFileTest, TheAirshipsAreHeavyKeptInTheWorldAndOnTheirSides) {
    for (const char* name : AIRSHIPS) {
        SCOPED_TRACE(name);
        std::shared_ptr<ComponentBody> airship = level.Make(name, 0);
        EXPECT_EQ(airship->GetTeam(), std::string(name) == "BadAirShip" ? -1 : 1);
        EXPECT_EQ(airship->GetMaterialGroup(), PropertyKey("mg_magnet"));
        EXPECT_GT(airship->GetHitPoints(), 0);
    }
}

TEST_F(ObjectFileTest, TheFactoryOfEitherSideSellsAndReleasesEveryBuyableUnit) {
    for (int team : {1, -1}) {
        SCOPED_TRACE(team);
        const float x = team == 1 ? 300.0f : 5700.0f;
        std::shared_ptr<ComponentBody> depot = level.Place("Static_Factory", team, x, 120.0f);
        auto* factory = static_cast<FactoryComponent*>(depot->GetComponent("FactoryComponent"));
        ASSERT_NE(factory, nullptr);
        EXPECT_EQ(depot->GetTeam(), team);
        EXPECT_GT(factory->GetSpawnPoint().x * team, 0.0f);
        factory->SetHoldPosition(orvel::Vector4(team == 1 ? -25.0f : -50.0f, 5.0f, 0.0f));
        for (int slot = 0; slot < 7; ++slot) {
            factory->HoldBody(slot, level.Make(BUYABLE[slot], team == 1 ? 0 : -1), true);
        }
        factory->SetDollars(factory->GetMaxDollars());
        factory->Buy(0);
        factory->Buy(1);
        EXPECT_EQ(factory->GetQueue().size(), 2u);
    }
    level.RunSeconds(4.0f);
    EXPECT_EQ(level.stats->GetSideTotal(0, 1), 2);
    EXPECT_EQ(level.stats->GetSideTotal(0, -1), 2);
    EXPECT_EQ(level.stats->GetSideTotal(1, 1), 0);
}
