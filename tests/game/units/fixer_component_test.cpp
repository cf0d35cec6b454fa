#include "game/units/components/fixer_component.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/physics/multi_sensor_body.h"
#include "game/units/component_body.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"
#include "level_zero_world.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

// A Mender with two fix points, a repair a second, and a probe that hears
// its messages; a Patient of 10 hit points to mend.
const char* const OBJECTS = R"(
struct Mender
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 12, 30
		}
	}
	int hitPoints: 2
	bool appliesGravity: true
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Fixer"
			int fixPoints: 2
			float timeBetweenFixes: 1
			list struct Geometry
			{
				{
					string type: "BOX"
					point extent: 60, 36
				}
			}
			string materialGroupName: "mg_all_unit_sensor"
		}
		{
			string componentName: "Probe"
		}
	}
}
struct Patient
{
	float mass: 4
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 30
		}
	}
	int hitPoints: 10
	bool appliesGravity: true
	string teamName: "team_good"
	list struct Components
	{
	}
}
)";

FixerComponent& FixerOf(const ComponentBody& unit) {
    return *static_cast<FixerComponent*>(unit.GetComponent("FixerComponent"));
}

int Count(const std::vector<int>& ids, int id) {
    return static_cast<int>(std::count(ids.begin(), ids.end(), id));
}

}  // namespace

TEST(FixerInLevelZeroTest, AnEngineerRepairsADamagedFriendOnePointAnIntervalUntilItsStockIsSpent) {
    LevelZeroWorld level;
    std::shared_ptr<ComponentBody> tank = level.Stand("Tank", 1, 520.0f, 15.0f);
    std::shared_ptr<ComponentBody> engineer = level.Stand("Engineer", 1, 480.0f, 15.0f);
    const FixerComponent& fixer = FixerOf(*engineer);
    EXPECT_EQ(fixer.GetFixPoints(), 5);
    EXPECT_FLOAT_EQ(fixer.GetTimeBetweenFixes(), 1.5f);
    tank->SetHitPoints(10);
    // The tank waits for its repair where it stands, as one stopped by an
    // obstacle does, instead of driving off to the enemy.
    const auto waits = [&tank] { tank->SendMessage(MESSAGE_STOP); };

    // One point at the end of each interval of 1.5 seconds, not one a frame
    // once the first interval has passed.
    level.RunSeconds(1.4f, waits);
    EXPECT_EQ(tank->GetHitPoints(), 10);
    level.RunSeconds(0.2f, waits);
    EXPECT_EQ(tank->GetHitPoints(), 11);
    level.RunSeconds(1.3f, waits);
    EXPECT_EQ(tank->GetHitPoints(), 11);
    level.RunSeconds(0.2f, waits);
    EXPECT_EQ(tank->GetHitPoints(), 12);
    EXPECT_FALSE(engineer->IsDead());

    level.RunSeconds(4.5f, waits);
    EXPECT_EQ(tank->GetHitPoints(), 15);
    EXPECT_EQ(fixer.GetFixPoints(), 0);
    EXPECT_TRUE(engineer->IsDead());
    level.RunSeconds(3.0f, waits);
    EXPECT_EQ(tank->GetHitPoints(), 15);
}

TEST(FixerInLevelZeroTest, ABoughtEngineerRepairsAsOftenAsItsDefinitionSays) {
    LevelZeroWorld level;
    std::shared_ptr<ComponentBody> prototype = level.Make("Engineer", 0);
    auto engineer = std::make_shared<ComponentBody>();
    engineer->CopyFrom(*prototype);
    EXPECT_EQ(FixerOf(*engineer).GetFixPoints(), 5);
    engineer->SetPosition(orvel::Vector4(480.0f / LevelZeroWorld::SCALE,
                                         (level.GroundAt(480.0f) + 15.0f) / LevelZeroWorld::SCALE,
                                         0.0f));
    level.world->AddBody(engineer);
    std::shared_ptr<ComponentBody> tank = level.Stand("Tank", 1, 520.0f, 15.0f);
    tank->SetHitPoints(2);
    const auto waits = [&tank] { tank->SendMessage(MESSAGE_STOP); };

    level.RunSeconds(7.0f, waits);
    EXPECT_EQ(tank->GetHitPoints(), 6);
    EXPECT_FALSE(engineer->IsDead());
    level.RunSeconds(1.0f, waits);
    EXPECT_EQ(tank->GetHitPoints(), 7);
    EXPECT_TRUE(engineer->IsDead());
    EXPECT_EQ(FixerOf(*prototype).GetFixPoints(), 5);
}

class FixerComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterProbeComponent();
        mender = level.Place("Mender", 1, 900.0f, 75.0f);
    }

    const ProbeComponent& Probe() const {
        return static_cast<const ProbeComponent&>(*mender->GetComponents()[1]);
    }

    UnitTestWorld level{OBJECTS};
    std::shared_ptr<ComponentBody> mender;
};

