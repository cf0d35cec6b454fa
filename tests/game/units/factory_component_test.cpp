#include "game/units/components/factory_component.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/attributes.h"
#include "engine/core/watcher.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

// A depot that sells Walkers, Engineers and Heavies; enemy Engineers get in,
// enemy Walkers bounce off, anything else passes through.
const char* const OBJECTS = R"(
struct Depot
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 120, 90
		}
	}
	int hitPoints: 100
	list struct Components
	{
		{
			string componentName: "Factory"
			point spawnPoint: 60, 30
			float timeBetweenSpawns: 1
			int maxDollars: 50
			int depositAmount: 5
			float timeBetweenDeposits: 1
			list string unitTypesAllowed
			{
				"Engineer"
			}
			list string unitTypesDeflected
			{
				"Walker"
			}
		}
		{
			string componentName: "Probe"
		}
	}
}
struct Walker
{
	float mass: 2
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 60
		}
	}
	int hitPoints: 10
	int unitCost: 10
	bool appliesGravity: true
	point spawnOffset: 15, 45
	string teamName: "team_good"
	list struct Components
	{
	}
}
struct Engineer
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 20, 40
		}
	}
	int hitPoints: 4
	int unitCost: 5
	bool appliesGravity: true
	string teamName: "team_good"
	list struct Components
	{
	}
}
struct Heavy
{
	float mass: 8
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 60, 30
		}
	}
	int unitCost: 20
	float extraSpawnTime: 2
	bool appliesGravity: true
	string teamName: "team_good"
	list struct Components
	{
	}
}
)";

const float SCALE = UnitTestWorld::SCALE;

struct EventCounter : orvel::Watcher {
    int events = 0;
    void OnWatchedEvent(orvel::Watched* watched) override {
        ++events;
        watched->AddWatcher(this);
    }
};

class FactoryComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterProbeComponent();
        Open(1, 600.0f);
    }

    // The depot of `team` standing on the ground at x pixels, with its three
    // products held in slots 0 to 2 as the purchase setup holds them.
    void Open(int team, float x) {
        depot = level.Place("Depot", team, x, 105.0f);
        factory = static_cast<FactoryComponent*>(depot->GetComponent("FactoryComponent"));
        factory->SetHoldPosition(orvel::Vector4(team == 1 ? -25.0f : -50.0f, 5.0f, 0.0f));
        const int productTeam = team == 1 ? 0 : -1;
        const char* products[] = {"Walker", "Engineer", "Heavy"};
        for (int slot = 0; slot < 3; ++slot) {
            factory->HoldBody(slot, level.Make(products[slot], productTeam), true);
        }
    }

    // Every unit of the type in the world, in no set order.
    std::vector<std::shared_ptr<ComponentBody>> UnitsOf(const std::string& type) const {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        level.world->CopyBodyList(bodies);
        std::vector<std::shared_ptr<ComponentBody>> units;
        for (const auto& body : bodies) {
            if (body->GetObjectName() == PropertyKey::Intern(type)) {
                units.push_back(std::static_pointer_cast<ComponentBody>(body));
            }
        }
        return units;
    }

    ProbeComponent& DepotProbe() const {
        return static_cast<ProbeComponent&>(*depot->GetComponents()[1]);
    }

    UnitTestWorld level{OBJECTS};
    std::shared_ptr<ComponentBody> depot;
    FactoryComponent* factory = nullptr;
};

}  // namespace

TEST_F(FactoryComponentTest, EarnsItsDepositEverySecondUpToItsMaximum) {
    orvel::GlobalProperties().SetInt("deltaMoneyBags", 3);
    level.RunSeconds(3.5f);
    EXPECT_EQ(factory->GetDollars(), 15);
    EXPECT_EQ(orvel::GlobalProperties().GetInt("deltaMoneyBags"), 18);

    factory->SetDollars(48);
    level.RunSeconds(1.0f);
    EXPECT_EQ(factory->GetDollars(), 50);
    EXPECT_EQ(orvel::GlobalProperties().GetInt("deltaMoneyBags"), 20);
    level.RunSeconds(2.0f);
    EXPECT_EQ(factory->GetDollars(), 50);
    EXPECT_EQ(orvel::GlobalProperties().GetInt("deltaMoneyBags"), 20);
}

