#include "game/play/mechanica_state.h"

#include <algorithm>
#include <iterator>

#include <GL/gl.h>

#include "app/settings.h"
#include "app/state_machine.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/physics/material_groups.h"
#include "game/play/level_ground.h"
#include "game/play/level_progress.h"
#include "game/play/minimap.h"
#include "game/play/play_field.h"
#include "game/play/tutorial_component.h"
#include "game/units/components/goto_component.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_Mechanica");

const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_SOUND_EFFECTS("TARNMOORE_SoundEffects");
const PropertyKey KEY_MUSIC("TARNMOORE_Music");
const PropertyKey KEY_MAGNET_TOGGLE("TARNMOORE_MagnetToggle");
const PropertyKey KEY_FULL_MONEY("TUTORIAL_DIALOG_FullMoney");
const PropertyKey KEY_SOUND_MANAGER("qSoundManager");
const PropertyKey KEY_OGG_PLAYER("qOggPlayer");
const PropertyKey KEY_OBJECT_PROPERTIES("qObjectProperties");
const PropertyKey KEY_UNIT_STATS("qUnitStats");
const PropertyKey KEY_AI_CAPABILITIES("AI_COMPONENT_Capabilities");
const PropertyKey KEY_DIFFICULTY("difficulty");
const PropertyKey KEY_GOOD_VEHICLE_STOPPED("GoodVehicleStopped");
const PropertyKey KEY_RESUME("Resume");
const PropertyKey KEY_IS_TUTORIAL_LEVEL("isTutorialLevel");

const PropertyKey TRIGGER_WIN("Win");
const PropertyKey TRIGGER_TUTORIAL_WIN("TutorialWin");
const PropertyKey TRIGGER_LOSE("Lose");
const PropertyKey TRIGGER_HELP("Help");

const PropertyKey FACTORY_COMPONENT("FactoryComponent");
const PropertyKey GOTO_COMPONENT("GotoComponent");
const PropertyKey ENGINEER("Engineer");
const PropertyKey GOOD_AIRSHIP("GoodAirShip");
const PropertyKey GOOD_AIRSHIP_AI("GoodAirShip_AI");
const PropertyKey BAD_AIRSHIP("BadAirShip");
// Buildings that a bad side's engineer inside holds for it.
const PropertyKey MANNED_BUILDINGS[] = {PropertyKey("Static_AntiAirTurret"),
                                        PropertyKey("Static_ArtilleryTurret"),
                                        PropertyKey("Static_Bunker")};
// The unit types counted in the level's statistics, in the order the
// statistics screen shows them.
const char* const COUNTED_TYPES[] = {"Infantry",    "Engineer", "Tank",   "FlakTruck",
                                     "BalloonBomb", "AutoGyro", "Buster", "GoodAirShip"};

// Where the airships start, in pixels, and how high above a manned
// building its engineer starts.
const float GOOD_AIRSHIP_X = 560.0f;
const float BAD_AIRSHIP_X = 1560.0f;
const float AIRSHIP_Y = 300.0f;
const float ENGINEER_RISE = 50.0f;

const PropertyKey KEY_GOOD_CASH_FLOW("goodCashFlowModifier");
const PropertyKey KEY_BAD_CASH_FLOW("badCashFlowModifier");
const PropertyKey KEY_GOOD_RANGE("goodRangeModifier");
const PropertyKey KEY_BAD_RANGE("badRangeModifier");

const PropertyKey SOUND_MAGNET("snd_magnet_on");
const PropertyKey SOUND_MONEY("snd_money_spent");

const char MATERIALS_FILE[] = "resources/materials1.txt";
const char UI_FOLDER[] = "resources/UI/";
const char GOTO_MARKER_FILE[] = "resources/sprites/GotoTarget/GotoTarget.txt";
const char SKIRMISH_PURCHASE_GROUPS[] = "resources/Skirmish/purchasegroups.txt";

