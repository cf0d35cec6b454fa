#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/attributes.h"
#include "engine/core/property_file.h"
#include "engine/physics/material_groups.h"
#include "engine/physics/mechanica.h"
#include "engine/physics/terrain_body.h"
#include "engine/physics/terrain_collision.h"
#include "game/play/tutorial_component.h"
#include "game/units/component_body.h"
#include "game/units/unit_stats.h"

// A level in miniature for unit tests: a world of 30 pixels a world unit
// with the game's materials, flat ground at GROUND_HEIGHT pixels from x = 0
// to x = 6000, object definitions parsed from a property text, and the
// level's statistics registered as "qUnitStats" with the usual unit types.
// The registry values units write are cleared again when it goes.
class UnitTestWorld {
public:
    static constexpr float SCALE = 30.0f;
    static constexpr int GROUND_HEIGHT = 60;

    explicit UnitTestWorld(const std::string& objectText)
        : world(new orvel::Mechanica()),
          definitions(orvel::ParsePropertyString(objectText, "test objects")),
          stats(std::make_shared<UnitStats>()) {
        world->SetScale(SCALE);
        // The airship's tutorial script reads the level number every frame.
        RegisterTutorialComponent();
        orvel::GlobalProperties().SetInt(PropertyKey("TARNMOORE_CurrentLevel"), 0);
        world->SetWorldBox(orvel::Vector4(-10.0f, -10.0f, -10.0f),
                           orvel::Vector4(210.0f, 60.0f, 10.0f));
        orvel::LoadMaterialGroups(*world, "resources/materials1.txt");
        AddGround();
        for (const char* type : {"Infantry", "Engineer", "Tank", "FlakTruck", "BalloonBomb",
                                 "AutoGyro", "Buster", "GoodAirShip"}) {
            stats->AddUnitType(type);
        }
        orvel::GlobalProperties()[STATS_KEY] = stats;
    }

    // The ground goes while its world still stands, as every body must.
    ~UnitTestWorld() {
        ground.reset();
        world.reset();
        orvel::GlobalProperties().Erase(PropertyKey("TARNMOORE_CurrentLevel"));
        for (PropertyKey key :
             {PropertyKey(STATS_KEY), PropertyKey("deltaMoneyBags"), PropertyKey("spawnedUnit")}) {
            orvel::GlobalProperties().Erase(key);
        }
    }

    orvel::Mechanica& World() { return *world; }

    // A unit of the definitions made as a level places one: spawned for the
    // team, stood at (x, y) pixels and added to the world.
    std::shared_ptr<ComponentBody> Place(const std::string& name, int team, float x, float y) {
        std::shared_ptr<ComponentBody> unit = Make(name, team);
        unit->SetPosition(orvel::Vector4(x / SCALE, y / SCALE, 0.0f));
        world->AddBody(unit);
        return unit;
    }

    // A unit spawned from its definition and left out of the world.
    std::shared_ptr<ComponentBody> Make(const std::string& name, int team) {
        auto unit = std::make_shared<ComponentBody>();
        unit->SpawnUnit(world.get(), creationContext, nullptr, definitions,
                        PropertyKey::Intern(name), team);
        return unit;
    }

    // Runs frames as the in-game frame drives the world until `seconds` have
    // passed. Each frame is a shade longer than one physics step, so that it
    // takes exactly one step and the world's frame time is one step.
    void RunSeconds(float seconds) {
        const float frame = orvel::Mechanica::kStep + 1e-7f;
        const int frames = static_cast<int>(seconds / frame + 0.5f);
        for (int i = 0; i < frames; ++i) {
            world->PreStepBodies();
            world->Update(frame);
            world->UpdateBodies();
            world->ReleaseKeptObjects();
        }
    }

    const std::shared_ptr<orvel::TerrainBody>& Ground() const { return ground; }

    std::unique_ptr<orvel::Mechanica> world;
    orvel::PropertiesPtr definitions;
    std::shared_ptr<UnitStats> stats;
    // What units are spawned with as their creation context: the sprite
    // manager that draws them, or none.
    void* creationContext = nullptr;

private:
    static constexpr const char* STATS_KEY = "qUnitStats";

    void AddGround() {
        auto level = std::make_shared<orvel::Properties>();
        auto heights = std::make_shared<orvel::AnyVector>();
        for (int i = 0; i < 21; ++i) {
            heights->SetInt(i, GROUND_HEIGHT);
        }
        level->SetList("nodeHeights", heights);
        level->SetInt("nodeSpacing", 300);
        auto shape = std::make_shared<orvel::TerrainCollision>(world.get());
        shape->Load(level);
        ground = std::make_shared<orvel::TerrainBody>();
        ground->CreateWithCollision(world.get(), shape);
        ground->SetMaterialGroup("mg_terrain");
        world->AddBody(ground);
    }

    std::shared_ptr<orvel::TerrainBody> ground;
};
