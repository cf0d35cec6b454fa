#include "engine/physics/collision.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/property_file.h"
#include "engine/physics/compound_collision.h"
#include "engine/physics/mechanica.h"
#include "engine/physics/terrain_body.h"
#include "engine/physics/terrain_collision.h"
#include "tests/engine/error_text.h"
#include "tests/engine/physics/physics_test_world.h"

using namespace orvel;

namespace {

const float kDepth = 10.0f / 30.0f;  // every shape's thickness at scale 30

// The cases write an entry on one line, "{ key: value\n key: value }"; the
// file format wants each brace and value on a line of its own.
PropertiesPtr Definition(std::string text) {
    for (size_t at = text.find("{ "); at != std::string::npos; at = text.find("{ ", at)) {
        text.replace(at, 2, "{\n");
    }
    for (size_t at = text.find(" }"); at != std::string::npos; at = text.find(" }", at)) {
        text.replace(at, 2, "\n}");
    }
    return ParsePropertyString(text, "test");
}

// A world at the game's scale, 30 pixels a unit.
class CollisionTest : public ::testing::Test {
protected:
    CollisionTest() { world.SetScale(30.0f); }

    std::shared_ptr<CompoundCollision> Geometry(const std::string& text, bool flip = false) {
        std::shared_ptr<CompoundCollision> shape = std::make_shared<CompoundCollision>(&world);
        shape->LoadGeometry(Definition(text), flip);
        return shape;
    }