const int KEY_F1 = 47;
const int KEY_ESCAPE = 59;

// Seconds between a factory's fall and the end of the level, and the time
// the music takes to fade out meanwhile.
const float GAME_OVER_TIME = 4.0f;
const int GAME_OVER_FADE_MS = 4000;
// Seconds of a still mouse after which the pointer hides.
const float CURSOR_IDLE_TIME = 5.0f;
// Where the full-purse hint's arrow points: the purse, screen pixels.
const float PURSE_X = 50.0f;
const float PURSE_Y = 548.0f;
// The hum of the magnet fades out this fast once it is off.
const int HUM_FADE_MS = 100;
// The banner's frames, and where it moves when a badge shows above it.
const int BANNER_WON = 0;
const int BANNER_LOST = 1;
const float BANNER_BELOW_BADGE_Y = 230.0f;
const float BADGE_TOP = 380.0f;

// Positional sound: the distance from the listener at which a sound is
// panned fully to one side, and the pan's swing.
const float SOUND_VIEW_WIDTH = 800.0f;
const float SOUND_HALF_VIEW_WIDTH = 400.0f;
const float SOUND_PAN_SWING = 127.0f;

PauseMenuFactory& PauseMenuMaker() {
    static PauseMenuFactory factory;
    return factory;
}

void SetPlayClearColour() { glClearColor(MINIMAP_RED, MINIMAP_GREEN, MINIMAP_BLUE, 0.0f); }

}  // namespace

void MechanicaState::SetPauseMenuFactory(PauseMenuFactory factory) {
    PauseMenuMaker() = std::move(factory);
}

MechanicaState::MechanicaState(PropertyKey stateName) : State(stateName) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    mode = ReadPlayMode(registry);
    cursorVisible = mode.cursorVisible;
    mouseSteeringBlocked = mode.mouseSteeringBlocked;
    settings = registry.GetProperties(KEY_SETTINGS);
    tutorialDialog.reset(new TutorialDialog(*this));

    world.reset(new orvel::Mechanica());
    if (world->GetPhysWorld() == nullptr) {
        throw orvel::ExceptionGeneral("Error creating new physics engine.");
    }
    world->SetScale(WORLD_SCALE);
    orvel::LoadMaterialGroups(*world, MATERIALS_FILE);

    unitStats = std::make_shared<UnitStats>();
    for (const char* type : COUNTED_TYPES) {
        unitStats->AddUnitType(PropertyKey(type));
    }
    soundManager = registry.GetSoundManager(KEY_SOUND_MANAGER);
    magnetSound = soundManager->CreateSound(SOUND_MAGNET);
    moneySound = soundManager->CreateSound(SOUND_MONEY);
    spriteManager = std::make_shared<orvel::SpriteManager>();
    hudSpriteManager = std::make_shared<orvel::SpriteManager>();
    objectProperties = registry.GetProperties(KEY_OBJECT_PROPERTIES);
    if (registry.Contains(KEY_OGG_PLAYER)) {
        oggPlayer = registry.GetOggPlayer(KEY_OGG_PLAYER);
    }

    try {
        LoadLevel();
        gotoMarker = spriteManager->CreateSprite(GOTO_MARKER_FILE, 1);
        gotoMarker->alpha = 0.0f;
        hud.reset(new Hud(UI_FOLDER, *hudSpriteManager));
        moneyBags.reset(
            new MoneyBags(hud->GetMoneyBags(), hudSpriteManager, hud->GetNeedle(), moneySound));
    } catch (...) {
        // The bodies tell their watchers that they go away while the world
        // is torn down; this state must not hear it half-built.
        DisconnectAll();
        orvel::GlobalProperties().Erase(KEY_AI_CAPABILITIES);
        throw;
    }
    Commit();
}

