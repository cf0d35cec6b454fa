#include "game/units/components/ai_planner.h"

#include <algorithm>
#include <cmath>

#include "game/units/component_body.h"
#include "game/units/components/sprite_component.h"
#include "game/units/components/turret_component.h"

namespace {

const PropertyKey STATIC_FACTORY("Static_Factory");
const PropertyKey STEAM_BUNKER("Static_SteamBunker");
const PropertyKey TANK("Tank");
const PropertyKey INFANTRY("Infantry");
const PropertyKey ENGINEER("Engineer");
const PropertyKey FLAK_TRUCK("FlakTruck");
const PropertyKey BUSTER("Buster");
const PropertyKey ARTILLERY_TURRET("Static_ArtilleryTurret");
const PropertyKey ANTI_AIR_TURRET("Static_AntiAirTurret");
const PropertyKey BUNKERS[] = {PropertyKey("Static_Bunker"), PropertyKey("Static_SteamBunker"),
                               PropertyKey("Static_MagnetBunker"), PropertyKey("Static_FanBunker")};
const PropertyKey SPRITE_COMPONENT("SpriteComponent");
const PropertyKey TURRET_COMPONENT("TurretComponent");
const PropertyKey MOVING("moving");

// Distances in world units: what lies within reach of the airship, and how
// close anti-air guard makes a unit too dangerous to fetch.
const float REACH = 11.0f;
const float ANTI_AIR_GUARD = 6.0f;
// Where the airship waits at home, and above a steam bunker, in pixels.
const float HOME_X = -30.0f;
const float HOME_Y = 120.0f;
const float STEAM_BUNKER_Y = 100.0f;
// Flak trucks are worth moving only this far (pixels) from every tank.
const float FLAK_SPACING = 68.0f;
// More held units than this and the magnet lets go.
const size_t OVERLOAD = 4;
const float OVERLOAD_WEIGHT = 0.75f;
const float KEEP_WEIGHT = 0.5f;
const float DROP_WEIGHT = 0.75f;
// Outweighs every other vote: an enemy engineer is never worth carrying.
const float ENEMY_ENGINEER_DROP_WEIGHT = 1.0f;
// Carried enemies are dropped from these magnet heights.
const float TANK_DROP_HEIGHT = 7.3f;
const float INFANTRY_DROP_HEIGHT = 9.0f;
const float INFANTRY_LIFT_HEIGHT = 12.0f;
// More pick-ups while something is held only below this magnet height.
const float PICK_UP_CEILING = 8.0f;
// A held tank whose x axis leans further than this has tipped over.
const float TIPPED = 0.1f;
const size_t MAX_CARRIED_INFANTRY = 3;
// The updates one factory stays the goal while an enemy tank is carried.
const uint32_t FACTORY_SWITCH_BIT = 7;
const float TANK_COOLDOWN = 2.0f;
const float INFANTRY_COOLDOWN = 2.2f;
const float CARRY_COOLDOWN = 2.0f;
const float BUSTER_COOLDOWN = 5.5f;
// Where carried units are set down, relative to their goal, world units.
const float FLAK_DEFENSIVE_X = 5.0f;
const float FLAK_DEFENSIVE_Y = 3.0f;
const float FLAK_OFFENSIVE_X = -7.0f;
const float FLAK_OFFENSIVE_Y = 2.5f;
const float BUSTER_X = 5.5f;
const float INFANTRY_DROP_X = -0.1f;
const float INFANTRY_DROP_Y = 2.0f;
const float ABS_CLOSE_SCORE = 0.25f;

typedef std::shared_ptr<ComponentBody> Unit;
typedef std::vector<Unit> Units;

float X(const ComponentBody& body) { return body.GetPosition().x; }

bool Is(const ComponentBody& body, PropertyKey type) { return body.GetObjectName() == type; }

bool IsBunker(const ComponentBody& body) {
    return std::find(std::begin(BUNKERS), std::end(BUNKERS), body.GetObjectName()) !=
           std::end(BUNKERS);
}

bool IsTurret(const ComponentBody& body) {
    return Is(body, ARTILLERY_TURRET) || Is(body, ANTI_AIR_TURRET);
}

template <typename Test>
Units Select(const Units& units, Test test) {
    Units selected;
    std::copy_if(units.begin(), units.end(), std::back_inserter(selected),
                 [&test](const Unit& unit) { return test(*unit); });
    return selected;
}

// The unit with the smallest x (leftmost) or the greatest (rightmost); the
// earlier one on equal x; null for an empty list.
Unit Leftmost(const Units& units) {
    Unit best;
    for (const Unit& unit : units) {
        if (!best || X(*unit) < X(*best)) {
            best = unit;
        }
    }
    return best;
}

Unit Rightmost(const Units& units) {
    Unit best;
    for (const Unit& unit : units) {
        if (!best || X(*unit) > X(*best)) {
            best = unit;
        }
    }
    return best;
}

Units Join(const Units& first, const Units& second) {
    Units joined = first;
    joined.insert(joined.end(), second.begin(), second.end());
    return joined;
}

orvel::Vector4 Offset(const orvel::Vector4& position, float dx, float dy) {
    return orvel::Vector4(position.x + dx, position.y + dy, position.z, position.w);
}

}  // namespace