    Mechanica world;
};

void ExpectExtent(const Collision& shape, float x, float y, float z) {
    const Vector4 extent = shape.GetExtent();
    EXPECT_NEAR(extent.x, x, 1e-3f);
    EXPECT_NEAR(extent.y, y, 1e-3f);
    EXPECT_NEAR(extent.z, z, 1e-3f);
}

struct ShapeCase {
    const char* geometry;  // the entries of a "Geometry" list
    const char* kind;      // the primitive's type; empty for a compound
    size_t children;
    float x, y, z;  // size in world units
};

const ShapeCase kShapeCases[] = {
    {"{ string type: \"BOX\"\n point extent: (40, 20) }", "BOX", 0, 40 / 30.0f, 20 / 30.0f, kDepth},
    // A disc: the extent's x is its radius.
    {"{ string type: \"SPHERE\"\n point extent: (15, 15) }", "SPHERE", 0, 1.0f, 1.0f, kDepth},
    {"{ string type: \"CYLINDER\"\n point extent: (30, 12) }", "CYLINDER", 0, 1.0f, 0.4f, kDepth},
    // A capsule of length 60 across x, 1.75 times 20 thick.
    {"{ string type: \"CAPSULE\"\n point extent: (20, 60) }", "CAPSULE", 0, 2.0f, 35 / 30.0f,
     kDepth},
    {"{ string type: \"BOX\"\n point extent: (60, 30)\n float rotation: 90 }", "BOX", 0, 1.0f, 2.0f,
     kDepth},
    {"{ string type: \"BOX\"\n point extent: (30, 30)\n point position: (-30, 0) }\n"
     "{ string type: \"BOX\"\n point extent: (30, 30)\n point position: (30, 0) }",
     "", 2, 3.0f, 1.0f, kDepth},
    {"{ string type: \"SPHERE\"\n point extent: (15, 15) }\n"
     "{ string type: \"BOX\"\n point extent: (90, 6)\n point position: (0, 30) }",
     "", 2, 3.0f, 1.5f + 0.1f, kDepth},
};

TEST_F(CollisionTest, DefinitionsMakeShapesOfTheirKindAndSize) {
    for (const ShapeCase& c : kShapeCases) {
        SCOPED_TRACE(c.geometry);
        std::shared_ptr<CompoundCollision> shape =
            Geometry(std::string("list struct Geometry {\n") + c.geometry + "\n}\n");
        EXPECT_EQ(shape->GetType().GetName(), c.kind);
        EXPECT_EQ(shape->GetChildren().size(), c.children);
        ASSERT_NE(shape->GetPhysCollision(), nullptr);
        ExpectExtent(*shape, c.x, c.y, c.z);
        // A clone is a shape of its own of the same size.
        std::shared_ptr<Collision> copy = shape->Clone();
        EXPECT_NE(copy->GetPhysCollision(), nullptr);
        EXPECT_EQ(copy->GetType(), shape->GetType());
        ExpectExtent(*copy, c.x, c.y, c.z);
    }
}

struct ErrorCase {
    const char* geometry;
    const char* error;
};

const ErrorCase kErrorCases[] = {
    {"{ point extent: (10, 10) }", "A string could not be found.\nString:type\nIn objectFile?"},
    {"{ string type: \"BOX\" }", "A string could not be found.\nString:extent\nIn objectFile?"},
    {"{ string type: \"BOX\"\n point extent: (0, 10) }",
     "Error: The value 0 of \"extent\" in objectFile? is not a finite number above 0."},
    {"{ string type: \"SPHERE\"\n point extent: (10, -4) }",
     "Error: The value -4 of \"extent\" in objectFile? is not a finite number above 0."},
    {"{ string type: \"BOX\"\n pointf extent: (10, 10) }", "Incorrect type for: extent"},
    {"{ string type: \"TRIANGLEMESH\"\n point extent: (10, 10) }",
     "Error: The shape type \"TRIANGLEMESH\" of \"type\" in objectFile? is none of BOX, "
     "CYLINDER, CAPSULE and SPHERE."},
    {"{ string type: \"BOX\"\n point extent: (10, 10) }\n{ string type: \"BOX\" }",
     "A string could not be found.\nString:extent\nIn objectFile?"},
};

TEST_F(CollisionTest, WrongDefinitionsThrowNamingTheKey) {
    for (const ErrorCase& c : kErrorCases) {
        const std::string text = std::string("list struct Geometry {\n") + c.geometry + "\n}\n";
        EXPECT_EQ(ErrorText([&] { Geometry(text); }), c.error) << c.geometry;
    }
    EXPECT_EQ(ErrorText([&] { Geometry("int mass: 3\n"); }),
              "A string could not be found.\nString:Geometry\nIn objectFile?");
    EXPECT_EQ(ErrorText([&] { Geometry("list struct Geometry {\n}\n"); }),
              "A string could not be found.\nString:Geometry\nIn objectFile?");
    EXPECT_EQ(ErrorText([&] { Geometry("list int Geometry {\n1\n2\n}\n"); }),
              "A string could not be found.\nString:Geometry #\nIn objectFile?");

    PropertiesPtr notANumber = Definition("string type: \"BOX\"\npoint extent: (10, 10)\n");
    notANumber->SetFloat(PropertyKey("rotation"), std::nanf(""));
    Collision shape(&world);
    EXPECT_EQ(ErrorText([&] { shape.Load(notANumber, false); }),
              "Error: The value nan of \"rotation\" in objectFile? is not a finite number.");
}

TEST_F(CollisionTest, FlippingMirrorsPositionAndRotation) {
    const char* text =
        "list struct Geometry {\n{ string type: \"BOX\"\n point extent: (30, 30)\n"
        " point position: (10, 0)\n float rotation: 30\n colour lineColour: 1, 2, 3, 4 }\n}\n";
    for (bool flip : {false, true}) {
        const float sign = flip ? -1.0f : 1.0f;
        std::shared_ptr<CompoundCollision> shape = Geometry(text, flip);
        const Matrix4& offset = shape->GetOffset();
        // The shape is moved by its position, then turned about the body's
        // origin.
        EXPECT_NEAR(offset.m[12], sign * std::cos(0.5235988f) / 3.0f, 1e-6f);
        EXPECT_NEAR(offset.m[13], 0.5f / 3.0f, 1e-6f);
        EXPECT_NEAR(offset.m[0], std::cos(0.5235988f), 1e-6f);
        EXPECT_NEAR(offset.m[1], sign * 0.5f, 1e-6f);
        EXPECT_NE(shape->GetLineColour(), -1);
    }
}

TEST_F(CollisionTest, ThinnerShapesAndTheirClonesKeepTheirDepth) {
    Collision sensor(&world);
    sensor.SetDepth(9.0f);
    sensor.Load(Definition("string type: \"SPHERE\"\npoint extent: (30, 30)\n"), false);
    ExpectExtent(sensor, 2.0f, 2.0f, 0.3f);
    ExpectExtent(*sensor.Clone(), 2.0f, 2.0f, 0.3f);
}

TEST_F(CollisionTest, ShapesThatOutliveTheirWorldLetGoQuietly) {
    std::shared_ptr<Collision> shape;
    {
        Mechanica shortLived;
        shape = std::make_shared<Collision>(&shortLived);
        shape->CreateBox(1, 1, 1, Matrix4::Identity());
    }
    EXPECT_EQ(shape->GetPhysCollision(), nullptr);
    ExpectExtent(*shape, 0, 0, 0);
}

// Ground of four nodes 30 pixels apart: up one unit, flat, down one unit.
const char* const kHill = "list int nodeHeights {\n0\n30\n30\n0\n}\nint nodeSpacing: 30\n";

struct SurfaceCase {
    float x;        // world units
    bool onGround;  // false: past either end, the matrix comes back as it was
    float degrees;  // the slope's angle
    float height;   // the ground's height at x
};

const SurfaceCase kSurfaceCases[] = {
    {0.5f, true, 45.0f, 0.5f},    {0.9f, true, 45.0f, 0.9f}, {1.5f, true, 0.0f, 1.0f},
    {2.25f, true, -45.0f, 0.75f}, {3.5f, false, 0, 0},       {-0.5f, false, 0, 0},
    {NAN, false, 0, 0},
};

TEST_F(CollisionTest, TerrainSurfaceFollowsTheSlope) {
    TerrainCollision terrain(&world);
    terrain.Load(Definition(kHill));
    EXPECT_EQ(terrain.GetNodeCount(), 4);
    for (const SurfaceCase& c : kSurfaceCases) {
        SCOPED_TRACE(c.x);
        Matrix4 at = Matrix4::RotationZ(0.3f);
        at.SetPosition(Vector4(c.x, 7.0f, 0.0f));
        const Matrix4 surface = terrain.SurfaceMatrixAt(at);
        if (!c.onGround) {
            for (int i = 0; i < 16; ++i) {
                EXPECT_TRUE(surface.m[i] == at.m[i] ||
                            (std::isnan(at.m[i]) && std::isnan(surface.m[i])));
            }
            continue;
        }
        const float radians = c.degrees * 0.017453292f;
        EXPECT_NEAR(surface.m[0], std::cos(radians), 1e-5f);
        EXPECT_NEAR(surface.m[1], std::sin(radians), 1e-5f);
        EXPECT_NEAR(surface.m[12], c.x, 1e-5f);
        EXPECT_NEAR(surface.m[13], c.height, 1e-5f);
        EXPECT_EQ(surface.m[14], 0.0f);
    }
}

TEST_F(CollisionTest, ABoxComesToRestOnTheTerrain) {
    std::shared_ptr<TerrainCollision> terrain = std::make_shared<TerrainCollision>(&world);
    terrain->Load(Definition("list int nodeHeights {\n60\n60\n60\n60\n}\nint nodeSpacing: 60\n"));
    std::shared_ptr<TerrainBody> ground = std::make_shared<TerrainBody>();
    ground->CreateWithCollision(&world, terrain);
    world.AddBody(ground);
    std::shared_ptr<ProbeBody> box = MakeBox(world, 1, 1, 3, 4, 1);
    box->flat = true;
    RunFrames(world, 180);
    EXPECT_NEAR(box->GetPosition().y, 2.5f, 0.05f);
    // The terrain body answers for its ground.
    EXPECT_NEAR(ground->SurfaceMatrixAt(box->GetMatrix()).m[13], 2.0f, 1e-5f);
}

TEST_F(CollisionTest, TerrainErrorsAndEdgeCases) {
    TerrainCollision terrain(&world);
    EXPECT_EQ(ErrorText([&] { terrain.Load(Definition("int nodeSpacing: 30\n")); }),
              "A string could not be found.\nString:nodeHeights\nIn level file?");
    EXPECT_EQ(ErrorText([&] { terrain.Load(Definition("list int nodeHeights {\n1\n}\n")); }),
              "A string could not be found.\nString:nodeSpacing\nIn level file?");
    EXPECT_EQ(
        ErrorText([&] {
            terrain.Load(Definition("list int nodeHeights {\n1\n2\n}\nint nodeSpacing: 0\n"));
        }),
        "Error: The value 0 of \"nodeSpacing\" in level file? is not a finite number above 0.");
    // One node: a mesh without faces, and no surface anywhere.
    terrain.Load(Definition("list int nodeHeights {\n5\n}\nint nodeSpacing: 30\n"));
    EXPECT_EQ(terrain.GetNodeCount(), 1);
    const Matrix4 at = Matrix4::Translation(Vector4(0.1f, 3.0f, 0.0f));
    EXPECT_EQ(terrain.SurfaceMatrixAt(at).m[13], 3.0f);
    EXPECT_EQ(terrain.Clone(), nullptr);
}

}  // namespace