MechanicaState::~MechanicaState() {
    soundManager->Disable();
    if (oggPlayer) {
        oggPlayer->Close();
    }
    DisconnectAll();
    soundManager->SilenceAllVoices();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    TrySaveSettings();
    if (settings->GetInt(KEY_SOUND_EFFECTS) != 0) {
        soundManager->Enable();
    }
}

void MechanicaState::LoadLevel() {
    level = ReadLevelFile(mode.levelFolder, mode.isSkirmishMode);
    scenery.reset(new PlayFieldScenery(level, *spriteManager));
    levelWidth = scenery->GetLevelWidth();
    const std::shared_ptr<orvel::TerrainBody> terrain = BuildLevelGround(*world, level, levelWidth);
    terrainBody = terrain.get();
    terrainBody->AddWatcher(this);
    PlaceObjects();
    SetUpPurchaseMenus();
    if (mode.isSkirmishMode) {
        level.purchaseGroups = ReadPurchaseGroupsFile(SKIRMISH_PURCHASE_GROUPS);
    }
    SetUpPurchaseGroups();
    enemyBuy = level.enemyBuy;

    purchaseTimePerUnit[0] = level.purchaseTimePerUnit;
    purchaseTimePerUnit[1] = level.purchaseTimePerUnit;
    PublishCapabilities();
    goodAirship = SpawnAirship(mode.goodAirshipControl != 0 ? GOOD_AIRSHIP : GOOD_AIRSHIP_AI,
                               TEAM_GOOD, GOOD_AIRSHIP_X);
    if (auto* steering = static_cast<GotoComponent*>(goodAirship->GetComponent(GOTO_COMPONENT))) {
        const orvel::Vector4 start = goodAirship->GetPosition();
        steering->SetTargetPoint(start.x, start.y);
    }
    goodAirshipMatrix = goodAirship->GetMatrix();
    if (level.enemyAirship || mode.isSkirmishMode) {
        badAirship = SpawnAirship(BAD_AIRSHIP, TEAM_BAD, BAD_AIRSHIP_X);
    }
}

void MechanicaState::PlaceObjects() {
    for (size_t i = 0; i < level.placedObjects.size(); ++i) {
        try {
            PlaceObject(level.placedObjects[i]);
        } catch (const orvel::Exception& error) {
            // A level names its objects; say which entry of which level failed.
            throw orvel::ExceptionGeneral("Level file \"" + level.path +
                                          "\": \"placedObjects\" entry " + std::to_string(i + 1) +
                                          ": " + error.What());
        }
    }
}

void MechanicaState::PlaceObject(const PlacedObject& object) {
    orvel::Matrix4 matrix;
    std::copy(object.matrix, object.matrix + 16, matrix.m);
    for (int i = 12; i < 15; ++i) {
        matrix.m[i] /= WORLD_SCALE;
    }
    int team = object.team;
    const bool manned = std::find(std::begin(MANNED_BUILDINGS), std::end(MANNED_BUILDINGS),
                                  object.type) != std::end(MANNED_BUILDINGS);
    if (manned && team == TEAM_BAD) {
        orvel::Matrix4 above = orvel::Matrix4::Identity();
        above.SetPosition(
            orvel::Vector4(matrix.m[12], matrix.m[13] + ENGINEER_RISE / WORLD_SCALE, matrix.m[14]));
        SpawnUnit(ENGINEER, TEAM_BAD, above);
        unitStats->Increment(UnitStats::KIND_GOT, ENGINEER, TEAM_BAD);
        team = TEAM_NONE;
    }
    const ComponentBodyPtr body = SpawnUnit(object.type, team, matrix);
    if (int16_t(object.priority) != 0) {
        body->HandleEvent(EVENT_REBUILD_SPRITE, int16_t(object.priority), nullptr);
    }
    if (object.type == STATIC_FACTORY && team != TEAM_NONE) {
        KeepFactory(object, body.get());
    }
}

