#include "engine/physics/body.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/property_file.h"
#include "engine/physics/ceiling_body.h"
#include "engine/physics/multi_sensor_body.h"
#include "engine/physics/no_collide_body.h"
#include "engine/physics/terrain_body.h"
#include "engine/physics/terrain_collision.h"
#include "tests/engine/error_text.h"
#include "tests/engine/physics/physics_test_world.h"

using namespace orvel;

namespace {

const char* const kDefinitions =
    "struct Crate {\n"
    "    float mass: 2\n"
    "    string materialGroupName: \"mg_mobile_unit\"\n"
    "    float angularDamping: 0.7\n"
    "    float linearDamping: 0.3\n"
    "    list struct Geometry {\n"
    "        {\n"
    "            string type: \"BOX\"\n"
    "            point extent: (30, 60)\n"
    "        }\n"
    "    }\n"
    "}\n"
    "struct Rock {\n"
    "    list struct Geometry {\n"
    "        {\n"
    "            string type: \"SPHERE\"\n"
    "            point extent: (15, 15)\n"
    "        }\n"
    "    }\n"
    "}\n"
    "struct Heavy {\n"
    "    float mass: -1\n"
    "    list struct Geometry {\n"
    "        {\n"
    "            string type: \"BOX\"\n"
    "            point extent: (30, 30)\n"
    "        }\n"
    "    }\n"
    "}\n"
    "struct Lost {\n"
    "    string materialGroupName: \"mg_nowhere\"\n"
    "    list struct Geometry {\n"
    "        {\n"
    "            string type: \"BOX\"\n"
    "            point extent: (30, 30)\n"
    "        }\n"
    "    }\n"
    "}\n";

class BodyTest : public ::testing::Test {
protected:
    BodyTest() : world(MakeGameWorld()), definitions(ParsePropertyString(kDefinitions, "test")) {}

    std::shared_ptr<ProbeBody> Spawned(const char* name) {
        std::shared_ptr<ProbeBody> body = std::make_shared<ProbeBody>();
        body->Spawn(world.get(), nullptr, nullptr, definitions, PropertyKey(name));
        world->AddBody(body);
        return body;
    }

