#include "game/play/tutorial_component.h"

#include <algorithm>
#include <cmath>

#include "engine/core/attributes.h"
#include "engine/physics/body.h"
#include "engine/physics/mechanica.h"
#include "engine/sound/sound.h"
#include "game/play/tutorial_dialog.h"
#include "game/units/component_body.h"
#include "game/units/component_registry.h"
#include "game/units/components/magnet_component.h"
#include "game/units/components/sprite_component.h"
#include "game/units/components/turret_component.h"
#include "game/units/unit_message.h"
#include "game/units/unit_services.h"
#include "physics_sdk/phys.h"

namespace {
const PropertyKey KEY_DIALOG_PTR("TARNMOORE_GLOBALS_TutorialDialogPtr");
const PropertyKey KEY_LEVEL("TARNMOORE_CurrentLevel");
const PropertyKey KEY_TUTORIAL("isTutorialLevel");
const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_HIGHEST_TUTORIAL("TARNMOORE_HighestTutorialLevelReached");
const PropertyKey KEY_ENEMY_BUY("enemyBuy");
const PropertyKey KEY_ENEMY_BUY_UNIT("enemyBuyUnit");
const PropertyKey KEY_STOPPED("BadVehicleStopped");
const PropertyKey KEY_STOPPED_X("BadVehicleStoppedAtX");
const PropertyKey KEY_STOPPED_Y("BadVehicleStoppedAtY");

const PropertyKey FACTORY("Static_Factory");
const PropertyKey ENGINEER("Engineer");
const PropertyKey INFANTRY("Infantry");
const PropertyKey TANK("Tank");
const PropertyKey AA_TURRET("Static_AntiAirTurret");
const PropertyKey ARTILLERY("Static_ArtilleryTurret");
const PropertyKey BUNKER("Static_Bunker");
const PropertyKey MOVING("moving");
const PropertyKey DYING("dying");
const PropertyKey DYING_ON_GROUND("dyingonground");
const PropertyKey SPLATTING("splatting");

const float MAX_FRAME_TIME = 0.5f;
const float NEAR_FACTORY = 6.0f;
const float NEAR_UNIT = 9.0f;
const float LOW_FUEL = 0.3f;
const float REFUELLED = 0.9f;
// The enemy tank's purchase index in the opponent's products.
const int TANK_PRODUCT = 2;

float X(const orvel::Body& body) { return body.GetMatrix().m[12]; }
float Y(const orvel::Body& body) { return body.GetMatrix().m[13]; }

PropertyKey Id(const char* id) { return PropertyKey(id); }
}  // namespace

void TutorialComponent::Load(const orvel::PropertiesPtr& entry) {
    const PropertyKey soundKey("sound");
    if (entry->HasProperty(soundKey)) {
        soundName = PropertyKey::Intern(entry->GetString(soundKey));
        sound = CreateUnitSound(soundName);
    }
    const orvel::PointF airship = entry->GetPointF(PropertyKey("airshipOffset"));
    const orvel::PointF factory = entry->GetPointF(PropertyKey("factoryOffset"));
    const float scale = GetWorld()->GetScale();
    airshipOffsetX = airship.x / scale;
    airshipOffsetY = airship.y / scale;
    factoryOffsetX = factory.x / scale;
    factoryOffsetY = factory.y / scale;
}

void TutorialComponent::CopyFrom(const Component& prototype) {
    Component::CopyFrom(prototype);
    const TutorialComponent& other = static_cast<const TutorialComponent&>(prototype);
    soundName = other.soundName;
    if (other.sound) {
        sound = CreateUnitSound(soundName);
    }
    airshipOffsetX = other.airshipOffsetX;
    airshipOffsetY = other.airshipOffsetY;
    factoryOffsetX = other.factoryOffsetX;
    factoryOffsetY = other.factoryOffsetY;
    levelTime = other.levelTime;
    stepTime = other.stepTime;
}

bool TutorialComponent::HandleMessage(int id, intptr_t, void*) { return id == MESSAGE_DIE; }

std::shared_ptr<Component> TutorialComponent::Clone() const {
    return std::make_shared<TutorialComponent>();
}