ComponentBodyPtr MechanicaState::SpawnUnit(PropertyKey type, int team,
                                           const orvel::Matrix4& matrix) {
    const ComponentBodyPtr body = std::make_shared<ComponentBody>();
    body->SpawnUnit(world.get(), spriteManager.get(), soundManager.get(), objectProperties, type,
                    team);
    body->SetFacingMatrix(matrix);
    world->AddBody(body);
    body->SendMessage(MESSAGE_SET_ARMED, 0, nullptr);
    return body;
}

// A side's factory decides the match when it falls, so the state watches it.
void MechanicaState::KeepFactory(const PlacedObject& object, ComponentBody* body) {
    FactoryComponent* factory =
        static_cast<FactoryComponent*>(body->GetComponent(FACTORY_COMPONENT));
    if (factory == nullptr) {
        throw orvel::ExceptionGeneral("the " + object.type.GetName() +
                                      " of a side is no factory: its definition has no " +
                                      FACTORY_COMPONENT.GetName() + ".");
    }
    body->AddWatcher(this);
    if (object.team == TEAM_GOOD) {
        goodFactoryBody = body;
        goodFactory = factory;
    } else {
        badFactoryBody = body;
        badFactory = factory;
    }
}

// The computer's pilots read what they may do when their airships are made,
// so the level's capabilities are in the registry before that. Each level
// starts from its own: one without any lets the opponent do everything,
// whatever the level before allowed. Cadets meet an opponent that leaves
// its flak trucks where they stand.
void MechanicaState::PublishCapabilities() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (!level.aiCapabilities) {
        registry.Erase(KEY_AI_CAPABILITIES);
        return;
    }
    if (registry.Contains(KEY_DIFFICULTY) && registry.GetInt(KEY_DIFFICULTY) == 0) {
        level.aiCapabilities->SetBool(PropertyKey("carryFlakTruckOffensively"), false);
        level.aiCapabilities->SetBool(PropertyKey("carryFlakTruckDefensively"), false);
    }
    registry[KEY_AI_CAPABILITIES] = level.aiCapabilities;
}

ComponentBodyPtr MechanicaState::SpawnAirship(PropertyKey type, int team, float x) {
    const ComponentBodyPtr airship = std::make_shared<ComponentBody>();
    airship->SpawnUnit(world.get(), spriteManager.get(), soundManager.get(), objectProperties, type,
                       team);
    airship->SetPosition(orvel::Vector4(x / WORLD_SCALE, AIRSHIP_Y / WORLD_SCALE, 0.0f));
    airship->AddWatcher(this);
    world->AddBody(airship);
    unitStats->Increment(UnitStats::KIND_GOT, airship->GetObjectName(), airship->GetTeam());
    return airship;
}

// Everything that outlives a failed load is done only once the level has
// loaded: the registry values, the sound switches and the music.
void MechanicaState::Commit() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    registry.SetBool(KEY_GOOD_VEHICLE_STOPPED, false);
    registry[KEY_UNIT_STATS] = unitStats;

    soundManager->SetPositionScale(WORLD_SCALE);
    soundManager->SetViewWidth(SOUND_VIEW_WIDTH);
    soundManager->SetViewHalfWidth(SOUND_HALF_VIEW_WIDTH);
    soundManager->SetPanSwing(SOUND_PAN_SWING);
    if (settings->GetInt(KEY_SOUND_EFFECTS) == 0) {
        soundManager->Disable();
    }
    if (oggPlayer && !level.music.empty()) {
        oggPlayer->Open(level.music);
    }
    SetPlayClearColour();
}

PropertyKey MechanicaState::GetName() const { return STATE_NAME; }

