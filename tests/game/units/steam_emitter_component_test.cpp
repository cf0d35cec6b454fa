#include "game/units/components/steam_emitter_component.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "level_zero_world.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

const float SCALE = UnitTestWorld::SCALE;

// A Boiler of 100 hit points puffs every half second from 12 pixels to its
// front and 30 up; a Stove has no hit points at all. The puffs hear their
// messages with a probe.
const char* const PUFF = R"(
{
	float mass: 0.1
	string materialGroupName: "mg_no_collide"
	list struct Geometry
	{
		{
			string type: "SPHERE"
			point extent: 8, 8
		}
	}
	list struct Components
	{
		{
			string componentName: "Probe"
		}
	}
}
)";

std::string Emitter(const std::string& name, const std::string& unitKeys) {
    return "struct " + name + R"(
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 40, 40
		}
	}
	string teamName: "team_good"
)" + unitKeys + R"(
	list struct Components
	{
		{
			string componentName: "SteamEmitter"
			point shotCreationPoint: 12, 30
			float timeBetweenShots: 0.5
			string lightSteamObjectName: "Light"
			string mediumSteamObjectName: "Medium"
			string darkSteamObjectName: "Dark"
			bool randomizeBarrel: true
			int randomizeBarrelBy: 10
		}
		{
			string componentName: "Probe"
		}
	}
}
)";
}

const std::string OBJECTS = Emitter("Boiler", "int hitPoints: 100") + Emitter("Stove", "") +
                            "struct Light" + PUFF + "struct Medium" + PUFF + "struct Dark" + PUFF;

SteamEmitterComponent& EmitterOf(const ComponentBody& unit) {
    return *static_cast<SteamEmitterComponent*>(unit.GetComponent("SteamEmitterComponent"));
}

int Count(const std::vector<int>& ids, int id) {
    return static_cast<int>(std::count(ids.begin(), ids.end(), id));
}

class SteamEmitterComponentTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeComponent(); }

    size_t Puffs() const {
        size_t count = 0;
        for (const char* name : {"Light", "Medium", "Dark"}) {
            count += UnitsOf(name).size();
        }
        return count;
    }

    std::vector<std::shared_ptr<ComponentBody>> UnitsOf(const std::string& name) const {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        level.world->CopyBodyList(bodies);
        std::vector<std::shared_ptr<ComponentBody>> units;
        for (const auto& body : bodies) {
            if (body->GetObjectName() == PropertyKey::Intern(name)) {
                units.push_back(std::static_pointer_cast<ComponentBody>(body));
            }
        }
        return units;
    }

    UnitTestWorld level{OBJECTS};
};

}  // namespace

TEST(SteamEmitterInLevelZeroTest, AnAirshipPuffsDarkerSteamTheMoreItIsDamaged) {
    LevelZeroWorld level;
    std::shared_ptr<ComponentBody> airship = level.Place("GoodAirShip", 1, 600.0f, 300.0f);
    const int full = airship->GetMaxHitPoints();
    ASSERT_EQ(full, 60);
    struct Step {
        int hitPoints;
        const char* puff;
    };
    const Step steps[] = {{60, "SteamPuffSmall"}, {35, "SteamPuffMedium"}, {15, "SteamPuffLarge"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.puff);
        airship->SetHitPoints(step.hitPoints);
        const size_t before = level.UnitsOf(step.puff).size();
        level.RunSeconds(0.85f);
        const std::vector<std::shared_ptr<ComponentBody>> puffs = level.UnitsOf(step.puff);
        ASSERT_EQ(puffs.size(), before + 1);
        const orvel::Vector4 stack = Pixels(airship->GetPosition());
        const orvel::Vector4 puff = Pixels(puffs.back()->GetPosition());
        EXPECT_NEAR(puff.x, stack.x - 40.0f, 5.0f);
        EXPECT_NEAR(puff.y, stack.y + 22.0f, 5.0f);
        EXPECT_EQ(puffs.back()->GetTeam(), 1);
        EXPECT_EQ(puffs.back()->GetMaterialGroup(), PropertyKey("mg_no_collide"));
    }
    // The light puff faded out over its 1.2 seconds and left the world.
    EXPECT_TRUE(level.UnitsOf("SteamPuffSmall").empty());
    EXPECT_FALSE(airship->IsDead());
}

