#pragma once

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "engine/core/property_key.h"
#include "engine/physics/vector4.h"
#include "physics_sdk/phys.h"

namespace orvel {

class Body;
class Collision;

// The physics world of one level. It owns the SDK world, every body in it
// (through a map walked in the order the bodies were made, by their serial
// numbers: an order by address would change with the allocator's layout from
// one run to the next, and with it the order of every pass), the
// material groups by name and the fixed-step clock: the SDK always advances
// in steps of 1/60 s, whatever the length of the frame.
//
// Each frame of play: PreStepBodies, Update(dt), UpdateBodies, and later
// ReleaseKeptObjects. Main thread only; the contact callbacks keep the pair
// being handled in process-wide slots, so one world at a time may step.
class Mechanica {
public:
    // The fixed physics step and the most time one frame may hand the clock.
    static constexpr float kStep = 0.016666668f;
    static constexpr float kMaxFrameTime = 0.06666667f;

    Mechanica();
    // Drops every body first (while the SDK world still exists), hands every
    // remaining shape back to the SDK, then destroys the SDK world, then the
    // material groups and the kept objects.
    ~Mechanica();
    Mechanica(const Mechanica&) = delete;
    Mechanica& operator=(const Mechanica&) = delete;

    // Calls every body's PreStep; a body that answers false leaves the world.
    virtual void PreStepBodies();
    // Clears every body's force accumulator, then calls every body's Update;
    // a body that answers false leaves the world.
    virtual void UpdateBodies();
    // Calls every body's Draw in creation order.
    virtual void DrawBodies();

    PhysWorld* GetPhysWorld() const { return world; }
    // Expires when the SDK world is about to go: shapes and joints that
    // outlive the world (in the kept objects, or held elsewhere) test it
    // before they hand anything back to the SDK.
    std::weak_ptr<const bool> GetLifeToken() const { return lifeToken; }
    // Pixels per world unit: lengths read from files are divided by it and
    // drawing multiplies world coordinates by it. 1 for a new world.
    float GetScale() const { return scale; }
    void SetScale(float pixelsPerUnit);

    // The box outside which bodies are reported as having left the world.
    void SetWorldBox(const Vector4& min, const Vector4& max);
    void GetWorldBox(Vector4& min, Vector4& max) const;

    // Length of the SDK's last step.
    float GetTimeStep() const;
    // The time the last Update stepped (a whole number of steps); the sum over
    // frames is the time the world has lived.
    float GetFrameTime() const { return frameTime; }
    // Time not yet stepped.
    float GetAccumulator() const { return accumulator; }
    const Vector4& GetGravity() const { return gravity; }

    // Adds dt to the accumulator (clamped to kMaxFrameTime) and steps the SDK
    // in steps of kStep while more than one step is accumulated. A negative
    // or non-finite dt counts as no time.
    void Update(float dt);

    // Inserts the body; one already present is left as it is. Takes effect
    // at once, also in the middle of a pass.
    void AddBody(const std::shared_ptr<Body>& body);
    bool Contains(const Body* body) const;
    size_t GetBodyCount() const { return bodies.size(); }
    // Appends every body in creation order to `list`; returns how many.
    int CopyBodyList(std::vector<std::shared_ptr<Body>>& list) const;

    // The first body under the point (x, y) whose object name is one of
    // `names`; null when none, and always null for an empty list.
    Body* BodyAtPoint(const Vector4& point, const std::vector<PropertyKey>& names);

    // Holds an object that a component let go of in the middle of a pass or
    // a step until ReleaseKeptObjects, so the physics never sees it vanish.
    void KeepObject(const std::shared_ptr<void>& object);
    void ReleaseKeptObjects();
    size_t GetKeptObjectCount() const { return keptObjects.size(); }

    // A new group that collides with no group created before it. A name that
    // exists keeps its first id.
    void CreateMaterialGroup(PropertyKey name);
    bool HasMaterialGroup(PropertyKey name) const;
    // Throws ExceptionStringNotFound for a name that was never created.
    PhysMaterialGroupId GetMaterialGroupId(PropertyKey name) const;
    // Pair settings by group name, passed on to the SDK in the order given.
    void SetMaterialCollidable(PropertyKey group0, PropertyKey group1, bool collidable);
    void SetMaterialFriction(PropertyKey group0, PropertyKey group1, float staticFriction,
                             float kineticFriction);
    void SetMaterialElasticity(PropertyKey group0, PropertyKey group1, float elasticity);
    void SetMaterialSoftness(PropertyKey group0, PropertyKey group1, float softness);
    // true installs the contact callbacks that ask both bodies about each
    // contact of the pair; false installs nothing.
    void SetMaterialCallbacks(PropertyKey group0, PropertyKey group1, bool enable);

    // Outlines every SDK body's collision faces in yellow lines, scaled to
    // pixels.
    void DrawDebug();

private:
    friend class Collision;
    // Orders bodies by serial number; every body in the map is alive.
    struct BySerial {
        bool operator()(const Body* a, const Body* b) const;
    };
    typedef std::map<Body*, std::shared_ptr<Body>, BySerial> BodyMap;

    // Every shape wrapper of this world registers here, so that the world
    // can hand their SDK shapes back before the SDK world goes, also for
    // shapes that outlive it.
    void RegisterCollision(Collision* collision);
    void UnregisterCollision(Collision* collision);

    // Calls `pass` on each body; erases those that answer false. A body added
    // during the walk is met when it was made after the current one.
    template <typename Pass>
    void WalkRemovingDead(Pass pass);

    static void BodyLeftWorld(PhysBody* body);
    static int ContactBegin(PhysMaterial* material, PhysBody* body0, PhysBody* body1);
    static int ContactProcess(PhysMaterial* material, PhysContact* contact);
    static void ContactEnd(PhysMaterial* material);
    static float PickFilter(PhysBody* body, const float normal[4], int collisionId, void* userData,
                            float intersectParam);
    static void DrawBodyPolygons(PhysBody* body);
    static void DrawPolygon(PhysBody* body, int vertexCount, const float* vertices);

    PhysWorld* world;
    std::shared_ptr<const bool> lifeToken = std::make_shared<const bool>(true);
    std::set<Collision*> collisions;
    float scale = 1.0f;
    BodyMap bodies;
    std::vector<std::shared_ptr<void>> keptObjects;
    float accumulator = 0.0f;
    float frameTime = 0.0f;
    Vector4 gravity = Vector4(0.0f, -9.8f, 0.0f, 1.0f);
    Vector4 worldBoxMin = Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    Vector4 worldBoxMax = Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    std::map<PropertyKey, PhysMaterialGroupId> materialGroups;
};

}  // namespace orvel
