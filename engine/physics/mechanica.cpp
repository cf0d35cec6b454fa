#include "engine/physics/mechanica.h"

#include <GL/gl.h>
#include <cmath>

#include "engine/core/exception.h"
#include "engine/physics/body.h"
#include "engine/physics/collision.h"

namespace orvel {

namespace {

// The pair whose contacts the SDK is handing out: ContactBegin sets it,
// ContactProcess and ContactEnd read it. The SDK handles one pair at a time.
Body* contactFirst = nullptr;
Body* contactSecond = nullptr;

// The world whose debug outlines are being drawn, for its scale.
const Mechanica* drawingWorld = nullptr;

struct PickRecord {
    bool found;
    const std::vector<PropertyKey>* names;
    Body* result;
};

Body* Wrapper(const PhysBody* body) { return static_cast<Body*>(PhysBodyGetUserData(body)); }

}  // namespace

Mechanica::Mechanica() : world(PhysWorldCreate(nullptr, nullptr)) {
    PhysWorldSetBodyLeaveWorldCallback(world, &Mechanica::BodyLeftWorld);
    PhysWorldSetEqualityRowMode(world, 1);
    PhysWorldSetSolverPasses(world, 1);
}

Mechanica::~Mechanica() {
    bodies.clear();
    // The SDK world would keep shapes that still have a holder; their
    // wrappers let go of them now and stay empty.
    const std::set<Collision*> remaining = collisions;
    for (Collision* collision : remaining) {
        collision->DropPhysCollision();
    }
    collisions.clear();
    lifeToken.reset();
    PhysWorldDestroy(world);
    materialGroups.clear();
    keptObjects.clear();
}

bool Mechanica::BySerial::operator()(const Body* a, const Body* b) const {
    return a->GetSerial() < b->GetSerial();
}

void Mechanica::RegisterCollision(Collision* collision) { collisions.insert(collision); }

void Mechanica::UnregisterCollision(Collision* collision) { collisions.erase(collision); }

void Mechanica::SetScale(float pixelsPerUnit) {
    if (!(pixelsPerUnit > 0.0f) || !std::isfinite(pixelsPerUnit)) {
        throw ExceptionGeneral("The world's scale must be a positive number of pixels per unit.");
    }
    scale = pixelsPerUnit;
}

void Mechanica::SetWorldBox(const Vector4& min, const Vector4& max) {
    worldBoxMin = min;
    worldBoxMax = max;
    float min3[3];
    float max3[3];
    min.Store3(min3);
    max.Store3(max3);
    PhysWorldSetSize(world, min3, max3);
}

void Mechanica::GetWorldBox(Vector4& min, Vector4& max) const {
    min = worldBoxMin;
    max = worldBoxMax;
}

float Mechanica::GetTimeStep() const { return PhysWorldGetTimeStep(world); }

void Mechanica::Update(float dt) {
    // A broken frame time must not poison the clock: NaN would stay in the
    // accumulator and stop the world for good.
    if (std::isfinite(dt) && dt > 0.0f) {
        accumulator += dt;
    }
    if (accumulator > kMaxFrameTime) {
        accumulator = kMaxFrameTime;
    }
    // The frame time is the time this frame actually stepped. Handing out the
    // whole accumulator would count the time left over from the frame before
    // once more, and every timer that reads it would run up to twice as fast.
    frameTime = 0.0f;
    while (accumulator > kStep) {
        PhysWorldUpdate(world, kStep);
        accumulator -= kStep;
        frameTime += kStep;
    }
}

template <typename Pass>
void Mechanica::WalkRemovingDead(Pass pass) {
    BodyMap::iterator it = bodies.begin();
    while (it != bodies.end()) {
        if (pass(*it->first)) {
            ++it;
            continue;
        }
        // The body dies after the map has let go of it, so that whatever its
        // destructor sets off finds the map whole.
        std::shared_ptr<Body> dead = std::move(it->second);
        it = bodies.erase(it);
        dead.reset();
    }
}

void Mechanica::PreStepBodies() {
    WalkRemovingDead([](Body& body) { return body.PreStep(); });
}

void Mechanica::UpdateBodies() {
    for (BodyMap::value_type& entry : bodies) {
        entry.first->ClearForce();
    }
    WalkRemovingDead([](Body& body) { return body.Update(); });
}

void Mechanica::DrawBodies() {
    for (BodyMap::value_type& entry : bodies) {
        entry.first->Draw();
    }
}

void Mechanica::AddBody(const std::shared_ptr<Body>& body) {
    if (body) {
        bodies.emplace(body.get(), body);
    }
}

bool Mechanica::Contains(const Body* body) const {
    return bodies.count(const_cast<Body*>(body)) != 0;
}

int Mechanica::CopyBodyList(std::vector<std::shared_ptr<Body>>& list) const {
    for (const BodyMap::value_type& entry : bodies) {
        list.push_back(entry.second);
    }
    return int(bodies.size());
}

Body* Mechanica::BodyAtPoint(const Vector4& point, const std::vector<PropertyKey>& names) {
    PickRecord record = {false, &names, nullptr};
    const float p0[3] = {point.x, point.y, 10.0f};
    const float p1[3] = {point.x, point.y, -10.0f};
    PhysWorldRayCast(world, p0, p1, &Mechanica::PickFilter, &record);
    return record.found ? record.result : nullptr;
}

float Mechanica::PickFilter(PhysBody* body, const float[4], int, void* userData, float) {
    PickRecord* record = static_cast<PickRecord*>(userData);
    Body* wrapper = Wrapper(body);
    if (wrapper == nullptr || record->names->empty()) {
        return 1.0f;
    }
    for (PropertyKey name : *record->names) {
        if (name == wrapper->GetObjectName()) {
            record->found = true;
            record->result = wrapper;
            return 0.0f;
        }
    }
    return 1.0f;
}

void Mechanica::KeepObject(const std::shared_ptr<void>& object) { keptObjects.push_back(object); }

void Mechanica::ReleaseKeptObjects() {
    // Released in list order; an object released here may keep another one.
    std::vector<std::shared_ptr<void>> released;
    released.swap(keptObjects);
    for (std::shared_ptr<void>& object : released) {
        object.reset();
    }
}

void Mechanica::CreateMaterialGroup(PropertyKey name) {
    if (materialGroups.count(name) != 0) {
        return;
    }
    const PhysMaterialGroupId id = PhysMaterialCreateGroupId(world);
    for (const auto& entry : materialGroups) {
        PhysMaterialSetDefaultCollidable(world, id, entry.second, 0);
    }
    materialGroups.emplace(name, id);
}

bool Mechanica::HasMaterialGroup(PropertyKey name) const { return materialGroups.count(name) != 0; }

PhysMaterialGroupId Mechanica::GetMaterialGroupId(PropertyKey name) const {
    const auto found = materialGroups.find(name);
    if (found == materialGroups.end()) {
        throw ExceptionStringNotFound(name.GetName(), "material groups");
    }
    return found->second;
}

void Mechanica::SetMaterialCollidable(PropertyKey group0, PropertyKey group1, bool collidable) {
    PhysMaterialSetDefaultCollidable(world, GetMaterialGroupId(group0), GetMaterialGroupId(group1),
                                     collidable ? 1 : 0);
}

void Mechanica::SetMaterialFriction(PropertyKey group0, PropertyKey group1, float staticFriction,
                                    float kineticFriction) {
    PhysMaterialSetDefaultFriction(world, GetMaterialGroupId(group0), GetMaterialGroupId(group1),
                                   staticFriction, kineticFriction);
}

void Mechanica::SetMaterialElasticity(PropertyKey group0, PropertyKey group1, float elasticity) {
    PhysMaterialSetDefaultElasticity(world, GetMaterialGroupId(group0), GetMaterialGroupId(group1),
                                     elasticity);
}

void Mechanica::SetMaterialSoftness(PropertyKey group0, PropertyKey group1, float softness) {
    PhysMaterialSetDefaultSoftness(world, GetMaterialGroupId(group0), GetMaterialGroupId(group1),
                                   softness);
}

void Mechanica::SetMaterialCallbacks(PropertyKey group0, PropertyKey group1, bool enable) {
    if (!enable) {
        return;
    }
    PhysMaterialSetCollisionCallback(world, GetMaterialGroupId(group0), GetMaterialGroupId(group1),
                                     nullptr, &Mechanica::ContactBegin, &Mechanica::ContactProcess,
                                     &Mechanica::ContactEnd);
}

void Mechanica::BodyLeftWorld(PhysBody* body) {
    Body* wrapper = Wrapper(body);
    if (wrapper != nullptr && wrapper->GetWorld() != nullptr &&
        wrapper->GetWorld()->Contains(wrapper)) {
        wrapper->OnLeaveWorld();
    }
}

// A body without a wrapper (made on the SDK directly) takes no part in the
// questions: its side of each answer is yes.
int Mechanica::ContactBegin(PhysMaterial* material, PhysBody* body0, PhysBody* body1) {
    contactFirst = Wrapper(body0);
    contactSecond = Wrapper(body1);
    const bool first =
        contactFirst == nullptr || contactFirst->AcceptContact(material, contactSecond);
    const bool second =
        contactSecond == nullptr || contactSecond->AcceptContact(material, contactFirst);
    return first && second ? 1 : 0;
}

int Mechanica::ContactProcess(PhysMaterial* material, PhysContact* contact) {
    const bool first =
        contactFirst == nullptr || contactFirst->OnContact(material, contact, contactSecond);
    const bool second =
        contactSecond == nullptr || contactSecond->OnContact(material, contact, contactFirst);
    return first && second ? 1 : 0;
}

void Mechanica::ContactEnd(PhysMaterial* material) {
    if (contactFirst != nullptr) {
        contactFirst->OnContactEnd(material, contactSecond);
    }
    if (contactSecond != nullptr) {
        contactSecond->OnContactEnd(material, contactFirst);
    }
}

void Mechanica::DrawDebug() {
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glLineWidth(1.0f);
    glColor3f(1.0f, 1.0f, 0.0f);
    glBegin(GL_LINES);
    drawingWorld = this;
    PhysWorldForEachBodyDo(world, &Mechanica::DrawBodyPolygons);
    drawingWorld = nullptr;
    glEnd();
    glPopAttrib();
}

void Mechanica::DrawBodyPolygons(PhysBody* body) {
    PhysBodyForEachPolygonDo(body, &Mechanica::DrawPolygon);
}

void Mechanica::DrawPolygon(PhysBody*, int vertexCount, const float* vertices) {
    const float s = drawingWorld->GetScale();
    int previous = vertexCount - 1;
    for (int i = 0; i < vertexCount; ++i) {
        const float* a = vertices + previous * 3;
        const float* b = vertices + i * 3;
        glVertex3f(a[0] * s, a[1] * s, a[2] * s);
        glVertex3f(b[0] * s, b[1] * s, b[2] * s);
        previous = i;
    }
}

}  // namespace orvel