orvel::StatePtr MechanicaState::Update(const orvel::Input& input, float dt) {
    if (const orvel::StatePtr next = triggers.FireKept(*this)) {
        return next;
    }
    magnetToggle = settings->GetInt(KEY_MAGNET_TOGGLE) != 0;
    mouseX = input.GetMouseX();
    mouseY = input.GetMouseY();
    if (!firstFrameDone) {
        ApplyDifficultyModifiers();
        firstFrameDone = true;
    }
    if (paused) {
        return PauseStep(input, dt);
    }
    if (tutorialDialog->IsShowing()) {
        if (oggPlayer) {
            oggPlayer->StopStream();
        }
        tutorialDialog->Update(input, dt);
        if (magnetSound && magnetSound->IsPlaying()) {
            magnetSound->Stop();
        }
        return orvel::StatePtr();
    }
    if (gameOver) {
        return GameOverStep(dt);
    }
    FeedMusic();
    if (input.KeyPressed(KEY_ESCAPE)) {
        Pause();
        return orvel::StatePtr();
    }
    if (input.KeyPressed(KEY_F1)) {
        return LeaveLevel(TRIGGER_HELP);
    }
    TrackCursor(input, dt);
    SteerAirship(input);
    ShowFullMoneyHint();
    HumMagnet();
    if ((mode.goodPurchaseControl & CONTROL_MOUSE) != 0) {
        TrackPurchaseBar(input);
    }
    HandleGoodPurchases(input, dt);
    if (mode.isTutorialLevel) {
        TutorialPurchases();
    }
    HandleBadPurchases(input, dt);
    StepWorld(dt);
    HandBackAirships();
    world->ReleaseKeptObjects();
    const orvel::StatePtr next = TestEndOfLevel();
    if (!gameOver && goodFactory != nullptr) {
        moneyBags->Update(dt, purchaseRecords, *goodFactory);
    }
    return next;
}

orvel::StatePtr MechanicaState::PauseStep(const orvel::Input& input, float dt) {
    if (pauseMenu) {
        if (const orvel::StatePtr next = pauseMenu->Update(input, dt)) {
            return next;
        }
    }
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (input.KeyPressed(KEY_ESCAPE) || registry.Contains(KEY_RESUME)) {
        paused = false;
        pauseMenu.reset();
        registry.Erase(KEY_RESUME);
        if (magnetSound && magnetSound->IsPlaying()) {
            magnetSound->Stop();
        }
    }
    return orvel::StatePtr();
}

void MechanicaState::Pause() {
    if (oggPlayer) {
        oggPlayer->StopStream();
    }
    soundManager->SilenceAllVoices();
    const PauseMenuFactory& factory = PauseMenuMaker();
    if (factory) {
        pauseMenu = factory(std::weak_ptr<orvel::State>(shared_from_this()));
    }
    paused = true;
}

orvel::StatePtr MechanicaState::GameOverStep(float dt) {
    gameOverCountdown -= dt;
    if (gameOverCountdown <= 0.0f) {
        if (badFactoryBody == nullptr) {
            const bool tutorial = RegistryFlag(orvel::GlobalProperties(), KEY_IS_TUTORIAL_LEVEL);
            return LeaveLevel(tutorial ? TRIGGER_TUTORIAL_WIN : TRIGGER_WIN);
        }
        if (goodFactoryBody == nullptr) {
            return LeaveLevel(TRIGGER_LOSE);
        }
    }
    FeedMusic();
    return orvel::StatePtr();
}

orvel::StatePtr MechanicaState::LeaveLevel(PropertyKey trigger) {
    if (oggPlayer) {
        oggPlayer->StopStream();
    }
    soundManager->SilenceAllVoices();
    return triggers.Fire(*this, trigger);
}

void MechanicaState::FeedMusic() {
    if (!oggPlayer || !oggPlayer->IsOpen() || settings->GetInt(KEY_MUSIC) == 0) {
        return;
    }
    if (!oggPlayer->IsStreaming() && !oggPlayer->StartStream()) {
        return;
    }
    oggPlayer->FillBuffer();
}

