#include "game/units/components/bomber_component.h"

#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/physics/joint.h"
#include "engine/physics/multi_sensor_body.h"
#include "game/units/component_body.h"
#include "game/units/components/factory_component.h"
#include "game/units/unit_message.h"
#include "level_zero_world.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

const float SCALE = UnitTestWorld::SCALE;

// A carrier that hangs a Shell 12 pixels to its front and 30 below, with a
// sensor 300 pixels deep under it; a Glider with no sensor; and the Shell,
// which counts its own passes with a probe.
const char* const OBJECTS = R"(
struct Carrier
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 30
		}
	}
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Bomber"
			point shotCreationPoint: 12, -30
			string shotObjectName: "Shell"
			struct Geometry
			{
				string type: "BOX"
				point extent: 30, 300
				point position: 0, -170
			}
			string materialGroupName: "mg_unit_sensor"
		}
	}
}
struct Glider
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 30
		}
	}
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Bomber"
			point shotCreationPoint: 12, -30
			string shotObjectName: "Shell"
		}
	}
}
struct Shell
{
	float mass: 2
	string materialGroupName: "mg_shot"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 6, 12
		}
	}
	bool appliesGravity: true
	list struct Components
	{
		{
			string componentName: "Probe"
		}
	}
}
struct Walker
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
	bool appliesGravity: true
	list struct Components
	{
	}
}
)";

BomberComponent& BomberOf(const ComponentBody& unit) {
    return *static_cast<BomberComponent*>(unit.GetComponent("BomberComponent"));
}

// Holds a unit where it is, as a balloon's lift would: a ball joint to the
// sky at its centre.
std::shared_ptr<orvel::Joint> Tether(orvel::Mechanica& world, ComponentBody& unit) {
    auto tether = std::make_shared<orvel::Joint>(&world);
    tether->CreateBall(unit.GetPosition(), &unit, nullptr);
    return tether;
}

float Distance(const orvel::Vector4& a, const orvel::Vector4& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

class BomberComponentTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeComponent(); }

    // A carrier of the team in the air at (x, 300) pixels, held there.
    std::shared_ptr<ComponentBody> Hover(const char* name, int team, float x) {
        std::shared_ptr<ComponentBody> carrier = level.Place(name, team, x, 300.0f);
        tethers.push_back(Tether(level.World(), *carrier));
        return carrier;
    }

    void Run(float seconds) { level.RunSeconds(seconds); }

    UnitTestWorld level{OBJECTS};
    std::vector<std::shared_ptr<orvel::Joint>> tethers;
};

}  // namespace

TEST(BomberInLevelZeroTest, ABalloonBombDropsItsBombOnAnEnemyBelowAndNotOnAFriend) {
    struct Case {
        const char* what;
        int team;
        bool drops;
    };
    for (const Case& c : {Case{"an enemy tank", -1, true}, Case{"a friendly tank", 1, false},
                          Case{"an open field", 0, false}}) {
        SCOPED_TRACE(c.what);
        LevelZeroWorld level;
        const float x = 500.0f;
        std::shared_ptr<ComponentBody> balloon = level.Place("BalloonBomb", 1, x, 330.0f);
        auto tether = Tether(*level.world, *balloon);
        if (c.team != 0) {
            level.Stand("Tank", c.team, x, 15.0f);
        }
        BomberComponent& bomber = BomberOf(*balloon);
        ComponentBody* bomb = bomber.GetBomb();
        ASSERT_NE(bomb, nullptr);
        EXPECT_EQ(bomb->GetObjectName(), PropertyKey("Bomb"));
        EXPECT_EQ(bomb->GetTeam(), 1);

        level.RunSeconds(2.0f);
        EXPECT_EQ(bomber.IsDropped(), c.drops);
        ASSERT_EQ(bomber.GetBomb(), bomb);
        const orvel::Vector4 at = Pixels(bomb->GetPosition());
        const orvel::Vector4 carrier = Pixels(balloon->GetPosition());
        if (c.drops) {
            // It fell onto the tank: on its roof, right under the balloon.
            EXPECT_NEAR(at.x, x, 20.0f);
            EXPECT_LT(at.y, level.GroundAt(x) + 60.0f);
            EXPECT_FALSE(bomber.GetBombJoint());
        } else {
            EXPECT_NEAR(Distance(at, carrier), 34.0f, 3.0f);
            EXPECT_LT(at.y, carrier.y);
            EXPECT_TRUE(bomber.GetBombJoint()->IsAttached());
        }
    }
}

