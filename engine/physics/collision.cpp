#include "engine/physics/collision.h"

#include <cmath>

#include "engine/core/exception.h"
#include "engine/physics/checked_value.h"
#include "engine/physics/mechanica.h"

namespace orvel {

namespace {

const PropertyKey kType("type");
const PropertyKey kExtent("extent");
const PropertyKey kPosition("position");
const PropertyKey kRotation("rotation");
const PropertyKey kLineColour("lineColour");

const PropertyKey kBox("BOX");
const PropertyKey kSphere("SPHERE");
const PropertyKey kCapsule("CAPSULE");
const PropertyKey kCylinder("CYLINDER");

const char* const kObjectFile = "objectFile?";
const float kDegreesToRadians = 0.017453292f;

// The quarter turn about y that lays a cylinder's axis (its x) along z.
Matrix4 QuarterTurnAboutY() {
    const double a = 1.5707964897155762;
    const float c = float(std::cos(a));
    const float s = float(std::sin(a));
    Matrix4 turn = Matrix4::Identity();
    turn.m[0] = c;
    turn.m[2] = -s;
    turn.m[8] = s;
    turn.m[10] = c;
    return turn;
}

}  // namespace

Collision::Collision(Mechanica* world) : world(world), worldLife(world->GetLifeToken()) {
    world->RegisterCollision(this);
}

Collision::~Collision() {
    Collision::Release();
    if (!worldLife.expired()) {
        world->UnregisterCollision(this);
    }
}

void Collision::Release() { DropPhysCollision(); }

void Collision::DropPhysCollision() {
    if (collision != nullptr && !worldLife.expired()) {
        PhysReleaseCollision(world->GetPhysWorld(), collision);
    }
    collision = nullptr;
}

Vector4 Collision::GetExtent() const {
    if (GetPhysCollision() == nullptr) {
        return Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    }
    float min[3];
    float max[3];
    // The SDK's box leaves out the shape's offset; the extent is that of the
    // shape as it sits in its body (a disc lies in the play plane).
    const Matrix4 placed = type != PropertyKey() ? offset : Matrix4::Identity();
    PhysCollisionCalculateAABB(collision, placed.m, min, max);
    return Vector4(max[0] - min[0], max[1] - min[1], max[2] - min[2], 0.0f);
}

void Collision::DebugDraw() {}

float Collision::WorldDepth() const { return depth / world->GetScale(); }

void Collision::StoreDimensions(float d0, float d1, float d2, float d3, float d4) {
    dimensions[0] = d0;
    dimensions[1] = d1;
    dimensions[2] = d2;
    dimensions[3] = d3;
    dimensions[4] = d4;
}

std::shared_ptr<Collision> Collision::Clone() const {
    std::shared_ptr<Collision> copy = std::make_shared<Collision>(world);
    copy->depth = depth;
    copy->reserved = reserved;
    const float* d = dimensions;
    if (type == kBox) {
        copy->CreateBox(d[0], d[1], d[2], createMatrix);
    } else if (type == kCylinder) {
        copy->CreateCylinder(d[3], d[4], createMatrix);
    } else if (type == kCapsule) {
        copy->CreateCapsule(d[3], d[4], createMatrix);
    } else if (type == kSphere) {
        copy->CreateSphere(d[0], d[1], d[2], createMatrix);
    } else {
        copy->StoreDimensions(d[0], d[1], d[2], d[3], d[4]);
    }
    return copy;
}

void Collision::Load(const PropertiesPtr& definition, bool flip) {
    if (!definition->HasProperty(kType)) {
        throw ExceptionStringNotFound(kType.GetName(), kObjectFile);
    }
    const PropertyKey shapeType = PropertyKey::Intern(definition->GetString(kType));
    if (!definition->HasProperty(kExtent)) {
        throw ExceptionStringNotFound(kExtent.GetName(), kObjectFile);
    }
    const PointI extent = definition->GetPoint(kExtent);
    CheckPositive(float(extent.x), kExtent, kObjectFile);
    CheckPositive(float(extent.y), kExtent, kObjectFile);
    CheckPositive(depth, PropertyKey("depth"), kObjectFile);
    const float scale = world->GetScale();
    const float x = float(extent.x) / scale;
    const float y = float(extent.y) / scale;

    Vector4 position(0.0f, 0.0f, 0.0f, 1.0f);
    if (definition->HasProperty(kPosition)) {
        const PointI p = definition->GetPoint(kPosition);
        position = Vector4(float(p.x) / scale, float(p.y) / scale, 0.0f, 1.0f);
    }
    float rotation = 0.0f;
    if (definition->HasProperty(kRotation)) {
        rotation = CheckFinite(definition->GetFloat(kRotation), kRotation, kObjectFile);
    }
    lineColour = definition->HasProperty(kLineColour) ? definition->GetColour(kLineColour) : -1;
    if (flip) {
        position.x = -position.x;
        rotation = -rotation;
    }
    const Matrix4 offsetMatrix =
        Matrix4::Translation(position) * Matrix4::RotationZ(rotation * kDegreesToRadians);

    if (shapeType == kBox) {
        CreateBox(x, y, 10.0f, offsetMatrix);
    } else if (shapeType == kCylinder) {
        CreateCylinder(x, y, offsetMatrix);
    } else if (shapeType == kCapsule) {
        CreateCapsule(x, y, offsetMatrix);
    } else if (shapeType == kSphere) {
        CreateSphere(x, y, 10.0f, offsetMatrix);
    } else {
        throw ExceptionGeneral("The shape type \"" + shapeType.GetName() + "\" of \"" +
                               kType.GetName() +
                               "\" in objectFile? is none of BOX, CYLINDER, CAPSULE and SPHERE.");
    }
}

void Collision::CreateBox(float x, float y, float, const Matrix4& matrix) {
    Release();
    const float d = WorldDepth();
    type = kBox;
    StoreDimensions(x, y, d, 0.0f, 0.0f);
    offset = matrix;
    createMatrix = matrix;
    collision = PhysCreateBox(world->GetPhysWorld(), x, y, d, offset.m);
}

void Collision::CreateSphere(float x, float, float, const Matrix4& matrix) {
    Release();
    const float d = WorldDepth();
    type = kSphere;
    StoreDimensions(x, d, d, 0.0f, 0.0f);
    offset = QuarterTurnAboutY() * matrix;
    createMatrix = matrix;
    collision = PhysCreateCylinder(world->GetPhysWorld(), x, d, offset.m);
}

void Collision::CreateCapsule(float width, float height, const Matrix4& matrix) {
    Release();
    const float d = WorldDepth();
    type = kCapsule;
    StoreDimensions(0.0f, 0.0f, 0.0f, width, height);
    offset = matrix;
    createMatrix = matrix;
    const float hw = width / 2.0f;
    const float hh = height / 2.0f;
    const float hz = d / 2.0f;
    const float outline[10][2] = {
        {width - hh, -hw},
        {hw - hh, -0.875f * width},
        {-hh, 0.0f},
        {hw - hh, 0.875f * width},
        {width - hh, hw},
        {hh - width, -hw},
        {hh - hw, -0.875f * width},
        {hh, 0.0f},
        {hh - hw, 0.875f * width},
        {hh - width, hw},
    };
    float points[20][4];
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 10; ++i) {
            float* p = points[side * 10 + i];
            p[0] = outline[i][0];
            p[1] = outline[i][1];
            p[2] = side == 0 ? -hz : hz;
            p[3] = 1.0f;
        }
    }
    collision = PhysCreateConvexHull(world->GetPhysWorld(), 20, &points[0][0], 16, offset.m);
}

void Collision::CreateCylinder(float width, float height, const Matrix4& matrix) {
    Release();
    const float d = WorldDepth();
    type = kCylinder;
    StoreDimensions(0.0f, 0.0f, 0.0f, width, height);
    offset = matrix;
    createMatrix = matrix;
    collision = PhysCreateBox(world->GetPhysWorld(), width, height, d, offset.m);
}

}  // namespace orvel