void MechanicaState::TrackCursor(const orvel::Input& input, float dt) {
    const bool moved = input.GetMickeysX() != 0 || input.GetMickeysY() != 0;
    const bool held = (input.GetMouseButtons() & 1) != 0;
    if (cursorVisible && !moved && !held) {
        cursorIdleTime += dt;
        if (cursorIdleTime > CURSOR_IDLE_TIME) {
            cursorVisible = false;
        }
    }
    const bool byMouse =
        ((mode.goodAirshipControl | mode.goodPurchaseControl) & CONTROL_MOUSE) != 0;
    if (byMouse && (moved || held)) {
        cursorVisible = true;
        cursorIdleTime = 0.0f;
    }
}

void MechanicaState::ShowFullMoneyHint() {
    if (mode.isTutorialLevel || goodFactory == nullptr || mode.currentLevel <= 1 ||
        !TutorialDialogsEnabled() || tutorialDialog->IsPlayed(KEY_FULL_MONEY) ||
        goodFactory->GetDollars() != goodFactory->GetMaxDollars()) {
        return;
    }
    tutorialDialog->Show(KEY_FULL_MONEY, PURSE_X, PURSE_Y, true);
    tutorialDialog->SetPlayed(KEY_FULL_MONEY, 1);
}

void MechanicaState::HumMagnet() {
    if (!magnetSound) {
        return;
    }
    if (!magnetOn) {
        if (magnetSound->GetVolume() > 0) {
            magnetSound->FadeOut(HUM_FADE_MS);
        }
        return;
    }
    if (!magnetSound->IsPlaying()) {
        magnetSound->Play();
    }
    if (!magnetSound->IsAtSampleVolume()) {
        magnetSound->RestoreVolume();
    }
}

void MechanicaState::StepWorld(float dt) {
    world->PreStepBodies();
    world->Update(dt);
    spriteManager->Update(dt);
    hudSpriteManager->Update(dt);
    world->UpdateBodies();
}

// A destroyed airship goes back to its factory, to be bought again.
void MechanicaState::HandBackAirships() {
    if (!goodAirship->IsAlive()) {
        thruster = nullptr;
        gotoComponent = nullptr;
        magnet = nullptr;
    }
    if (!goodAirship->IsAlive() && goodFactory != nullptr &&
        !goodFactory->CanBuy(PRODUCT_AIRSHIP)) {
        goodFactory->HoldBody(PRODUCT_AIRSHIP, goodAirship, false);
    }
    if (badAirship && !badAirship->IsAlive() && badFactory != nullptr &&
        !badFactory->CanBuy(PRODUCT_AIRSHIP)) {
        badFactory->HoldBody(PRODUCT_AIRSHIP, badAirship, false);
    }
}

orvel::StatePtr MechanicaState::TestEndOfLevel() {
    if (badFactoryBody == nullptr && outcome > 0) {
        RecordProgress();
        ShowGameOver(BANNER_WON);
        EndLevel();
    } else if (goodFactoryBody == nullptr && outcome < 0) {
        ShowGameOver(BANNER_LOST);
        EndLevel();
    } else {
        UpdatePurchaseButtons();
    }
    return orvel::StatePtr();
}

void MechanicaState::EndLevel() {
    gameOver = true;
    gameOverCountdown = GAME_OVER_TIME;
    if (oggPlayer && oggPlayer->IsOpen()) {
        oggPlayer->RampVolume(GAME_OVER_FADE_MS, 0);
    }
}

void MechanicaState::ShowGameOver(int frame) {
    const orvel::SpritePtr& banner = hud->GetGameOver();
    banner->SetFrame(frame);
    banner->alpha = 1.0f;
}

// A won campaign level shows its medal's badge, the banner below it.
void MechanicaState::RecordProgress() {
    const WinBadge badge = RecordWin(*settings, orvel::GlobalProperties());
    if (badge == WinBadge::None) {
        return;
    }
    badgeSprite = hudSpriteManager->CreateSprite(std::string(UI_FOLDER) + BadgePicture(badge),
                                                 Hud::kTopLayer);
    const orvel::FrameSheet& sheet = badgeSprite->GetData()->sheet;
    badgeSprite->SetPosition(SCREEN_WIDTH / 2.0f - float(sheet.width) / 2.0f,
                             float(sheet.frameHeight) / 2.0f + BADGE_TOP);
    hud->GetGameOver()->SetPosition(SCREEN_WIDTH / 2.0f, BANNER_BELOW_BADGE_Y);
}