TEST_F(SteamEmitterComponentTest, TheKindOfSteamFollowsTheShareOfHitPointsLeft) {
    struct Case {
        const char* unit;
        int hitPoints;
        const char* steam;
    };
    const Case cases[] = {
        {"Boiler", 100, "Light"}, {"Boiler", 67, "Light"}, {"Boiler", 66, "Medium"},
        {"Boiler", 34, "Medium"}, {"Boiler", 33, "Dark"},  {"Boiler", 0, "Dark"},
        {"Stove", 0, "Light"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + " at " + std::to_string(c.hitPoints));
        std::shared_ptr<ComponentBody> unit = level.Make(c.unit, 1);
        unit->SetHitPoints(c.hitPoints);
        SteamEmitterComponent& emitter = EmitterOf(*unit);
        emitter.ChooseSteam();
        EXPECT_EQ(emitter.GetCurrentSteam(), PropertyKey(c.steam));
    }
}

TEST_F(SteamEmitterComponentTest, AnArmedEmitterPuffsEveryIntervalStraightUpFromItsStack) {
    for (int team : {1, -1}) {
        SCOPED_TRACE(team);
        UnitTestWorld world(OBJECTS);
        std::shared_ptr<ComponentBody> boiler = world.Place("Boiler", team, 1000.0f, 80.0f);
        const auto& probe = static_cast<const ProbeComponent&>(*boiler->GetComponents()[1]);
        world.RunSeconds(2.05f);
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        world.world->CopyBodyList(bodies);
        int puffs = 0;
        for (const auto& body : bodies) {
            if (body->GetObjectName() != PropertyKey("Light")) {
                continue;
            }
            ++puffs;
            const auto& puff = static_cast<const ComponentBody&>(*body);
            EXPECT_EQ(puff.GetTeam(), team);
            EXPECT_FLOAT_EQ(puff.GetPosition().x * SCALE, 1000.0f + 12.0f * team);
            EXPECT_FLOAT_EQ(puff.GetPosition().y * SCALE, 110.0f);
            const auto& heard = static_cast<const ProbeComponent&>(*puff.GetComponents()[0]);
            ASSERT_EQ(heard.messages.size(), 1u);
            EXPECT_EQ(heard.messages[0].id, MESSAGE_SET_TARGET);
            const auto* direction = reinterpret_cast<const orvel::Vector4*>(heard.messages[0].data);
            EXPECT_FLOAT_EQ(direction->x, 0.0f);
            EXPECT_FLOAT_EQ(direction->y, 1.0f);
        }
        EXPECT_EQ(puffs, 4);
        EXPECT_EQ(Count(probe.Ids(), MESSAGE_EMIT), 4);
        EXPECT_FLOAT_EQ(EmitterOf(*boiler).GetShotStart().y * SCALE, 110.0f);
    }
}

