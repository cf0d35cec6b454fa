#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/core/attributes.h"
#include "engine/core/property_file.h"
#include "engine/physics/material_groups.h"
#include "engine/physics/mechanica.h"
#include "engine/physics/terrain_body.h"
#include "engine/physics/terrain_collision.h"
#include "game/play/tutorial_component.h"
#include "game/units/component_body.h"
#include "game/units/unit_stats.h"

// The first level of the game for unit tests: the game's object definitions
// and materials, and the ground of "resources/Level0" in a world of 30 pixels
// a world unit boxed as the level boxes it (the level's width plus 100
// pixels, 500 pixels high). The level's statistics are "qUnitStats" while it
// lasts. Positions are pixels, as in the level file.
class LevelZeroWorld {
public:
    static constexpr float SCALE = 30.0f;
    static constexpr float WIDTH = 2560.0f;
    static constexpr float HEIGHT = 500.0f;

    LevelZeroWorld()
        : world(new orvel::Mechanica()),
          definitions(orvel::LoadPropertyFile("resources/objectfile1.txt")),
          stats(std::make_shared<UnitStats>()) {
        world->SetScale(SCALE);
        // The airship's tutorial script reads the level number every frame.
        RegisterTutorialComponent();
        orvel::GlobalProperties().SetInt(PropertyKey("TARNMOORE_CurrentLevel"), 0);
        world->SetWorldBox(orvel::Vector4(-100.0f / SCALE, 0.0f, -10.0f / SCALE),
                           orvel::Vector4((WIDTH + 100.0f) / SCALE, HEIGHT / SCALE, 10.0f / SCALE));
        orvel::LoadMaterialGroups(*world, "resources/materials1.txt");
        auto shape = std::make_shared<orvel::TerrainCollision>(world.get());
        shape->Load(orvel::LoadPropertyFile("resources/Level0/level.txt"));
        heights = shape->GetNodeHeights();
        spacing = static_cast<float>(shape->GetNodeSpacing());
        ground = std::make_shared<orvel::TerrainBody>();
        ground->CreateWithCollision(world.get(), shape);
        ground->SetMaterialGroup("mg_terrain");
        world->AddBody(ground);
        for (const char* type : {"Infantry", "Engineer", "Tank", "FlakTruck", "BalloonBomb",
                                 "AutoGyro", "Buster", "GoodAirShip"}) {
            stats->AddUnitType(type);
        }
        orvel::GlobalProperties()[STATS_KEY] = stats;
    }

    // Every body goes while its world still stands.
    ~LevelZeroWorld() {
        ground.reset();
        world.reset();
        orvel::GlobalProperties().Erase(PropertyKey("TARNMOORE_CurrentLevel"));
        orvel::GlobalProperties().Erase(PropertyKey(STATS_KEY));
    }

    // The ground's height in pixels at x pixels.
    float GroundAt(float x) const {
        const size_t i = static_cast<size_t>(x / spacing);
        const float t = x / spacing - static_cast<float>(i);
        return heights[i] + (heights[i + 1] - heights[i]) * t;
    }

    // A unit of the game spawned for the team and left out of the world.
    std::shared_ptr<ComponentBody> Make(const std::string& name, int team) {
        auto unit = std::make_shared<ComponentBody>();
        unit->SpawnUnit(world.get(), nullptr, nullptr, definitions, PropertyKey::Intern(name), team);
        return unit;
    }

    // A unit placed as the level places one: its centre at (x, y) pixels.
    std::shared_ptr<ComponentBody> Place(const std::string& name, int team, float x, float y) {
        std::shared_ptr<ComponentBody> unit = Make(name, team);
        unit->SetPosition(orvel::Vector4(x / SCALE, y / SCALE, 0.0f));
        world->AddBody(unit);
        return unit;
    }

    // A unit standing on the ground at x pixels, its centre `half` pixels up.
    std::shared_ptr<ComponentBody> Stand(const std::string& name, int team, float x, float half) {
        return Place(name, team, x, GroundAt(x) + half);
    }

    // Frames as the in-game frame runs them, each a shade longer than one
    // physics step so that each takes exactly one; `eachFrame` runs before
    // every frame.
    template <typename Hook>
    void RunSeconds(float seconds, Hook eachFrame) {
        const float frame = orvel::Mechanica::kStep + 1e-7f;
        const int frames = static_cast<int>(seconds / frame + 0.5f);
        for (int i = 0; i < frames; ++i) {
            eachFrame();
            world->PreStepBodies();
            world->Update(frame);
            world->UpdateBodies();
            world->ReleaseKeptObjects();
        }
    }
    void RunSeconds(float seconds) {
        RunSeconds(seconds, [] {});
    }

    // Every body of the world with the object name.
    std::vector<std::shared_ptr<ComponentBody>> UnitsOf(const std::string& name) const {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        world->CopyBodyList(bodies);
        std::vector<std::shared_ptr<ComponentBody>> units;
        for (const auto& body : bodies) {
            if (body->GetObjectName() == PropertyKey::Intern(name)) {
                units.push_back(std::static_pointer_cast<ComponentBody>(body));
            }
        }
        return units;
    }

    std::unique_ptr<orvel::Mechanica> world;
    orvel::PropertiesPtr definitions;
    std::shared_ptr<UnitStats> stats;

private:
    static constexpr const char* STATS_KEY = "qUnitStats";

    std::shared_ptr<orvel::TerrainBody> ground;
    std::vector<int32_t> heights;
    float spacing = 1.0f;
};

// A position in pixels, as the tests reason about the level.
inline orvel::Vector4 Pixels(const orvel::Vector4& world) {
    return orvel::Vector4(world.x * LevelZeroWorld::SCALE, world.y * LevelZeroWorld::SCALE,
                          world.z * LevelZeroWorld::SCALE);
}
