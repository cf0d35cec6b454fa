#pragma once

#include <memory>

#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;

// The number of campaign levels, 0 to 16.
const int CAMPAIGN_LEVEL_COUNT = 17;

// The campaign map: one thumbnail per campaign level. The levels up to the
// highest one reached (settings "TARNMOORE_HighestLevelReached") can be
// chosen, the highest one blinks, each lower level that is not a cutscene
// carries a cross and the medal of the best difficulty it was beaten at
// ("TARNMOORE_LevelMedals"), and the levels beyond are hidden. Choosing a
// level writes "TARNMOORE_CurrentLevel" to the registry and fires "Level"
// followed by its number. Enter, Space, Right and the "Forward" button play
// the highest level reached; Escape, Left and Backspace go "Back".
class MapScreenState : public orvel::ScreenMorph {
public:
    // Throws ExceptionGeneral when the cutscene or cross-scale list does not
    // hold one entry per level.
    MapScreenState();

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

    // The click of "Forward" and of every level that can be chosen.
    bool OnLevelClicked(orvel::Morph* morph);
    // The state that plays the highest level reached.
    orvel::StatePtr PlayHighestLevel();

private:
    void SetUpThumbnail(orvel::Morph& map, int level, int highest, bool cutscene, float crossScale,
                        int medal);
    orvel::StatePtr PlayLevel(int level);

    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    MouseCursor cursor;
    float blinkTime = 0.0f;
};