AIPlanner::AIPlanner(const AISituation& situation, float& pickupCooldown)
    : situation(situation), pickupCooldown(pickupCooldown) {}

AITarget AIPlanner::ChooseTarget(const std::vector<AITask>& tasks) {
    AITarget chosen;
    float best = 0.0f;
    for (const AITask& task : tasks) {
        if (task.score >= best) {
            best = task.score;
            chosen = task.target;
        }
    }
    return chosen;
}

const MagnetVote* AIPlanner::ChooseVote(const std::vector<MagnetVote>& votes) {
    const MagnetVote* chosen = nullptr;
    float heaviest = 0.0f;
    for (const MagnetVote& vote : votes) {
        if (vote.weight >= heaviest) {
            heaviest = vote.weight;
            chosen = &vote;
        }
    }
    return chosen;
}

bool AIPlanner::Plan(const std::vector<std::shared_ptr<orvel::Body>>& bodies) {
    team = situation.owner->GetTeam();
    x = situation.owner->GetPosition().x;
    held = situation.held.size();
    Sort(bodies);
    if (!ownFactory || !enemyFactory) {
        return false;
    }
    Home();
    Overload();
    KillEnemyTanks();
    KillEnemyInfantry();
    CarryFlakTrucks();
    PlaceEngineers();
    PlaceBusters();
    PlaceInfantry();
    DropEnemyEngineers();
    return true;
}

void AIPlanner::Sort(const std::vector<std::shared_ptr<orvel::Body>>& bodies) {
    for (const std::shared_ptr<orvel::Body>& body : bodies) {
        const Unit unit = std::dynamic_pointer_cast<ComponentBody>(body);
        if (!unit || X(*unit) < 0.0f) {
            continue;
        }
        if (unit->GetTeam() == team) {
            own.push_back(unit);
        } else if (unit->GetTeam() == -team) {
            enemies.push_back(unit);
        } else {
            neutrals.push_back(unit);
        }
    }
    const auto type = [](PropertyKey name) {
        return [name](const ComponentBody& body) { return Is(body, name); };
    };
    enemyAntiAir = Select(enemies, [](const ComponentBody& body) {
        return Is(body, FLAK_TRUCK) || Is(body, ANTI_AIR_TURRET);
    });
    enemyTanks = Select(enemies, type(TANK));
    ownTanks = Select(own, type(TANK));
    ownEngineers = Select(own, type(ENGINEER));
    ownInfantry = Select(own, type(INFANTRY));
    enemyInfantry = Select(enemies, type(INFANTRY));
    neutralTurrets = Select(neutrals, IsTurret);
    ownTurrets = Select(own, IsTurret);
    enemyAntiAirTurrets = Select(enemies, type(ANTI_AIR_TURRET));
    enemyArtillery = Select(enemies, type(ARTILLERY_TURRET));
    ownFlakTrucks = Select(own, type(FLAK_TRUCK));
    enemyBunkers = Select(enemies, IsBunker);
    neutralBunkers = Select(neutrals, IsBunker);
    bunkerTargets = Join(enemyBunkers, neutralBunkers);
    const Units ownFactories = Select(own, type(STATIC_FACTORY));
    const Units enemyFactories = Select(enemies, type(STATIC_FACTORY));
    ownFactory = ownFactories.empty() ? Unit() : ownFactories.front();
    enemyFactory = enemyFactories.empty() ? Unit() : enemyFactories.front();
}

