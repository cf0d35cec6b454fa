#include "game/units/components/spar_component.h"

#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/physics/joint.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "level_zero_world.h"
#include "physics_sdk/phys.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

const float SCALE = UnitTestWorld::SCALE;

// A Ship hangs an Arm 60 pixels long from 30 pixels to its front and 20
// below its centre; the Arm's probe answers message 23. A Hulk names no
// spar.
const char* const OBJECTS = R"(
struct Ship
{
	float mass: 10
	string materialGroupName: "mg_magnet"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 150, 40
		}
	}
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Spar"
			string magnet: "Arm"
			point sparAttachPoint: 30, -20
		}
	}
}
struct Hulk
{
	float mass: 10
	string materialGroupName: "mg_magnet"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 150, 40
		}
	}
	list struct Components
	{
		{
			string componentName: "Spar"
		}
	}
}
struct Arm
{
	float mass: 0.5
	string materialGroupName: "mg_magnet"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 60, 8
		}
	}
	bool appliesGravity: true
	list struct Components
	{
		{
			string componentName: "Probe"
			list int answers
			{
				23
			}
		}
	}
}
)";

SparComponent& SparOf(const ComponentBody& unit) {
    return *static_cast<SparComponent*>(unit.GetComponent("SparComponent"));
}

const ProbeComponent& ArmProbe(const ComponentBody& ship) {
    return static_cast<const ProbeComponent&>(*SparOf(ship).GetSpar()->GetComponents()[0]);
}

// Where the owner holds the hinge and where the spar's end is, in pixels.
struct Hinge {
    orvel::Vector4 held;
    orvel::Vector4 end;
};

Hinge HingeOf(const ComponentBody& owner) {
    const SparComponent& spar = SparOf(owner);
    const ComponentBody& arm = *spar.GetSpar();
    const float half = arm.GetCollision()->GetExtent().x * 0.5f;
    return {Pixels(owner.GetMatrix().TransformPoint(spar.GetAttachPoint())),
            Pixels(arm.GetMatrix().TransformPoint(orvel::Vector4(half, 0.0f, 0.0f)))};
}

float Distance(const orvel::Vector4& a, const orvel::Vector4& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

class SparComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterProbeComponent();
        ship = level.Place("Ship", 1, 1000.0f, 600.0f);
    }

    UnitTestWorld level{OBJECTS};
    std::shared_ptr<ComponentBody> ship;
};

}  // namespace

TEST(SparInLevelZeroTest, TheSparHangsFromTheGondolaAndStaysHingedThereWhileTheAirshipFlies) {
    LevelZeroWorld level;
    std::shared_ptr<ComponentBody> airship = level.Place("GoodAirShip", 1, 600.0f, 320.0f);
    const SparComponent& spar = SparOf(*airship);
    ASSERT_TRUE(spar.GetSpar());
    EXPECT_EQ(spar.GetSpar()->GetObjectName(), PropertyKey("Spar"));
    EXPECT_EQ(spar.GetSpar()->GetTeam(), 1);
    EXPECT_FALSE(level.world->Contains(spar.GetSpar().get()));

    // Held still, the arm swings down from where it was put, level behind
    // the hinge, and sways on under it.
    float worst = 0.0f;
    auto hold = [&](float vx, float vy) {
        return [&, vx, vy] {
            const float velocity[3] = {vx, vy, 0.0f};
            PhysBodySetVelocity(airship->GetPhysBody(), velocity);
            const Hinge hinge = HingeOf(*airship);
            worst = std::max(worst, Distance(hinge.held, hinge.end));
        };
    };
    level.RunSeconds(4.0f, hold(0.0f, 0.0f));
    const Hinge rest = HingeOf(*airship);
    const orvel::Vector4 arm = Pixels(spar.GetSpar()->GetPosition());
    EXPECT_NEAR(Distance(arm, rest.held), 36.0f, 4.0f);
    EXPECT_LT(arm.y, rest.held.y - 25.0f);

    // Flown right, then climbing back to the left: the arm trails but stays
    // on its hinge.
    level.RunSeconds(3.0f, hold(4.0f, 0.0f));
    level.RunSeconds(2.0f, hold(-3.0f, 1.5f));
    EXPECT_NEAR(Pixels(airship->GetPosition()).x, 780.0f, 5.0f);
    EXPECT_LT(worst, 4.0f);
    EXPECT_TRUE(spar.GetJoint()->IsAttached());
}

TEST_F(SparComponentTest, TheOwnersGetComponentFindsTheSparsComponents) {
    SparComponent& spar = SparOf(*ship);
    EXPECT_EQ(ship->GetComponent("SparComponent"), &spar);
    Component* probe = ship->GetComponent("ProbeComponent");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->GetOwner(), spar.GetSpar().get());
    EXPECT_EQ(ship->GetComponent("MagnetComponent"), nullptr);

    std::shared_ptr<ComponentBody> hulk = level.Place("Hulk", 0, 1500.0f, 600.0f);
    EXPECT_FALSE(SparOf(*hulk).GetSpar());
    EXPECT_EQ(hulk->GetComponent("ProbeComponent"), nullptr);
    EXPECT_FALSE(hulk->SendMessage(MESSAGE_SIGNAL));
    level.RunSeconds(0.1f);
}

