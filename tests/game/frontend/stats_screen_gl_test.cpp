#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/frontend/menu_keys.h"
#include "game/frontend/stats_screen_state.h"
#include "game/units/unit_stats.h"
#include "tests/game/frontend/frontend_fixture.h"
#include "tests/support/image_files.h"

namespace {

const Rgb LIGHT_GREEN{120, 220, 120};
const Rgb DARK_GREEN{20, 100, 20};
const Rgb LIGHT_PURPLE{220, 140, 230};
const Rgb DARK_PURPLE{90, 30, 110};
const Rgb BLACK{0, 0, 0};

std::string FlatJpeg(int width, int height, const Rgb& colour) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.insert(pixels.end(), {uint8_t(colour.r), uint8_t(colour.g), uint8_t(colour.b)});
    }
    return EncodeJpeg(width, height, 3, JCS_RGB, pixels);
}

// The statistics screen over a screen file of one small picture, its bars
// 14 pixels high. Rows start at x 100; the infantry row's good bar has its
// top at y 100 and the bad one 20 below it.
class StatsScreenTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        WriteFile("resources/StatsScreen/StatsScreen.txt",
                  "string type: \"SpriteMorph\"\nstring animation: \"../picture.bbq\"\n"
                  "point position: (0, 0)\n");
        const std::pair<const char*, Rgb> bars[] = {{"barlightgreen.jpg", LIGHT_GREEN},
                                                    {"bardarkgreen.jpg", DARK_GREEN},
                                                    {"barlightpurple.jpg", LIGHT_PURPLE},
                                                    {"bardarkpurple.jpg", DARK_PURPLE}};
        for (const auto& bar : bars) {
            WriteFile(std::string("resources/StatsScreen/") + bar.first,
                      FlatJpeg(16, 14, bar.second));
        }
        for (const char* shade : {"LightGreen", "DarkGreen", "LightPurple", "DarkPurple"}) {
            const std::string folder = std::string("resources/StatsScreen/Numbers") + shade + "/";
            std::string frames;
            for (int digit = 0; digit < 10; ++digit) {
                const std::string name = "digit_" + std::to_string(digit) + ".bbq";
                WriteFile(folder + name, FlatBbq(6, 10, Rgb{250, 250, 250}));
                frames += name + "\n";
            }
            WriteFile(folder + "numbers.txt",
                      "format_version: 1\nfps: 0\nalpha: no\nnum_frames: 10\n\nframes\n{\n" +
                          frames + "}\n");
        }
        SetMachine("struct TARNMOORE_STATE_StatsScreen\n{\nstruct Forward\n{\n"
                   "string state: \"TO_Forward\"\n}\n}\n"
                   "struct TO_Forward\n{\nstring class: \"TEST_Probe\"\n}\n");
        stats = std::make_shared<UnitStats>();
        for (const char* type : {"Infantry", "Engineer", "Tank", "GoodAirShip"}) {
            stats->AddUnitType(PropertyKey(type));
        }
        orvel::GlobalProperties()["qUnitStats"] = stats;
    }
    void TearDown() override {
        orvel::GlobalProperties().Erase("qUnitStats");
        FrontendTest::TearDown();
    }

    void Count(int kind, const char* type, int side, int times) {
        for (int i = 0; i < times; ++i) {
            stats->Increment(kind, PropertyKey(type), side);
        }
    }

    orvel::StatePtr MakeScreen() {
        const orvel::PropertiesPtr positions = std::make_shared<orvel::Properties>();
        const char* rows[] = {"infantry", "engineer", "tank",    "flakTruck", "balloon",
                              "gyro",     "buster",   "airship", "total"};
        for (int row = 0; row < 9; ++row) {
            positions->SetPointF(PropertyKey(rows[row]), orvel::PointF(100.0f, 100.0f + 50 * row));
        }
        positions->SetFloat(PropertyKey("enemyBarHeightOffset"), 20.0f);
        positions->SetFloat(PropertyKey("numberSeperator"), 50.0f);
        return std::make_shared<StatsScreenState>(PropertyKey("TARNMOORE_STATE_StatsScreen"),
                                                  "resources/StatsScreen/StatsScreen.txt", 1.0f,
                                                  positions);
    }

    // The colour halfway down a bar whose top is at screen y `top`.
    static Rgb BarPixel(int x, int top) { return ReadPixel(x, 600 - top - 7); }

    static void ExpectNear(const Rgb& got, const Rgb& want, const std::string& what) {
        EXPECT_LE(std::abs(got.r - want.r), 10) << what;
        EXPECT_LE(std::abs(got.g - want.g), 10) << what;
        EXPECT_LE(std::abs(got.b - want.b), 10) << what;
    }

    std::shared_ptr<UnitStats> stats;
};