float AIPlanner::Set(const orvel::FuzzyContext& context, const char* name, float value) const {
    return context.GetFuzzySet(PropertyKey(name))->Evaluate(value);
}

float AIPlanner::PickUpWeight(const orvel::Vector4& candidate) const {
    const float dx = candidate.x - situation.magnetPoint.x;
    const float dy = candidate.y - situation.magnetPoint.y;
    return DistanceSet("absCloseY", dy) * DistanceSet("absVeryCloseX", dx);
}

float AIPlanner::OffsetX(const ComponentBody& body) const {
    return X(body) - situation.magnetPoint.x;
}

bool AIPlanner::Near(const ComponentBody& body, float width) const {
    return std::fabs(X(body) - x) <= width;
}

// A unit without a sprite shows no state; it counts as moving while it
// lives, that is while it walks the field and may be fetched.
bool AIPlanner::Moving(const ComponentBody& body) const {
    const auto* sprite = static_cast<const SpriteComponent*>(body.GetComponent(SPRITE_COMPONENT));
    if (sprite == nullptr) {
        return body.IsAlive();
    }
    return sprite->GetStateName() == MOVING;
}

ComponentBody* AIPlanner::Held(const char* typeName, int side) const {
    const PropertyKey type(typeName);
    for (ComponentBody* body : situation.held) {
        const bool sideMatches = side == 0 || (side > 0) == (body->GetTeam() == team);
        if (Is(*body, type) && sideMatches) {
            return body;
        }
    }
    return nullptr;
}

bool AIPlanner::IsHeld(const ComponentBody* body) const {
    return std::find(situation.held.begin(), situation.held.end(), body) != situation.held.end();
}

bool AIPlanner::AntiAirNear(const ComponentBody& body) const {
    return std::any_of(enemyAntiAir.begin(), enemyAntiAir.end(), [&body](const Unit& guard) {
        return std::fabs(X(*guard) - X(body)) <= ANTI_AIR_GUARD;
    });
}

void AIPlanner::AddTask(const Unit& unit, float score) {
    tasks.push_back(AITask{AITarget::Of(unit), score});
}

void AIPlanner::AddPointTask(const orvel::Vector4& point, float score) {
    tasks.push_back(AITask{AITarget::Point(point), score});
}

void AIPlanner::AddVote(bool on, float weight) { votes.push_back(MagnetVote{on ? 1 : 0, weight}); }

// Home is the own factory, or a nearer own steam bunker; the task wins only
// once the airship has lost most of its hit points.
void AIPlanner::Home() {
    const float scale = situation.scale;
    orvel::Vector4 home = Offset(ownFactory->GetPosition(), HOME_X / scale, HOME_Y / scale);
    Unit nearest;
    for (const Unit& unit : own) {
        if (Is(*unit, STEAM_BUNKER) &&
            (!nearest || std::fabs(X(*unit) - x) < std::fabs(X(*nearest) - x))) {
            nearest = unit;
        }
    }
    if (nearest && std::fabs(X(*nearest) - x) < std::fabs(x - home.x)) {
        home = Offset(nearest->GetPosition(), 0.0f, STEAM_BUNKER_Y / scale);
    }
    const ComponentBody& owner = *situation.owner;
    AddPointTask(home, 0.9f - float(owner.GetHitPoints()) / float(owner.GetMaxHitPoints()));
}

