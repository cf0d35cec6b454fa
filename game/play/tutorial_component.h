#pragma once

#include <memory>
#include <vector>

#include "engine/core/property_key.h"
#include "engine/physics/matrix4.h"
#include "engine/sound/sound_manager.h"
#include "game/units/component.h"

class ComponentBody;
class TutorialDialog;

// The tutorial script, carried by the player's airship. Every update it
// watches the play field and, when a step's condition holds, shows one
// tutorial dialog: the scripted steps of the four tutorial levels, the
// once-per-player hints of every level and the two level-number hints.
// Besides dialogs it only asks the opponent to start buying ("enemyBuy") or
// to buy one tank ("enemyBuyUnit"); it never ends a level, moves or makes a
// unit.
class TutorialComponent : public Component {
public:
    // Loads "airshipOffset", "factoryOffset" (pixels) and the optional "sound".
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    void Update() override;
    std::shared_ptr<Component> Clone() const override;

    float GetLevelTime() const { return levelTime; }
    float GetStepTime() const { return stepTime; }

private:
    // What a body search asks of a body; an empty type or state name and a
    // negative distance ask nothing.
    struct Search {
        bool anyTeam;
        int team;
        bool otherTeam;
        PropertyKey type;
        float near;
        std::vector<PropertyKey> states;
    };

    void RunLevel0();
    void RunLevel1();
    void RunLevel2();
    void RunLevel3();
    void RunHints(bool tutorial, int level);
    void RunLevelNumberHints(int level);

    // Copies the world's body list once per update, when a step first searches.
    void TakeSnapshot();
    // The first body of the snapshot that the search matches, or null.
    orvel::Body* Find(const Search& search);
    bool Matches(const orvel::Body& body, const Search& search, const orvel::Body* excluded) const;
    bool MagnetHolds(int team, PropertyKey type) const;
    bool MagnetHoldsAny() const;
    float AbsVelocityX() const;
    float HitPointRatio() const;
    bool Marked(const char* id) const;
    void Mark(const char* id);
    bool Played(const char* id) const;
    // Shows a dialog with its arrow at (x, y), (0, 0) for none.
    void ShowStep(const char* id, float x, float y, bool screen, const float* soundAt);
    void ShowHint(const char* id, const char* flag, float x, float y, bool screen,
                  const float* soundAt);
    void ShowAtBody(const char* id, orvel::Body& body, bool hint);

    TutorialDialog* dialog = nullptr;
    float levelTime = 0.0f;
    float stepTime = 0.0f;
    float airshipOffsetX = 0.0f;
    float airshipOffsetY = 0.0f;
    float factoryOffsetX = 0.0f;
    float factoryOffsetY = 0.0f;
    PropertyKey soundName;
    orvel::SoundPtr sound;

    // Per-update state: the owner's matrix at the start, the body snapshot.
    orvel::Matrix4 ownerMatrix;
    std::vector<std::shared_ptr<orvel::Body>> bodies;
    bool snapped = false;
};

// The script needs the in-game state's dialog, so it joins the unit
// component catalogue from the play code rather than from the units' own.
void RegisterTutorialComponent();