TEST_F(SparComponentTest, MessagesGoOnToTheSparExceptFallingToDeathAndTheAnimationPauses) {
    struct Case {
        int id;
        bool passed;
        bool answer;
    };
    const Case cases[] = {
        {MESSAGE_FALL_TO_DEATH, false, true}, {MESSAGE_PAUSE_ANIMATION, false, true},
        {MESSAGE_RESUME_ANIMATION, false, true}, {MESSAGE_SIGNAL, true, true},
        {MESSAGE_IDLE, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const size_t before = ArmProbe(*ship).messages.size();
        EXPECT_EQ(SparOf(*ship).HandleMessage(c.id, 0, nullptr), c.answer);
        const size_t after = ArmProbe(*ship).messages.size();
        EXPECT_EQ(after, before + (c.passed ? 1 : 0));
    }
    ship->SendMessage(MESSAGE_DIE);
    EXPECT_TRUE(SparOf(*ship).GetSpar()->IsDead());
}

TEST_F(SparComponentTest, TheOwnerStepsItsSparOnceAFrame) {
    level.RunSeconds(0.5f);
    EXPECT_EQ(ArmProbe(*ship).preSteps, 30);
    EXPECT_EQ(ArmProbe(*ship).updates, 30);
}

TEST_F(SparComponentTest, SettingThePositionTwiceLeavesOneHingeAtTheNewPlace) {
    SparComponent& spar = SparOf(*ship);
    const std::weak_ptr<orvel::Joint> first = spar.GetJoint();
    ship->SetPosition(orvel::Vector4(1400.0f / SCALE, 700.0f / SCALE, 0.0f));
    EXPECT_TRUE(first.expired());
    ASSERT_TRUE(spar.GetJoint());
    EXPECT_TRUE(spar.GetJoint()->IsAttached());
    const orvel::Vector4 arm = Pixels(spar.GetSpar()->GetPosition());
    EXPECT_FLOAT_EQ(arm.x, 1400.0f + 30.0f - 30.0f);
    EXPECT_FLOAT_EQ(arm.y, 700.0f - 20.0f);
    level.RunSeconds(1.0f);
    const Hinge hinge = HingeOf(*ship);
    EXPECT_LT(Distance(hinge.held, hinge.end), 3.0f);
}

TEST_F(SparComponentTest, AFlippedOwnerHangsItsSparFromTheMirroredPoint) {
    std::shared_ptr<ComponentBody> enemy = level.Place("Ship", -1, 2000.0f, 600.0f);
    const SparComponent& spar = SparOf(*enemy);
    EXPECT_FLOAT_EQ(spar.GetAttachPoint().x * SCALE, -30.0f);
    EXPECT_FLOAT_EQ(spar.GetAttachPoint().y * SCALE, -20.0f);
    EXPECT_EQ(spar.GetSpar()->GetTeam(), -1);
    EXPECT_FLOAT_EQ(Pixels(spar.GetSpar()->GetPosition()).x, 2000.0f - 30.0f - 30.0f);
}

TEST_F(SparComponentTest, ACloneHangsASparOfItsOwnThatDiesAlone) {
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*ship);
    const SparComponent& copy = SparOf(*clone);
    ASSERT_TRUE(copy.GetSpar());
    EXPECT_NE(copy.GetSpar(), SparOf(*ship).GetSpar());
    EXPECT_EQ(copy.GetSpar()->GetObjectName(), PropertyKey("Arm"));
    EXPECT_FLOAT_EQ(copy.GetAttachPoint().x, SparOf(*ship).GetAttachPoint().x);
    EXPECT_NE(copy.GetJoint(), SparOf(*ship).GetJoint());
    EXPECT_TRUE(copy.GetJoint()->IsAttached());

    clone->SendMessage(MESSAGE_DIE);
    EXPECT_TRUE(copy.GetSpar()->IsDead());
    EXPECT_FALSE(SparOf(*ship).GetSpar()->IsDead());
}

TEST(SparInLevelZeroTest, EveryAirshipHangsASparOfItsSideAndPuffsSteam) {
    LevelZeroWorld level;
    for (const char* name : {"GoodAirShip", "GoodAirShip_AI", "BadAirShip"}) {
        SCOPED_TRACE(name);
        std::shared_ptr<ComponentBody> airship = level.Make(name, 0);
        const SparComponent& spar = SparOf(*airship);
        ASSERT_TRUE(spar.GetSpar());
        EXPECT_EQ(spar.GetSpar()->GetTeam(), airship->GetTeam());
        EXPECT_TRUE(spar.GetJoint()->IsAttached());
        EXPECT_NE(airship->GetComponent("SteamEmitterComponent"), nullptr);
    }
}
