#include "game/units/components/magnet_component.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/units/component_body.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_message.h"
#include "unit_test_world.h"

namespace {

// Cranes that feel no gravity, each with a pad under it that touches what
// stands below and a wide field that reaches further down; crates and
// barrels to lift (barrels are deflected by the Crane).
std::string Crane(const char* name, const char* extraKeys) {
    return std::string("struct ") + name + R"(
{
	float mass: 5
	string materialGroupName: "mg_magnet"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 160, 20
		}
	}
	list struct Components
	{
		{
			string componentName: "Magnet"
)" + extraKeys + R"(
			struct ContactSensor
			{
				string contactMaterialGroupName: "mg_unit_sensor"
				list struct Geometry
				{
					{
						string type: "BOX"
						point extent: 160, 20
						point position: 0, -20
					}
				}
			}
			struct AttractSensor
			{
				string attractMaterialGroupName: "mg_unit_sensor"
				list struct Geometry
				{
					{
						string type: "BOX"
						point extent: 200, 200
						point position: 0, -100
					}
				}
			}
		}
	}
}
)";
}

std::string Cargo(const char* name, float mass) {
    return std::string("struct ") + name + "\n{\n\tfloat mass: " + std::to_string(mass) + R"(
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 20, 20
		}
	}
	int hitPoints: 5
	bool appliesGravity: true
	bool useUpVectorJoint: true
	list struct Components
	{
	}
}
)";
}

const std::string OBJECTS =
    Crane("Crane", "\t\t\tfloat attractForce: 8\n\t\t\tint maxStack: 2\n"
                   "\t\t\tlist string unitTypesDeflected\n\t\t\t{\n\t\t\t\t\"Barrel\"\n\t\t\t}\n") +
    Crane("BareCrane", "") + Crane("NoCrane", "\t\t\tint maxStack: 0\n") +
    Crane("NegativeCrane", "\t\t\tint maxStack: -1\n") + Cargo("Crate", 1.0f) +
    Cargo("Heavy", 3.0f) + Cargo("Barrel", 1.0f);

const float SCALE = UnitTestWorld::SCALE;
// The crane hangs with its pad just over the top of cargo standing on the
// ground (cargo tops at 80 pixels, the pad from 70 to 90).
const float CRANE_Y = 100.0f;
const float CARGO_Y = 71.0f;

class MagnetComponentTest : public ::testing::Test {
protected:
    MagnetComponent& Hang(const char* name, float x = 600.0f) {
        crane = level.Place(name, 1, x, CRANE_Y);
        return *static_cast<MagnetComponent*>(crane->GetComponent("MagnetComponent"));
    }

    std::shared_ptr<ComponentBody> Stand(const char* name, float x) {
        auto unit = level.Place(name, 1, x, CARGO_Y);
        cargo.push_back(unit);
        return unit;
    }

    UnitTestWorld level{OBJECTS};
    std::shared_ptr<ComponentBody> crane;
    std::vector<std::shared_ptr<ComponentBody>> cargo;
};

bool Holds(const MagnetComponent& magnet, const ComponentBody* unit) {
    const std::vector<ComponentBody*>& held = magnet.GetHeldBodies();
    return std::find(held.begin(), held.end(), unit) != held.end();
}

}  // namespace

TEST_F(MagnetComponentTest, LoadsItsKeysAndDefaults) {
    EXPECT_EQ(MagnetComponent().GetAttractForce(), 8.0f);
    const MagnetComponent& crane = Hang("Crane");
    EXPECT_EQ(crane.GetAttractForce(), 8.0f);
    EXPECT_EQ(crane.GetMaxStack(), 2u);
    EXPECT_EQ(crane.GetUnitTypesDeflected(), std::vector<PropertyKey>{PropertyKey("Barrel")});
    EXPECT_FALSE(crane.IsActive());
    ASSERT_TRUE(crane.GetContactSensor());
    ASSERT_TRUE(crane.GetAttractSensor());
    EXPECT_EQ(crane.GetContactSensor()->GetMaterialGroup(), PropertyKey("mg_unit_sensor"));
    const MagnetComponent& bare = Hang("BareCrane", 1200.0f);
    EXPECT_EQ(bare.GetAttractForce(), 3.0f);
    EXPECT_EQ(bare.GetMaxStack(), 4u);
}

// Three crates under the pad: the magnet takes them in the sensor's order
// up to its stack, and a full magnet pulls nothing more. A negative stack
// holds nothing, as 0 does.
TEST_F(MagnetComponentTest, TakesUpToItsStack) {
    struct Case {
        const char* crane;
        size_t held;
    };
    for (const Case& c : {Case{"NoCrane", 0}, Case{"NegativeCrane", 0}, Case{"Crane", 2},
                          Case{"BareCrane", 3}}) {
        SCOPED_TRACE(c.crane);
        MagnetComponent& magnet = Hang(c.crane);
        for (float x : {560.0f, 600.0f, 640.0f}) {
            Stand("Crate", x);
        }
        level.RunSeconds(0.3f);
        EXPECT_TRUE(magnet.GetHeldBodies().empty());
        crane->SendMessage(MESSAGE_FIRE);
        EXPECT_TRUE(magnet.IsActive());
        level.RunSeconds(2.0f * orvel::Mechanica::kStep);
        ASSERT_EQ(magnet.GetHeldBodies().size(), c.held);
        EXPECT_FLOAT_EQ(magnet.GetHeldMass(), float(c.held));
        int pulled = 0;
        for (const auto& crate : cargo) {
            const bool held = Holds(magnet, crate.get());
            EXPECT_EQ(crate->IsMagneted(), held);
            pulled += !held && crate->GetForce().y != 0.0f ? 1 : 0;
        }
        EXPECT_EQ(pulled, 0);
        float carried = 0.0f;
        EXPECT_TRUE(
            crane->SendMessage(MESSAGE_ADD_CARRIED_MASS, reinterpret_cast<intptr_t>(&carried)));
        EXPECT_FLOAT_EQ(carried, float(c.held));

        for (const auto& unit : cargo) {
            unit->SendMessage(MESSAGE_REMOVE);
        }
        crane->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(orvel::Mechanica::kStep);
        cargo.clear();
    }
}

