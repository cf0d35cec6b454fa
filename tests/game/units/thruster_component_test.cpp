#include "game/units/components/thruster_component.h"

#include <memory>

#include <gtest/gtest.h>

#include "engine/core/attributes.h"
#include "engine/sound/fake_voice_backend.h"
#include "engine/sound/sound.h"
#include "engine/sound/sound_manager.h"
#include "game/units/component_body.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_message.h"
#include "game/units/unit_services.h"
#include "unit_test_world.h"

namespace {

// Two flying boats of mass 2 that feel no gravity: a weak one, and one whose
// horizontal thrust only the speed limit holds back.
const char* const OBJECTS = R"(
struct Skiff
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
	int hitPoints: 100
	list struct Components
	{
		{
			string componentName: "Thruster"
			float verticalThrust: 3
			float horizontalThrust: 4
			float maxVerticalVelocity: 2
			float maxHorizontalVelocity: 5
			float litresPerSecond: 10
		}
	}
}
struct Steamer
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
	int hitPoints: 100
	list struct Components
	{
		{
			string componentName: "Thruster"
			string lowSteamSound: "lowSteam"
		}
	}
}
struct Racer
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
	int hitPoints: 100
	list struct Components
	{
		{
			string componentName: "Thruster"
			float horizontalThrust: 1000
			float maxHorizontalVelocity: 5
		}
	}
}
)";

const float STEP = orvel::Mechanica::kStep;

class ThrusterComponentTest : public ::testing::Test {
protected:
    ThrusterComponent& Launch(const char* name) {
        boat = level.Place(name, 1, 600.0f, 600.0f);
        return *static_cast<ThrusterComponent*>(boat->GetComponent("ThrusterComponent"));
    }

    UnitTestWorld level{OBJECTS};
    std::shared_ptr<ComponentBody> boat;
};

}  // namespace

// Burnt fuel is charged in whole litres as the sum passes each one.
TEST_F(ThrusterComponentTest, FullUpThrottleForASecondCostsItsLitres) {
    ThrusterComponent& thruster = Launch("Skiff");
    for (int i = 0; i < 60; ++i) {
        thruster.FullUpThrottle();
        level.RunSeconds(STEP);
    }
    const float charged = float(100 - boat->GetHitPoints());
    EXPECT_GE(charged, 9.0f);
    EXPECT_NEAR(charged + thruster.GetLitresUsed(), 10.0f, 0.01f);
    EXPECT_LE(thruster.GetLitresUsed(), 1.0f + 1e-4f);
    // a = thrust per mass, over one second.
    EXPECT_NEAR(VelocityOf(*boat).y, 3.0f, 0.05f);
}

// From rest, one step of full thrust either way: the weak boat gains its
// thrust's worth, the strong one stops at the speed limit.
TEST_F(ThrusterComponentTest, OneStepNeverPassesTheSpeedLimit) {
    struct Case {
        const char* boat;
        bool left;
        float speed;
    };
    const Case cases[] = {
        {"Skiff", true, -4.0f * STEP},
        {"Skiff", false, 4.0f * STEP},
        {"Racer", true, -5.0f},
        {"Racer", false, 5.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.boat) + (c.left ? " left" : " right"));
        ThrusterComponent& thruster = Launch(c.boat);
        for (int i = 0; i < 3; ++i) {
            c.left ? thruster.FullLeftThrottle() : thruster.FullRightThrottle();
            level.RunSeconds(STEP);
            if (i == 0) {
                EXPECT_NEAR(VelocityOf(*boat).x, c.speed, 1e-3f);
            }
        }
        EXPECT_LE(std::fabs(VelocityOf(*boat).x), 5.0f + 1e-3f);
        boat->SendMessage(MESSAGE_REMOVE);
        level.RunSeconds(STEP);
    }
}

TEST_F(ThrusterComponentTest, ThrottlesActForOneFrameOnly) {
    ThrusterComponent& thruster = Launch("Skiff");
    thruster.SetUpThrottle(0.5f);
    level.RunSeconds(STEP);
    const float after = VelocityOf(*boat).y;
    EXPECT_NEAR(after, 0.5f * 3.0f * STEP, 1e-3f);
    level.RunSeconds(0.5f);
    EXPECT_NEAR(VelocityOf(*boat).y, after, 1e-3f);
    EXPECT_NEAR(thruster.GetLitresUsed(), 0.5f * 10.0f * STEP, 1e-4f);
}

TEST_F(ThrusterComponentTest, ADeadAirshipGetsNoThrust) {
    ThrusterComponent& thruster = Launch("Skiff");
    boat->SendMessage(MESSAGE_DIE);
    EXPECT_FALSE(thruster.IsEnabled());
    for (int i = 0; i < 30; ++i) {
        thruster.FullUpThrottle();
        thruster.FullRightThrottle();
        level.RunSeconds(STEP);
    }
    EXPECT_NEAR(VelocityOf(*boat).x, 0.0f, 1e-4f);
    EXPECT_NEAR(VelocityOf(*boat).y, 0.0f, 1e-4f);
    EXPECT_EQ(thruster.GetLitresUsed(), 0.0f);
}