void AIPlanner::Overload() {
    if (held > OVERLOAD) {
        AddVote(false, OVERLOAD_WEIGHT);
    }
}

// Lifts an enemy tank that no anti-air guards, carries it between the
// factories and drops it from height, or as soon as it tips over.
void AIPlanner::KillEnemyTanks() {
    if (!situation.capabilities.killEnemyTanks || enemyTanks.empty()) {
        return;
    }
    if (held == 0) {
        if (pickupCooldown > 0.0f) {
            return;
        }
        const Unit tank = TankToFetch();
        if (tank) {
            const bool close = DistanceSet("absCloseX", OffsetX(*tank)) > ABS_CLOSE_SCORE;
            AddTask(tank, close ? situation.weights.killEnemyTanks : 0.0f);
            AddVote(true, PickUpWeight(tank->GetPosition()));
        }
        return;
    }
    const ComponentBody* tank = Held("Tank", -1);
    if (tank == nullptr) {
        return;
    }
    const float toOwn = float((situation.updateCounter >> FACTORY_SWITCH_BIT) & 1u);
    AddTask(ownFactory, toOwn * kCarryScore);
    AddTask(enemyFactory, (1.0f - toOwn) * kCarryScore);
    AddVote(true, KEEP_WEIGHT);
    AddVote(false, situation.magnetPoint.y >= TANK_DROP_HEIGHT ? DROP_WEIGHT : 0.0f);
    AddVote(false, tank->GetMatrix().m[0] < TIPPED ? kCarryScore : 0.0f);
    pickupCooldown = TANK_COOLDOWN;
}

// The first enemy tank within reach that no anti-air guards; while hunting,
// the nearest such tank anywhere on the field, so that an idle airship goes
// to the front when the armies stand still out of its reach.
AIPlanner::Unit AIPlanner::TankToFetch() const {
    Unit chosen;
    for (const Unit& tank : enemyTanks) {
        if (AntiAirNear(*tank)) {
            continue;
        }
        if (!situation.hunting) {
            if (Near(*tank, REACH)) {
                return tank;
            }
        } else if (!chosen || std::fabs(X(*tank) - x) < std::fabs(X(*chosen) - x)) {
            chosen = tank;
        }
    }
    return chosen;
}

// Gathers walking enemy infantry, up to three, then lifts them and lets
// them fall.
void AIPlanner::KillEnemyInfantry() {
    if (!situation.capabilities.killEnemyInfantry || enemyInfantry.empty()) {
        return;
    }
    Unit candidate;
    for (const Unit& unit : enemyInfantry) {
        if (Near(*unit, REACH) && Moving(*unit) && !AntiAirNear(*unit)) {
            candidate = unit;
            break;
        }
    }
    if (!candidate) {
        candidate = Rightmost(enemyInfantry);
    }
    const bool pickUp = held < MAX_CARRIED_INFANTRY && held < enemyInfantry.size() &&
                        Moving(*candidate) &&
                        (situation.magnetPoint.y < PICK_UP_CEILING || held == 0);
    if (pickUp) {
        if (pickupCooldown > 0.0f) {
            return;
        }
        AddTask(candidate, situation.weights.killEnemyInfantry);
        AddVote(true, PickUpWeight(candidate->GetPosition()));
        if (held != 0) {
            AddVote(true, kCarryScore);
        }
        return;
    }
    if (Held("Infantry", -1) == nullptr) {
        return;
    }
    const orvel::Vector4 owner = situation.owner->GetPosition();
    AddPointTask(orvel::Vector4(owner.x, INFANTRY_LIFT_HEIGHT, owner.z, owner.w), kCarryScore);
    AddVote(true, KEEP_WEIGHT);
    AddVote(false, situation.magnetPoint.y >= INFANTRY_DROP_HEIGHT ? DROP_WEIGHT : 0.0f);
    pickupCooldown = INFANTRY_COOLDOWN;
}

