// Run-time type ids of the SDK's classes: the hash of each class name, fixed
// at compile time.
#ifndef PHYSICS_SDK_CORE_CLASS_IDS_H
#define PHYSICS_SDK_CORE_CLASS_IDS_H

#include "core/hash.h"

#include <cstdint>

inline constexpr uint32_t kClassIdPolygonalSoup = phTextHash("phCollisionPolygonalSoup");
inline constexpr uint32_t kClassIdConvexPolygon =
    phTextHash("phCollisionPolygonalSoup::phCollisionConvexPolygon");
inline constexpr uint32_t kClassIdRef = phTextHash("phRef");
inline constexpr uint32_t kClassIdCollision = phTextHash("phCollision");
inline constexpr uint32_t kClassIdConvexCollision = phTextHash("phConvexCollision");
inline constexpr uint32_t kClassIdAABBPolygonSoup = phTextHash("phAABBPolygonSoup");
inline constexpr uint32_t kClassIdPolygonSoupDatabase = phTextHash("phPolygonSoupDatabase");
inline constexpr uint32_t kClassIdBox = phTextHash("phCollisionBox");
inline constexpr uint32_t kClassIdNull = phTextHash("phCollisionNull");
inline constexpr uint32_t kClassIdCone = phTextHash("phCollisionCone");
inline constexpr uint32_t kClassIdSphere = phTextHash("phCollisionSphere");
inline constexpr uint32_t kClassIdEllipse = phTextHash("phCollisionEllipse");
inline constexpr uint32_t kClassIdCapsule = phTextHash("phCollisionCapsule");
inline constexpr uint32_t kClassIdCylinder = phTextHash("phCollisionCylinder");
inline constexpr uint32_t kClassIdCompound = phTextHash("phCompoundCollision");
inline constexpr uint32_t kClassIdConvexHull = phTextHash("phCollisionConvexHull");
inline constexpr uint32_t kClassIdConvexModifier = phTextHash("phCollisionConvexModifier");
inline constexpr uint32_t kClassIdChamferCylinder = phTextHash("phCollisionChamferCylinder");
inline constexpr uint32_t kClassIdBaseNode = phTextHash("phBaseNode");
inline constexpr uint32_t kClassIdVideo = phTextHash("phVideo");

#endif
