#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/fuzzy/fuzzy_context.h"
#include "engine/physics/vector4.h"
#include "game/units/components/ai_capabilities.h"
#include "game/units/components/ai_target.h"

class ComponentBody;

namespace orvel {
class Body;
}

// What the opponent knows of its own airship when it plans one update.
struct AISituation {
    const ComponentBody* owner = nullptr;
    // The magnet's point under the gondola, world units.
    orvel::Vector4 magnetPoint = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    orvel::Vector4 velocity = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    std::vector<ComponentBody*> held;
    // Pixels per world unit, for the distances given in pixels.
    float scale = 30.0f;
    uint32_t updateCounter = 0;
    const orvel::FuzzyContext* distance = nullptr;
    const orvel::FuzzyContext* speed = nullptr;
    AICapabilities capabilities;
    AIWeights weights;
    // The magnet has held nothing for a long while (AIComponent's
    // kHuntAfterIdle): enemy tanks are sought at any distance, not only
    // within reach.
    bool hunting = false;
};

// Sorts the world's units by side and type and proposes, block by block,
// what to fetch, where to carry it and when to let go: tasks for the
// target and votes for the magnet. The blocks run in a fixed order, and on
// equal scores the later entry wins. Home (where the damaged airship goes
// to mend), the overload drop and the drop of an enemy engineer always run;
// the others run as the capabilities and the units on the field allow.
class AIPlanner {
public:
    // `pickupCooldown` is read by the pick-ups and set by the carrying
    // branches.
    AIPlanner(const AISituation& situation, float& pickupCooldown);

    // Plans from the world's bodies; false, with nothing planned, when
    // either side has no factory.
    bool Plan(const std::vector<std::shared_ptr<orvel::Body>>& bodies);

    const std::vector<AITask>& GetTasks() const { return tasks; }
    const std::vector<MagnetVote>& GetVotes() const { return votes; }

    // The score of every carrying task and keep vote.
    static constexpr float kCarryScore = 0.666666f;

    // The task with the best score, the later on equal scores; the point
    // (0, 0, 0, 0) when none scores 0 or more.
    static AITarget ChooseTarget(const std::vector<AITask>& tasks);
    // The heaviest vote, the later on equal weights; null without votes.
    static const MagnetVote* ChooseVote(const std::vector<MagnetVote>& votes);

private:
    typedef std::shared_ptr<ComponentBody> Unit;
    typedef std::vector<Unit> Units;

    void Sort(const std::vector<std::shared_ptr<orvel::Body>>& bodies);
    void Home();
    void Overload();
    void KillEnemyTanks();
    void KillEnemyInfantry();
    void CarryFlakTrucks();
    void PlaceEngineers();
    void PlaceBusters();
    void PlaceInfantry();
    void DropEnemyEngineers();

    Unit TankToFetch() const;
    float Set(const orvel::FuzzyContext& context, const char* name, float x) const;
    float DistanceSet(const char* name, float x) const { return Set(*situation.distance, name, x); }
    // The pick-up vote over a candidate: right above it and at its height.
    float PickUpWeight(const orvel::Vector4& candidate) const;
    float OffsetX(const ComponentBody& body) const;
    bool Near(const ComponentBody& body, float width) const;
    bool Moving(const ComponentBody& body) const;
    // A held unit of the type, of the team (side > 0), not of it (side < 0)
    // or of either (side 0).
    ComponentBody* Held(const char* type, int side) const;
    bool IsHeld(const ComponentBody* body) const;
    bool AntiAirNear(const ComponentBody& body) const;

    void AddTask(const Unit& unit, float score);
    void AddPointTask(const orvel::Vector4& point, float score);
    void AddVote(bool on, float weight);

    const AISituation& situation;
    float& pickupCooldown;
    int team = 0;
    float x = 0.0f;
    size_t held = 0;

    Units own, enemies, neutrals;
    Units enemyAntiAir, enemyTanks, ownTanks, ownEngineers, ownInfantry, enemyInfantry;
    Units neutralTurrets, ownTurrets, enemyAntiAirTurrets, enemyArtillery, ownFlakTrucks;
    Units enemyBunkers, neutralBunkers, bunkerTargets;
    Unit ownFactory, enemyFactory;

    std::vector<AITask> tasks;
    std::vector<MagnetVote> votes;
};