TEST_F(ThrusterComponentTest, AChangedCloneLeavesItsPrototype) {
    auto prototype = level.Make("Skiff", 1);
    auto& original = *static_cast<ThrusterComponent*>(prototype->GetComponent("ThrusterComponent"));
    original.SetLeftThrottle(0.25f);
    auto clone = std::make_shared<ComponentBody>();
    clone->CopyFrom(*prototype);
    auto& copy = *static_cast<ThrusterComponent*>(clone->GetComponent("ThrusterComponent"));
    EXPECT_EQ(copy.GetVerticalThrust(), 3.0f);
    EXPECT_EQ(copy.GetHorizontalThrust(), 4.0f);
    EXPECT_EQ(copy.GetMaxVerticalVelocity(), 2.0f);
    EXPECT_EQ(copy.GetMaxHorizontalVelocity(), 5.0f);
    EXPECT_EQ(copy.GetLitresPerSecond(), 10.0f);

    copy.SetLitresPerSecond(1.0f);
    clone->SendMessage(MESSAGE_DIE);
    EXPECT_EQ(original.GetLitresPerSecond(), 10.0f);
    EXPECT_TRUE(original.IsEnabled());
    EXPECT_FALSE(copy.IsEnabled());
}

// Below 30 % of its fuel the airship hisses, louder as the tank empties:
// the sample's volume (128) times 1 - 2.5 r; dry, it falls silent.
TEST_F(ThrusterComponentTest, WarnsLouderAsTheFuelRunsLow) {
    auto backend = std::make_shared<orvel::FakeVoiceBackend>();
    auto manager = std::make_shared<orvel::SoundManager>(8, backend);
    auto entry = std::make_shared<orvel::Properties>();
    entry->SetString("soundName", "lowSteam");
    entry->SetString("fileName", "tone.wav");
    entry->SetBool("loop", true);
    auto list = std::make_shared<orvel::AnyVector>();
    list->Append(orvel::Property(entry, orvel::PROPERTY_STRUCT));
    orvel::Properties sounds;
    sounds.SetList("SoundList", list);
    manager->LoadSoundList(sounds, "tests/data/sound/list.txt");
    orvel::GlobalProperties()["qSoundManager"] = manager;

    const ThrusterComponent& thruster = Launch("Steamer");
    const orvel::SoundPtr& hiss = thruster.GetLowSteamSound();
    ASSERT_TRUE(hiss);
    struct Case {
        int hitPoints;
        bool playing;
        int volume;
    };
    // Refuelled and running low again, it warns again.
    const Case cases[] = {
        {100, false, 0}, {31, false, 0}, {30, true, 32}, {10, true, 96},
        {0, false, 0},   {60, false, 0}, {20, true, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hitPoints);
        boat->SetHitPoints(c.hitPoints);
        level.RunSeconds(STEP);
        const bool sounding = hiss->GetVoice() >= 0 && backend->GetVoice(hiss->GetVoice()).playing;
        EXPECT_EQ(sounding, c.playing);
        if (c.playing) {
            EXPECT_EQ(hiss->GetVolume(), c.volume);
        }
    }
    // A unit without a maximum has no fraction of fuel to warn about.
    boat->SetMaxHitPoints(0);
    boat->SetHitPoints(0);
    level.RunSeconds(STEP);
    EXPECT_FALSE(backend->GetVoice(hiss->GetVoice()).playing);

    boat->SendMessage(MESSAGE_REMOVE);
    boat.reset();
    level.RunSeconds(STEP);
    orvel::GlobalProperties().Erase("qSoundManager");
}

// A definition may name a sample that the sound list does not hold: the
// unit then goes without that sound, and its copies too, instead of
// keeping a sound with no sample that breaks the copy.
TEST(UnitSoundTest, ASampleThatWasNotLoadedGivesNoSound) {
    auto manager =
        std::make_shared<orvel::SoundManager>(8, std::make_shared<orvel::FakeVoiceBackend>());
    auto entry = std::make_shared<orvel::Properties>();
    entry->SetString("soundName", "lowSteam");
    entry->SetString("fileName", "tone.wav");
    auto list = std::make_shared<orvel::AnyVector>();
    list->Append(orvel::Property(entry, orvel::PROPERTY_STRUCT));
    orvel::Properties sounds;
    sounds.SetList("SoundList", list);
    manager->LoadSoundList(sounds, "tests/data/sound/list.txt");
    orvel::GlobalProperties()["qSoundManager"] = manager;
    EXPECT_TRUE(CreateUnitSound(PropertyKey("lowSteam")));
    EXPECT_FALSE(CreateUnitSound(PropertyKey("noSuchSample")));
    orvel::GlobalProperties().Erase("qSoundManager");
}
