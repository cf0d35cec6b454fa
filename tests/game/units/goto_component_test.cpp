#include "game/units/components/goto_component.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "game/units/component_body.h"
#include "game/units/components/magnet_component.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_message.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

const char* const CONTEXTS = R"(
			struct distanceContext
			{
				struct sets
				{
					struct approachVelocity
					{
						string type: "FUZZY_SET_MultiLinear"
						list pointf points
						{
							(-4, -1)
							(0, 0)
							(4, 1)
						}
					}
					struct distantX
					{
						string type: "FUZZY_SET_MultiLinear"
						list pointf points
						{
							(-100, 0)
							(100, 0)
						}
					}
					struct veryCloseX
					{
						string type: "FUZZY_SET_MultiLinear"
						list pointf points
						{
							(-1, 0)
							(-0.3, 1)
							(0.3, 1)
							(1, 0)
						}
					}
					struct closeY
					{
						string type: "FUZZY_SET_MultiLinear"
						list pointf points
						{
							(-0.8, 0)
							(-0.3, -1)
							(0.3, -1)
							(0.8, 0)
						}
					}
				}
			}
			struct speedContext
			{
				struct sets
				{
					struct fast
					{
						string type: "FUZZY_SET_MultiLinear"
						list pointf points
						{
							(-2, -1)
							(0, 0)
							(2, 1)
						}
					}
				}
			}
)";

// A flyer of mass 2 that feels gravity, with `gotoKeys` and optionally a
// magnet whose pad reaches 40 pixels below it.
std::string Flyer(const char* name, const char* gotoKeys, bool magnet) {
    std::string text = std::string("struct ") + name + R"(
{
	float mass: 2
	string materialGroupName: "mg_magnet"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 60, 20
		}
	}
	int hitPoints: 50
	bool appliesGravity: true
	bool useUpVectorJoint: true
	bool fallToDeath: true
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Goto"
)" + gotoKeys + CONTEXTS + R"(
		}
		{
			string componentName: "Probe"
		}
)";
    if (magnet) {
        text += R"(
		{
			string componentName: "Magnet"
			struct ContactSensor
			{
				string contactMaterialGroupName: "mg_unit_sensor"
				list struct Geometry
				{
					{
						string type: "BOX"
						point extent: 60, 20
						point position: 0, -25
					}
				}
			}
		}
)";
    }
    return text + "\t}\n}\n";
}

std::string Ground(const char* name, float mass) {
    return std::string("struct ") + name + "\n{\n\tfloat mass: " + std::to_string(mass) + R"(
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 40, 20
		}
	}
	bool appliesGravity: true
	bool useUpVectorJoint: true
	list struct Components
	{
	}
}
)";
}

const char* const STRONG = R"(
			float verticalThrust: 20
			float horizontalThrust: 40
			float maxVerticalVelocity: 3
			float maxHorizontalVelocity: 4
			float litresPerSecond: 0.5
)";

const std::string OBJECTS =
    Flyer("Flyer", STRONG, false) + Flyer("Idle", "", false) +
    Flyer("Weak", "\t\t\tfloat verticalThrust: 3\n\t\t\tfloat horizontalThrust: 40\n"
                  "\t\t\tfloat maxVerticalVelocity: 3\n\t\t\tfloat maxHorizontalVelocity: 4\n",
          true) +
    Flyer("Guzzler", "\t\t\tfloat verticalThrust: 20\n\t\t\tfloat horizontalThrust: 40\n"
                     "\t\t\tfloat maxVerticalVelocity: 3\n\t\t\tfloat maxHorizontalVelocity: 4\n"
                     "\t\t\tfloat litresPerSecond: 81\n",
          false) +
    Ground("Tank", 3.0f) + Ground("Crate", 1.0f);

const float SCALE = UnitTestWorld::SCALE;
const float STEP = orvel::Mechanica::kStep;

class GotoComponentTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeComponent(); }

    GotoComponent& Launch(const char* name, float x, float y) {
        flyer = level.Place(name, 1, x, y);
        return *static_cast<GotoComponent*>(flyer->GetComponent("GotoComponent"));
    }

    ProbeComponent& Probe() const {
        return static_cast<ProbeComponent&>(*flyer->GetComponents()[1]);
    }

    // A frame up to its physics step: the force then is the one the step
    // applied, limited.
    void StepPhysics() {
        level.world->PreStepBodies();
        level.world->Update(STEP + 1e-7f);
    }

    void FinishFrame() {
        level.world->UpdateBodies();
        level.world->ReleaseKeptObjects();
    }

    int Count(int id, intptr_t data) const {
        int n = 0;
        for (const ProbeComponent::Message& m : Probe().messages) {
            n += m.id == id && m.data == data ? 1 : 0;
        }
        return n;
    }

    UnitTestWorld level{OBJECTS};
    std::shared_ptr<ComponentBody> flyer;
};

}  // namespace

TEST_F(GotoComponentTest, LoadsItsKeysAndDefaults) {
    GotoComponent& flying = Launch("Flyer", 600.0f, 300.0f);
    EXPECT_EQ(flying.GetSteering().verticalThrust, 20.0f);
    EXPECT_EQ(flying.GetSteering().horizontalThrust, 40.0f);
    EXPECT_EQ(flying.GetSteering().maxVerticalVelocity, 3.0f);
    EXPECT_EQ(flying.GetSteering().maxHorizontalVelocity, 4.0f);
    EXPECT_EQ(flying.GetLitresPerSecond(), 0.5f);
    EXPECT_FALSE(flying.IsActive());
    EXPECT_EQ(Launch("Idle", 900.0f, 300.0f).GetLitresPerSecond(), 0.01f);
}

// Until a target is set it does nothing: the flyer falls like a stone.
TEST_F(GotoComponentTest, IdleUntilATargetIsSet) {
    Launch("Flyer", 600.0f, 400.0f);
    level.RunSeconds(0.5f);
    EXPECT_NEAR(VelocityOf(*flyer).y, -9.8f * 0.5f, 0.1f);
    EXPECT_TRUE(Probe().messages.empty());
}

// With both limits at 0 no force passes and no fuel is spent; a flyer with
// thrust hovers at its target, which costs fuel because the vertical force
// carries the weight: 19.6 against a full rate at 5.5.
TEST_F(GotoComponentTest, ThrustLimitsTheForceAndHoveringCostsFuel) {
    GotoComponent& idle = Launch("Idle", 600.0f, 300.0f);
    idle.SetTargetPoint(25.0f, 12.0f);
    level.RunSeconds(1.0f);
    StepPhysics();
    EXPECT_EQ(idle.GetForce().x, 0.0f);
    EXPECT_EQ(idle.GetForce().y, 0.0f);
    FinishFrame();
    EXPECT_EQ(idle.GetDamageFuel(), 0.0f);
    EXPECT_NEAR(VelocityOf(*flyer).y, -9.8f, 0.1f);

    GotoComponent& hover = Launch("Flyer", 900.0f, 300.0f);
    hover.SetTargetPoint(30.0f, 10.0f);
    level.RunSeconds(4.0f);
    EXPECT_NEAR(flyer->GetPosition().x, 30.0f, 0.1f);
    EXPECT_NEAR(flyer->GetPosition().y, 10.0f, 0.1f);
    const float before = float(50 - flyer->GetHitPoints()) + hover.GetDamageFuel();
    level.RunSeconds(2.0f);
    const float spent = float(50 - flyer->GetHitPoints()) + hover.GetDamageFuel() - before;
    EXPECT_NEAR(spent, 2.0f * 0.5f, 0.05f);
}

// 2.7 litres in one step (a full rate both ways at 81 litres a second) are
// paid as 2 hit points, 0.7 stays owed; the puffs go by halves.
TEST_F(GotoComponentTest, PaysFuelInWholeHitPointsAndReportsItInHalves) {
    GotoComponent& guzzler = Launch("Guzzler", 600.0f, 300.0f);
    guzzler.SetTargetPoint(60.0f, 10.0f);
    level.RunSeconds(STEP);
    ASSERT_EQ(Count(MESSAGE_SET_ARMED, 0), 1);
    level.RunSeconds(STEP);
    EXPECT_EQ(flyer->GetHitPoints(), 48);
    EXPECT_NEAR(guzzler.GetDamageFuel(), 0.7f, 1e-3f);
    EXPECT_NEAR(guzzler.GetPuffFuel(), 2.2f, 1e-3f);
    EXPECT_EQ(Count(MESSAGE_SET_ARMED, 1), 1);
    EXPECT_EQ(Count(MESSAGE_DAMAGE, 2), 1);
}

