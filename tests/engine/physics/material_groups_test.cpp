#include "engine/physics/material_groups.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/property_file.h"
#include "engine/physics/terrain_body.h"
#include "tests/engine/error_text.h"
#include "tests/engine/physics/physics_test_world.h"

using namespace orvel;

namespace {

const char* const kGroups =
    "list string materialGroupIDs {\n\"mg_a\"\n\"mg_b\"\n\"mg_c\"\n}\n"
    "string allMaterialGroupString: \"mg_all\"\n";

void Apply(Mechanica& world, const std::string& text) {
    ApplyMaterialGroups(world, *ParsePropertyString(text, "test.txt"), "test.txt");
}

std::string Entry(const std::string& keys) {
    return "list struct materialProperties {\n{\n" + keys + "}\n}\n";
}

struct FileErrorCase {
    std::string text;
    const char* error;
};

TEST(MaterialFile, MissingOrWrongKeysThrowNamingTheKey) {
    const FileErrorCase cases[] = {
        {"list string materialGroupIDs {\n\"mg_a\"\n}\n",
         "A string could not be found.\nString:allMaterialGroupString\nIn test.txt"},
        {std::string(kGroups) + Entry("string group1: \"mg_a\"\n"),
         "A string could not be found.\nString:group0\nIn test.txt"},
        {std::string(kGroups) + Entry("string group0: \"mg_a\"\n"),
         "A string could not be found.\nString:group1\nIn test.txt"},
        {std::string(kGroups) +
             Entry("string group0: \"mg_a\"\nstring group1: \"mg_b\"\nfloat staticFriction: 1\n"),
         "A string could not be found.\nString:kineticFriction\nIn test.txt"},
        {std::string(kGroups) +
             Entry("string group0: \"mg_a\"\nstring group1: \"mg_b\"\nfloat kineticFriction: 1\n"),
         "A string could not be found.\nString:staticFriction\nIn test.txt"},
        {std::string(kGroups) +
             Entry("string group0: \"mg_a\"\nstring group1: \"mg_b\"\nfloat elasticity: -0.5\n"),
         "Error: The value -0.5 of \"elasticity\" in test.txt is not a finite number of 0 or "
         "more."},
        {std::string(kGroups) +
             Entry("string group0: \"mg_a\"\nstring group1: \"mg_b\"\nfloat softness: -1\n"),
         "Error: The value -1 of \"softness\" in test.txt is not a finite number of 0 or more."},
        {std::string(kGroups) + Entry("string group0: \"mg_a\"\nstring group1: \"mg_b\"\n"
                                      "float staticFriction: -1\nfloat kineticFriction: 1\n"),
         "Error: The value -1 of \"staticFriction\" in test.txt is not a finite number of 0 or "
         "more."},
        {std::string(kGroups) + Entry("string group0: \"mg_a\"\nstring group1: \"mg_x\"\n"),
         "A string could not be found.\nString:mg_x\nIn material groups"},
    };
    for (const FileErrorCase& c : cases) {
        Mechanica world;
        EXPECT_EQ(ErrorText([&] { Apply(world, c.text); }), c.error) << c.text;
    }
    Mechanica world;
    EXPECT_EQ(ErrorText([&] {
                  LoadMaterialGroups(world, "resources/no_such_materials.txt");
              }).find("resources/no_such_materials.txt") != std::string::npos,
              true);
}

// Drops a box of group `falling` on a floor of group `floor` for two seconds;
// true when it comes to rest on it.
template <typename Floor = ProbeBody>
bool Lands(Mechanica& world, PropertyKey floor, PropertyKey falling,
           ProbeBody** fallingOut = nullptr, ProbeBody** floorOut = nullptr) {
    std::shared_ptr<Floor> ground = MakeBox<Floor>(world, 20, 1, 0, 0, 0, floor);
    std::shared_ptr<ProbeBody> box = MakeBox(world, 1, 1, 0, 3, 1, falling);
    box->flat = true;
    RunFrames(world, 120);
    const bool landed = std::abs(box->GetPosition().y - 1.0f) < 0.1f;
    if (fallingOut != nullptr) {
        *fallingOut = box.get();
    }
    if (floorOut != nullptr) {
        *floorOut = dynamic_cast<ProbeBody*>(static_cast<Body*>(ground.get()));
    }
    return landed;
}

// Nothing meets, then everything meets mg_c, then mg_b and mg_c part again.
const char* const kWildcardEntries =
    "list struct materialProperties {\n"
    "{\nstring group0: \"mg_all\"\nstring group1: \"mg_all\"\nbool collidable: false\n}\n"
    "{\nstring group0: \"mg_all\"\nstring group1: \"mg_c\"\nbool collidable: true\n}\n"
    "{\nstring group0: \"mg_b\"\nstring group1: \"mg_c\"\nbool collidable: false\n}\n"
    "}\n";

TEST(MaterialFile, TheWildcardStandsForEveryGroupAndLaterEntriesWin) {
    const struct {
        const char* floor;
        const char* falling;
        bool lands;
    } cases[] = {
        {"mg_a", "mg_c", true},  {"mg_c", "mg_a", true},  {"mg_c", "mg_c", true},
        {"mg_b", "mg_c", false}, {"mg_a", "mg_a", false}, {"mg_a", "mg_b", false},
    };
    for (const auto& c : cases) {
        Mechanica world;
        Apply(world, std::string(kGroups) + kWildcardEntries);
        EXPECT_EQ(Lands(world, PropertyKey(c.floor), PropertyKey(c.falling)), c.lands)
            << c.floor << " under " << c.falling;
    }
}

TEST(MaterialFile, WithoutGroupsNoPairIsSet) {
    Mechanica world;
    Apply(world, "string allMaterialGroupString: \"mg_all\"\n" +
                     Entry("string group0: \"mg_all\"\nstring group1: \"mg_x\"\n"));
    EXPECT_FALSE(world.HasMaterialGroup("mg_x"));
}

struct PairCase {
    const char* floor;
    const char* falling;
    bool collides;
};

// What the game's material file decides, pair by pair.
const PairCase kGamePairs[] = {
    {"mg_terrain", "mg_mobile_unit", true},
    {"mg_terrain", "mg_magnet", true},
    {"mg_terrain", "mg_shot", true},
    {"mg_terrain", "mg_broken_unit", true},
    {"mg_terrain", "mg_no_collide", true},
    {"mg_terrain", "mg_steam", true},
    {"mg_mobile_unit", "mg_mobile_unit", true},
    {"mg_static_unit", "mg_mobile_unit", true},
    {"mg_broken_unit", "mg_mobile_unit", true},
    {"mg_mobile_unit", "mg_shot", true},
    {"mg_magnet", "mg_mobile_unit", true},
    {"mg_magnet", "mg_magnet", true},
    {"mg_static_unit", "mg_shot", true},
    {"mg_magnet", "mg_shot", true},
    {"mg_mobile_unit", "mg_steam", true},
    {"mg_unit_sensor", "mg_mobile_unit", true},
    {"mg_all_unit_sensor", "mg_static_unit", true},
    {"mg_broken_unit_sensor", "mg_broken_unit", true},
    {"mg_terrain", "mg_terrain", false},
    {"mg_shot", "mg_shot", false},
    {"mg_broken_unit", "mg_shot", false},
    {"mg_no_collide", "mg_mobile_unit", false},
    {"mg_no_collide", "mg_shot", false},
    {"mg_no_collide", "mg_no_collide", false},
    {"mg_steam", "mg_steam", false},
    {"mg_unit_sensor", "mg_static_unit", false},
    {"mg_unit_sensor", "mg_terrain", false},
    {"mg_static_unit_sensor", "mg_mobile_unit", false},
    {"mg_broken_unit_sensor", "mg_mobile_unit", false},
};

TEST(GameMaterials, PairsCollideAndCallBackAsTheFileSays) {
    for (const PairCase& c : kGamePairs) {
        SCOPED_TRACE(std::string(c.floor) + " under " + c.falling);
        std::unique_ptr<Mechanica> world = MakeGameWorld();
        ProbeBody* box = nullptr;
        ProbeBody* floor = nullptr;
        EXPECT_EQ(Lands(*world, PropertyKey(c.floor), PropertyKey(c.falling), &box, &floor),
                  c.collides);
        // Every pair that meets asks both bodies about its contacts.
        EXPECT_EQ(box->acceptCalls > 0, c.collides);
        EXPECT_EQ(floor->acceptCalls > 0, c.collides);
        EXPECT_EQ(box->contactCalls > 0, c.collides);
        EXPECT_EQ(box->contactEndCalls > 0, c.collides);
    }
}

TEST(GameMaterials, EveryGroupTheCodeNamesExists) {
    std::unique_ptr<Mechanica> world = MakeGameWorld();
    for (const char* name :
         {"mg_no_collide", "mg_terrain", "mg_shot", "mg_magnet", "mg_mobile_unit", "mg_static_unit",
          "mg_broken_unit", "mg_unit_sensor", "mg_all_unit_sensor", "mg_static_unit_sensor",
          "mg_broken_unit_sensor", "mg_steam"}) {
        EXPECT_TRUE(world->HasMaterialGroup(PropertyKey(name))) << name;
    }
}

struct SlideCase {
    const char* floor;
    const char* slider;
    float kineticFriction;  // 0: friction off
};

const SlideCase kSlides[] = {
    {"mg_terrain", "mg_mobile_unit", 0.8f},     {"mg_terrain", "mg_magnet", 0.4f},
    {"mg_mobile_unit", "mg_mobile_unit", 0.4f}, {"mg_terrain", "mg_no_collide", 1.0f},
    {"mg_terrain", "mg_steam", 0.0f},
};

// A box pushed at 3 units/s along a floor stops after v^2 / (2 mu g).
TEST(GameMaterials, FrictionStopsSlidingBoxesWhereTheFileSays) {
    const float speed = 3.0f;
    for (const SlideCase& c : kSlides) {
        SCOPED_TRACE(std::string(c.floor) + " under " + c.slider);
        std::unique_ptr<Mechanica> world = MakeGameWorld();
        MakeBox(*world, 40, 1, 0, 0, 0, PropertyKey(c.floor));
        std::shared_ptr<ProbeBody> box =
            MakeBox(*world, 1, 1, -10, 0.999f, 1, PropertyKey(c.slider));
        box->flat = true;
        PhysBodySetLinearDamping(box->GetPhysBody(), 0.0f);
        RunFrames(*world, 30);
        const float start = box->GetPosition().x;
        const float v[3] = {speed, 0.0f, 0.0f};
        PhysBodySetVelocity(box->GetPhysBody(), v);
        RunFrames(*world, 120);
        const float travelled = box->GetPosition().x - start;
        if (c.kineticFriction == 0.0f) {
            EXPECT_NEAR(travelled, speed * 2.0f, 0.2f);
        } else {
            const float expected = speed * speed / (2.0f * c.kineticFriction * 9.8f);
            EXPECT_NEAR(travelled, expected, 0.2f * expected);
        }
    }
}

struct BounceCase {
    const char* floor;
    const char* ball;
    float elasticity;
};

const BounceCase kBounces[] = {
    {"mg_terrain", "mg_mobile_unit", 0.05f}, {"mg_terrain", "mg_shot", 0.01f},
    {"mg_terrain", "mg_magnet", 0.2f},       {"mg_terrain", "mg_steam", 0.3f},
    {"mg_magnet", "mg_magnet", 0.3f},
};

// The rebound speed of a box dropped on a floor, against the speed it hit it.
TEST(GameMaterials, BoxesBounceAsTheFileSays) {
    for (const BounceCase& c : kBounces) {
        SCOPED_TRACE(std::string(c.floor) + " under " + c.ball);
        std::unique_ptr<Mechanica> world = MakeGameWorld();
        MakeBox(*world, 40, 1, 0, 0, 0, PropertyKey(c.floor));
        std::shared_ptr<ProbeBody> box = MakeBox(*world, 1, 1, 0, 3, 1, PropertyKey(c.ball));
        box->flat = true;
        PhysBodySetLinearDamping(box->GetPhysBody(), 0.0f);
        float impact = 0.0f;
        float rebound = 0.0f;
        for (int i = 0; i < 120; ++i) {
            RunFrames(*world, 1);
            float v[3];
            PhysBodyGetVelocity(box->GetPhysBody(), v);
            impact = std::min(impact, v[1]);
            rebound = std::max(rebound, v[1]);
        }
        EXPECT_NEAR(rebound / -impact, c.elasticity, 0.1f);
    }
}

}  // namespace