TEST_F(BomberComponentTest, AnEnemyPassingBelowDropsTheBombOnceAndTheCarrierFliesOnWithout) {
    std::shared_ptr<ComponentBody> carrier = Hover("Carrier", 1, 900.0f);
    BomberComponent& bomber = BomberOf(*carrier);
    level.Place("Walker", -1, 900.0f, 80.0f);
    Run(0.3f);
    ASSERT_TRUE(bomber.IsDropped());
    EXPECT_EQ(level.World().GetKeptObjectCount(), 0u);
    level.Place("Walker", -1, 905.0f, 120.0f);
    Run(0.5f);
    EXPECT_TRUE(bomber.IsDropped());
    EXPECT_FALSE(bomber.GetBombJoint());
}

TEST_F(BomberComponentTest, ABomberWithoutASensorKeepsItsBombUntilItDies) {
    std::shared_ptr<ComponentBody> glider = Hover("Glider", 1, 900.0f);
    BomberComponent& bomber = BomberOf(*glider);
    EXPECT_FALSE(bomber.GetSensor());
    level.Place("Walker", -1, 900.0f, 80.0f);
    Run(1.0f);
    EXPECT_FALSE(bomber.IsDropped());
    EXPECT_TRUE(glider->SendMessage(MESSAGE_DIE));
    EXPECT_TRUE(bomber.IsDropped());
    Run(1.0f);
    EXPECT_LT(bomber.GetBomb()->GetPosition().y * SCALE, 150.0f);
}

TEST_F(BomberComponentTest, TheBombHangsAtTheOffsetMirroredForAFlippedCarrier) {
    for (int team : {1, -1}) {
        SCOPED_TRACE(team);
        std::shared_ptr<ComponentBody> carrier = level.Place("Glider", team, 600.0f, 300.0f);
        const BomberComponent& bomber = BomberOf(*carrier);
        EXPECT_FLOAT_EQ(bomber.GetBombOffset().x * SCALE, 12.0f * team);
        EXPECT_FLOAT_EQ(bomber.GetBombOffset().y * SCALE, -30.0f);
        const orvel::Vector4 bomb = Pixels(bomber.GetBomb()->GetPosition());
        EXPECT_FLOAT_EQ(bomb.x, 600.0f + 12.0f * team);
        EXPECT_FLOAT_EQ(bomb.y, 270.0f);
        EXPECT_EQ(bomber.GetBomb()->GetTeam(), team);
    }
}

TEST_F(BomberComponentTest, ACarrierRemovedBeforeDroppingTakesItsBombAlong) {
    std::shared_ptr<ComponentBody> glider = Hover("Glider", 1, 900.0f);
    ComponentBody* bomb = BomberOf(*glider).GetBomb();
    EXPECT_TRUE(glider->SendMessage(MESSAGE_REMOVE));
    EXPECT_FALSE(bomb->IsAlive());
    const size_t before = level.World().GetBodyCount();
    Run(0.1f);
    EXPECT_EQ(level.World().GetBodyCount(), before - 2);
}

TEST_F(BomberComponentTest, ACarrierWeighsItsBombOnlyWhileItCarriesIt) {
    std::shared_ptr<ComponentBody> glider = Hover("Glider", 1, 900.0f);
    float mass = 0.0f;
    glider->SendMessage(MESSAGE_ADD_MASS, reinterpret_cast<intptr_t>(&mass));
    EXPECT_FLOAT_EQ(mass, 3.0f);
    glider->SendMessage(MESSAGE_DIE);
    mass = 0.0f;
    glider->SendMessage(MESSAGE_ADD_MASS, reinterpret_cast<intptr_t>(&mass));
    EXPECT_FLOAT_EQ(mass, 1.0f);
}

