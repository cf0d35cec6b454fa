#include "game/units/components/sprite_component.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "unit_test_world.h"

namespace {

// A soldier with every look the code asks for but "stopping", and a ghost
// without a death look, once plain and once hiding when a look is missing.
// No sprite manager is given, so the looks are kept but nothing is drawn.
const char* const OBJECTS = R"(
struct Soldier
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 12, 24
		}
	}
	bool appliesGravity: true
	bool fallToDeath: true
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Sprite"
			list struct States
			{
				{
					string state: "idling"
					string sprite: "idling.txt"
				}
				{
					string state: "moving"
					string sprite: "moving.txt"
					string badSprite: "moving_bad.txt"
					point offset: 4, 2
				}
				{
					string state: "aiming"
					string sprite: "aiming.txt"
				}
				{
					string state: "firing"
					string sprite: "firing.txt"
				}
				{
					string state: "falling"
					string sprite: "falling.txt"
				}
				{
					string state: "magneted"
					string sprite: "magneted.txt"
				}
				{
					string state: "dying"
					string sprite: "dying.txt"
				}
				{
					string state: "dyingonground"
					string sprite: "dyingonground.txt"
				}
				{
					string state: "splatting"
					string sprite: "splatting.txt"
				}
			}
		}
	}
}
struct Ghost
{
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 12, 24
		}
	}
	list struct Components
	{
		{
			string componentName: "Sprite"
			list struct States
			{
				{
					string state: "moving"
					string sprite: "moving.txt"
				}
			}
		}
	}
}
struct HidingGhost
{
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 12, 24
		}
	}
	list struct Components
	{
		{
			string componentName: "Sprite"
			bool hideIfStateNotFound: true
			list struct States
			{
				{
					string state: "moving"
					string sprite: "moving.txt"
				}
			}
		}
	}
}
struct Flare
{
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 6, 6
		}
	}
	list struct Components
	{
		{
			string componentName: "Sprite"
			list struct States
			{
				{
					string state: "moving"
					string sprite: "flare.txt"
					float life: 2
				}
			}
		}
	}
}
)";

SpriteComponent& SpriteOf(ComponentBody& unit) {
    return *static_cast<SpriteComponent*>(unit.GetComponent("SpriteComponent"));
}

std::string StateOf(ComponentBody& unit) { return SpriteOf(unit).GetStateName().GetName(); }

// A unit definition whose only component is a sprite with `states`.
std::string SpriteUnit(const std::string& states) {
    return "struct Thing\n{\n\tlist struct Geometry\n\t{\n\t\t{\n\t\t\tstring type: \"BOX\"\n"
           "\t\t\tpoint extent: 10, 10\n\t\t}\n\t}\n\tlist struct Components\n\t{\n\t\t{\n"
           "\t\t\tstring componentName: \"Sprite\"\n" +
           states + "\t\t}\n\t}\n}\n";
}

}  // namespace