void TutorialComponent::Update() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    const float dt = std::min(GetFrameTime(), MAX_FRAME_TIME);
    const int level = registry.GetInt(KEY_LEVEL);
    levelTime += dt;
    stepTime += dt;
    ownerMatrix = GetOwner()->GetMatrix();
    const bool tutorial = registry.Contains(KEY_TUTORIAL) && registry.GetBool(KEY_TUTORIAL);
    if (!dialog) {
        if (!registry.Contains(KEY_DIALOG_PTR)) {
            return;
        }
        dialog = registry.GetTutorialDialog(KEY_DIALOG_PTR);
    }
    if (tutorial) {
        switch (level) {
            case 0: RunLevel0(); break;
            case 1: RunLevel1(); break;
            case 2: RunLevel2(); break;
            case 3: RunLevel3(); break;
            default: break;
        }
    }
    if (TutorialDialogsEnabled()) {
        RunHints(tutorial, level);
    }
    RunLevelNumberHints(level);
    bodies.clear();
    snapped = false;
}

void TutorialComponent::RunLevel0() {
    const float* atOwner = ownerMatrix.m;
    const float ownerX = ownerMatrix.m[12];
    const float ownerY = ownerMatrix.m[13];
    if (!Marked("TUTORIAL_DIALOG_T0M0_Welcome") && !dialog->IsShowing() && levelTime > 4.0f) {
        ShowStep("TUTORIAL_DIALOG_T0M0_Welcome", 0.0f, 0.0f, false, atOwner);
        stepTime = 0.0f;
    }
    if (Marked("TUTORIAL_DIALOG_T0M0_Welcome") && !Marked("TUTORIAL_DIALOG_T0M1_ControllingAirship") &&
        !dialog->IsShowing()) {
        if (AbsVelocityX() > 1.5f) {
            Mark("TUTORIAL_DIALOG_T0M1_ControllingAirship");
            Mark("TUTORIAL_DIALOG_T0M1_5_HasMoved");
        }
        if (stepTime > 8.0f) {
            ShowStep("TUTORIAL_DIALOG_T0M1_ControllingAirship", ownerX + airshipOffsetX,
                     ownerY + airshipOffsetY, false, atOwner);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T0M1_ControllingAirship") &&
        !Marked("TUTORIAL_DIALOG_T0M2_GoToEnemyFactory") && !dialog->IsShowing()) {
        if (!Marked("TUTORIAL_DIALOG_T0M1_5_HasMoved")) {
            if (AbsVelocityX() > 1.5f) {
                Mark("TUTORIAL_DIALOG_T0M1_5_HasMoved");
                stepTime = 0.0f;
            }
        } else if (stepTime > 6.0f) {
            ShowStep("TUTORIAL_DIALOG_T0M2_GoToEnemyFactory", 0.0f, 0.0f, false, nullptr);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T0M2_GoToEnemyFactory") &&
        !Marked("TUTORIAL_DIALOG_T0M3_EnemyFactory") && !dialog->IsShowing()) {
        if (orvel::Body* factory = Find({false, GetOwnerTeam(), true, FACTORY, NEAR_FACTORY, {}})) {
            ShowStep("TUTORIAL_DIALOG_T0M3_EnemyFactory", X(*factory) + factoryOffsetX,
                     Y(*factory) + factoryOffsetY, false, atOwner);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T0M3_EnemyFactory") &&
        !Marked("TUTORIAL_DIALOG_T0M4_YourFactoryBuyEng") && !dialog->IsShowing()) {
        if (orvel::Body* factory = Find({false, GetOwnerTeam(), false, FACTORY, NEAR_FACTORY, {}})) {
            ShowStep("TUTORIAL_DIALOG_T0M4_YourFactoryBuyEng", X(*factory) + factoryOffsetX,
                     Y(*factory) + factoryOffsetY, false, atOwner);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T0M4_YourFactoryBuyEng") &&
        !Marked("TUTORIAL_DIALOG_T0M5_JustBoughtEng") && !dialog->IsShowing()) {
        if (orvel::Body* engineer =
                Find({false, GetOwnerTeam(), false, ENGINEER, NEAR_UNIT, {MOVING}})) {
            ShowAtBody("TUTORIAL_DIALOG_T0M5_JustBoughtEng", *engineer, false);
            dialog->SetPlayed(Id("TUTORIAL_DIALOG_Objective"), 1);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T0M5_JustBoughtEng") &&
        !Marked("TUTORIAL_DIALOG_T0M6_EngineerDied") && !dialog->IsShowing()) {
        if (Find({false, GetOwnerTeam(), false, ENGINEER, NEAR_UNIT, {DYING, DYING_ON_GROUND}})) {
            ShowStep("TUTORIAL_DIALOG_T0M6_EngineerDied", 0.0f, 0.0f, false, atOwner);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T0M6_EngineerDied") && !Marked("TUTORIAL_DIALOG_T0M7_Magnet") &&
        !dialog->IsShowing()) {
        if (Find({false, GetOwnerTeam(), false, ENGINEER, NEAR_UNIT, {MOVING}})) {
            ShowStep("TUTORIAL_DIALOG_T0M7_Magnet", ownerX + airshipOffsetX,
                     ownerY - 3.0f + airshipOffsetY, false, atOwner);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T0M7_Magnet") && !Marked("TUTORIAL_DIALOG_T0M8_TakeEngToFactory") &&
        !dialog->IsShowing() && MagnetHoldsAny()) {
        ShowStep("TUTORIAL_DIALOG_T0M8_TakeEngToFactory", 0.0f, 0.0f, false, atOwner);
    }
    if (Marked("TUTORIAL_DIALOG_T0M8_TakeEngToFactory") &&
        !Marked("TUTORIAL_DIALOG_T0M9_ThereIsTheFactory") && !dialog->IsShowing() &&
        MagnetHolds(GetOwnerTeam(), ENGINEER)) {
        if (orvel::Body* factory = Find({false, GetOwnerTeam(), true, FACTORY, NEAR_FACTORY, {}})) {
            ShowStep("TUTORIAL_DIALOG_T0M9_ThereIsTheFactory", X(*factory) + factoryOffsetX,
                     Y(*factory) + factoryOffsetY, false, atOwner);
        }
    }
    if (!Marked("TUTORIAL_DIALOG_T0M10_EngineerSplat") && !dialog->IsShowing()) {
        if (orvel::Body* engineer =
                Find({false, GetOwnerTeam(), false, ENGINEER, NEAR_UNIT, {SPLATTING}})) {
            ShowAtBody("TUTORIAL_DIALOG_T0M10_EngineerSplat", *engineer, false);
            dialog->UnmarkShownThisLevel(Id("TUTORIAL_DIALOG_T0M8_TakeEngToFactory"));
        }
    }
}

void TutorialComponent::RunLevel1() {
    const float* atOwner = ownerMatrix.m;
    const int own = GetOwnerTeam();
    if (!Marked("TUTORIAL_DIALOG_T1M0_TakeEngToFactory") && !dialog->IsShowing() &&
        levelTime > 6.0f) {
        ShowStep("TUTORIAL_DIALOG_T1M0_TakeEngToFactory", 0.0f, 0.0f, false, atOwner);
        stepTime = 0.0f;
    }
    if (!Marked("TUTORIAL_DIALOG_T1M1_AirTurretsBad") && !dialog->IsShowing() &&
        Find({false, own, false, ENGINEER, NEAR_UNIT, {DYING}})) {
        orvel::Body* turret = Find({false, -1, false, AA_TURRET, -1.0f, {}});
        ShowStep("TUTORIAL_DIALOG_T1M1_AirTurretsBad", turret ? X(*turret) : 0.0f,
                 turret ? Y(*turret) : 0.0f, false, atOwner);
        Mark("TUTORIAL_DIALOG_T1M0_TakeEngToFactory");
    }
    const bool lowFuel = HitPointRatio() < LOW_FUEL;
    if (!Marked("TUTORIAL_DIALOG_Refuelling") && !dialog->IsShowing() && lowFuel) {
        ShowStep("TUTORIAL_DIALOG_Refuelling", 600.0f, 580.0f, true, atOwner);
    }
    if (Marked("TUTORIAL_DIALOG_Refuelling") && !Marked("TUTORIAL_DIALOG_Refuelling2") &&
        !dialog->IsShowing() && lowFuel) {
        if (orvel::Body* factory = Find({false, own, false, FACTORY, NEAR_UNIT, {}})) {
            ShowStep("TUTORIAL_DIALOG_Refuelling2", X(*factory) + factoryOffsetX,
                     Y(*factory) + factoryOffsetY, false, atOwner);
        }
    }
    if (!Marked("TUTORIAL_DIALOG_T1M_GasTankHasFlashed") && lowFuel) {
        Mark("TUTORIAL_DIALOG_T1M_GasTankHasFlashed");
    }
    if (Marked("TUTORIAL_DIALOG_T1M1_AirTurretsBad") && !Marked("TUTORIAL_DIALOG_T1M1A_BuyInfantry") &&
        !dialog->IsShowing() &&
        (!Marked("TUTORIAL_DIALOG_T1M_GasTankHasFlashed") || HitPointRatio() >= REFUELLED) &&
        Find({false, own, false, FACTORY, NEAR_UNIT, {}})) {
        ShowStep("TUTORIAL_DIALOG_T1M1A_BuyInfantry", 0.0f, 0.0f, false, atOwner);
    }
    if (!Marked("TUTORIAL_DIALOG_T1M2_InfantryWatch") && !dialog->IsShowing()) {
        if (orvel::Body* infantry = Find({false, own, false, INFANTRY, NEAR_UNIT, {MOVING}})) {
            ShowAtBody("TUTORIAL_DIALOG_T1M2_InfantryWatch", *infantry, false);
            Mark("TUTORIAL_DIALOG_T1M0_TakeEngToFactory");
        }
    }
    if (!Marked("TUTORIAL_DIALOG_T1M3_TurretDeadMakeEng") && !dialog->IsShowing()) {
        if (orvel::Body* turret = Find({false, 0, false, AA_TURRET, NEAR_UNIT, {}})) {
            ShowAtBody("TUTORIAL_DIALOG_T1M3_TurretDeadMakeEng", *turret, false);
            Mark("TUTORIAL_DIALOG_T1M2_InfantryWatch");
            Mark("TUTORIAL_DIALOG_T1M1_AirTurretsBad");
        }
    }
    if ((Marked("TUTORIAL_DIALOG_T1M3_TurretDeadMakeEng") ||
         Marked("TUTORIAL_DIALOG_T1M5_TookTheTurret")) &&
        !Marked("TUTORIAL_DIALOG_T1M4_TakeEngToFactory2") && !dialog->IsShowing()) {
        const orvel::Body* gunner = nullptr;
        if (orvel::Body* turret = Find({false, own, false, AA_TURRET, -1.0f, {}})) {
            if (ComponentBody* unit = dynamic_cast<ComponentBody*>(turret)) {
                if (auto* turretComponent = dynamic_cast<TurretComponent*>(
                        unit->GetComponent(PropertyKey("TurretComponent")))) {
                    gunner = turretComponent->GetGunner();
                }
            }
        }
        const Search engineers{false, own, false, ENGINEER, NEAR_UNIT, {MOVING}};
        TakeSnapshot();
        for (const auto& body : bodies) {
            if (Matches(*body, engineers, gunner)) {
                ShowAtBody("TUTORIAL_DIALOG_T1M4_TakeEngToFactory2", *body, false);
                break;
            }
        }
    }
    if (!Marked("TUTORIAL_DIALOG_T1M5_TookTheTurret") && !dialog->IsShowing()) {
        if (orvel::Body* turret = Find({false, own, false, AA_TURRET, NEAR_UNIT, {}})) {
            ShowAtBody("TUTORIAL_DIALOG_T1M5_TookTheTurret", *turret, false);
        }
    }
}

void TutorialComponent::RunLevel2() {
    const float* atOwner = ownerMatrix.m;
    const int own = GetOwnerTeam();
    if (!Marked("TUTORIAL_DIALOG_T2M0_GroundTurretInf") && !dialog->IsShowing() &&
        levelTime > 4.0f) {
        if (orvel::Body* turret = Find({false, -1, false, ARTILLERY, -1.0f, {}})) {
            ShowAtBody("TUTORIAL_DIALOG_T2M0_GroundTurretInf", *turret, false);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T2M0_GroundTurretInf") &&
        !Marked("TUTORIAL_DIALOG_T2M1_WatchInfantry") && !dialog->IsShowing()) {
        if (orvel::Body* infantry = Find({false, own, false, INFANTRY, NEAR_UNIT, {MOVING}})) {
            ShowAtBody("TUTORIAL_DIALOG_T2M1_WatchInfantry", *infantry, false);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T2M1_WatchInfantry") &&
        !Marked("TUTORIAL_DIALOG_T2M2_InfantryShot") && !dialog->IsShowing()) {
        if (orvel::Body* infantry =
                Find({false, own, false, INFANTRY, NEAR_UNIT, {DYING_ON_GROUND}})) {
            ShowAtBody("TUTORIAL_DIALOG_T2M2_InfantryShot", *infantry, false);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T2M2_InfantryShot") && !Marked("TUTORIAL_DIALOG_T2M5_MagdInfCanSeeTurr") &&
        !dialog->IsShowing() && MagnetHolds(own, INFANTRY)) {
        if (orvel::Body* turret = Find({false, -1, false, ARTILLERY, NEAR_UNIT, {}})) {
            ShowStep("TUTORIAL_DIALOG_T2M5_MagdInfCanSeeTurr", X(*turret) + 1.0f,
                     Y(*turret) + 0.5f, false, turret->GetMatrix().m);
            Mark("TUTORIAL_DIALOG_T2M4_MagdInfNoSeeTurr");
        } else if (!Marked("TUTORIAL_DIALOG_T2M4_MagdInfNoSeeTurr")) {
            ShowStep("TUTORIAL_DIALOG_T2M4_MagdInfNoSeeTurr", 0.0f, 0.0f, false, atOwner);
        }
    }
    if (!Marked("TUTORIAL_DIALOG_T2M7_TurretDead") && !dialog->IsShowing()) {
        if (orvel::Body* turret = Find({false, 0, false, ARTILLERY, NEAR_UNIT, {}})) {
            ShowAtBody("TUTORIAL_DIALOG_T2M7_TurretDead", *turret, false);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T2M7_TurretDead") && !Marked("TUTORIAL_DIALOG_T2M8_GotTurret") &&
        !dialog->IsShowing()) {
        if (orvel::Body* turret = Find({false, 1, false, ARTILLERY, NEAR_UNIT, {}})) {
            ShowAtBody("TUTORIAL_DIALOG_T2M8_GotTurret", *turret, false);
            orvel::GlobalProperties().SetBool(KEY_ENEMY_BUY, true);
        }
    }
}

void TutorialComponent::RunLevel3() {
    const float* atOwner = ownerMatrix.m;
    orvel::Attributes& registry = orvel::GlobalProperties();
    const char* bunkerSteps[] = {"TUTORIAL_DIALOG_T3M0_EnemyBunker",
                                 "TUTORIAL_DIALOG_T3M1_NeutralBunker",
                                 "TUTORIAL_DIALOG_T3M2_FriendlyBunker"};
    const int bunkerTeams[] = {-1, 0, 1};
    for (int i = 0; i < 3; ++i) {
        if (Marked(bunkerSteps[i]) || (i > 0 && !Marked(bunkerSteps[i - 1])) ||
            dialog->IsShowing() || levelTime <= 4.0f) {
            continue;
        }
        if (orvel::Body* bunker = Find({false, bunkerTeams[i], false, BUNKER, -1.0f, {}})) {
            ShowAtBody(bunkerSteps[i], *bunker, false);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T3M2_FriendlyBunker") &&
        !(Marked("TUTORIAL_DIALOG_T3M3_EnemyTank") && Marked("TUTORIAL_DIALOG_T3M4_TankAtBunker") &&
          Marked("TUTORIAL_DIALOG_T3M5_TankDies")) &&
        !Find({false, -1, false, TANK, -1.0f, {}})) {
        registry.SetInt(KEY_ENEMY_BUY_UNIT, TANK_PRODUCT);
    }
    if (Marked("TUTORIAL_DIALOG_T3M2_FriendlyBunker") && !Marked("TUTORIAL_DIALOG_T3M3_EnemyTank") &&
        !dialog->IsShowing()) {
        if (orvel::Body* tank = Find({false, -1, false, TANK, NEAR_UNIT, {}})) {
            ShowAtBody("TUTORIAL_DIALOG_T3M3_EnemyTank", *tank, false);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T3M3_EnemyTank") && !Marked("TUTORIAL_DIALOG_T3M4_TankAtBunker") &&
        !dialog->IsShowing() && registry.Contains(KEY_STOPPED)) {
        const float x = registry.GetFloat(KEY_STOPPED_X);
        const float y = registry.GetFloat(KEY_STOPPED_Y);
        if (std::fabs(x - GetOwner()->GetMatrix().m[12]) < NEAR_UNIT) {
            registry.Erase(KEY_STOPPED);
            registry.Erase(KEY_STOPPED_X);
            registry.Erase(KEY_STOPPED_Y);
            ShowStep("TUTORIAL_DIALOG_T3M4_TankAtBunker", x, y, false, atOwner);
        }
    }
    if (Marked("TUTORIAL_DIALOG_T3M4_TankAtBunker") && !Marked("TUTORIAL_DIALOG_T3M5_TankDies") &&
        !dialog->IsShowing()) {
        if (orvel::Body* tank = Find({false, -1, false, TANK, NEAR_UNIT, {DYING_ON_GROUND}})) {
            ShowAtBody("TUTORIAL_DIALOG_T3M5_TankDies", *tank, false);
            registry.SetBool(KEY_ENEMY_BUY, true);
        }
    }
}

void TutorialComponent::RunHints(bool tutorial, int level) {
    const float* atOwner = ownerMatrix.m;
    const int own = GetOwnerTeam();
    const bool tutorialLevel1 = tutorial && level == 1;
    orvel::Attributes& registry = orvel::GlobalProperties();
    const int highestTutorial = registry.GetProperties(KEY_SETTINGS)->GetInt(KEY_HIGHEST_TUTORIAL);
    if (!Played("TUTORIAL_DIALOG_LongTimeToWin") && !dialog->IsShowing() && levelTime > 180.0f) {
        ShowHint("TUTORIAL_DIALOG_LongTimeToWin", "TUTORIAL_DIALOG_LongTimeToWin", 0.0f, 0.0f,
                 false, atOwner);
    }
    const bool lowFuel = HitPointRatio() < LOW_FUEL;
    if (!Played("TUTORIAL_DIALOG_Refuelling") && !dialog->IsShowing() && !tutorialLevel1 &&
        lowFuel) {
        ShowHint("TUTORIAL_DIALOG_Refuelling", "TUTORIAL_DIALOG_Refuelling", 600.0f, 580.0f, true,
                 atOwner);
    }
    if (!Played("TUTORIAL_DIALOG_Refuelling2") && Played("TUTORIAL_DIALOG_Refuelling") &&
        !dialog->IsShowing() && !tutorialLevel1 && lowFuel) {
        if (orvel::Body* factory = Find({false, own, false, FACTORY, NEAR_UNIT, {}})) {
            ShowHint("TUTORIAL_DIALOG_Refuelling2", "TUTORIAL_DIALOG_Refuelling2",
                     X(*factory) + factoryOffsetX, Y(*factory) + factoryOffsetY, false, atOwner);
        }
    }
    if (!Played("TUTORIAL_DIALOG_Objective") && !dialog->IsShowing() && !tutorial) {
        if (highestTutorial > 0) {
            dialog->SetPlayed(Id("TUTORIAL_DIALOG_Objective"), 1);
        } else if (orvel::Body* engineer =
                       Find({false, own, false, ENGINEER, NEAR_UNIT, {MOVING}})) {
            ShowAtBody("TUTORIAL_DIALOG_Objective", *engineer, true);
        }
    }
    const char* bunkerHints[][2] = {{"TUTORIAL_DIALOG_MagnetBunker", "Static_MagnetBunker"},
                                    {"TUTORIAL_DIALOG_FanBunker", "Static_FanBunker"}};
    for (const auto& hint : bunkerHints) {
        if (!Played(hint[0]) && !dialog->IsShowing()) {
            if (orvel::Body* bunker = Find({true, 0, false, PropertyKey(hint[1]), NEAR_UNIT, {}})) {
                ShowAtBody(hint[0], *bunker, true);
            }
        }
    }
    if (!Played("TUTORIAL_DIALOG_Welcome") && !dialog->IsShowing() && !tutorial &&
        levelTime > 4.0f) {
        ShowHint(highestTutorial > 0 ? "TUTORIAL_DIALOG_Welcome" : "TUTORIAL_DIALOG_WelcomeNoTutorial",
                 "TUTORIAL_DIALOG_Welcome", 0.0f, 0.0f, false, atOwner);
    }
}

void TutorialComponent::RunLevelNumberHints(int level) {
    const char* ids[] = {"TUTORIAL_DIALOG_NoTanks", "TUTORIAL_DIALOG_NoInfantry"};
    const int levels[] = {11, 13};
    for (int i = 0; i < 2; ++i) {
        if (!Marked(ids[i]) && !dialog->IsShowing() && level == levels[i] && levelTime > 4.0f) {
            ShowStep(ids[i], 0.0f, 0.0f, false, ownerMatrix.m);
        }
    }
}

void TutorialComponent::TakeSnapshot() {
    if (!snapped) {
        GetWorld()->CopyBodyList(bodies);
        snapped = true;
    }
}

orvel::Body* TutorialComponent::Find(const Search& search) {
    TakeSnapshot();
    for (const auto& body : bodies) {
        if (Matches(*body, search, nullptr)) {
            return body.get();
        }
    }
    return nullptr;
}

bool TutorialComponent::Matches(const orvel::Body& body, const Search& search,
                                const orvel::Body* excluded) const {
    if (!search.anyTeam && (body.GetTeam() == search.team) == search.otherTeam) {
        return false;
    }
    if (search.type != PropertyKey() && body.GetObjectName() != search.type) {
        return false;
    }
    if (&body == excluded) {
        return false;
    }
    if (search.near >= 0.0f) {
        const float ownerX = GetOwner()->GetMatrix().m[12];
        const float x = X(body);
        if (x < ownerX - search.near || x > ownerX + search.near) {
            return false;
        }
    }
    if (search.states.empty()) {
        return true;
    }
    const ComponentBody* unit = dynamic_cast<const ComponentBody*>(&body);
    const SpriteComponent* sprite =
        unit ? dynamic_cast<const SpriteComponent*>(unit->GetComponent(PropertyKey("SpriteComponent")))
             : nullptr;
    if (!sprite) {
        return false;
    }
    return std::find(search.states.begin(), search.states.end(), sprite->GetStateName()) !=
           search.states.end();
}

bool TutorialComponent::MagnetHolds(int team, PropertyKey type) const {
    const auto* magnet =
        dynamic_cast<MagnetComponent*>(GetOwner()->GetComponent(PropertyKey("MagnetComponent")));
    if (!magnet) {
        return false;
    }
    for (const ComponentBody* held : magnet->GetHeldBodies()) {
        if (held->GetTeam() == team && held->GetObjectName() == type) {
            return true;
        }
    }
    return false;
}

bool TutorialComponent::MagnetHoldsAny() const {
    const auto* magnet =
        dynamic_cast<MagnetComponent*>(GetOwner()->GetComponent(PropertyKey("MagnetComponent")));
    return magnet && !magnet->GetHeldBodies().empty();
}

float TutorialComponent::AbsVelocityX() const {
    float velocity[3] = {};
    PhysBodyGetVelocity(GetOwner()->GetPhysBody(), velocity);
    return std::fabs(velocity[0]);
}

float TutorialComponent::HitPointRatio() const {
    return static_cast<float>(GetOwner()->GetHitPoints()) /
           static_cast<float>(GetOwner()->GetMaxHitPoints());
}

bool TutorialComponent::Marked(const char* id) const {
    return dialog->WasShownThisLevel(Id(id));
}

void TutorialComponent::Mark(const char* id) { dialog->MarkShownThisLevel(Id(id)); }

bool TutorialComponent::Played(const char* id) const { return dialog->IsPlayed(Id(id)); }

void TutorialComponent::ShowStep(const char* id, float x, float y, bool screen,
                                 const float* soundAt) {
    dialog->Show(Id(id), x, y, screen);
    Mark(id);
    if (sound && soundAt) {
        sound->PlayAt(soundAt);
    }
}

void TutorialComponent::ShowHint(const char* id, const char* flag, float x, float y, bool screen,
                                 const float* soundAt) {
    dialog->Show(Id(id), x, y, screen);
    dialog->SetPlayed(Id(flag), 1);
    if (sound && soundAt) {
        sound->PlayAt(soundAt);
    }
}

void TutorialComponent::ShowAtBody(const char* id, orvel::Body& body, bool hint) {
    const orvel::Matrix4 matrix = body.GetMatrix();
    if (hint) {
        ShowHint(id, id, matrix.m[12], matrix.m[13], false, matrix.m);
    } else {
        ShowStep(id, matrix.m[12], matrix.m[13], false, matrix.m);
    }
}

void RegisterTutorialComponent() {
    ComponentRegistry::Instance().Register<TutorialComponent>("TutorialComponent");
}
