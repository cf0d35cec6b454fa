#include <string>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "game/units/component_body.h"
#include "game/units/component_registry.h"
#include "game/units/components/factory_component.h"
#include "probe_component.h"
#include "unit_test_world.h"

namespace {

// A walker with every unit key set, two probes and a plain box.
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
	bool keepInWorld: true
	bool canShootWhileMagneted: false
	bool fallToDeath: true
	point spawnOffset: 60, 90
	pointf lineOffset: 1.5, -2
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
			int charge: 1
		}
		{
			string componentName: "ProbeComponent"
			int charge: 2
		}
	}
}
struct Crate
{
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 30
		}
	}
	list struct Components
	{
	}
}
)";

// The same crate with one line changed, for the definitions that must fail.
std::string CrateWith(const std::string& extra, const std::string& components) {
    return "struct Bad\n{\n\tlist struct Geometry\n\t{\n\t\t{\n\t\t\tstring type: \"BOX\"\n"
           "\t\t\tpoint extent: 30, 30\n\t\t}\n\t}\n" +
           extra + components + "}\n";
}

class UnitDefinitionTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeComponent(); }
};

}  // namespace

TEST_F(UnitDefinitionTest, UnitKeysAreReadIntoTheUnit) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> walker = level.Make("Walker", 0);
    EXPECT_EQ(walker->GetObjectName(), PropertyKey("Walker"));
    EXPECT_FLOAT_EQ(walker->GetMass(), 2.0f);
    EXPECT_FLOAT_EQ(walker->GetExtraSpawnTime(), 1.5f);
    EXPECT_EQ(walker->GetHitPoints(), 12);
    EXPECT_EQ(walker->GetMaxHitPoints(), 12);
    EXPECT_TRUE(walker->HasHitPoints());
    EXPECT_EQ(walker->GetUnitCost(), 7);
    EXPECT_EQ(walker->GetDamageMultiplier(), 3);
    EXPECT_TRUE(walker->IsGravityOn());
    EXPECT_EQ(walker->GetTeam(), 1);
    EXPECT_EQ(walker->HandleEvent(1, 0, nullptr), 1);  // QueryGravity
    const orvel::Vector4 offset = walker->GetSpawnOffset();
    EXPECT_FLOAT_EQ(offset.x, 2.0f);
    EXPECT_FLOAT_EQ(offset.y, 3.0f);
    ASSERT_EQ(walker->GetLines().size(), 2u);
    EXPECT_FLOAT_EQ(walker->GetLines()[1].y, 20.0f);
}

TEST_F(UnitDefinitionTest, ComponentsComeInFileOrderUnderEitherFormOfTheirName) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> walker = level.Make("Walker", 0);
    ASSERT_EQ(walker->GetComponents().size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const auto& probe = static_cast<ProbeComponent&>(*walker->GetComponents()[i]);
        EXPECT_EQ(probe.charge, i + 1);
        EXPECT_EQ(probe.GetOwner(), walker.get());
        EXPECT_EQ(probe.GetType(), PropertyKey("ProbeComponent"));
    }
    EXPECT_EQ(walker->GetComponent("ProbeComponent"), walker->GetComponents()[0].get());
    EXPECT_EQ(walker->GetComponent("FactoryComponent"), nullptr);
}

TEST_F(UnitDefinitionTest, AnEmptyComponentListMakesAUnitWithoutComponents) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> crate = level.Make("Crate", 0);
    EXPECT_TRUE(crate->GetComponents().empty());
    EXPECT_FALSE(crate->HasHitPoints());
    EXPECT_EQ(crate->GetDamageMultiplier(), 1);
    EXPECT_FALSE(crate->SendMessage(23, 0));
}

TEST_F(UnitDefinitionTest, ComponentNamesResolveInShortAndFullForm) {
    const ComponentRegistry& registry = ComponentRegistry::Instance();
    EXPECT_EQ(registry.ResolveClassName("Factory"), PropertyKey("FactoryComponent"));
    EXPECT_EQ(registry.ResolveClassName("FactoryComponent"), PropertyKey("FactoryComponent"));
    EXPECT_EQ(registry.ResolveClassName("Nonesuch"), PropertyKey());
    EXPECT_EQ(registry.Create(PropertyKey("Nonesuch")), nullptr);
    EXPECT_NE(std::dynamic_pointer_cast<FactoryComponent>(registry.Create("FactoryComponent")),
              nullptr);
}