void MechanicaState::OnWatchedEvent(orvel::Watched* watched) {
    if (goodFactoryBody != nullptr && watched == static_cast<orvel::Watched*>(goodFactoryBody)) {
        goodFactoryBody = nullptr;
        goodFactory = nullptr;
        if (outcome == 0) {
            outcome = -1;
        }
    } else if (badFactoryBody != nullptr &&
               watched == static_cast<orvel::Watched*>(badFactoryBody)) {
        badFactoryBody = nullptr;
        badFactory = nullptr;
        if (outcome == 0) {
            outcome = 1;
        }
    } else if (hoveredBody != nullptr && watched == static_cast<orvel::Watched*>(hoveredBody)) {
        Hover(nullptr);
    }
}

void MechanicaState::OnWatchedGoingAway(orvel::Watched* watched) {
    if (goodFactoryBody != nullptr && watched == static_cast<orvel::Watched*>(goodFactoryBody)) {
        goodFactoryBody = nullptr;
        goodFactory = nullptr;
    }
    if (badFactoryBody != nullptr && watched == static_cast<orvel::Watched*>(badFactoryBody)) {
        badFactoryBody = nullptr;
        badFactory = nullptr;
    }
    if (terrainBody != nullptr && watched == static_cast<orvel::Watched*>(terrainBody)) {
        terrainBody = nullptr;
    }
    if (hoveredBody != nullptr && watched == static_cast<orvel::Watched*>(hoveredBody)) {
        hoveredBody = nullptr;
    }
}

namespace {

// A unit's hit points and their maximum, both to the maximum times a factor.
void ScaleHitPoints(ComponentBody& unit, float factor) {
    const int32_t hitPoints = int32_t(float(unit.GetMaxHitPoints()) * factor);
    unit.SetHitPoints(hitPoints);
    unit.SetMaxHitPoints(hitPoints);
}

// The skirmish setup writes every modifier; one that is missing changes nothing.
int IntOr(orvel::Attributes& registry, PropertyKey key, int fallback) {
    return registry.Contains(key) ? registry.GetInt(key) : fallback;
}

float FloatOr(orvel::Attributes& registry, PropertyKey key, float fallback) {
    return registry.Contains(key) ? registry.GetFloat(key) : fallback;
}

// A side's cash flow in skirmish: 0 slow, 2 fast, anything else as it is.
void ApplyCashFlow(int modifier, float& purchaseTime, FactoryComponent& factory) {
    if (modifier == 0) {
        purchaseTime *= 1.2f;
        factory.SetTimeBetweenDeposits(factory.GetTimeBetweenDeposits() * 1.7f);
    } else if (modifier == 2) {
        purchaseTime *= 0.8f;
        factory.SetTimeBetweenDeposits(factory.GetTimeBetweenDeposits() * 0.7f);
    }
}

}  // namespace

