#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/core/properties.h"
#include "engine/core/watcher.h"
#include "engine/physics/mechanica.h"
#include "engine/physics/terrain_body.h"
#include "engine/sound/ogg_player.h"
#include "engine/sound/sound.h"
#include "engine/sound/sound_manager.h"
#include "engine/sprites/sprite_manager.h"
#include "engine/state/state.h"
#include "game/play/computer_buyer.h"
#include "game/play/hud.h"
#include "game/play/level_file.h"
#include "game/play/money_bags.h"
#include "game/play/play_field_scenery.h"
#include "game/play/play_mode.h"
#include "game/play/purchase_record.h"
#include "game/play/trigger_relay.h"
#include "game/play/tutorial_dialog.h"
#include "game/units/component_body.h"
#include "game/units/components/factory_component.h"
#include "game/units/unit_stats.h"

class ThrusterComponent;
class GotoComponent;
class MagnetComponent;

// Makes the pause menu for a game; the pause screen registers it. Without
// one, Escape still pauses the game until Escape is pressed again.
typedef std::function<orvel::StatePtr(const std::weak_ptr<orvel::State>& game)> PauseMenuFactory;

// The screen in which a level is played. Building it loads the whole level
// (world, materials, scenery, terrain, the placed units and both airships);
// a level that fails to load throws and leaves nothing behind: no world,
// no bodies, no registry values and no music. Each frame runs the play
// frame and draws the play field; a level ends four seconds after one
// side's factory is destroyed, with "Win" or "Lose".
//
// Ownership: the state owns the world, which owns every body; the state
// watches the bodies it keeps plain pointers to and forgets them when they
// go away.
class MechanicaState : public orvel::State, public orvel::Watcher {
public:
    // Reads the play mode from the registry of named values and loads the
    // level it names. Throws the engine's exceptions of whatever is missing
    // or wrong.
    explicit MechanicaState(PropertyKey stateName);
    ~MechanicaState() override;

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    void Draw() override;
    void UnloadTextures() override;
    void ReloadTextures() override;
    PropertyKey GetName() const override;

    // A factory body's event is its destruction: the first decides the match.
    void OnWatchedEvent(orvel::Watched* watched) override;
    void OnWatchedGoingAway(orvel::Watched* watched) override;

    static void SetPauseMenuFactory(PauseMenuFactory factory);

    orvel::Mechanica& GetWorld() const { return *world; }
    const orvel::SpriteManagerPtr& GetSpriteManager() const { return spriteManager; }
    const orvel::SpriteManagerPtr& GetHudSpriteManager() const { return hudSpriteManager; }
    const orvel::SoundManagerPtr& GetSoundManager() const { return soundManager; }
    const orvel::PropertiesPtr& GetObjectProperties() const { return objectProperties; }
    const PlayMode& GetMode() const { return mode; }
    const LevelFile& GetLevel() const { return level; }
    uint32_t GetLevelWidth() const { return levelWidth; }
    float GetScrollFraction() const { return scrollFraction; }
    orvel::TerrainBody* GetTerrainBody() const { return terrainBody; }
    const ComponentBodyPtr& GetGoodAirship() const { return goodAirship; }
    const ComponentBodyPtr& GetBadAirship() const { return badAirship; }
    // The factories while they stand; null once destroyed.
    ComponentBody* GetGoodFactoryBody() const { return goodFactoryBody; }
    ComponentBody* GetBadFactoryBody() const { return badFactoryBody; }
    FactoryComponent* GetGoodFactory() const { return goodFactory; }
    FactoryComponent* GetBadFactory() const { return badFactory; }
    const std::shared_ptr<UnitStats>& GetUnitStats() const { return unitStats; }
    // Seconds per unit of each side's buying timer, side 1 first.
    float GetPurchaseTimePerUnit(int side) const { return purchaseTimePerUnit[side < 0 ? 1 : 0]; }

    // 0 while undecided, +1 won, -1 lost.
    int GetOutcome() const { return outcome; }
    bool IsGameOver() const { return gameOver; }
    bool IsPaused() const { return paused; }
    // The menu shown while paused; empty when playing or without a menu.
    const orvel::StatePtr& GetPauseMenu() const { return pauseMenu; }
    bool IsCursorVisible() const { return cursorVisible; }
    bool IsMagnetOn() const { return magnetOn; }
    TutorialDialog& GetTutorialDialog() { return *tutorialDialog; }
    Hud& GetHud() { return *hud; }
    const MoneyBags& GetMoneyBags() const { return *moneyBags; }
    const orvel::SpritePtr& GetGotoMarker() const { return gotoMarker; }
    ComponentBody* GetHoveredBody() const { return hoveredBody; }
    // Side 1's purchases of the last frame, for the purse.
    const std::vector<PurchaseRecord>& GetPurchaseRecords() const { return purchaseRecords; }
    const PurchaseGroups& GetPurchaseGroups() const { return purchaseGroups; }
    const ComputerBuyer& GetComputerBuyer(int team) const { return buyers[team < 0 ? 1 : 0]; }
    bool IsEnemyBuying() const { return enemyBuy; }

private:
    void LoadLevel();
    void PlaceObjects();
    void PlaceObject(const PlacedObject& object);
    ComponentBodyPtr SpawnUnit(PropertyKey type, int team, const orvel::Matrix4& matrix);
    void KeepFactory(const PlacedObject& object, ComponentBody* body);
    void PublishCapabilities();
    ComponentBodyPtr SpawnAirship(PropertyKey type, int team, float x);
    void SetUpPurchaseMenus();
    void StockFactory(FactoryComponent& factory, const PurchaseMenu& menu, int team);
    void SetUpPurchaseGroups();
    void Commit();
    void ApplyDifficultyModifiers();
    void HandBackAirships();

