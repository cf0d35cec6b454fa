#include "game/play/mechanica_state.h"

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

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_Mechanica");

const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_SOUND_EFFECTS("TARNMOORE_SoundEffects");
const PropertyKey KEY_MUSIC("TARNMOORE_Music");
const PropertyKey KEY_SOUND_MANAGER("qSoundManager");
const PropertyKey KEY_OGG_PLAYER("qOggPlayer");
const PropertyKey KEY_OBJECT_PROPERTIES("qObjectProperties");
const PropertyKey KEY_AI_CAPABILITIES("AI_COMPONENT_Capabilities");
const PropertyKey KEY_DIFFICULTY("difficulty");
const PropertyKey KEY_GOOD_VEHICLE_STOPPED("GoodVehicleStopped");
const PropertyKey KEY_RESUME("Resume");
const PropertyKey KEY_IS_TUTORIAL_LEVEL("isTutorialLevel");

const PropertyKey TRIGGER_WIN("Win");
const PropertyKey TRIGGER_TUTORIAL_WIN("TutorialWin");
const PropertyKey TRIGGER_LOSE("Lose");
const PropertyKey TRIGGER_HELP("Help");

const PropertyKey SOUND_MAGNET("snd_magnet_on");
const PropertyKey SOUND_MONEY("snd_money_spent");

const char MATERIALS_FILE[] = "resources/materials1.txt";

const int KEY_F1 = 47;
const int KEY_ESCAPE = 59;

// Seconds between a factory's fall and the end of the level, and the time
// the music takes to fade out meanwhile.
const float GAME_OVER_TIME = 4.0f;
const int GAME_OVER_FADE_MS = 4000;
// Seconds of a still mouse after which the pointer hides.
const float CURSOR_IDLE_TIME = 5.0f;

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
    settings = registry.GetProperties(KEY_SETTINGS);

    world.reset(new orvel::Mechanica());
    if (world->GetPhysWorld() == nullptr) {
        throw orvel::ExceptionGeneral("Error creating new physics engine.");
    }
    world->SetScale(WORLD_SCALE);
    orvel::LoadMaterialGroups(*world, MATERIALS_FILE);

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
    } catch (...) {
        // The bodies tell their watchers that they go away while the world
        // is torn down; this state must not hear it half-built.
        DisconnectAll();
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
}

// Everything that outlives a failed load is done only once the level has
// loaded: the registry values, the sound switches and the music.
void MechanicaState::Commit() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    registry.SetBool(KEY_GOOD_VEHICLE_STOPPED, false);
    if (level.aiCapabilities) {
        if (registry.Contains(KEY_DIFFICULTY) && registry.GetInt(KEY_DIFFICULTY) == 0) {
            level.aiCapabilities->SetBool(PropertyKey("carryFlakTruckOffensively"), false);
            level.aiCapabilities->SetBool(PropertyKey("carryFlakTruckDefensively"), false);
        }
        registry[KEY_AI_CAPABILITIES] = level.aiCapabilities;
    }

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
    if (!firstFrameDone) {
        firstFrameDone = true;
    }
    if (paused) {
        return PauseStep(input, dt);
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
    StepWorld(dt);
    world->ReleaseKeptObjects();
    return TestEndOfLevel();
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
        if (magnetSound->IsPlaying()) {
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
        if (outcome > 0) {
            const bool tutorial = RegistryFlag(orvel::GlobalProperties(), KEY_IS_TUTORIAL_LEVEL);
            return LeaveLevel(tutorial ? TRIGGER_TUTORIAL_WIN : TRIGGER_WIN);
        }
        if (outcome < 0) {
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
    const bool byMouse = ((mode.goodAirshipControl | mode.goodPurchaseControl) & CONTROL_MOUSE) != 0;
    if (byMouse && (moved || held)) {
        cursorVisible = true;
        cursorIdleTime = 0.0f;
    }
}

void MechanicaState::StepWorld(float dt) {
    world->PreStepBodies();
    world->Update(dt);
    spriteManager->Update(dt);
    hudSpriteManager->Update(dt);
    world->UpdateBodies();
}

orvel::StatePtr MechanicaState::TestEndOfLevel() {
    if (outcome > 0) {
        RecordProgress();
        EndLevel();
    } else if (outcome < 0) {
        EndLevel();
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

void MechanicaState::RecordProgress() { RecordWin(*settings, orvel::GlobalProperties()); }

void MechanicaState::OnWatchedEvent(orvel::Watched*) {}

void MechanicaState::OnWatchedGoingAway(orvel::Watched* watched) {
    if (watched == terrainBody) {
        terrainBody = nullptr;
    }
}

void MechanicaState::UpdateCamera() {
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
    DrawMinimap(*world, terrainBody, levelWidth);
    hudSpriteManager->Draw();
}

void MechanicaState::UnloadTextures() {
    spriteManager->UnloadTextures();
    hudSpriteManager->UnloadTextures();
    scenery->UnloadTextures();
    if (pauseMenu) {
        pauseMenu->UnloadTextures();
    }
}

void MechanicaState::ReloadTextures() {
    spriteManager->ReloadTextures();
    hudSpriteManager->ReloadTextures();
    scenery->ReloadTextures();
    if (pauseMenu) {
        pauseMenu->ReloadTextures();
    }
    SetPlayClearColour();
}

void RegisterMechanicaState(TarnmooreStateMachineImpl& machine) {
    machine.RegisterStateClass(STATE_NAME, [](const StateArguments& arguments) {
        return std::make_shared<MechanicaState>(arguments.name);
    });
}