TEST_F(BomberComponentTest, MovingTheCarrierTakesAHangingBombAlongButNotADroppedOne) {
    std::shared_ptr<ComponentBody> glider = level.Place("Glider", 1, 600.0f, 300.0f);
    ComponentBody* bomb = BomberOf(*glider).GetBomb();
    glider->SetPosition(orvel::Vector4(700.0f / SCALE, 320.0f / SCALE, 0.0f));
    EXPECT_FLOAT_EQ(Pixels(bomb->GetPosition()).x, 712.0f);
    EXPECT_FLOAT_EQ(Pixels(bomb->GetPosition()).y, 290.0f);
    glider->SendMessage(MESSAGE_DIE);
    glider->SetPosition(orvel::Vector4(1000.0f / SCALE, 320.0f / SCALE, 0.0f));
    EXPECT_FLOAT_EQ(Pixels(bomb->GetPosition()).x, 712.0f);
}

TEST_F(BomberComponentTest, AHangingBombIsSteppedOnceAFrameLikeAnyUnit) {
    std::shared_ptr<ComponentBody> carrier = Hover("Carrier", 1, 900.0f);
    const auto& probe =
        static_cast<const ProbeComponent&>(*BomberOf(*carrier).GetBomb()->GetComponents()[0]);
    Run(0.5f);
    EXPECT_EQ(probe.preSteps, 30);
    EXPECT_EQ(probe.updates, 30);
}

TEST_F(BomberComponentTest, ATeamChangeReachesTheBombAndADestroyedBombIsForgotten) {
    std::shared_ptr<ComponentBody> glider = Hover("Glider", 1, 900.0f);
    BomberComponent& bomber = BomberOf(*glider);
    glider->SendMessage(MESSAGE_SET_TEAM, -1);
    EXPECT_EQ(bomber.GetBomb()->GetTeam(), -1);
    bomber.GetBomb()->SetAlive(false);
    Run(0.1f);
    EXPECT_EQ(bomber.GetBomb(), nullptr);
    EXPECT_FALSE(bomber.IsCarrying());
}

TEST_F(BomberComponentTest, ACloneCarriesABombOfItsOwnAndDropsItAlone) {
    std::shared_ptr<ComponentBody> prototype = level.Make("Carrier", 1);
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*prototype);
    const BomberComponent& original = BomberOf(*prototype);
    BomberComponent& copy = BomberOf(*clone);
    ASSERT_NE(copy.GetBomb(), nullptr);
    EXPECT_NE(copy.GetBomb(), original.GetBomb());
    EXPECT_NE(copy.GetSensor(), original.GetSensor());
    EXPECT_EQ(copy.GetSensor()->GetMaterialGroup(), PropertyKey("mg_unit_sensor"));
    EXPECT_EQ(copy.GetBombObjectName(), PropertyKey("Shell"));
    EXPECT_FLOAT_EQ(copy.GetBombOffset().x, original.GetBombOffset().x);
    EXPECT_FLOAT_EQ(copy.GetBombMass(), 2.0f);
    EXPECT_TRUE(copy.GetBombJoint()->IsAttached());

    clone->SendMessage(MESSAGE_DIE);
    EXPECT_TRUE(copy.IsDropped());
    EXPECT_FALSE(original.IsDropped());
    EXPECT_TRUE(original.GetBombJoint()->IsAttached());
}

