#include "collision/box_edge_table.h"

phConvexEdge* phSharedEdgeTable::Acquire(const int* faceSizes, int faceCount, const int* corners) {
    if (m_useCount == 0) {
        Build(faceSizes, faceCount, corners);
    }
    ++m_useCount;
    return m_records;
}

void phSharedEdgeTable::ReleaseUse() {
    if (m_useCount > 0) {
        --m_useCount;
    }
}

void phSharedEdgeTable::Build(const int* faceSizes, int faceCount, const int* corners) {
    // Records are numbered face by face, in the order the corners are given.
    int first = 0;
    for (int f = 0; f < faceCount; ++f) {
        const int size = faceSizes[f];
        for (int i = 0; i < size; ++i) {
            phConvexEdge& e = m_records[first + i];
            e.mark = 0;
            e.vertex = corners[first + i];
            e.twin = nullptr;
            e.next = &m_records[first + (i + 1) % size];
            e.prev = &m_records[first + (i + size - 1) % size];
        }
        first += size;
    }
    // The twin of a -> b is the record that runs b -> a. The tables are small
    // (at most a few dozen records), so a plain search does.
    for (int i = 0; i < m_recordCount; ++i) {
        phConvexEdge& e = m_records[i];
        const int a = e.vertex;
        const int b = e.next->vertex;
        for (int j = 0; j < m_recordCount; ++j) {
            phConvexEdge& candidate = m_records[j];
            if (candidate.vertex == b && candidate.next->vertex == a) {
                e.twin = &candidate;
                break;
            }
        }
    }
}
