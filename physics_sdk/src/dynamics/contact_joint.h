// The contact joint: the one constraint that links two touching bodies (the
// PhysContact of the process callbacks). It keeps the pair's contact points,
// each a material record in a pooled list node, refreshes them every step
// from the narrow phase's points while keeping the records of the points that
// persist (so their solver forces carry over as warm starts), and hands the
// points of this step to the row building.
#ifndef PHYSICS_SDK_DYNAMICS_CONTACT_JOINT_H
#define PHYSICS_SDK_DYNAMICS_CONTACT_JOINT_H

#include "collision/contact_calculation.h"
#include "dynamics/constraint.h"
#include "dynamics/material.h"

#include <cstdint>

class phContactJointList;

// One contact point: a list node whose payload is the point's material
// record. Nodes come from a process-wide pool with 4 KB pages.
struct phContactPointNode {
    phContactPointNode* prev;
    phContactPointNode* next;
    phMaterial material;
};

class phContactJoint : public phConstraint {
public:
    phContactJoint() = default;
    // Empties the point list.
    ~phContactJoint() override;

    void SetDestructorCallback(PhysJointDestructorCallback) override {}
    float GetStiffness() const override { return 1.0f; }
    void SetStiffness(float) override {}
    // Clears the common fields and makes an empty contact: kind 3, 3 rows at
    // most, no points, refresh mark 0.
    int Init() override;
    // Empties the point list and hands the joint back to its list for reuse.
    void Release() override;
    bool IsBilateral() const override { return false; }
    // One normal row per point in use and up to two friction rows each.
    int BuildRows(phJointRowParams& params) override;

    PhysContact* Handle() { return reinterpret_cast<PhysContact*>(this); }
    static phContactJoint* FromHandle(PhysContact* contact) {
        return reinterpret_cast<phContactJoint*>(contact);
    }

    void SetBodies(phRigidBody* body0, phRigidBody* body1);
    // Refreshes the points from the narrow phase's (normals from body 1 toward
    // body 0). Each point takes over the record of the nearest unused point
    // of the last step, or a new node; the pair's process callback may drop
    // it. The refresh mark becomes stamp.
    void Update(const phMaterial& pair, const phContactPoint* points, int count, uint32_t stamp);
    // Gives every point node back to the pool.
    void EmptyPoints();

    // The list: the used points come first, in the order they were kept.
    phContactPointNode* FirstPoint() const { return m_first; }
    int PointCount() const { return m_pointCount; }
    int UsedCount() const { return m_usedCount; }
    uint32_t RefreshMark() const { return m_refreshMark; }
    void SetRefreshMark(uint32_t mark) { m_refreshMark = mark; }
    int FrictionRowCount() const { return m_frictionRowCount; }
    uint8_t Flag() const { return m_flag; }

    // Book-keeping of the owning list.
    phContactJointList* owner = nullptr;
    phContactJoint* listPrev = nullptr;
    phContactJoint* listNext = nullptr;
    phContactJoint* queuePrev = nullptr;
    phContactJoint* queueNext = nullptr;
    bool inList = false;
    bool queued = false;

private:
    // The rows of one point: its normal row at normalRow, its friction rows at
    // rowCounter onward (which grows by their number).
    void AddPointRows(phJointRowParams& params, phMaterial& point, int normalRow,
                      int& rowCounter) const;
    phContactPointNode* NewNode();
    void Unlink(phContactPointNode* node);
    void InsertAfter(phContactPointNode* node, phContactPointNode* after);

    phContactPointNode* m_first = nullptr;
    phContactPointNode* m_last = nullptr;
    phContactPointNode* m_lastUsed = nullptr;
    int m_pointCount = 0;
    int m_usedCount = 0;
    int m_frictionRowCount = 0;
    uint32_t m_refreshMark = 0;
    uint8_t m_flag = 1;
};

// Point nodes alive in the process-wide pool.
size_t phContactPointNodeCount();

#endif
