#pragma once

#include <memory>
#include <string>

#include "engine/anim/easing_holder.h"
#include "engine/core/properties.h"
#include "engine/sound/sound_manager.h"
#include "engine/sprites/sprite_manager.h"
#include "engine/ui/number_plotter.h"
#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;
class UnitStats;

// The screen after a level: for every unit type and each side a bar of the
// units the side lost (light) followed by the units it still had (dark), so
// that the whole bar is as long as the units the side got, and under it the
// two counts. Bars and counts grow from zero along an ease-in-ease-out curve
// while a crank turns. The counts are the level's "qUnitStats"; the bars'
// places come from the state machine's "BarPositions". Enter, Space, Right
// and the "Forward" button go on; "Back" and "Skip" work when the machine
// defines them for this screen. After a skirmish ("isSkirmishMode") going on
// fires "Skirmish" when the machine defines it, so that the player returns
// to the skirmish setup rather than to the campaign.
class StatsScreenState : public orvel::ScreenMorph {
public:
    // `screenFile` names the screen file; the bar and digit pictures are
    // taken from its folder.
    StatsScreenState(PropertyKey stateName, const std::string& screenFile, float totalFillTime,
                     const orvel::PropertiesPtr& barPositions);
    ~StatsScreenState() override;

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

    // The click of the "Forward" button.
    bool OnForward(orvel::Morph* morph);

private:
    enum Shade { DARK_GREEN, DARK_PURPLE, LIGHT_GREEN, LIGHT_PURPLE, SHADE_COUNT };

    void DrawRow(PropertyKey row, PropertyKey goodType, PropertyKey badType, bool total,
                 float fraction);
    void DrawSide(const orvel::PointF& place, int side, int32_t lost, int32_t got,
                  float pixelsPerUnit, float fraction);

    std::shared_ptr<UnitStats> stats;
    orvel::PropertiesPtr positions;
    orvel::SoundPtr crank;
    orvel::SpriteManagerPtr sprites;
    orvel::SpritePtr bars[SHADE_COUNT];
    orvel::SpritePtr digits[SHADE_COUNT];
    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    MouseCursor cursor;
    orvel::ParametricHolder fill;
    orvel::ParametricHolder totalFill;
    float typeScale = 0.0f;
    float totalScale = 0.0f;
    orvel::NumberPlotter plotter;
    // The trigger by which the screen goes on.
    PropertyKey onward;
};