TEST_F(UnitDefinitionTest, ABadDefinitionThrowsANamedErrorAndNothingEntersTheWorld) {
    struct Case {
        const char* what;
        std::string text;
        std::string message;
    };
    const std::string exceptionTail = "\n ...while loading an object.\nObject:Bad\nIn file: objectFile?";
    const Case cases[] = {
        {"no Components", CrateWith("", ""),
         "A value could not be found...\nString:Components" + exceptionTail},
        {"an entry that is not a struct", CrateWith("", "\tlist int Components\n\t{\n\t\t3\n\t}\n"),
         "A value could not be found...\nString:Component #" + exceptionTail},
        {"an entry without componentName",
         CrateWith("", "\tlist struct Components\n\t{\n\t\t{\n\t\t\tint charge: 1\n\t\t}\n\t}\n"),
         "A string could not be found.\nString:componentName\nIn ComponentBody"},
        {"an unknown componentName",
         CrateWith("",
                   "\tlist struct Components\n\t{\n\t\t{\n\t\t\tstring componentName: "
                   "\"Nonesuch\"\n\t\t}\n\t}\n"),
         "A string could not be found.\nString:Nonesuch\nIn ComponentBody"},
        {"a factory without spawnPoint",
         CrateWith("",
                   "\tlist struct Components\n\t{\n\t\t{\n\t\t\tstring componentName: "
                   "\"Factory\"\n\t\t}\n\t}\n"),
         "A string could not be found.\nString:spawnPoint\nIn objectFile?"},
        {"a bunker with a negative soldierCapacity",
         CrateWith("",
                   "\tlist struct Components\n\t{\n\t\t{\n\t\t\tstring componentName: "
                   "\"Bunker\"\n\t\t\tint soldierCapacity: -1\n\t\t}\n\t}\n"),
         "Error: The bunker Bad has a soldierCapacity of -1; it must be 0 or more.\n"
         "In file: objectFile?"},
        {"a bunker with a negative numSoldiers",
         CrateWith("",
                   "\tlist struct Components\n\t{\n\t\t{\n\t\t\tstring componentName: "
                   "\"Bunker\"\n\t\t\tint soldierCapacity: 4\n\t\t\tint numSoldiers: "
                   "-2\n\t\t}\n\t}\n"),
         "Error: The bunker Bad has a numSoldiers of -2; it must be 0 or more.\n"
         "In file: objectFile?"},
        {"a key of the wrong type",
         CrateWith("\tfloat hitPoints: 3.5\n", "\tlist struct Components\n\t{\n\t}\n"),
         "Incorrect type for: hitPoints"},
        {"a missing object", "struct Other\n{\n}\n",
         "A string could not be found.\nString:Bad\nIn resources/objectfile.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UnitTestWorld level(c.text);
        const size_t bodies = level.World().GetBodyCount();
        try {
            level.Place("Bad", 0, 300.0f, 200.0f);
            ADD_FAILURE() << "no exception";
        } catch (const orvel::Exception& e) {
            EXPECT_EQ(e.What(), c.message);
        }
        EXPECT_EQ(level.World().GetBodyCount(), bodies);
    }
}

TEST_F(UnitDefinitionTest, AFailedComponentLoadLeavesNoComponentsBehind) {
    UnitTestWorld level(CrateWith(
        "", "\tlist struct Components\n\t{\n\t\t{\n\t\t\tstring componentName: \"Probe\"\n\t\t}\n"
            "\t\t{\n\t\t\tstring componentName: \"Nonesuch\"\n\t\t}\n\t}\n"));
    auto unit = std::make_shared<ComponentBody>();
    EXPECT_THROW(unit->SpawnUnit(level.world.get(), nullptr, nullptr, level.definitions, "Bad", 0),
                 orvel::Exception);
    EXPECT_TRUE(unit->GetComponents().empty());
}

TEST_F(UnitDefinitionTest, ABadSideUnitOfAGoodDefinitionTurnsItsPartsAndTakesTheBadTeam) {
    UnitTestWorld level(OBJECTS);
    std::shared_ptr<ComponentBody> walker = level.Make("Walker", -1);
    EXPECT_EQ(walker->GetTeam(), -1);
    EXPECT_FALSE(walker->IsFlipped());
    const auto& probe = static_cast<ProbeComponent&>(*walker->GetComponents()[0]);
    EXPECT_EQ(probe.Ids(), (std::vector<int>{21, 18}));
    EXPECT_EQ(level.Make("Walker", 0)->GetTeam(), 1);
    EXPECT_EQ(level.Make("Crate", 1)->GetTeam(), 1);
}
