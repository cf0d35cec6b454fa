#include "dynamics/world_body_graph.h"

#include "core/pool.h"
#include "dynamics/constraint.h"
#include "dynamics/rigid_body.h"

#include <new>

namespace {

phConstraintLink* NewLink(phPool& pool, phConstraint* constraint, phRigidBody* body) {
    void* memory = pool.Allocate();
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    phConstraintLink* link = static_cast<phConstraintLink*>(memory);
    link->constraint = constraint;
    link->body = body;
    link->twin = nullptr;
    phConstraintLink* head = body->constraintLinks;
    if (head == nullptr) {
        link->next = link;
        link->prev = link;
        body->constraintLinks = link;
    } else {
        link->next = head;
        link->prev = head->prev;
        head->prev->next = link;
        head->prev = link;
    }
    return link;
}

void RemoveLink(phPool& pool, phConstraintLink* link) {
    phRigidBody* body = link->body;
    if (link->next == link) {
        body->constraintLinks = nullptr;
    } else {
        link->prev->next = link->next;
        link->next->prev = link->prev;
        if (body->constraintLinks == link) {
            body->constraintLinks = link->next;
        }
    }
    pool.Free(link);
}

}  // namespace

void phLinkConstraint(phPool& pool, phConstraint* constraint, phRigidBody* body0,
                      phRigidBody* body1) {
    phConstraintLink* link0 = NewLink(pool, constraint, body0);
    if (body1 != nullptr) {
        phConstraintLink* link1 = NewLink(pool, constraint, body1);
        link0->twin = link1;
        link1->twin = link0;
    }
    constraint->link = link0;
    constraint->islandMark = 0;
}

void phUnlinkConstraint(phPool& pool, phConstraint* constraint) {
    phConstraintLink* link = static_cast<phConstraintLink*>(constraint->link);
    if (link == nullptr) {
        return;
    }
    if (link->twin != nullptr) {
        RemoveLink(pool, link->twin);
    }
    RemoveLink(pool, link);
    constraint->link = nullptr;
}
