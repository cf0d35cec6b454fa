// The narrow phase: for a pair of bodies whose boxes overlap, decides whether
// they may collide (joints between them, their material pair), runs the
// pair's begin and end callbacks, makes the contact points by shape kind
// (convex, compound, static mesh), thins them out and hands them to the
// pair's contact joint.
#ifndef PHYSICS_SDK_COLLISION_NARROW_PHASE_H
#define PHYSICS_SDK_COLLISION_NARROW_PHASE_H

#include "collision/contact_calculation.h"

#include <cstdint>

class phContactJoint;
class phRigidBody;
struct phMaterial;

// Room for the points of one pair before they are thinned out.
inline constexpr int kNarrowPhaseCapacity = 128;
// Points a pair keeps.
inline constexpr int kMaxPairContacts = 16;
// A compound pair stops gathering once it has more points than this.
inline constexpr int kCompoundGatherLimit = 32;

// What the narrow phase needs of the world that owns the bodies.
class phNarrowPhaseHost {
public:
    // The material pair of two group ids, or null.
    virtual phMaterial* FindMaterialPair(int group0, int group1) = 0;
    virtual float StepLength() const = 0;
    // The mark that refreshed contacts take (the island stamp of the step).
    virtual uint32_t RefreshStamp() const = 0;
    // False when a joint that links the two bodies directly has the
    // collisions between its bodies switched off.
    virtual bool JointsLetCollide(phRigidBody* body0, phRigidBody* body1) = 0;
    // The contact joint that links the two bodies (either way round), or null.
    virtual phContactJoint* FindContact(phRigidBody* body0, phRigidBody* body1) = 0;
    // A new contact joint of body0 and body1 in that order, linked into both
    // bodies' constraint rings.
    virtual phContactJoint* CreateContact(phRigidBody* body0, phRigidBody* body1) = 0;

protected:
    ~phNarrowPhaseHost() = default;
};

// The whole narrow phase of one overlapping pair.
void phCollidePair(phNarrowPhaseHost& host, phRigidBody* body0, phRigidBody* body1);

// Every later point closer than sqrt(0.005) to an earlier one is replaced by
// the last point; returns the new count.
int phRemoveDuplicateContacts(phContactPoint* points, int count);

// The contacts of a convex body (first) against any non-compound body, at
// most capacity of them.
int phCollideConvexBody(phRigidBody* convex, phRigidBody* other, phContactPoint* out, int capacity);
// The contacts of a compound body (first) against any body, part by part
// where the boxes overlap, gathered until more than kCompoundGatherLimit.
int phCollideCompoundBody(phRigidBody* compound, phRigidBody* other, phContactPoint* out,
                          int capacity);

// Hands a pair's points to its contact joint: a static first body is swapped
// to the second place (and the normals turned), the contact is found or made,
// the normals follow its body order, and its points are refreshed.
phContactJoint* phUpdatePairContact(phNarrowPhaseHost& host, const phMaterial& pair,
                                    phRigidBody* body0, phRigidBody* body1, phContactPoint* points,
                                    int count);

#endif