TEST_F(FixerComponentTest, ItStopsAndRepairsOnlyADamagedUnitOfItsSideAndOtherwiseMovesOn) {
    struct Case {
        const char* what;
        int team;
        int hitPoints;
        bool repairs;
    };
    const Case cases[] = {
        {"nobody", 0, 0, false},
        {"an unharmed friend", 1, 10, false},
        {"a damaged enemy", -1, 6, false},
        {"a dead friend", 1, 0, false},
        {"a damaged friend", 1, 6, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UnitTestWorld world(OBJECTS);
        std::shared_ptr<ComponentBody> fixer = world.Place("Mender", 1, 900.0f, 75.0f);
        std::shared_ptr<ComponentBody> other;
        if (c.team != 0) {
            other = world.Place("Patient", c.team, 930.0f, 75.0f);
            other->SetHitPoints(c.hitPoints);
            if (c.hitPoints == 0) {
                other->SendMessage(MESSAGE_DIE);
            }
        }
        world.RunSeconds(1.1f);
        const auto& probe = static_cast<const ProbeComponent&>(*fixer->GetComponents()[1]);
        const std::vector<int> ids = probe.Ids();
        if (c.repairs) {
            EXPECT_EQ(other->GetHitPoints(), 7);
            EXPECT_EQ(Count(ids, MESSAGE_MOVE), 0);
            EXPECT_GE(Count(ids, MESSAGE_STOP), 60);
        } else {
            if (other) {
                EXPECT_EQ(other->GetHitPoints(), c.hitPoints);
            }
            EXPECT_EQ(Count(ids, MESSAGE_MOVE), probe.updates);
            EXPECT_EQ(Count(ids, MESSAGE_STOP), 0);
        }
    }
}

TEST_F(FixerComponentTest, ItNeverRepairsItsOwnUnit) {
    mender->SetHitPoints(1);
    level.RunSeconds(2.5f);
    EXPECT_EQ(mender->GetHitPoints(), 1);
    EXPECT_EQ(FixerOf(*mender).GetFixPoints(), 2);
}

TEST_F(FixerComponentTest, AFixerWithOnePointLeftDiesRightAfterItsRepairAndRepairsNoMore) {
    std::shared_ptr<ComponentBody> patient = level.Place("Patient", 1, 930.0f, 75.0f);
    patient->SetHitPoints(3);
    level.RunSeconds(1.1f);
    EXPECT_EQ(patient->GetHitPoints(), 4);
    EXPECT_EQ(FixerOf(*mender).GetFixPoints(), 1);
    EXPECT_FALSE(mender->IsDead());
    level.RunSeconds(1.0f);
    EXPECT_EQ(patient->GetHitPoints(), 5);
    EXPECT_TRUE(mender->IsDead());
    const size_t heard = Probe().messages.size();
    level.RunSeconds(2.5f);
    EXPECT_EQ(patient->GetHitPoints(), 5);
    EXPECT_EQ(FixerOf(*mender).GetFixPoints(), 0);
    EXPECT_EQ(Probe().messages.size(), heard);
}

TEST_F(FixerComponentTest, ACloneHasItsOwnSensorAndStockAndSpendingItLeavesThePrototypeFull) {
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*mender);
    const FixerComponent& copy = FixerOf(*clone);
    EXPECT_EQ(copy.GetFixPoints(), 2);
    EXPECT_FLOAT_EQ(copy.GetTimeBetweenFixes(), 1.0f);
    ASSERT_TRUE(copy.GetSensor());
    EXPECT_NE(copy.GetSensor(), FixerOf(*mender).GetSensor());
    EXPECT_EQ(copy.GetSensor()->GetMaterialGroup(), PropertyKey("mg_all_unit_sensor"));

    mender->SendMessage(MESSAGE_REMOVE);
    clone->SetPosition(orvel::Vector4(1500.0f / UnitTestWorld::SCALE, 75.0f / UnitTestWorld::SCALE, 0.0f));
    level.World().AddBody(clone);
    level.Place("Patient", 1, 1530.0f, 75.0f)->SetHitPoints(1);
    level.RunSeconds(1.1f);
    EXPECT_EQ(copy.GetFixPoints(), 1);
    EXPECT_EQ(FixerOf(*mender).GetFixPoints(), 2);
}

TEST_F(FixerComponentTest, AUnitSaysItIsDamagedWhileItLivesBelowItsFullHitPoints) {
    struct Case {
        const char* what;
        int hitPoints;
        bool dies;
        int answer;
    };
    const Case cases[] = {
        {"unharmed", 10, false, 0},
        {"one point down", 9, false, 1},
        {"nearly gone", 1, false, 1},
        {"dead", 3, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::shared_ptr<ComponentBody> patient = level.Make("Patient", 1);
        patient->SetHitPoints(c.hitPoints);
        if (c.dies) {
            patient->SendMessage(MESSAGE_DIE);
        }
        EXPECT_EQ(patient->HandleEvent(EVENT_QUERY_DAMAGED, 0, mender.get()), c.answer);
    }
}

TEST_F(FixerComponentTest, ADefinitionMissingAKeyFailsNamingIt) {
    const char* const keys[] = {"fixPoints", "timeBetweenFixes", "Geometry", "materialGroupName"};
    const char* const lines[] = {
        "int fixPoints: 1",
        "float timeBetweenFixes: 1",
        "list struct Geometry\n{\n{\nstring type: \"BOX\"\npoint extent: 10, 10\n}\n}",
        "string materialGroupName: \"mg_all_unit_sensor\"",
    };
    for (int missing = 0; missing < 4; ++missing) {
        SCOPED_TRACE(keys[missing]);
        std::string entry;
        for (int i = 0; i < 4; ++i) {
            if (i != missing) {
                entry += std::string(lines[i]) + "\n";
            }
        }
        UnitTestWorld broken("struct Broken\n{\nlist struct Geometry\n{\n{\nstring type: \"BOX\"\n"
                             "point extent: 10, 10\n}\n}\nlist struct Components\n{\n{\n"
                             "string componentName: \"Fixer\"\n" +
                             entry + "}\n}\n}\n");
        try {
            broken.Make("Broken", 0);
            ADD_FAILURE() << "loaded";
        } catch (const orvel::ExceptionStringNotFound& e) {
            EXPECT_NE(e.What().find(keys[missing]), std::string::npos);
        }
    }
}