    orvel::StatePtr PauseStep(const orvel::Input& input, float dt);
    orvel::StatePtr GameOverStep(float dt);
    orvel::StatePtr LeaveLevel(PropertyKey trigger);
    void Pause();
    void FeedMusic();
    void TrackCursor(const orvel::Input& input, float dt);
    void StepWorld(float dt);

    void SteerAirship(const orvel::Input& input);
    void ShowDeathHint();
    // Whether any thrust is held.
    bool Thrust(const orvel::Input& input);
    void SteerByMouse(const orvel::Input& input);
    void FlyToMinimapPoint(const orvel::Input& input);
    void FlyToPlayFieldPoint(const orvel::Input& input, float x, float y);
    void Hover(ComponentBody* body);
    void SwitchMagnet(const orvel::Input& input, bool toggle);
    void SendMagnet(bool on);
    void IdleGoto();
    void ShowGotoMarker(float x, float y);
    void HideGotoMarker();
    void ShowFullMoneyHint();
    void HumMagnet();

    void TrackPurchaseBar(const orvel::Input& input);
    void HandleGoodPurchases(const orvel::Input& input, float dt);
    void HandleBadPurchases(const orvel::Input& input, float dt);
    int UnitsOnField(int team) const;
    void TutorialPurchases();
    void RecordPurchase(int product, int32_t spent);
    void UpdatePurchaseButtons();
    void ShowGameOver(int frame);
    orvel::StatePtr TestEndOfLevel();
    void EndLevel();
    void RecordProgress();

    void UpdateCamera();
    void DrawHud();

    PlayMode mode;
    orvel::PropertiesPtr settings;
    // Made first and gone last of what the registry can reach.
    std::unique_ptr<TutorialDialog> tutorialDialog;

    // The world goes last, after everything that might still refer to its
    // bodies.
    std::unique_ptr<orvel::Mechanica> world;
    std::shared_ptr<UnitStats> unitStats;
    orvel::SoundManagerPtr soundManager;
    std::shared_ptr<orvel::OggPlayer> oggPlayer;
    orvel::PropertiesPtr objectProperties;
    orvel::SpriteManagerPtr spriteManager;
    orvel::SpriteManagerPtr hudSpriteManager;
    orvel::SoundPtr magnetSound;
    orvel::SoundPtr moneySound;

    LevelFile level;
    std::unique_ptr<PlayFieldScenery> scenery;
    orvel::TerrainBody* terrainBody = nullptr;
    ComponentBodyPtr goodAirship;
    ComponentBodyPtr badAirship;
    ComponentBody* goodFactoryBody = nullptr;
    ComponentBody* badFactoryBody = nullptr;
    FactoryComponent* goodFactory = nullptr;
    FactoryComponent* badFactory = nullptr;
    float purchaseTimePerUnit[2] = {};
    PurchaseGroups purchaseGroups;
    ComputerBuyer buyers[2];
    bool enemyBuy = true;
    std::vector<PurchaseRecord> purchaseRecords;
    int hoveredSlot = -1;
    int lastHoveredSlot = -1;
    int clickedSlot = -1;

    std::unique_ptr<Hud> hud;
    std::unique_ptr<MoneyBags> moneyBags;
    orvel::SpritePtr gotoMarker;
    orvel::SpritePtr badgeSprite;
    int mouseX = 0;
    int mouseY = 0;

    // The player's airship's parts that the controls drive, while it lives.
    ThrusterComponent* thruster = nullptr;
    GotoComponent* gotoComponent = nullptr;
    MagnetComponent* magnet = nullptr;
    ComponentBody* hoveredBody = nullptr;
    bool mouseSteeringBlocked = true;
    bool magnetOn = false;
    bool thrusting = false;
    bool magnetToggle = true;

    uint32_t levelWidth = 0;
    float scrollFraction = 0.0f;
    orvel::Matrix4 goodAirshipMatrix;

    bool firstFrameDone = false;
    bool paused = false;
    orvel::StatePtr pauseMenu;
    bool gameOver = false;
    float gameOverCountdown = 0.0f;
    int outcome = 0;
    bool cursorVisible = false;
    float cursorIdleTime = 0.0f;
    TriggerRelay triggers;
};

class TarnmooreStateMachineImpl;

// Makes the in-game state known to the screen-state machine under its class
// name, "TARNMOORE_STATE_Mechanica".
void RegisterMechanicaState(TarnmooreStateMachineImpl& machine);