TEST_F(SteamEmitterComponentTest, DeathStopsTheSteamAndArmingStartsItAtOnceAfterAPause) {
    std::shared_ptr<ComponentBody> boiler = level.Place("Boiler", 1, 1000.0f, 80.0f);
    SteamEmitterComponent& emitter = EmitterOf(*boiler);
    level.RunSeconds(0.3f);
    EXPECT_TRUE(boiler->SendMessage(MESSAGE_SET_ARMED, 0));
    EXPECT_FALSE(emitter.IsArmed());
    level.RunSeconds(1.0f);
    EXPECT_EQ(Puffs(), 0u);
    EXPECT_TRUE(boiler->SendMessage(MESSAGE_SET_ARMED, 1));
    level.RunSeconds(orvel::Mechanica::kStep);
    EXPECT_EQ(Puffs(), 1u);

    boiler->SendMessage(MESSAGE_DIE);
    EXPECT_FALSE(emitter.IsArmed());
    level.RunSeconds(2.0f);
    EXPECT_EQ(Puffs(), 1u);

    std::shared_ptr<ComponentBody> removed = level.Make("Boiler", 1);
    EXPECT_TRUE(removed->SendMessage(MESSAGE_REMOVE));
    EXPECT_FALSE(EmitterOf(*removed).IsArmed());
    EXPECT_FALSE(removed->SendMessage(MESSAGE_STOP));
}

TEST_F(SteamEmitterComponentTest, ACloneTakesTheSettingsAndDisarmingItLeavesThePrototypeArmed) {
    std::shared_ptr<ComponentBody> prototype = level.Make("Boiler", -1);
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*prototype);
    SteamEmitterComponent& copy = EmitterOf(*clone);
    EXPECT_EQ(copy.GetLightSteam(), PropertyKey("Light"));
    EXPECT_EQ(copy.GetMediumSteam(), PropertyKey("Medium"));
    EXPECT_EQ(copy.GetDarkSteam(), PropertyKey("Dark"));
    EXPECT_EQ(copy.GetCurrentSteam(), PropertyKey("Light"));
    EXPECT_FLOAT_EQ(copy.GetTimeBetweenShots(), 0.5f);
    EXPECT_FLOAT_EQ(copy.GetShotCreationPoint().x * SCALE, -12.0f);
    EXPECT_FLOAT_EQ(copy.GetShotCreationPoint().y * SCALE, 30.0f);
    EXPECT_TRUE(copy.GetRandomizeBarrel());
    EXPECT_NEAR(copy.GetBarrelSpread(), 0.174533f, 1e-5f);

    clone->SendMessage(MESSAGE_SET_ARMED, 0);
    clone->SetHitPoints(10);
    copy.ChooseSteam();
    EXPECT_FALSE(copy.IsArmed());
    EXPECT_EQ(copy.GetCurrentSteam(), PropertyKey("Dark"));
    EXPECT_TRUE(EmitterOf(*prototype).IsArmed());
    EXPECT_EQ(EmitterOf(*prototype).GetCurrentSteam(), PropertyKey("Light"));
}

TEST_F(SteamEmitterComponentTest, ADefinitionMissingARequiredKeyFailsNamingIt) {
    const char* const keys[] = {"shotCreationPoint", "timeBetweenShots", "lightSteamObjectName",
                                "mediumSteamObjectName", "darkSteamObjectName"};
    const char* const lines[] = {
        "point shotCreationPoint: 0, 10", "float timeBetweenShots: 1",
        "string lightSteamObjectName: \"Light\"", "string mediumSteamObjectName: \"Medium\"",
        "string darkSteamObjectName: \"Dark\""};
    for (int missing = 0; missing < 5; ++missing) {
        SCOPED_TRACE(keys[missing]);
        std::string entry;
        for (int i = 0; i < 5; ++i) {
            if (i != missing) {
                entry += std::string(lines[i]) + "\n";
            }
        }
        UnitTestWorld broken("struct Broken\n{\nlist struct Geometry\n{\n{\nstring type: \"BOX\"\n"
                             "point extent: 10, 10\n}\n}\nlist struct Components\n{\n{\n"
                             "string componentName: \"SteamEmitter\"\n" +
                             entry + "}\n}\n}\n");
        try {
            broken.Make("Broken", 0);
            ADD_FAILURE() << "loaded";
        } catch (const orvel::ExceptionStringNotFound& e) {
            EXPECT_NE(e.What().find(keys[missing]), std::string::npos);
            EXPECT_NE(e.What().find("objectFile?"), std::string::npos);
        }
    }
}
