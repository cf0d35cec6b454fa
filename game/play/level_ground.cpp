#include "game/play/level_ground.h"

#include "engine/physics/ceiling_body.h"
#include "engine/physics/terrain_collision.h"
#include "game/play/play_field.h"

namespace {

const PropertyKey MG_TERRAIN("mg_terrain");

// How far the world box and the ceiling reach past the level's right end,
// in pixels, and how deep the walls are, in world units.
const float MARGIN = 100.0f;
const float WALL_DEPTH = 20.0f;
const float WALL_THICKNESS = 1.0f;

template <typename BodyType>
std::shared_ptr<BodyType> AddWall(orvel::Mechanica& world, float width, float height,
                                  const orvel::Vector4& centre) {
    const std::shared_ptr<orvel::Collision> box = std::make_shared<orvel::Collision>(&world);
    box->CreateBox(width, height, WALL_DEPTH, orvel::Matrix4::Identity());
    const std::shared_ptr<BodyType> body = std::make_shared<BodyType>();
    body->CreateWithCollision(&world, box);
    body->SetPosition(centre);
    body->SetMaterialGroup(MG_TERRAIN);
    world.AddBody(body);
    return body;
}

}  // namespace

std::shared_ptr<orvel::TerrainBody> BuildLevelGround(orvel::Mechanica& world,
                                                     const LevelFile& level, uint32_t levelWidth) {
    const float scale = world.GetScale();
    const float width = (float(levelWidth) + MARGIN) / scale;
    const float height = float(PLAY_HEIGHT) / scale;
    world.SetWorldBox(orvel::Vector4(-MARGIN / scale, 0.0f, -10.0f / scale),
                      orvel::Vector4(width, height, 10.0f / scale));

    AddWall<CeilingBody>(world, width, WALL_THICKNESS, orvel::Vector4(width / 2, height, 0));
    AddWall<CeilingBody>(world, WALL_THICKNESS, height, orvel::Vector4(-0.5f, height / 2, 0));
    AddWall<CeilingBody>(world, WALL_THICKNESS, height,
                         orvel::Vector4(float(levelWidth) / scale + 0.5f, height / 2, 0));
    AddWall<orvel::TerrainBody>(world, width, height,
                                orvel::Vector4(width / 2, height / 2, WALL_DEPTH));
    AddWall<orvel::TerrainBody>(world, width, height,
                                orvel::Vector4(width / 2, height / 2, -WALL_DEPTH));

    const std::shared_ptr<orvel::TerrainCollision> ground =
        std::make_shared<orvel::TerrainCollision>(&world);
    ground->Load(level.properties);
    const std::shared_ptr<orvel::TerrainBody> terrain = std::make_shared<orvel::TerrainBody>();
    terrain->CreateWithCollision(&world, ground);
    terrain->SetMaterialGroup(MG_TERRAIN);
    world.AddBody(terrain);
    return terrain;
}