TEST_F(FactoryComponentTest, TheBadSideEarnsWithoutFillingTheMoneyBags) {
    depot->SendMessage(MESSAGE_REMOVE);
    Open(-1, 3000.0f);
    level.RunSeconds(2.5f);
    EXPECT_EQ(factory->GetDollars(), 10);
    EXPECT_FALSE(orvel::GlobalProperties().Contains("deltaMoneyBags"));
}

TEST_F(FactoryComponentTest, APurchaseTakesTheCostOrIsRefused) {
    struct Case {
        const char* what;
        int dollars;
        int slot;
        bool bought;
    };
    const Case cases[] = {
        {"affordable", 12, 0, true},  {"exactly affordable", 10, 0, true},
        {"too dear", 9, 0, false},    {"an empty slot", 50, 5, false},
        {"no such slot", 50, 8, false}, {"a negative slot", 50, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::shared_ptr<ComponentBody> shop = level.Make("Depot", 1);
        factory = static_cast<FactoryComponent*>(shop->GetComponent("FactoryComponent"));
        factory->HoldBody(0, level.Make("Walker", 0), true);
        factory->SetDollars(c.dollars);
        EXPECT_EQ(factory->CanAfford(c.slot), c.bought);
        factory->Buy(c.slot);
        EXPECT_EQ(factory->GetDollars(), c.bought ? c.dollars - 10 : c.dollars);
        EXPECT_EQ(factory->GetQueue().size(), c.bought ? 1u : 0u);
    }
}

TEST_F(FactoryComponentTest, AQueueIsReleasedOneUnitASecondOldestFirst) {
    factory->SetDollars(40);
    factory->Buy(1);
    factory->Buy(0);
    factory->Buy(1);
    EXPECT_EQ(factory->GetDollars(), 20);
    level.RunSeconds(1.1f);
    EXPECT_EQ(UnitsOf("Engineer").size(), 1u);
    EXPECT_EQ(UnitsOf("Walker").size(), 0u);
    level.RunSeconds(1.0f);
    EXPECT_EQ(UnitsOf("Walker").size(), 1u);
    EXPECT_EQ(UnitsOf("Engineer").size(), 1u);
    level.RunSeconds(1.0f);
    EXPECT_EQ(UnitsOf("Engineer").size(), 2u);
    EXPECT_TRUE(factory->GetQueue().empty());

    EXPECT_EQ(level.stats->Get(0, "Engineer", 1), 2);
    EXPECT_TRUE(orvel::GlobalProperties().GetBool("spawnedUnit"));
    const std::vector<int> seen = DepotProbe().Ids();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), MESSAGE_EMIT), 3);
}

TEST_F(FactoryComponentTest, ACostlyUnitDelaysTheNextOneByItsExtraSpawnTime) {
    factory->SetDollars(50);
    factory->Buy(2);
    factory->Buy(1);
    level.RunSeconds(1.1f);
    EXPECT_EQ(UnitsOf("Heavy").size(), 1u);
    level.RunSeconds(2.8f);
    EXPECT_EQ(UnitsOf("Engineer").size(), 0u);
    level.RunSeconds(0.3f);
    EXPECT_EQ(UnitsOf("Engineer").size(), 1u);
}

TEST_F(FactoryComponentTest, AfterAPauseABoughtUnitComesOnTheNextFrame) {
    level.RunSeconds(2.0f);
    factory->Buy(1);
    level.RunSeconds(0.02f);
    EXPECT_EQ(UnitsOf("Engineer").size(), 1u);
}