// Sets a flak truck beside the leftmost own tank (defending) or short of
// the rightmost enemy tank (attacking).
void AIPlanner::CarryFlakTrucks() {
    const AICapabilities& can = situation.capabilities;
    const bool needed = (can.carryFlakTruckDefensively && !ownTanks.empty()) ||
                        (can.carryFlakTruckOffensively && !enemyTanks.empty());
    if (!needed || ownFlakTrucks.empty()) {
        return;
    }
    const AIWeights& weights = situation.weights;
    if (held == 0) {
        if (pickupCooldown > 0.0f) {
            return;
        }
        for (const Unit& flak : ownFlakTrucks) {
            for (const Unit& tank : ownTanks) {
                if (std::fabs(X(*flak) - X(*tank)) >= FLAK_SPACING / situation.scale &&
                    Near(*flak, REACH)) {
                    const float close =
                        DistanceSet("absCloseX", OffsetX(*flak)) > ABS_CLOSE_SCORE ? 1.0f : 0.0f;
                    const orvel::Vector4 point = flak->GetPosition();
                    AddPointTask(point, weights.flakOffensive * close);
                    AddPointTask(point, weights.flakDefensive * close);
                    AddPointTask(point, weights.flakPickup * close);
                    AddVote(true, PickUpWeight(point));
                    return;
                }
            }
        }
        return;
    }
    if (Held("FlakTruck", 1) == nullptr || held != 1) {
        return;
    }
    const float side = float(team);
    if (!ownTanks.empty() && can.carryFlakTruckDefensively) {
        const Unit tank = Leftmost(
            Select(ownTanks, [this](const ComponentBody& body) { return !IsHeld(&body); }));
        if (tank) {
            AddPointTask(Offset(tank->GetPosition(), FLAK_DEFENSIVE_X * side, FLAK_DEFENSIVE_Y),
                         weights.flakDefensive);
        }
    }
    if (!enemyTanks.empty() && can.carryFlakTruckOffensively) {
        AddPointTask(
            Offset(Rightmost(enemyTanks)->GetPosition(), FLAK_OFFENSIVE_X * side, FLAK_OFFENSIVE_Y),
            weights.flakOffensive);
    }
    AddVote(true, KEEP_WEIGHT);
    pickupCooldown = CARRY_COOLDOWN;
}

// Fetches an engineer who mans nothing yet and sets it on the enemy's
// factory (while no anti-air turret guards the enemy) or on a free turret.
void AIPlanner::PlaceEngineers() {
    const AICapabilities& can = situation.capabilities;
    const bool intoFactory = enemyAntiAirTurrets.empty() && can.putEngineerInFactory;
    if (!(!neutralTurrets.empty() && can.putEngineerInTurret) && !intoFactory) {
        return;
    }
    if (held == 0) {
        const Units idle = Select(ownEngineers, [this](const ComponentBody& engineer) {
            return std::none_of(
                ownTurrets.begin(), ownTurrets.end(), [&engineer](const Unit& turret) {
                    const auto* component =
                        static_cast<const TurretComponent*>(turret->GetComponent(TURRET_COMPONENT));
                    return component != nullptr && component->GetGunner() == &engineer;
                });
        });
        if (idle.empty() || pickupCooldown > 0.0f) {
            return;
        }
        const Unit candidate = Leftmost(idle);
        AddTask(candidate, situation.weights.putEngineer);
        AddVote(true, PickUpWeight(candidate->GetPosition()));
        return;
    }
    const ComponentBody* engineer = Held("Engineer", 0);
    if (engineer == nullptr) {
        return;
    }
    AITarget drop;
    if (intoFactory) {
        drop = AITarget::Of(enemyFactory);
    } else {
        drop = AITarget::Point(Rightmost(neutralTurrets)->GetPosition());
    }
    tasks.push_back(AITask{drop, kCarryScore});
    const orvel::Vector4 point = drop.GetPosition();
    const float overX = float(team) * DistanceSet("veryCloseX", point.x - situation.magnetPoint.x);
    const float atY = DistanceSet("absCloseY", point.y - situation.magnetPoint.y);
    const float slow = Set(*situation.speed, "absSlow", situation.velocity.x);
    AddVote(false, std::min({atY, overX, slow}));
    AddVote(true, kCarryScore);
    pickupCooldown = CARRY_COOLDOWN;
}