    std::unique_ptr<Mechanica> world;
    PropertiesPtr definitions;
};

TEST_F(BodyTest, DefinitionKeysReachTheSdkBody) {
    std::shared_ptr<ProbeBody> crate = std::make_shared<ProbeBody>();
    crate->CreateFromObjectFile(world.get(), definitions, "Crate");
    EXPECT_EQ(crate->GetObjectName().GetName(), "Crate");
    EXPECT_EQ(crate->GetMass(), 2.0f);
    float mass, ixx, iyy, izz;
    PhysBodyGetMassMatrix(crate->GetPhysBody(), &mass, &ixx, &iyy, &izz);
    EXPECT_EQ(mass, 2.0f);
    EXPECT_EQ(crate->GetMaterialGroup().GetName(), "mg_mobile_unit");
    float damping[3];
    PhysBodyGetAngularDamping(crate->GetPhysBody(), damping);
    EXPECT_NEAR(damping[2], 0.7f, 1e-5f);
    EXPECT_NEAR(crate->GetAngularDamping().z, 0.7f, 1e-5f);
    // Only z comes from the file; x and y keep the SDK's own.
    EXPECT_EQ(crate->GetAngularDamping().x, damping[0]);
    EXPECT_NE(damping[0], 0.7f);
    EXPECT_NEAR(PhysBodyGetLinearDamping(crate->GetPhysBody()), 0.3f, 1e-5f);
    EXPECT_NEAR(crate->GetCollision()->GetExtent().y, 2.0f, 1e-4f);

    // Without "mass" the body does not move.
    std::shared_ptr<ProbeBody> rock = std::make_shared<ProbeBody>();
    rock->CreateFromObjectFile(world.get(), definitions, "Rock");
    world->AddBody(rock);
    rock->SetPosition(Vector4(3, 3, 0));
    EXPECT_EQ(rock->teleports, 1);
    EXPECT_EQ(rock->GetMass(), 0.0f);
    RunFrames(*world, 30);
    EXPECT_EQ(rock->GetPosition().y, 3.0f);
}

TEST_F(BodyTest, BadDefinitionsThrowNamingTheKey) {
    ProbeBody body;
    EXPECT_EQ(ErrorText([&] { body.CreateFromObjectFile(world.get(), definitions, "Nope"); }),
              "A string could not be found.\nString:Nope\nIn resources/objectfile.txt");
    ProbeBody heavy;
    EXPECT_EQ(ErrorText([&] { heavy.CreateFromObjectFile(world.get(), definitions, "Heavy"); }),
              "Error: The value -1 of \"mass\" in the definition of Heavy is not a finite number "
              "of 0 or more.");
    ProbeBody lost;
    EXPECT_EQ(ErrorText([&] { lost.CreateFromObjectFile(world.get(), definitions, "Lost"); }),
              "A string could not be found.\nString:mg_nowhere\nIn material groups");
}

TEST_F(BodyTest, CopiesHaveAShapeOfTheirOwnAndThePrototypesState) {
    std::shared_ptr<ProbeBody> prototype = Spawned("Crate");
    prototype->SetTeam(-1);
    Matrix4 placed = Matrix4::RotationZ(0.5f);
    placed.SetPosition(Vector4(4, 5, 0));
    prototype->SetMatrix(placed);
    ProbeBody copy;
    copy.CopyFrom(*prototype);
    EXPECT_NE(copy.GetCollision(), prototype->GetCollision());
    EXPECT_NE(copy.GetCollision()->GetPhysCollision(), nullptr);
    EXPECT_NEAR(copy.GetCollision()->GetExtent().y, 2.0f, 1e-4f);
    EXPECT_EQ(copy.GetMass(), 2.0f);
    EXPECT_EQ(copy.GetTeam(), -1);
    EXPECT_EQ(copy.GetMaterialGroup(), prototype->GetMaterialGroup());
    EXPECT_EQ(copy.GetObjectName(), prototype->GetObjectName());
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(copy.GetMatrix().m[i], placed.m[i], 1e-6f);
    }
    // A spawned body runs with a damping of 0.01; its copies with the file's.
    EXPECT_NEAR(PhysBodyGetLinearDamping(prototype->GetPhysBody()), 0.01f, 1e-5f);
    EXPECT_NEAR(prototype->GetLinearDamping(), 0.3f, 1e-5f);
    EXPECT_NEAR(PhysBodyGetLinearDamping(copy.GetPhysBody()), 0.3f, 1e-5f);
}

TEST_F(BodyTest, RebuildingMirrorsTheShape) {
    const char* text =
        "struct Arm {\n    float mass: 1\n    list struct Geometry {\n        {\n"
        "            string type: \"BOX\"\n            point extent: (30, 30)\n"
        "            point position: (60, 0)\n        }\n    }\n}\n";
    ProbeBody arm;
    arm.CreateFromObjectFile(world.get(), ParsePropertyString(text, "test"), "Arm");
    EXPECT_NEAR(arm.GetCollision()->GetOffset().m[12], 2.0f, 1e-5f);
    arm.SetFlipped(true);
    arm.RebuildCollision();
    EXPECT_NEAR(arm.GetCollision()->GetOffset().m[12], -2.0f, 1e-5f);
}