TEST_F(MagnetComponentTest, LeavesDeflectedTypes) {
    MagnetComponent& magnet = Hang("Crane");
    auto barrel = Stand("Barrel", 600.0f);
    magnet.Activate();
    level.RunSeconds(0.5f);
    EXPECT_TRUE(magnet.GetHeldBodies().empty());
    EXPECT_FALSE(barrel->IsMagneted());
    EXPECT_FALSE(magnet.AcceptContact(nullptr, barrel.get()));
}

TEST_F(MagnetComponentTest, StopAndDieDropEverythingAndFireSwitchesOn) {
    for (int message : {MESSAGE_STOP, MESSAGE_DIE}) {
        SCOPED_TRACE(message);
        MagnetComponent& magnet = Hang("BareCrane");
        auto crate = Stand("Crate", 580.0f);
        auto heavy = Stand("Heavy", 620.0f);
        crane->SendMessage(MESSAGE_FIRE);
        level.RunSeconds(0.1f);
        ASSERT_EQ(magnet.GetHeldBodies().size(), 2u);
        EXPECT_FLOAT_EQ(magnet.GetHeldMass(), 4.0f);
        EXPECT_TRUE(crane->SendMessage(message));
        EXPECT_FALSE(magnet.IsActive());
        EXPECT_TRUE(magnet.GetHeldBodies().empty());
        EXPECT_EQ(magnet.GetHeldMass(), 0.0f);
        EXPECT_FALSE(crate->IsMagneted());
        EXPECT_FALSE(heavy->IsMagneted());
        for (const auto& unit : cargo) {
            unit->SendMessage(MESSAGE_REMOVE);
        }
        crane->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(orvel::Mechanica::kStep);
        cargo.clear();
    }
}

// A held unit that dies is let go at once; one that goes away is forgotten.
TEST_F(MagnetComponentTest, LetsGoOfTheDeadAndTheGone) {
    MagnetComponent& magnet = Hang("BareCrane");
    auto crate = Stand("Crate", 560.0f);
    auto heavy = Stand("Heavy", 600.0f);
    ComponentBody* gone = Stand("Crate", 640.0f).get();
    magnet.Activate();
    level.RunSeconds(0.1f);
    ASSERT_EQ(magnet.GetHeldBodies().size(), 3u);

    heavy->SendMessage(MESSAGE_DIE);
    level.RunSeconds(orvel::Mechanica::kStep);
    EXPECT_FALSE(Holds(magnet, heavy.get()));
    EXPECT_FALSE(heavy->IsMagneted());
    EXPECT_FLOAT_EQ(magnet.GetHeldMass(), 2.0f);

    cargo.pop_back();
    gone->SendMessage(MESSAGE_REMOVE);
    level.RunSeconds(orvel::Mechanica::kStep);
    EXPECT_EQ(magnet.GetHeldBodies(), std::vector<ComponentBody*>{crate.get()});
    EXPECT_FLOAT_EQ(magnet.GetHeldMass(), 1.0f);
    EXPECT_TRUE(magnet.IsActive());
}

// Inside the field a unit is pulled at the magnet's force per unit of its
// mass, its weight carried: straight below, it rises at attractForce.
TEST_F(MagnetComponentTest, PullsUnitsInItsFieldWithoutTheirWeight) {
    MagnetComponent& magnet = Hang("Crane");
    crane->SetPosition(orvel::Vector4(600.0f / SCALE, 300.0f / SCALE, 0.0f));
    auto crate = level.Place("Crate", 1, 600.0f, 180.0f);
    magnet.Activate();
    level.RunSeconds(orvel::Mechanica::kStep);
    const float v0 = VelocityOf(*crate).y;
    level.RunSeconds(0.25f);
    EXPECT_NEAR((VelocityOf(*crate).y - v0) / 0.25f, 8.0f, 0.3f);
    EXPECT_TRUE(magnet.GetHeldBodies().empty());
}

// A clone has magnets of its own and a stack of the default size.
TEST_F(MagnetComponentTest, AChangedCloneLeavesItsPrototype) {
    auto prototype = level.Make("Crane", 1);
    auto& original = *static_cast<MagnetComponent*>(prototype->GetComponent("MagnetComponent"));
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*prototype);
    auto& copy = *static_cast<MagnetComponent*>(clone->GetComponent("MagnetComponent"));
    EXPECT_EQ(copy.GetAttractForce(), 8.0f);
    EXPECT_EQ(copy.GetMaxStack(), MagnetComponent::kDefaultMaxStack);
    EXPECT_EQ(copy.GetUnitTypesDeflected(), original.GetUnitTypesDeflected());
    ASSERT_TRUE(copy.GetContactSensor());
    EXPECT_NE(copy.GetContactSensor(), original.GetContactSensor());
    EXPECT_NE(copy.GetAttractSensor(), original.GetAttractSensor());
    EXPECT_EQ(copy.GetContactSensor()->GetMaterialGroup(), PropertyKey("mg_unit_sensor"));

    clone->SendMessage(MESSAGE_FIRE);
    EXPECT_TRUE(copy.IsActive());
    EXPECT_FALSE(original.IsActive());
}
