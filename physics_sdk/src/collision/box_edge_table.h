// A half-edge table shared by every shape of one kind: all boxes use one
// table of 24 records and all cylinders one of 48, because their topology
// never changes, only their vertex positions. The table is built from the
// kind's faces when the first shape of the kind is made, counted by use, and
// built again (identically) when the count has fallen to 0.
#ifndef PHYSICS_SDK_COLLISION_BOX_EDGE_TABLE_H
#define PHYSICS_SDK_COLLISION_BOX_EDGE_TABLE_H

#include "collision/convex_collision.h"

class phSharedEdgeTable {
public:
    // records: static storage for recordCount half-edges.
    constexpr phSharedEdgeTable(phConvexEdge* records, int recordCount)
        : m_records(records), m_recordCount(recordCount) {}

    phSharedEdgeTable(const phSharedEdgeTable&) = delete;
    phSharedEdgeTable& operator=(const phSharedEdgeTable&) = delete;

    // Takes one use of the table, building it first when nobody uses it.
    // The faces are given one after the other: faceSizes[f] corners each,
    // counter-clockwise seen from outside; their corner counts must add up to
    // the table's record count and every edge must be shared by two faces.
    phConvexEdge* Acquire(const int* faceSizes, int faceCount, const int* corners);
    void ReleaseUse();

    int GetUseCount() const { return m_useCount; }
    int GetRecordCount() const { return m_recordCount; }

private:
    void Build(const int* faceSizes, int faceCount, const int* corners);

    phConvexEdge* m_records;
    int m_recordCount;
    int m_useCount = 0;
};

#endif
