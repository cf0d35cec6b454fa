#include "collision/polygon_soup_database.h"

#include "core/class_ids.h"
#include "core/memory.h"

phPolygonSoupDatabase::~phPolygonSoupDatabase() { FreeArrays(); }

uint32_t phPolygonSoupDatabase::GetClassId() const { return kClassIdPolygonSoupDatabase; }

bool phPolygonSoupDatabase::IsClass(uint32_t classId) const {
    return classId == kClassIdPolygonSoupDatabase || classId == kClassIdRef;
}

void phPolygonSoupDatabase::FreeArrays() {
    phFree(m_vertices);
    phFree(m_indices);
    m_vertices = nullptr;
    m_indices = nullptr;
    m_vertexCount = 0;
    m_indexCount = 0;
}