// Boxes dropped spinning onto a slope knock into each other for ten
// seconds; kept flat, they stay in the plane and upright to it.
TEST_F(BodyTest, FlatBodiesStayInThePlaneWhileTumbling) {
    std::shared_ptr<TerrainCollision> terrain = std::make_shared<TerrainCollision>(world.get());
    terrain->Load(ParsePropertyString(
        "list int nodeHeights {\n150\n60\n30\n90\n0\n120\n}\nint nodeSpacing: 90\n", "test"));
    std::shared_ptr<TerrainBody> ground = std::make_shared<TerrainBody>();
    ground->CreateWithCollision(world.get(), terrain);
    ground->SetMaterialGroup("mg_terrain");
    world->AddBody(ground);
    std::vector<std::shared_ptr<ProbeBody>> boxes;
    for (int i = 0; i < 12; ++i) {
        std::shared_ptr<ProbeBody> box =
            MakeBox(*world, 0.8f, 0.5f, 2.0f + 1.1f * (i % 10), 8.0f + i, 1, "mg_mobile_unit");
        box->flat = true;
        const float spin[3] = {3.0f, -2.0f, 5.0f};
        PhysBodySetAngularVelocity(box->GetPhysBody(), spin);
        const float drift[3] = {0.5f, 0.0f, 1.0f};
        PhysBodySetVelocity(box->GetPhysBody(), drift);
        boxes.push_back(box);
    }
    float tumbled = 0.0f;
    float tilt = 0.0f;
    float offPlane = 0.0f;
    for (int frame = 0; frame < 600; ++frame) {
        RunFrames(*world, 1);
        for (const std::shared_ptr<ProbeBody>& box : boxes) {
            const Matrix4 m = box->GetMatrix();
            offPlane = std::max(offPlane, std::abs(m.m[14]));
            // The z axis stays (0, 0, 1): no turning about x or y.
            tilt = std::max({tilt, std::abs(m.m[2]), std::abs(m.m[6]), std::abs(1.0f - m.m[10])});
            tumbled = std::max(tumbled, std::abs(m.m[1]));
        }
    }
    // What one step's contacts do before the next step puts it right: a
    // twentieth of a pixel off the plane, about half a degree of tilt; it
    // never adds up.
    EXPECT_LT(offPlane, 0.005f);
    EXPECT_LT(tilt, 0.02f);
    EXPECT_GT(tumbled, 0.3f);  // they did turn in the plane
}

TEST_F(BodyTest, FlatteningAndStopping) {
    std::shared_ptr<ProbeBody> box = MakeBox(*world, 1, 1, 0, 5, 1);
    box->SetPosition(Vector4(0, 5, 0.3f));
    const float velocity[3] = {1.0f, 2.0f, 3.0f};
    const float omega[3] = {4.0f, 5.0f, 6.0f};
    PhysBodySetVelocity(box->GetPhysBody(), velocity);
    PhysBodySetAngularVelocity(box->GetPhysBody(), omega);
    box->FlattenMotion();
    float v[3];
    EXPECT_EQ(box->GetPosition().z, 0.0f);
    PhysBodyGetVelocity(box->GetPhysBody(), v);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[2], 0.0f);
    PhysBodyGetAngularVelocity(box->GetPhysBody(), v);
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[1], 0.0f);
    EXPECT_EQ(v[2], 6.0f);
    box->StopMotion();
    PhysBodyGetVelocity(box->GetPhysBody(), v);
    EXPECT_EQ(v[0], 0.0f);
    PhysBodyGetAngularVelocity(box->GetPhysBody(), v);
    EXPECT_EQ(v[2], 0.0f);
}

// The plane force pulls a body that strayed from z = 0 back towards it.
TEST_F(BodyTest, ThePlaneForcePullsBackTowardsThePlane) {
    struct PlaneKept : ProbeBody {
        void ApplyForces() override { ApplyPlaneForce(); }
    };
    std::shared_ptr<PlaneKept> box = MakeBox<PlaneKept>(*world, 1, 1, 0, 5, 2);
    box->SetPosition(Vector4(0, 5, 0.3f));
    float lowest = 0.3f;
    for (int frame = 0; frame < 40; ++frame) {
        RunFrames(*world, 1);
        const float z = box->GetPosition().z;
        EXPECT_LE(z, lowest + 1e-6f) << "frame " << frame;
        lowest = std::min(lowest, z);
    }
    EXPECT_LT(lowest, 0.25f);
    EXPECT_GT(lowest, -0.3f);
}