void MechanicaState::ApplyDifficultyModifiers() {
    if (mode.isTutorialLevel) {
        return;
    }
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (mode.isSkirmishMode) {
        ApplyCashFlow(IntOr(registry, KEY_GOOD_CASH_FLOW, 1), purchaseTimePerUnit[0], *goodFactory);
        ApplyCashFlow(IntOr(registry, KEY_BAD_CASH_FLOW, 1), purchaseTimePerUnit[1], *badFactory);
        ScaleHitPoints(*goodAirship, FloatOr(registry, KEY_GOOD_RANGE, 1.0f));
        if (badAirship) {
            ScaleHitPoints(*badAirship, FloatOr(registry, KEY_BAD_RANGE, 1.0f));
        }
        return;
    }
    if (!registry.Contains(KEY_DIFFICULTY)) {
        return;
    }
    const int difficulty = registry.GetInt(KEY_DIFFICULTY);
    if (difficulty == 0) {
        purchaseTimePerUnit[0] *= 0.7f;
        purchaseTimePerUnit[1] *= 1.3f;
        goodFactory->SetTimeBetweenDeposits(goodFactory->GetTimeBetweenDeposits() * 0.6f);
        ScaleHitPoints(*goodAirship, 1.5f);
    } else if (difficulty == 1) {
        ScaleHitPoints(*goodAirship, 1.2f);
    } else if (difficulty == 2) {
        purchaseTimePerUnit[0] *= 1.2f;
        purchaseTimePerUnit[1] *= 0.8f;
        goodFactory->SetTimeBetweenDeposits(goodFactory->GetTimeBetweenDeposits() * 1.7f);
    }
    if (badAirship && difficulty == 0) {
        ScaleHitPoints(*badAirship, 0.5f);
    } else if (badAirship && difficulty == 2) {
        ScaleHitPoints(*badAirship, 1.3f);
    }
}

void MechanicaState::UpdateCamera() {
    if (goodAirship->IsAlive()) {
        goodAirshipMatrix = goodAirship->GetMatrix();
    }
    soundManager->SetViewCentre(WORLD_SCALE * goodAirshipMatrix.m[12]);
    scrollFraction = ScrollFraction(float(levelWidth), WORLD_SCALE * goodAirshipMatrix.m[12]);
}

void MechanicaState::Draw() {
    UpdateCamera();
    scenery->DrawBackgrounds(scrollFraction);
    glPushMatrix();
    glTranslatef(-ScrollOffset(float(levelWidth), scrollFraction), MINIMAP_HEIGHT, 0.0f);
    scenery->PlaceTiles(scrollFraction);
    glPushAttrib(GL_CURRENT_BIT);
    spriteManager->Draw();
    glPopAttrib();
    glPopMatrix();
    DrawHud();
}

void MechanicaState::DrawHud() {
    DrawMinimap(*world, terrainBody, levelWidth);
    hud->DrawMinimapFrame(MinimapWidth(levelWidth));
    const float fuel =
        goodAirship->IsAlive() && goodAirship->GetMaxHitPoints() > 0
            ? float(goodAirship->GetHitPoints()) / float(goodAirship->GetMaxHitPoints())
            : 0.0f;
    hudSpriteManager->Draw();
    // Over the top panel, whose bezel frames the gauge.
    hud->GetGasTank().Draw(fuel);
    if (paused && pauseMenu) {
        pauseMenu->Draw();
    }
    if (tutorialDialog->IsShowing()) {
        tutorialDialog->Draw();
    }
    if (cursorVisible) {
        hud->DrawCursor(mouseX, mouseY);
    }
}

void MechanicaState::UnloadTextures() {
    spriteManager->UnloadTextures();
    hudSpriteManager->UnloadTextures();
    scenery->UnloadTextures();
    hud->UnloadTextures();
    tutorialDialog->UnloadTextures();
    if (pauseMenu) {
        pauseMenu->UnloadTextures();
    }
}

void MechanicaState::ReloadTextures() {
    spriteManager->ReloadTextures();
    hudSpriteManager->ReloadTextures();
    scenery->ReloadTextures();
    hud->ReloadTextures();
    tutorialDialog->ReloadTextures();
    if (pauseMenu) {
        pauseMenu->ReloadTextures();
    }
    SetPlayClearColour();
}

void RegisterMechanicaState(TarnmooreStateMachineImpl& machine) {
    RegisterTutorialComponent();
    machine.RegisterStateClass(STATE_NAME, [](const StateArguments& arguments) {
        return std::make_shared<MechanicaState>(arguments.name);
    });
}