// What a soldier shows after a sequence of messages; links are set first
// (touched down, falling), as a fall or a landing leaves them.
TEST(SpriteComponentTest, TheMessagesChooseTheLookShown) {
    struct Case {
        const char* name;
        std::vector<int> messages;
        bool touchedDown;
        bool falling;
        const char* shown;
    };
    const Case cases[] = {
        {"loaded", {}, false, false, "idling"},
        {"move", {MESSAGE_MOVE}, false, false, "moving"},
        {"aim then fire", {MESSAGE_AIM, MESSAGE_FIRE}, false, false, "firing"},
        {"a look it lacks keeps the last", {MESSAGE_MOVE, MESSAGE_STOP}, false, false, "moving"},
        {"fall to death without its look falls", {MESSAGE_FALL_TO_DEATH}, false, false, "falling"},
        {"magneted", {MESSAGE_MOVE, MESSAGE_MAGNETED}, false, false, "magneted"},
        {"die", {MESSAGE_MOVE, MESSAGE_DIE}, false, false, "dying"},
        {"the dead ignore looks", {MESSAGE_DIE, MESSAGE_MOVE, MESSAGE_FALL}, false, false, "dying"},
        {"die on the ground", {MESSAGE_DIE}, true, false, "dyingonground"},
        {"die from a fall", {MESSAGE_DIE}, true, true, "splatting"},
        {"falling but not down yet", {MESSAGE_DIE}, false, true, "dying"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnitTestWorld level(OBJECTS);
        std::shared_ptr<ComponentBody> soldier = level.Place("Soldier", 1, 300.0f, 200.0f);
        soldier->SetLink(0, c.touchedDown ? 1 : 0);
        soldier->SetLink(2, c.falling ? 1 : 0);
        for (int message : c.messages) {
            soldier->SendMessage(message);
        }
        EXPECT_EQ(c.shown, StateOf(*soldier));
    }
}

TEST(SpriteComponentTest, AUnitWithoutADeathLookGoesAtOnceUnlessItHides) {
    struct Case {
        const char* type;
        bool aliveAfterDeath;
    };
    for (const Case& c : {Case{"Ghost", false}, Case{"HidingGhost", true}}) {
        SCOPED_TRACE(c.type);
        UnitTestWorld level(OBJECTS);
        std::shared_ptr<ComponentBody> ghost = level.Place(c.type, 1, 300.0f, 200.0f);
        ghost->SendMessage(MESSAGE_DIE);
        EXPECT_EQ(c.aliveAfterDeath, ghost->IsAlive());
        // Message Remove ends the dying of the one that goes.
        EXPECT_EQ(c.aliveAfterDeath, SpriteOf(*ghost).IsDying());
    }
}

TEST(SpriteComponentTest, ALookWithALifeKillsItsUnitWhenTheLifeIsOver) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> flare = level.Place("Flare", 1, 300.0f, 400.0f);
    level.RunSeconds(1.9f);
    EXPECT_FALSE(flare->IsDead());
    level.RunSeconds(0.2f);
    EXPECT_TRUE(flare->IsDead());
}

TEST(SpriteComponentTest, BadDefinitionsAreRefusedAtLoad) {
    struct Case {
        const char* name;
        std::string states;
        bool general;
    };
    const Case cases[] = {
        {"no States", "", true},
        {"an empty list", "\t\t\tlist struct States\n\t\t\t{\n\t\t\t}\n", true},
        {"a state without its animation",
         "\t\t\tlist struct States\n\t\t\t{\n\t\t\t\t{\n\t\t\t\t\tstring state: \"moving\"\n"
         "\t\t\t\t}\n\t\t\t}\n",
         false},
        {"an animation without its state",
         "\t\t\tlist struct States\n\t\t\t{\n\t\t\t\t{\n\t\t\t\t\tstring sprite: \"a.txt\"\n"
         "\t\t\t\t}\n\t\t\t}\n",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnitTestWorld level(SpriteUnit(c.states));
        if (c.general) {
            EXPECT_THROW(level.Make("Thing", 0), orvel::ExceptionGeneral);
        } else {
            EXPECT_THROW(level.Make("Thing", 0), orvel::ExceptionStringNotFound);
        }
    }
}

TEST(SpriteComponentTest, AClonesLooksAreItsOwn) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> prototype = level.Make("Soldier", 1);
    auto clone = std::static_pointer_cast<ComponentBody>(prototype->Clone());
    clone->CopyFrom(*prototype);
    EXPECT_EQ("idling", StateOf(*clone));
    clone->SendMessage(MESSAGE_MOVE);
    clone->SendMessage(MESSAGE_DIE);
    EXPECT_EQ("dying", StateOf(*clone));
    EXPECT_EQ("idling", StateOf(*prototype));
    EXPECT_FALSE(SpriteOf(*prototype).IsDying());
    EXPECT_NE(SpriteOf(*clone).FindState("moving"), SpriteOf(*prototype).FindState("moving"));
    EXPECT_EQ(SpriteOf(*clone).FindState("moving")->offset[0],
              SpriteOf(*prototype).FindState("moving")->offset[0]);
}