TEST_F(FactoryComponentTest, BoughtUnitsAreClonesThatLeaveAtTheDoor) {
    struct Case {
        int team;
        float depotX;
        float doorX;  // world units: depot, spawn point and the unit's offset
    };
    const Case cases[] = {{1, 600.0f, 20.0f + 2.0f + 0.5f}, {-1, 3000.0f, 100.0f - 2.0f - 0.5f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.team);
        if (c.team == -1) {
            Open(c.team, c.depotX);
        }
        factory->SetDollars(10);
        factory->Buy(0);
        // The spawn timer passes its second on the 61st frame.
        level.RunSeconds(1.05f);
        std::shared_ptr<ComponentBody> walker;
        for (const auto& unit : UnitsOf("Walker")) {
            if (unit->GetTeam() == c.team) {
                walker = unit;
            }
        }
        ASSERT_TRUE(walker);
        EXPECT_NE(walker, factory->GetHeldBody(0));
        EXPECT_EQ(walker->GetTeam(), c.team);
        EXPECT_EQ(walker->GetHitPoints(), 10);
        EXPECT_NEAR(walker->GetPosition().x, c.doorX, 0.05f);
        EXPECT_NEAR(walker->GetPosition().y, 3.5f + 1.0f + 1.5f, 0.1f);
        EXPECT_FLOAT_EQ(factory->GetHeldBody(0)->GetPosition().x, c.team == 1 ? -25.0f : -50.0f);
        EXPECT_FALSE(level.World().Contains(factory->GetHeldBody(0).get()));
    }
}

TEST_F(FactoryComponentTest, AOneOffProductIsReleasedItselfOnceWithItsMaximumKept) {
    std::shared_ptr<ComponentBody> wreck = level.Make("Walker", 0);
    wreck->SetMaxHitPoints(25);
    wreck->HandleEvent(2, 50, nullptr);
    factory->HoldBody(7, wreck, false);
    factory->SetDollars(50);
    EXPECT_TRUE(factory->CanBuy(7));
    factory->Buy(7);
    EXPECT_FALSE(factory->CanBuy(7));
    factory->Buy(7);
    EXPECT_EQ(factory->GetDollars(), 40);
    EXPECT_EQ(factory->GetQueue().size(), 1u);

    level.RunSeconds(1.1f);
    EXPECT_TRUE(level.World().Contains(wreck.get()));
    EXPECT_FALSE(wreck->IsDead());
    EXPECT_EQ(wreck->GetHitPoints(), 10);
    EXPECT_EQ(wreck->GetMaxHitPoints(), 25);
    EXPECT_EQ(wreck->GetTeam(), 1);
    EXPECT_EQ(factory->GetHeldBody(7), nullptr);
    EXPECT_FALSE(factory->CanBuy(7));
}

TEST_F(FactoryComponentTest, AnIntruderOfAnAllowedTypeBringsTheFactoryDownWithItsCountdowns) {
    EventCounter watcher;
    depot->AddWatcher(&watcher);
    factory->SetDollars(20);
    factory->Buy(0);
    std::shared_ptr<ComponentBody> intruder = level.Place("Engineer", -1, 600.0f, 200.0f);
    level.RunSeconds(0.6f);
    ASSERT_TRUE(factory->IsInfiltrated());
    EXPECT_FALSE(level.World().Contains(intruder.get()));
    EXPECT_FALSE(factory->IsDestroyed());
    const int dollars = factory->GetDollars();

    level.RunSeconds(1.9f);
    EXPECT_TRUE(factory->IsDestroyed());
    const std::vector<int> seen = DepotProbe().Ids();
    EXPECT_NE(std::find(seen.begin(), seen.end(), MESSAGE_LOSE), seen.end());
    EXPECT_EQ(watcher.events, 0);

    level.RunSeconds(3.1f);
    EXPECT_GT(watcher.events, 1);
    EXPECT_EQ(factory->GetDollars(), dollars);
    EXPECT_EQ(UnitsOf("Walker").size(), 0u);
}

TEST_F(FactoryComponentTest, OnlyEnemiesOfTheListedTypesMeetTheFactory) {
    struct Case {
        const char* what;
        const char* type;
        int team;
        bool restsOnTop;
    };
    const Case cases[] = {
        {"an enemy of a deflected type bounces off", "Walker", -1, true},
        {"an enemy of another type passes through", "Heavy", -1, false},
        {"a friend of an allowed type passes through", "Engineer", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::shared_ptr<ComponentBody> visitor = level.Place(c.type, c.team, 600.0f, 240.0f);
        level.RunSeconds(1.5f);
        EXPECT_FALSE(factory->IsInfiltrated());
        EXPECT_TRUE(level.World().Contains(visitor.get()));
        // The depot's roof is at 150 pixels, the ground at 60.
        EXPECT_EQ(visitor->GetPosition().y * SCALE > 150.0f, c.restsOnTop);
        visitor->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(0.05f);
    }
}