TEST(BomberInLevelZeroTest, ABalloonBombWithoutABombThatDriftsOffCountsNoLoss) {
    LevelZeroWorld game;
    std::shared_ptr<ComponentBody> balloon = game.Place("BalloonBomb", 1, 500.0f, 420.0f);
    BomberComponent& bomber = BomberOf(*balloon);
    bomber.GetBomb()->SetAlive(false);
    game.RunSeconds(0.1f);
    ASSERT_EQ(bomber.GetBomb(), nullptr);
    balloon->OnLeaveWorld();
    EXPECT_EQ(game.stats->Get(UnitStats::KIND_LOST, "BalloonBomb", 1), 0);
    EXPECT_FALSE(balloon->IsAlive());

    std::shared_ptr<ComponentBody> armed = game.Place("BalloonBomb", 1, 700.0f, 420.0f);
    ComponentBody* bomb = BomberOf(*armed).GetBomb();
    armed->OnLeaveWorld();
    EXPECT_EQ(game.stats->Get(UnitStats::KIND_LOST, "BalloonBomb", 1), 1);
    EXPECT_FALSE(bomb->IsAlive());
    EXPECT_EQ(BomberOf(*armed).GetBomb(), nullptr);
}

TEST_F(BomberComponentTest, ADefinitionMissingARequiredKeyFailsNamingIt) {
    struct Case {
        const char* key;
        const char* entry;
    };
    const Case cases[] = {
        {"shotCreationPoint", "string shotObjectName: \"Shell\""},
        {"shotObjectName", "point shotCreationPoint: 0, -30"},
        {"materialGroupName",
         "point shotCreationPoint: 0, -30\n string shotObjectName: \"Shell\"\n"
         "struct Geometry\n{\nstring type: \"BOX\"\npoint extent: 10, 10\n}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        UnitTestWorld broken(std::string(OBJECTS) +
                             "struct Broken\n{\nlist struct Geometry\n{\n{\nstring type: \"BOX\"\n"
                             "point extent: 10, 10\n}\n}\nlist struct Components\n{\n{\n"
                             "string componentName: \"Bomber\"\n" +
                             c.entry + "\n}\n}\n}\n");
        try {
            broken.Make("Broken", 0);
            ADD_FAILURE() << "loaded";
        } catch (const orvel::ExceptionStringNotFound& e) {
            EXPECT_NE(e.What().find(c.key), std::string::npos);
            EXPECT_NE(e.What().find("objectFile?"), std::string::npos);
        }
    }
}

TEST(BomberInLevelZeroTest, EveryBalloonBombBoughtFromTheFactoryCarriesABombOfItsOwn) {
    LevelZeroWorld level;
    std::shared_ptr<ComponentBody> depot = level.Stand("Static_Factory", 1, 512.0f, 60.0f);
    auto* factory = static_cast<FactoryComponent*>(depot->GetComponent("FactoryComponent"));
    factory->SetHoldPosition(orvel::Vector4(-25.0f, 5.0f, 0.0f));
    std::shared_ptr<ComponentBody> prototype = level.Make("BalloonBomb", 0);
    factory->HoldBody(4, prototype, true);
    factory->SetDollars(factory->GetMaxDollars());
    factory->Buy(4);
    factory->Buy(4);
    level.RunSeconds(4.5f);
    const auto balloons = level.UnitsOf("BalloonBomb");
    ASSERT_EQ(balloons.size(), 2u);
    for (const auto& balloon : balloons) {
        const BomberComponent& bomber = BomberOf(*balloon);
        ASSERT_NE(bomber.GetBomb(), nullptr);
        EXPECT_NE(bomber.GetBomb(), BomberOf(*prototype).GetBomb());
        EXPECT_TRUE(bomber.GetBombJoint()->IsAttached());
        // The balloon lets the factory out high enough for its bomb to
        // clear the ground (a bomb that touches it goes off), and rises
        // with the bomb hanging under it.
        EXPECT_LT(Distance(bomber.GetBomb()->GetPosition(), balloon->GetPosition()) * SCALE,
                  36.0f);
    }
    EXPECT_NE(BomberOf(*balloons[0]).GetBomb(), BomberOf(*balloons[1]).GetBomb());
}
