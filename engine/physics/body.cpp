#include "engine/physics/body.h"

#include "engine/core/exception.h"
#include "engine/physics/checked_value.h"
#include "engine/physics/collision.h"
#include "engine/physics/compound_collision.h"
#include "engine/physics/mechanica.h"

namespace orvel {

namespace {

const PropertyKey kMass("mass");
const PropertyKey kMaterialGroupName("materialGroupName");
const PropertyKey kAngularDamping("angularDamping");
const PropertyKey kLinearDamping("linearDamping");

const char* const kObjectFile = "resources/objectfile.txt";

Body* Wrapper(const PhysBody* body) { return static_cast<Body*>(PhysBodyGetUserData(body)); }

// The serial number of the last body made (main thread only, as the world).
uint64_t lastSerial = 0;

}  // namespace

Body::Body() : serial(++lastSerial) {}

Body::~Body() {
    DestroyPhysBody();
    objectDefinitions.reset();
    collision.reset();
}

void Body::DestroyPhysBody() {
    if (body != nullptr && PhysBodyGetUserData(body) != nullptr) {
        PhysBodySetDestructorCallback(body, nullptr);
        PhysBodySetUserData(body, nullptr);
        PhysBodyDestroy(world->GetPhysWorld(), body);
    }
    body = nullptr;
}

void Body::CreatePhysBody() {
    if (!collision || collision->GetPhysCollision() == nullptr) {
        throw ExceptionGeneral("The body \"" + objectName.GetName() + "\" has no collision shape.");
    }
    DestroyPhysBody();
    body = PhysBodyCreate(world->GetPhysWorld(), collision->GetPhysCollision());
    PhysBodySetUserData(body, this);
    PhysBodySetTransformCallback(body, &Body::TransformCallback);
    PhysBodySetDestructorCallback(body, &Body::DestroyCallback);
    PhysBodySetForceAndTorqueCallback(body, &Body::ForceCallback);
    PhysBodySetAutoFreeze(body, 0);
    PhysWorldUnfreezeBody(world->GetPhysWorld(), body);
}

void Body::Load(const PropertiesPtr& definition) {
    const std::string where = "the definition of " + objectName.GetName();
    if (definition->HasProperty(kMass)) {
        SetMass(CheckNotNegative(definition->GetFloat(kMass), kMass, where));
    }
    if (definition->HasProperty(kMaterialGroupName)) {
        SetMaterialGroup(PropertyKey::Intern(definition->GetString(kMaterialGroupName)));
    }
    float damping[3];
    PhysBodyGetAngularDamping(body, damping);
    if (definition->HasProperty(kAngularDamping)) {
        damping[2] =
            CheckNotNegative(definition->GetFloat(kAngularDamping), kAngularDamping, where);
    }
    PhysBodySetAngularDamping(body, damping);
    angularDamping = Vector4::From3(damping);
    linearDamping = PhysBodyGetLinearDamping(body);
    if (definition->HasProperty(kLinearDamping)) {
        linearDamping =
            CheckNotNegative(definition->GetFloat(kLinearDamping), kLinearDamping, where);
    }
    PhysBodySetLinearDamping(body, linearDamping);
}

void Body::ResetOwn() {
    collision.reset();
    objectDefinitions.reset();
    mass = 0.0f;
    alive = true;
    flipped = false;
    team = 0;
    force = Vector4();
}

void Body::Reset() { Body::ResetOwn(); }

void Body::Draw() {}

void Body::DrawIcon() {}

void Body::CreateFromObjectFile(Mechanica* inWorld, const PropertiesPtr& definitions,
                                PropertyKey name) {
    world = inWorld;
    objectDefinitions = definitions;
    objectName = name;
    if (!definitions || !definitions->HasProperty(name)) {
        throw ExceptionStringNotFound(name.GetName(), kObjectFile);
    }
    const PropertiesPtr entry = definitions->GetStruct(name);
    std::shared_ptr<CompoundCollision> shape = std::make_shared<CompoundCollision>(world);
    shape->LoadGeometry(entry, flipped);
    collision = shape;
    CreatePhysBody();
    Load(entry);
}

void Body::CreateWithCollision(Mechanica* inWorld, const std::shared_ptr<Collision>& shape) {
    world = inWorld;
    collision = shape;
    CreatePhysBody();
}

void Body::RebuildCollision() {
    if (!objectDefinitions || !objectDefinitions->HasProperty(objectName)) {
        throw ExceptionStringNotFound(objectName.GetName(), kObjectFile);
    }
    std::shared_ptr<CompoundCollision> shape = std::make_shared<CompoundCollision>(world);
    shape->LoadGeometry(objectDefinitions->GetStruct(objectName), flipped);
    PhysBodySetCollision(body, shape->GetPhysCollision());
    collision = shape;
}

void Body::CopyFrom(const Body& prototype) {
    world = prototype.world;
    objectDefinitions = prototype.objectDefinitions;
    objectName = prototype.objectName;
    collision = prototype.collision ? prototype.collision->Clone() : nullptr;
    CreatePhysBody();
    float m, ixx, iyy, izz;
    PhysBodyGetMassMatrix(prototype.body, &m, &ixx, &iyy, &izz);
    PhysBodySetMassMatrix(body, m, ixx, iyy, izz);
    mass = prototype.mass;
    team = prototype.team;
    alive = prototype.alive;
    angularDamping = prototype.angularDamping;
    float damping[3];
    angularDamping.Store3(damping);
    PhysBodySetAngularDamping(body, damping);
    linearDamping = prototype.linearDamping;
    PhysBodySetLinearDamping(body, linearDamping);
    materialGroup = prototype.materialGroup;
    if (materialGroup != PropertyKey()) {
        PhysBodySetMaterialGroupId(body, world->GetMaterialGroupId(materialGroup));
    }
    SetMatrix(prototype.GetMatrix());
}

std::shared_ptr<Body> Body::Clone() const { return nullptr; }

int Body::HandleEvent(int, int, Body*) { return 0; }

void Body::ApplyAccumulatedForce() {
    float f[3];
    force.Store3(f);
    PhysBodyAddForce(body, f);
}

void Body::SetMatrix(const Matrix4& matrix) { PhysBodySetMatrix(body, matrix.m); }

void Body::SetMatrixDirect(const Matrix4& matrix) { PhysBodySetMatrix(body, matrix.m); }

Matrix4 Body::GetMatrix() const {
    Matrix4 matrix;
    PhysBodyGetMatrix(body, matrix.m);
    return matrix;
}

void Body::SetTeam(int value) { team = value; }

void Body::SetPosition(const Vector4& position) {
    Matrix4 matrix = GetMatrix();
    matrix.SetPosition(position);
    SetMatrix(matrix);
    OnTeleport(true);
}

Vector4 Body::GetPosition() const { return GetMatrix().GetPosition(); }

void Body::Freeze() { PhysWorldFreezeBody(world->GetPhysWorld(), body); }

void Body::Unfreeze() { PhysWorldUnfreezeBody(world->GetPhysWorld(), body); }

bool Body::AcceptContact(PhysMaterial*, Body*) { return alive; }

bool Body::OnContact(PhysMaterial*, PhysContact*, Body*) { return true; }

void Body::OnContactEnd(PhysMaterial*, Body*) {}

bool Body::PreStep() { return alive; }

bool Body::Update() { return alive; }

bool Body::OnLeaveWorld() {
    const bool wasAlive = alive;
    alive = false;
    return wasAlive;
}

void Body::ClearForce() { force = Vector4(); }

void Body::ApplyGravity() {
    float m, ixx, iyy, izz;
    PhysBodyGetMassMatrix(body, &m, &ixx, &iyy, &izz);
    const Vector4& gravity = world->GetGravity();
    const float weight[3] = {m * gravity.x, m * gravity.y, m * gravity.z};
    PhysBodyAddForce(body, weight);
}

void Body::SetMaterialGroup(PropertyKey name) {
    const PhysMaterialGroupId id = world->GetMaterialGroupId(name);
    materialGroup = name;
    PhysBodySetMaterialGroupId(body, id);
}

void Body::SetMass(float value) {
    mass = value;
    PhysBodySetMassMatrix(body, value, value, value, value);
}

void Body::AddImpulse(const Vector4& deltaVelocity, const Vector4& point) {
    float v[3];
    float p[3];
    deltaVelocity.Store3(v);
    point.Store3(p);
    PhysBodyAddImpulse(body, v, p);
}

void Body::AddForce(const Vector4& f) {
    force.x += f.x;
    force.y += f.y;
    force.z += f.z;
}

void Body::DrawCollision() {
    if (collision) {
        collision->DebugDraw();
    }
}

void Body::ForceCallback(PhysBody* body) {
    if (Body* wrapper = Wrapper(body)) {
        wrapper->ApplyForces();
    }
}

void Body::TransformCallback(PhysBody* body, const float matrix[16]) {
    if (Body* wrapper = Wrapper(body)) {
        Matrix4 m;
        for (int i = 0; i < 16; ++i) {
            m.m[i] = matrix[i];
        }
        wrapper->OnTransform(m);
    }
}

void Body::DestroyCallback(PhysBody* body) {
    Body* wrapper = Wrapper(body);
    PhysBodySetDestructorCallback(body, nullptr);
    PhysBodySetUserData(body, nullptr);
    if (wrapper != nullptr) {
        wrapper->body = nullptr;
    }
}

}  // namespace orvel