// A load heavier than m verticalThrust / 12.25 (here 6 / 12.25) turns the
// vertical limit negative: a wanted lift becomes a push down and a wanted
// descent a push up, both of 12.25 c - m verticalThrust.
TEST_F(GotoComponentTest, AHeavyLoadTurnsTheVerticalLimitRound) {
    struct Case {
        const char* what;
        float targetY;
        float forceY;
    };
    const Case cases[] = {
        {"wanting to rise", 20.0f, 6.0f - 12.25f},
        {"wanting to sink", 0.0f, 12.25f - 6.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GotoComponent& weak = Launch("Weak", 1200.0f, 100.0f);
        auto crate = level.Place("Crate", 1, 1200.0f, UnitTestWorld::GROUND_HEIGHT + 11.0f);
        auto& magnet = *static_cast<MagnetComponent*>(flyer->GetComponent("MagnetComponent"));
        magnet.Activate();
        level.RunSeconds(2.0f * STEP);
        ASSERT_EQ(magnet.GetHeldBodies().size(), 1u);
        weak.SetTargetPoint(40.0f, c.targetY);
        level.RunSeconds(STEP);
        StepPhysics();
        EXPECT_NEAR(weak.GetForce().y, c.forceY, 1e-3f);
        FinishFrame();
        flyer->SendMessage(MESSAGE_REMOVE);
        crate->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(STEP);
    }
}

// A tank of team 1 is approached 0.5 units to its left, any other one 0.5
// units to its right. Over it (within the band where "closeY" is below
// -0.85, a third of a unit here) the flyer only carries its weight and
// switches the magnet on, every frame while it has none.
TEST_F(GotoComponentTest, ApproachesVehiclesFromTheirSide) {
    struct Case {
        int team;
        float side;
    };
    for (const Case& c : {Case{1, -0.5f}, Case{-1, 0.5f}}) {
        SCOPED_TRACE(c.team);
        auto tank = level.Place("Tank", c.team, 1500.0f, UnitTestWorld::GROUND_HEIGHT + 11.0f);
        GotoComponent& flying = Launch("Flyer", 1400.0f, 250.0f);
        flying.SetTargetBody(tank.get());
        EXPECT_TRUE(flying.IsTargetBody());
        level.RunSeconds(5.0f);
        EXPECT_NEAR(flyer->GetPosition().x, tank->GetPosition().x + c.side, 0.05f);
        EXPECT_NEAR(flyer->GetPosition().y, tank->GetPosition().y + 2.2f, 0.4f);
        EXPECT_GT(Count(MESSAGE_FIRE, 0), 0);
        flyer->SendMessage(MESSAGE_REMOVE);
        tank->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(STEP);
    }
}

// A target that goes away is forgotten: the flyer holds the point where it
// last saw it (3 units above it) and, holding nothing, sends Stop.
TEST_F(GotoComponentTest, ForgetsATargetThatGoesAway) {
    auto crate = level.Place("Crate", 1, 1500.0f, UnitTestWorld::GROUND_HEIGHT + 11.0f);
    GotoComponent& flying = Launch("Flyer", 1400.0f, 250.0f);
    flying.SetTargetBody(crate.get());
    level.RunSeconds(0.5f);
    const orvel::Vector4 last = crate->GetPosition();
    crate->SendMessage(MESSAGE_REMOVE);
    crate.reset();
    level.RunSeconds(STEP);
    level.RunSeconds(STEP);
    EXPECT_FALSE(flying.IsTargetBody());
    EXPECT_EQ(flying.GetTarget().GetBody(), nullptr);
    EXPECT_EQ(Count(MESSAGE_STOP, 0), 1);
    level.RunSeconds(5.0f);
    EXPECT_NEAR(flyer->GetPosition().x, last.x, 0.05f);
    EXPECT_NEAR(flyer->GetPosition().y, last.y + 3.0f, 0.05f);
}

// Move when it gets going, Lose when it has slowed down at the target; a
// null body makes it idle.
TEST_F(GotoComponentTest, ReportsItsMotionAndGoesIdleOnANullBody) {
    GotoComponent& flying = Launch("Flyer", 600.0f, 300.0f);
    flying.SetTargetPoint(40.0f, 10.0f);
    level.RunSeconds(1.0f);
    EXPECT_TRUE(flying.IsMoving());
    EXPECT_EQ(Count(MESSAGE_MOVE, 0), 1);
    EXPECT_EQ(Count(MESSAGE_LOSE, 0), 0);
    level.RunSeconds(8.0f);
    EXPECT_FALSE(flying.IsMoving());
    EXPECT_EQ(Count(MESSAGE_LOSE, 0), 1);
    flying.SetTargetBody(nullptr);
    EXPECT_FALSE(flying.IsActive());
    level.RunSeconds(0.5f);
    EXPECT_NEAR(VelocityOf(*flyer).y, -9.8f * 0.5f, 0.1f);
}

// A frame too short for a physics step has no time to reach a velocity in:
// the force stays the last one instead of growing without bound.
TEST_F(GotoComponentTest, AFrameWithoutAStepKeepsTheForce) {
    GotoComponent& flying = Launch("Flyer", 600.0f, 300.0f);
    flying.SetTargetPoint(40.0f, 10.0f);
    level.RunSeconds(0.5f);
    const orvel::Vector4 force = flying.GetForce();
    level.world->PreStepBodies();
    level.world->Update(STEP * 0.25f);
    ASSERT_EQ(level.world->GetFrameTime(), 0.0f);
    FinishFrame();
    EXPECT_EQ(flying.GetForce().x, force.x);
    EXPECT_EQ(flying.GetForce().y, force.y);
    level.RunSeconds(0.5f);
    EXPECT_TRUE(std::isfinite(flyer->GetPosition().x));
}

// Falling to its death the flyer's force is neither limited nor costs fuel.
TEST_F(GotoComponentTest, SuspendedItAppliesItsForceUnlimitedAndFree) {
    GotoComponent& flying = Launch("Flyer", 600.0f, 300.0f);
    flying.SetTargetPoint(100.0f, 10.0f);
    level.RunSeconds(STEP);
    flyer->SendMessage(MESSAGE_FALL_TO_DEATH);
    EXPECT_TRUE(flying.IsSuspended());
    const float fuel = flying.GetDamageFuel();
    StepPhysics();
    EXPECT_GT(flying.GetForce().x, 40.0f);
    EXPECT_EQ(flying.GetDamageFuel(), fuel);
    FinishFrame();
    flyer->SendMessage(MESSAGE_DIE);
    EXPECT_FALSE(flying.IsSuspended());
}

TEST_F(GotoComponentTest, AChangedCloneLeavesItsPrototype) {
    auto crate = level.Place("Crate", 1, 1500.0f, UnitTestWorld::GROUND_HEIGHT + 11.0f);
    auto prototype = level.Make("Flyer", 1);
    auto& original = *static_cast<GotoComponent*>(prototype->GetComponent("GotoComponent"));
    original.SetTargetBody(crate.get());
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*prototype);
    auto& copy = *static_cast<GotoComponent*>(clone->GetComponent("GotoComponent"));
    EXPECT_EQ(copy.GetTarget().GetBody(), crate.get());
    EXPECT_EQ(copy.GetSteering().verticalThrust, 20.0f);
    EXPECT_EQ(copy.GetSteering().maxHorizontalVelocity, 4.0f);
    EXPECT_EQ(copy.GetLitresPerSecond(), 0.5f);
    EXPECT_EQ(copy.GetSteering().distanceContext.GetFuzzySet("approachVelocity")->Evaluate(2.0f),
              0.5f);
    EXPECT_EQ(copy.GetSteering().speedContext.GetFuzzySet("fast")->Evaluate(1.0f), 0.5f);

    copy.SetTargetPoint(3.0f, 4.0f);
    EXPECT_EQ(copy.GetTarget().GetBody(), nullptr);
    EXPECT_EQ(original.GetTarget().GetBody(), crate.get());
    // Both followed the crate: its going away reaches both.
    crate->SendMessage(MESSAGE_REMOVE);
    crate.reset();
    level.RunSeconds(STEP);
    EXPECT_EQ(original.GetTarget().GetBody(), nullptr);
}
