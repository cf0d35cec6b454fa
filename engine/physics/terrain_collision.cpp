#include "engine/physics/terrain_collision.h"

#include <GL/gl.h>
#include <cmath>

#include "engine/core/exception.h"
#include "engine/physics/checked_value.h"
#include "engine/physics/mechanica.h"

namespace orvel {

namespace {

const PropertyKey kNodeHeights("nodeHeights");
const PropertyKey kNodeSpacing("nodeSpacing");
const char* const kLevelFile = "level file?";

}  // namespace

TerrainCollision::TerrainCollision(Mechanica* world)
    : Collision(world), nodeHeights(std::make_shared<std::vector<int32_t>>()) {}

TerrainCollision::~TerrainCollision() = default;

std::shared_ptr<Collision> TerrainCollision::Clone() const { return nullptr; }

void TerrainCollision::Load(const PropertiesPtr& definition, bool) {
    if (!definition->HasProperty(kNodeHeights)) {
        throw ExceptionStringNotFound(kNodeHeights.GetName(), kLevelFile);
    }
    const AnyVectorPtr heights = definition->GetList(kNodeHeights);
    if (!definition->HasProperty(kNodeSpacing)) {
        throw ExceptionStringNotFound(kNodeSpacing.GetName(), kLevelFile);
    }
    const int32_t spacing = definition->GetInt(kNodeSpacing);
    CheckPositive(float(spacing), kNodeSpacing, kLevelFile);

    Release();
    std::shared_ptr<std::vector<int32_t>> loaded = std::make_shared<std::vector<int32_t>>();
    for (size_t i = 0; i < heights->Size(); ++i) {
        loaded->push_back(heights->GetInt(i));
    }
    nodeHeights = loaded;
    nodeCount = int(loaded->size());
    nodeSpacing = spacing;

    PhysWorld* physWorld = world->GetPhysWorld();
    collision = PhysCreateTreeCollision(physWorld, nullptr);
    PhysTreeCollisionBeginBuild(collision);
    const float scale = world->GetScale();
    const float halfDepth = 10.0f / scale;
    for (int i = 1; i < nodeCount; ++i) {
        const float x0 = float(double(spacing) * (i - 1)) / scale;
        const float x1 = float(double(spacing) * i) / scale;
        const float h0 = float((*loaded)[i - 1]) / scale;
        const float h1 = float((*loaded)[i]) / scale;
        const float face[4][4] = {
            {x0, h0, -halfDepth, 1.0f},
            {x0, h0, halfDepth, 1.0f},
            {x1, h1, halfDepth, 1.0f},
            {x1, h1, -halfDepth, 1.0f},
        };
        PhysTreeCollisionAddFace(collision, 4, &face[0][0], 16, 0);
    }
    PhysTreeCollisionEndBuild(collision, 1);
}

Matrix4 TerrainCollision::SurfaceMatrixAt(const Matrix4& matrix) const {
    const float scale = world->GetScale();
    const double x = double(matrix.m[12]) * scale;
    const double node = std::trunc(x) / nodeSpacing;
    if (!std::isfinite(node) || node < 0.0 || nodeSpacing <= 0 || node + 1.0 >= nodeCount) {
        return matrix;
    }
    const int i = int(node);
    const double h0 = (*nodeHeights)[i];
    const double rise = double((*nodeHeights)[i + 1]) - h0;
    // The turn is the slope's angle and the height the ground's at this x,
    // so that a body laid here lies on the segment.
    const double along = (x - double(nodeSpacing) * i) / nodeSpacing;
    Matrix4 surface = Matrix4::RotationZ(float(std::atan2(rise, double(nodeSpacing))));
    surface.SetPosition(Vector4(matrix.m[12], float((h0 + rise * along) / scale), 0.0f, 1.0f));
    return surface;
}

void TerrainCollision::DebugDraw() {
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_LINES);
    for (int i = 0; i + 1 < nodeCount; ++i) {
        const float x = float(double(nodeSpacing) * i);
        glVertex2f(x, float((*nodeHeights)[i]));
        glVertex2f(x + float(nodeSpacing), float((*nodeHeights)[i + 1]));
    }
    glEnd();
}

}  // namespace orvel
