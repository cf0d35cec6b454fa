#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/physics/collision.h"
#include "game/units/component_body.h"
#include "game/units/components/factory_component.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

const char* const OBJECTS = R"(
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
	float extraSpawnTime: 1.5
	int hitPoints: 12
	int unitCost: 7
	int damageMultiplier: 3
	bool appliesGravity: true
	bool noRotate: true
	bool useUpVectorJoint: true
	point spawnOffset: 60, 90
	string teamName: "team_good"
	list pointf Lines
	{
		(0, 0)
		(10, 20)
	}
	list struct Components
	{
		{
			string componentName: "Probe"
			int charge: 5
			list int answers
			{
				23
			}
		}
	}
}
struct Depot
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 90, 60
		}
	}
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Factory"
			point spawnPoint: 30, 15
			pointf spawnVelocity: 2.7, -1.2
			int maxDollars: 80
			list string unitTypesAllowed
			{
				"Walker"
			}
		}
	}
}
)";

class UnitCloningTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeComponent(); }

    std::shared_ptr<ComponentBody> CloneOf(const ComponentBody& prototype) {
        auto clone = std::static_pointer_cast<ComponentBody>(prototype.Clone());
        clone->CopyFrom(prototype);
        return clone;
    }

    UnitTestWorld level{OBJECTS};
};

}  // namespace

TEST_F(UnitCloningTest, AClonedUnitCopiesItsUnitFieldsButNotItsDamageMultiplier) {
    std::shared_ptr<ComponentBody> prototype = level.Make("Walker", -1);
    prototype->SetPosition(orvel::Vector4(4.0f, 5.0f, 0.0f));
    std::shared_ptr<ComponentBody> clone = CloneOf(*prototype);
    EXPECT_EQ(clone->GetObjectName(), PropertyKey("Walker"));
    EXPECT_EQ(clone->GetTeam(), -1);
    EXPECT_FLOAT_EQ(clone->GetMass(), 2.0f);
    EXPECT_EQ(clone->GetMaterialGroup(), PropertyKey("mg_mobile_unit"));
    EXPECT_EQ(clone->GetHitPoints(), 12);
    EXPECT_EQ(clone->GetMaxHitPoints(), 12);
    EXPECT_TRUE(clone->HasHitPoints());
    EXPECT_EQ(clone->GetUnitCost(), 7);
    EXPECT_FLOAT_EQ(clone->GetExtraSpawnTime(), 1.5f);
    EXPECT_FLOAT_EQ(clone->GetSpawnOffset().y, 3.0f);
    EXPECT_TRUE(clone->IsGravityOn());
    EXPECT_EQ(clone->GetDamageMultiplier(), 1);
    EXPECT_EQ(clone->GetLines().size(), 2u);
    EXPECT_FLOAT_EQ(clone->GetPosition().x, 4.0f);
    EXPECT_FALSE(clone->IsDead());
}

TEST_F(UnitCloningTest, AClonedUnitHasAShapeJointsAndComponentsOfItsOwn) {
    std::shared_ptr<ComponentBody> prototype = level.Make("Walker", 0);
    std::shared_ptr<ComponentBody> clone = CloneOf(*prototype);
    EXPECT_NE(clone->GetCollision(), prototype->GetCollision());
    EXPECT_EQ(clone->GetCollision()->GetType(), PropertyKey("BOX"));
    EXPECT_FLOAT_EQ(clone->GetCollision()->GetDimension(1), 2.0f);
    ASSERT_TRUE(clone->GetNoRotateJoint());
    EXPECT_NE(clone->GetNoRotateJoint(), prototype->GetNoRotateJoint());
    ASSERT_TRUE(clone->GetUpVectorJoint());
    EXPECT_NE(clone->GetUpVectorJoint(), prototype->GetUpVectorJoint());

    ASSERT_EQ(clone->GetComponents().size(), 1u);
    auto& copy = static_cast<ProbeComponent&>(*clone->GetComponents()[0]);
    const auto& original = static_cast<ProbeComponent&>(*prototype->GetComponents()[0]);
    EXPECT_NE(&copy, &original);
    EXPECT_EQ(copy.GetOwner(), clone.get());
    EXPECT_EQ(copy.GetType(), PropertyKey("ProbeComponent"));
    EXPECT_EQ(copy.charge, 5);
    EXPECT_TRUE(clone->SendMessage(23, 0));
}

TEST_F(UnitCloningTest, ChangingACloneLeavesItsPrototypeAsItWas) {
    std::shared_ptr<ComponentBody> prototype = level.Make("Walker", 0);
    std::shared_ptr<ComponentBody> clone = CloneOf(*prototype);
    clone->HandleEvent(2, 5, nullptr);
    clone->SendMessage(21, -1);
    clone->SetPosition(orvel::Vector4(9.0f, 9.0f, 0.0f));
    static_cast<ProbeComponent&>(*clone->GetComponents()[0]).charge = 99;

    EXPECT_EQ(prototype->GetHitPoints(), 12);
    EXPECT_EQ(prototype->GetTeam(), 1);
    EXPECT_FLOAT_EQ(prototype->GetPosition().x, 0.0f);
    const auto& original = static_cast<ProbeComponent&>(*prototype->GetComponents()[0]);
    EXPECT_EQ(original.charge, 5);
    EXPECT_TRUE(original.messages.empty());
}

TEST_F(UnitCloningTest, AClonedFactoryCopiesItsParametersButNotItsProductsOrQueue) {
    std::shared_ptr<ComponentBody> prototypeUnit = level.Make("Depot", 0);
    auto* prototype = static_cast<FactoryComponent*>(prototypeUnit->GetComponent("FactoryComponent"));
    prototype->SetDollars(40);
    prototype->SetHoldPosition(orvel::Vector4(-25.0f, 5.0f, 0.0f));
    prototype->HoldBody(0, level.Make("Walker", 0), true);
    prototype->Buy(0);

    std::shared_ptr<ComponentBody> cloneUnit = CloneOf(*prototypeUnit);
    auto* clone = static_cast<FactoryComponent*>(cloneUnit->GetComponent("FactoryComponent"));
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone, prototype);
    EXPECT_EQ(clone->GetDollars(), 33);
    EXPECT_EQ(clone->GetMaxDollars(), 80);
    EXPECT_FLOAT_EQ(clone->GetSpawnPoint().x, 1.0f);
    EXPECT_FLOAT_EQ(clone->GetSpawnPoint().y, 0.5f);
    EXPECT_FLOAT_EQ(clone->GetSpawnVelocity().x, 2.0f);
    EXPECT_FLOAT_EQ(clone->GetSpawnVelocity().y, -1.0f);
    EXPECT_FLOAT_EQ(clone->GetHoldPosition().x, -25.0f);
    EXPECT_EQ(clone->GetHeldBody(0), nullptr);
    EXPECT_TRUE(clone->GetQueue().empty());

    clone->SetDollars(3);
    clone->HoldBody(1, level.Make("Walker", 0), true);
    EXPECT_EQ(prototype->GetDollars(), 33);
    EXPECT_EQ(prototype->GetHeldBody(1), nullptr);
    EXPECT_EQ(prototype->GetQueue().size(), 1u);
}