// A body kept up by an accumulated force equal to its weight hovers.
TEST_F(BodyTest, AccumulatedForcesAndImpulsesMoveTheBody) {
    struct Hovering : ProbeBody {
        void ApplyForces() override {
            AddForce(Vector4(0.0f, 9.8f * GetMass(), 0.0f));
            ProbeBody::ApplyForces();
        }
    };
    std::shared_ptr<Hovering> box = MakeBox<Hovering>(*world, 1, 1, 0, 5, 2);
    RunFrames(*world, 60);
    EXPECT_NEAR(box->GetPosition().y, 5.0f, 1e-3f);
    box->AddImpulse(Vector4(1.0f, 0.0f, 0.0f), box->GetPosition());
    float v[3];
    PhysBodyGetVelocity(box->GetPhysBody(), v);
    EXPECT_NEAR(v[0], 1.0f, 1e-4f);
}

TEST_F(BodyTest, BodiesRefuseContactsByCallback) {
    for (int refuse = 0; refuse < 3; ++refuse) {
        SCOPED_TRACE(refuse);
        std::unique_ptr<Mechanica> game = MakeGameWorld();
        MakeBox(*game, 20, 1, 0, 0, 0, "mg_terrain");
        std::shared_ptr<ProbeBody> box = MakeBox(*game, 1, 1, 0, 2, 1, "mg_mobile_unit");
        box->accept = refuse != 1;
        box->keepContacts = refuse != 2;
        RunFrames(*game, 90);
        EXPECT_EQ(box->GetPosition().y > 0.9f, refuse == 0);
    }
}

