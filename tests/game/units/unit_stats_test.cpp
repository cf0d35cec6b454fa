#include "game/units/unit_stats.h"

#include <gtest/gtest.h>

namespace {

UnitStats TwoTypes() {
    UnitStats stats;
    stats.AddUnitType("Infantry");
    stats.AddUnitType("GoodAirShip");
    return stats;
}

}  // namespace

TEST(UnitStatsTest, CountsLandInTheSlotOfTheirKindTypeAndSide) {
    struct Case {
        int kind;
        const char* type;
        int side;
        int slot;
    };
    const Case cases[] = {
        {0, "Infantry", 1, 0},       {1, "Infantry", 1, 1},      {0, "Infantry", -1, 2},
        {1, "Infantry", -1, 3},      {0, "GoodAirShip", 1, 4},   {0, "BadAirShip", -1, 6},
        {1, "GoodAirShip_AI", 1, 5}, {0, "Infantry", 0, -1},     {0, "Magnet", 1, -1},
        {2, "Infantry", 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " side " + std::to_string(c.side));
        UnitStats stats = TwoTypes();
        EXPECT_EQ(stats.Increment(c.kind, c.type, c.side), c.slot);
        EXPECT_EQ(stats.Get(c.kind, c.type, c.side), c.slot == -1 ? 0 : 1);
        EXPECT_EQ(stats.Decrement(c.kind, c.type, c.side), c.slot);
        EXPECT_EQ(stats.Get(c.kind, c.type, c.side), 0);
    }
}

TEST(UnitStatsTest, BothAirshipsShareTheGoodAirshipRow) {
    UnitStats stats = TwoTypes();
    stats.Increment(0, "BadAirShip", -1);
    stats.Increment(0, "GoodAirShip_AI", -1);
    EXPECT_EQ(stats.Get(0, "GoodAirShip", -1), 2);
    EXPECT_EQ(stats.Get(0, "BadAirShip", -1), 2);
}

TEST(UnitStatsTest, TotalsAndMaximaOverTypesAndSides) {
    UnitStats stats = TwoTypes();
    stats.Increment(0, "Infantry", 1);
    stats.Increment(0, "Infantry", 1);
    stats.Increment(0, "Infantry", 1);
    stats.Increment(0, "GoodAirShip", 1);
    stats.Increment(1, "Infantry", -1);
    stats.Increment(1, "GoodAirShip", -1);
    EXPECT_EQ(stats.GetSideTotal(0, 1), 4);
    EXPECT_EQ(stats.GetSideTotal(1, -1), 2);
    EXPECT_EQ(stats.GetSideTotal(1, 1), 0);
    EXPECT_EQ(stats.GetSideTotal(1, 0), -1);
    EXPECT_EQ(stats.GetMax(), 3);
    EXPECT_EQ(stats.GetMaxSide(), 4);
}

TEST(UnitStatsTest, WithoutTypesTheMaximaAreMinusOne) {
    UnitStats stats;
    EXPECT_EQ(stats.GetMax(), -1);
    EXPECT_EQ(stats.GetMaxSide(), -1);
    EXPECT_EQ(stats.Increment(0, "Infantry", 1), -1);
    EXPECT_EQ(stats.Get(0, "Infantry", 1), 0);
}
