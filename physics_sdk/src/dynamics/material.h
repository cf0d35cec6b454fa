// Material groups and the material pair of every two groups. A pair record
// holds the pair's contact parameters and callbacks; each contact point gets a
// copy of it (the PhysMaterial that contact callbacks see and may change).
#ifndef PHYSICS_SDK_DYNAMICS_MATERIAL_H
#define PHYSICS_SDK_DYNAMICS_MATERIAL_H

#include "core/tree.h"
#include "core/vector.h"
#include "dynamics/sdk_callbacks.h"

#include <cstdint>

inline constexpr uint32_t kMaterialCollidable = 1u << 0;
inline constexpr uint32_t kMaterialFriction0 = 1u << 1;
inline constexpr uint32_t kMaterialFriction1 = 1u << 2;

// Group ids stay below 2^16 so that the pair key (max << 16) + min of two
// valid ids is unique.
inline constexpr int kMaxMaterialGroups = 0x10000;

struct phMaterial {
    phVector point = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    // Unit contact normal, from the second body toward the first.
    phVector normal = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    // The first word is the penetration depth; the rest belong to the contact
    // routines.
    float contactData[8] = {};
    phVector tangent0 = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    phVector tangent1 = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    float softness = 0.1f;
    float elasticity = 0.4f;
    float staticFriction[2] = {0.9f, 0.9f};
    float kineticFriction[2] = {0.5f, 0.5f};
    // Forces the solver found for the normal row and the two friction rows.
    float contactForces[3] = {};
    float timeStep = 0.0f;
    void* userData = nullptr;
    uint32_t flags = kMaterialCollidable | kMaterialFriction0 | kMaterialFriction1;
    PhysContactEndCallback endCallback = nullptr;
    PhysContactBeginCallback beginCallback = nullptr;
    PhysContactProcessCallback processCallback = nullptr;

    // Per-contact operations on a contact's copy.
    void GetContactPositionAndNormal(float position[3], float normalOut[3]) const;
    // Index 0 switches friction along tangent 0, any other index tangent 1.
    void SetContactFrictionState(int state, int index);
    // Tangent 1 becomes the unit direction of dir x normal and tangent 0
    // normal x tangent 1; a direction (nearly) parallel to the normal changes
    // nothing.
    void SetContactTangentDirection(const float dir[3]);
};

// The world's pairs, keyed by the pair key of two group ids.
class phMaterialPairs {
public:
    // The table starts with group 0, the default group of new bodies.
    phMaterialPairs();

    phMaterialPairs(const phMaterialPairs&) = delete;
    phMaterialPairs& operator=(const phMaterialPairs&) = delete;

    static uint32_t PairKey(int id0, int id1);

    // A new id with a default pair against every earlier id and itself; -1
    // once the ids are used up.
    int CreateGroup();
    int GroupCount() const { return m_groupCount; }
    size_t PairCount() const { return m_pairs.GetCount(); }
    // The pair of two ids, or null when either id is not a group of this table.
    phMaterial* Find(int id0, int id1);
    // Drops every pair; group 0 is made again at once as the default group.
    void RemoveAll();

    // Setters of the caller's interface. A pair that does not exist (an id that
    // is negative, too large or of another world) makes them do nothing.
    void SetCollidable(int id0, int id1, int state);
    void SetCollisionCallback(int id0, int id1, void* userData, PhysContactBeginCallback begin,
                              PhysContactProcessCallback process, PhysContactEndCallback end);
    // Static friction below 0.01 switches friction off for the pair; otherwise
    // kinetic is clamped into [0.01, 2], static to at most 2 and raised to
    // kinetic.
    void SetFriction(int id0, int id1, float staticFriction, float kineticFriction);
    void SetElasticity(int id0, int id1, float elasticity);
    void SetSoftness(int id0, int id1, float softness);

private:
    phTree<uint32_t, phMaterial> m_pairs;
    int m_groupCount = 0;
};

// The steps of a touching pair of bodies, as the narrow phase runs them.
//
// Before the pair's contacts are made: false when the pair is not collidable
// or its begin callback refuses it this step. Stores the step length in the
// pair.
bool phMaterialBeginContact(phMaterial& pair, float timeStep, PhysBody* body0, PhysBody* body1);
// Fills a contact point's material from its pair (everything but the point,
// normal, tangents, contact data and forces, which the contact code fills,
// and the callbacks, which stay with the pair).
void phMaterialCopyFromPair(phMaterial& contact, const phMaterial& pair);
// After the contact code filled the point: true when the point is kept (the
// pair has no process callback, or its callback accepts the point and leaves
// the contact's material collidable).
bool phMaterialProcessContact(const phMaterial& pair, phMaterial& contact,
                              PhysContact* contactJoint);
// After the pair's contacts were made.
void phMaterialEndContact(phMaterial& pair);

#endif