TEST_F(StatsScreenTest, FullBarsShowLostThenAliveScaledToTheLargestCount) {
    // Largest count 4: 159.5 pixels a unit for the unit-type rows.
    Count(UnitStats::KIND_GOT, "Infantry", 1, 4);
    Count(UnitStats::KIND_LOST, "Infantry", 1, 1);
    Count(UnitStats::KIND_GOT, "Infantry", -1, 2);
    Count(UnitStats::KIND_LOST, "Infantry", -1, 2);
    Count(UnitStats::KIND_GOT, "Tank", 1, 2);
    const orvel::StatePtr screen = MakeScreen();
    Frame(screen);
    screen->Update(*input, 5.0f);  // past the fill time: everything at full size
    screen->Draw();

    struct Probe {
        int x, top;
        Rgb want;
        const char* what;
    };
    const Probe probes[] = {
        {150, 100, LIGHT_GREEN, "good infantry lost"},
        {255, 100, LIGHT_GREEN, "good infantry lost, near its end at 259.5"},
        {265, 100, DARK_GREEN, "good infantry alive"},
        {733, 100, DARK_GREEN, "good infantry alive, near the full length at 738"},
        {745, 100, BLACK, "beyond the longest bar"},
        {300, 120, LIGHT_PURPLE, "bad infantry, all lost"},
        {425, 120, BLACK, "beyond the bad infantry at 419"},
        {300, 150, BLACK, "no engineers"},
        {400, 200, DARK_GREEN, "good tanks, none lost"},
        {425, 200, BLACK, "beyond the good tanks at 419"},
        // Totals: good 6 got, 1 lost; bad 2 got, 2 lost; 638 / 6 a unit.
        {150, 500, LIGHT_GREEN, "good total lost"},
        {733, 500, DARK_GREEN, "good total alive"},
        {300, 520, LIGHT_PURPLE, "bad total lost"},
        {320, 520, BLACK, "beyond the bad total at 312.7"},
    };
    for (const Probe& probe : probes) {
        ExpectNear(BarPixel(probe.x, probe.top), probe.want, probe.what);
    }
}

TEST_F(StatsScreenTest, BarsGrowFromNothing) {
    Count(UnitStats::KIND_GOT, "Infantry", 1, 4);
    const orvel::StatePtr screen = MakeScreen();
    screen->Draw();
    ExpectNear(BarPixel(120, 100), BLACK, "nothing at the start");
    screen->Update(*input, 0.5f);  // halfway: the curve is at one half
    screen->Draw();
    ExpectNear(BarPixel(410, 100), DARK_GREEN, "half of 638 pixels");
    ExpectNear(BarPixel(430, 100), BLACK, "not more than half");
}

TEST_F(StatsScreenTest, NoUnitsAtAllLeaveEveryBarEmpty) {
    const orvel::StatePtr screen = MakeScreen();
    screen->Update(*input, 5.0f);
    screen->Draw();
    for (int top : {100, 120, 500, 520}) {
        ExpectNear(BarPixel(120, top), BLACK, "row at " + std::to_string(top));
    }
}

TEST_F(StatsScreenTest, EnterLeavesAtOnceWhileFilling) {
    Count(UnitStats::KIND_GOT, "Infantry", 1, 4);
    const orvel::StatePtr screen = MakeScreen();
    EXPECT_EQ(NameOf(PressKey(screen, MENU_KEY_ENTER)), "TO_Forward");
}

TEST_F(StatsScreenTest, TheEndOfALevelLeadsToTheScreenTheMachineDescribes) {
    // The machine passes the screen file, the fill time and the bar places
    // of the statistics screen's entry; here the infantry row's good bar
    // starts at (300, 200).
    SetMachine("struct TEST_Level\n{\nstruct Win\n{\n"
               "string state: \"TARNMOORE_STATE_StatsScreen\"\n}\n}\n"
               "struct TARNMOORE_STATE_StatsScreen\n{\n"
               "string STATS_SCREEN_MorphPath: \"StatsScreen/StatsScreen.txt\"\n"
               "float totalFillTime: 0.5\n"
               "struct BarPositions\n{\n"
               "pointf infantry: (300.0, 200.0)\npointf engineer: (300.0, 250.0)\n"
               "pointf tank: (300.0, 300.0)\npointf flakTruck: (300.0, 350.0)\n"
               "pointf balloon: (300.0, 400.0)\npointf gyro: (300.0, 450.0)\n"
               "pointf buster: (300.0, 500.0)\npointf airship: (300.0, 550.0)\n"
               "pointf total: (300.0, 20.0)\n"
               "float enemyBarHeightOffset: 20.0\nfloat numberSeperator: 50.0\n}\n}\n");
    Count(UnitStats::KIND_GOT, "Infantry", 1, 1);
    const orvel::StatePtr level = std::make_shared<ProbeState>(PropertyKey("TEST_Level"));
    const orvel::StatePtr next =
        TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(level, PropertyKey("Win"));
    ASSERT_EQ(NameOf(next), "TARNMOORE_STATE_StatsScreen");
    const orvel::StatePtr screen = std::dynamic_pointer_cast<StatsScreenState>(next);
    ASSERT_NE(screen, nullptr);
    screen->Update(*input, 1.0f);
    screen->Draw();
    ExpectNear(BarPixel(290, 200), BLACK, "left of the row's start");
    ExpectNear(BarPixel(600, 200), DARK_GREEN, "the only unit: all 638 pixels");
}

}  // namespace
