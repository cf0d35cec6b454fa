#include "engine/physics/terrain_body.h"

#include "engine/physics/terrain_collision.h"

namespace orvel {

std::shared_ptr<Body> TerrainBody::Clone() const { return std::make_shared<TerrainBody>(); }

Matrix4 TerrainBody::SurfaceMatrixAt(const Matrix4& matrix) const {
    const TerrainCollision* terrain = dynamic_cast<const TerrainCollision*>(collision.get());
    return terrain != nullptr ? terrain->SurfaceMatrixAt(matrix) : matrix;
}

}  // namespace orvel