TEST(CeilingBody, EveryAirshipStopsAtTheCeilingAndNothingElse) {
    const struct {
        const char* name;
        bool stops;
    } cases[] = {
        {"GoodAirShip", true}, {"GoodAirShip_AI", true},
        {"BadAirShip", true},  {"BadAirShip_AI", true},
        {"Tank", false},       {"BalloonBomb", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<Mechanica> world = MakeGameWorld();
        std::shared_ptr<CeilingBody> ceiling =
            MakeBox<CeilingBody>(*world, 20, 1, 0, 10, 0, "mg_terrain");
        std::shared_ptr<ProbeBody> ship = MakeBox(*world, 1, 1, 0, 8, 1, "mg_magnet");
        ship->SetObjectName(PropertyKey(c.name));
        ship->gravity = false;
        ship->flat = true;
        const float up[3] = {0.0f, 4.0f, 0.0f};
        PhysBodySetVelocity(ship->GetPhysBody(), up);
        RunFrames(*world, 90);
        EXPECT_EQ(ship->GetPosition().y < 9.6f, c.stops);
        EXPECT_EQ(ceiling->AcceptContact(nullptr, ship.get()), c.stops);
    }
    EXPECT_NE(CeilingBody().Clone(), nullptr);
}

TEST(NoCollideBody, OnlyMobileUnitsTouchIt) {
    for (const char* group : {"mg_mobile_unit", "mg_magnet", "mg_shot"}) {
        SCOPED_TRACE(group);
        std::unique_ptr<Mechanica> world = MakeGameWorld();
        std::shared_ptr<NoCollideBody> floor =
            MakeBox<NoCollideBody>(*world, 20, 1, 0, 0, 0, "mg_terrain");
        std::shared_ptr<ProbeBody> box = MakeBox(*world, 1, 1, 0, 2, 1, PropertyKey(group));
        EXPECT_EQ(floor->AcceptContact(nullptr, box.get()), std::string(group) == "mg_mobile_unit");
    }
}

class SensorTest : public ::testing::Test {
protected:
    SensorTest() : world(MakeGameWorld()) {
        sensor = MakeBox<MultiSensorBody>(*world, 4, 4, 0, 0, 0, "mg_unit_sensor");
    }

    std::shared_ptr<ProbeBody> Unit(float x, float y, int team) {
        std::shared_ptr<ProbeBody> unit = MakeBox(*world, 1, 1, x, y, 1, "mg_mobile_unit");
        PhysBodySetLinearDamping(unit->GetPhysBody(), 0.0f);
        unit->SetTeam(team);
        unit->gravity = false;
        return unit;
    }

    std::unique_ptr<Mechanica> world;
    std::shared_ptr<MultiSensorBody> sensor;
};

TEST_F(SensorTest, RecordsEachToucherOnceAndNeverPushes) {
    std::shared_ptr<ProbeBody> inside = Unit(0.5f, 0.5f, 1);
    std::shared_ptr<ProbeBody> outside = Unit(10, 0, -1);
    const float fall[3] = {0.0f, -1.0f, 0.0f};
    PhysBodySetVelocity(inside->GetPhysBody(), fall);
    RunFrames(*world, 2);
    ASSERT_EQ(sensor->GetSensed().size(), 1u);
    EXPECT_EQ(sensor->GetSensed()[0].body, inside.get());
    EXPECT_GT(inside->contactCalls, 1);  // a box on a box touches in several points
    RunFrames(*world, 2);
    EXPECT_EQ(sensor->GetSensed().size(), 1u);
    // The sensor took no part in the motion.
    float v[3];
    PhysBodyGetVelocity(inside->GetPhysBody(), v);
    EXPECT_NEAR(v[1], -1.0f, 1e-3f);
    EXPECT_EQ(sensor->FindFriend(1), inside.get());
    EXPECT_EQ(sensor->FindEnemy(-1), inside.get());
    EXPECT_EQ(sensor->FindEnemy(1), nullptr);
    EXPECT_EQ(sensor->FindFriend(0), nullptr);
    EXPECT_EQ(sensor->FindEnemy(0), nullptr);
    sensor->ClearSensed();
    EXPECT_TRUE(sensor->GetSensed().empty());
    EXPECT_EQ(inside->GetGoingAwayConnectionCount(), 0u);
}

// Buildings and wrecks are immovable like the sensors; both are seen.
TEST_F(SensorTest, SensorsSeeBuildingsAndStayWhereTheirOwnerPutsThem) {
    std::shared_ptr<MultiSensorBody> fixer =
        MakeBox<MultiSensorBody>(*world, 4, 4, 10, 0, 0, "mg_broken_unit_sensor");
    std::shared_ptr<ProbeBody> wreck = MakeBox(*world, 1, 1, 10.5f, 0.5f, 0, "mg_broken_unit");
    std::shared_ptr<ProbeBody> walker = MakeBox(*world, 1, 1, -1.0f, 3.0f, 1, "mg_mobile_unit");
    RunFrames(*world, 3);
    ASSERT_EQ(fixer->GetSensed().size(), 1u);
    EXPECT_EQ(fixer->GetSensed()[0].body, wreck.get());
    // A unit falls through it; the sensor has not moved.
    RunFrames(*world, 60);
    EXPECT_EQ(sensor->GetPosition().x, 0.0f);
    EXPECT_EQ(sensor->GetPosition().y, 0.0f);
    EXPECT_EQ(sensor->GetMatrix().m[0], 1.0f);
    EXPECT_LT(walker->GetPosition().y, 0.0f);
    // A copy is a sensor of the same kind.
    std::shared_ptr<Body> copy = sensor->Clone();
    copy->CopyFrom(*sensor);
    EXPECT_NE(std::dynamic_pointer_cast<MultiSensorBody>(copy), nullptr);
}

TEST_F(SensorTest, ForgetsBodiesThatGoAwayOrLeaveTheWorld) {
    std::shared_ptr<ProbeBody> first = Unit(0.5f, 0.5f, 1);
    std::shared_ptr<ProbeBody> second = Unit(-0.5f, -0.5f, 1);
    RunFrames(*world, 2);
    ASSERT_EQ(sensor->GetSensed().size(), 2u);
    first->SetAlive(false);
    world->UpdateBodies();
    first.reset();
    ASSERT_EQ(sensor->GetSensed().size(), 1u);
    EXPECT_EQ(sensor->GetSensed()[0].body, second.get());
    second->SetAlive(false);
    world->UpdateBodies();  // the world lets go; the test still holds it
    sensor->PruneOutsideWorld();
    EXPECT_TRUE(sensor->GetSensed().empty());
    EXPECT_EQ(second->GetGoingAwayConnectionCount(), 0u);
}

}  // namespace
