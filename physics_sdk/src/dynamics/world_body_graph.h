// The body graph: every constraint is linked into a ring on each of its
// bodies, one link per body, the two links of a constraint being each other's
// twins. The island solver walks these rings to gather islands; destroying a
// body walks its ring to destroy its constraints.
#ifndef PHYSICS_SDK_DYNAMICS_WORLD_BODY_GRAPH_H
#define PHYSICS_SDK_DYNAMICS_WORLD_BODY_GRAPH_H

class phConstraint;
class phPool;
class phRigidBody;

struct phConstraintLink {
    phConstraint* constraint;
    // The body whose ring holds this link.
    phRigidBody* body;
    // The link in the other body's ring; null for a constraint with the world.
    phConstraintLink* twin;
    phConstraintLink* next;
    phConstraintLink* prev;
};

// Links the constraint into the rings of body0 and (when not null) body1, with
// links taken from the pool; the constraint's link is the one on body0.
void phLinkConstraint(phPool& pool, phConstraint* constraint, phRigidBody* body0,
                      phRigidBody* body1);
// Takes the constraint's links out of both rings and gives them back.
void phUnlinkConstraint(phPool& pool, phConstraint* constraint);

#endif