// Sets a Buster down short of the enemy's rightmost gun or bunker.
void AIPlanner::PlaceBusters() {
    if (enemyArtillery.empty() && enemyBunkers.empty()) {
        return;
    }
    if (held == 0) {
        if (pickupCooldown > 0.0f) {
            return;
        }
        const auto buster = std::find_if(own.begin(), own.end(),
                                         [](const Unit& unit) { return Is(*unit, BUSTER); });
        if (buster != own.end()) {
            AddTask(*buster, situation.weights.buster);
            AddVote(true, PickUpWeight((*buster)->GetPosition()));
        }
        return;
    }
    if (Held("Buster", 0) == nullptr) {
        return;
    }
    const orvel::Vector4 drop = Offset(Rightmost(Join(enemyArtillery, enemyBunkers))->GetPosition(),
                                       BUSTER_X * float(team), 0.0f);
    AddPointTask(drop, kCarryScore);
    AddVote(false, DistanceSet("absCloseX", drop.x - situation.magnetPoint.x));
    AddVote(true, kCarryScore);
    pickupCooldown = BUSTER_COOLDOWN;
}

// Collects up to three own infantry and sets them on the enemy's rightmost
// gun or bunker.
void AIPlanner::PlaceInfantry() {
    const AICapabilities& can = situation.capabilities;
    const bool intoBunkers = can.putInfantryInBunker && !bunkerTargets.empty();
    const bool onArtillery = can.dropInfantryOnArtillery && !enemyArtillery.empty();
    if (!intoBunkers && !onArtillery) {
        return;
    }
    Unit candidate;
    if (held == 0) {
        if (!ownInfantry.empty() && pickupCooldown <= 0.0f) {
            candidate = Leftmost(ownInfantry);
        }
    } else {
        for (const Unit& unit : ownInfantry) {
            if (Near(*unit, REACH) && Moving(*unit)) {
                candidate = unit;
                break;
            }
        }
    }
    size_t carried = 0;
    for (const ComponentBody* body : situation.held) {
        if ((Is(*body, ENGINEER) || Is(*body, INFANTRY)) && body->GetTeam() == team) {
            ++carried;
        }
    }
    const bool collect = held == 0 || (carried < MAX_CARRIED_INFANTRY && carried == held &&
                                       situation.magnetPoint.y < PICK_UP_CEILING);
    if (candidate && collect) {
        AddTask(candidate, situation.weights.putInfantry);
        AddVote(true, PickUpWeight(candidate->GetPosition()));
        if (held != 0) {
            AddVote(true, kCarryScore);
        }
        return;
    }
    const bool allOwnInfantry = std::all_of(
        situation.held.begin(), situation.held.end(), [this](const ComponentBody* body) {
            return Is(*body, INFANTRY) && body->GetTeam() == team;
        });
    if (held == 0 || !allOwnInfantry) {
        return;
    }
    Units dropList;
    if (can.dropInfantryOnArtillery) {
        dropList = enemyArtillery;
    }
    if (can.putInfantryInBunker) {
        dropList = Join(dropList, bunkerTargets);
    }
    const orvel::Vector4 drop =
        Offset(Rightmost(dropList)->GetPosition(), INFANTRY_DROP_X * float(team), INFANTRY_DROP_Y);
    AddPointTask(drop, kCarryScore);
    AddVote(false, float(team) * DistanceSet("veryCloseX", drop.x - situation.magnetPoint.x));
    AddVote(true, kCarryScore);
    pickupCooldown = CARRY_COOLDOWN;
}

// An enemy engineer that the magnet took up with something else, or that
// walked under it, is let go whatever the other blocks want: carried along
// it would keep the airship from its own work for good.
void AIPlanner::DropEnemyEngineers() {
    if (Held("Engineer", -1) != nullptr) {
        AddVote(false, ENEMY_ENGINEER_DROP_WEIGHT);
    }
}
