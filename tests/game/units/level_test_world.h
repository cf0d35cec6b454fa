#pragma once

#include <memory>
#include <string>

#include "engine/core/attributes.h"
#include "engine/core/property_file.h"
#include "engine/physics/material_groups.h"
#include "engine/physics/mechanica.h"
#include "engine/physics/terrain_body.h"
#include "engine/physics/terrain_collision.h"
#include "game/play/tutorial_component.h"
#include "game/units/component_body.h"
#include "game/units/unit_stats.h"

// A real level for unit tests: the game's materials and object definitions
// and the ground of a level folder, in a world of 30 pixels a world unit
// that the level's width bounds. Units are placed and stepped as the in-game
// frame does it. The level's statistics are registered as "qUnitStats" and
// cleared again when the world goes.
class LevelTestWorld {
public:
    static constexpr float SCALE = 30.0f;
    // Room above the ground for airships, in world units.
    static constexpr float SKY = 20.0f;

    explicit LevelTestWorld(const std::string& folder = "resources/Level0")
        : world(new orvel::Mechanica()),
          definitions(orvel::LoadPropertyFile("resources/objectfile1.txt")),
          level(orvel::LoadPropertyFile(folder + "/level.txt")),
          stats(std::make_shared<UnitStats>()) {
        world->SetScale(SCALE);
        // The airship's tutorial script reads the level number every frame.
        RegisterTutorialComponent();
        orvel::GlobalProperties().SetInt(PropertyKey("TARNMOORE_CurrentLevel"), 0);
        orvel::LoadMaterialGroups(*world, "resources/materials1.txt");
        const orvel::AnyVectorPtr heights = level->GetList("nodeHeights");
        width = float(level->GetInt("nodeSpacing") * int(heights->Size() - 1));
        world->SetWorldBox(orvel::Vector4(-1.0f, -5.0f, -10.0f),
                           orvel::Vector4(width / SCALE + 1.0f, SKY, 10.0f));
        auto shape = std::make_shared<orvel::TerrainCollision>(world.get());
        shape->Load(level);
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

    ~LevelTestWorld() {
        ground.reset();
        world.reset();
        orvel::GlobalProperties().Erase(PropertyKey("TARNMOORE_CurrentLevel"));
        orvel::GlobalProperties().Erase(STATS_KEY);
    }

    // The unit spawned for the team and placed at (x, y) pixels.
    std::shared_ptr<ComponentBody> Place(const std::string& name, int team, float x, float y) {
        auto unit = std::make_shared<ComponentBody>();
        unit->SpawnUnit(world.get(), nullptr, nullptr, definitions, PropertyKey::Intern(name),
                        team);
        unit->SetPosition(orvel::Vector4(x / SCALE, y / SCALE, 0.0f));
        world->AddBody(unit);
        return unit;
    }

    // The ground's height in pixels at x pixels, between its nodes.
    float GroundAt(float x) const {
        const orvel::AnyVectorPtr heights = level->GetList("nodeHeights");
        const float spacing = float(level->GetInt("nodeSpacing"));
        const size_t i = size_t(x / spacing);
        const float t = x / spacing - float(i);
        return (1.0f - t) * float(heights->GetInt(i)) + t * float(heights->GetInt(i + 1));
    }

    // One frame a shade longer than a physics step, so that every frame
    // takes one step, as in UnitTestWorld.
    void Step() {
        world->PreStepBodies();
        world->Update(orvel::Mechanica::kStep + 1e-7f);
        world->UpdateBodies();
        world->ReleaseKeptObjects();
    }

    void RunSeconds(float seconds) {
        const int frames = static_cast<int>(seconds / (orvel::Mechanica::kStep + 1e-7f) + 0.5f);
        for (int i = 0; i < frames; ++i) {
            Step();
        }
    }

    std::unique_ptr<orvel::Mechanica> world;
    orvel::PropertiesPtr definitions;
    orvel::PropertiesPtr level;
    std::shared_ptr<UnitStats> stats;
    std::shared_ptr<orvel::TerrainBody> ground;
    float width = 0.0f;

private:
    static constexpr const char* STATS_KEY = "qUnitStats";
};
