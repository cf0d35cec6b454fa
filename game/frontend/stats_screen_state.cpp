#include "game/frontend/stats_screen_state.h"

#include <GL/gl.h>

#include <algorithm>

#include "engine/anim/easing_curve.h"
#include "engine/core/attributes.h"
#include "engine/core/input.h"
#include "engine/sound/sound.h"
#include "engine/sound/sound_manager.h"
#include "engine/ui/lambda_event_handler.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/morph_rect.h"
#include "engine/ui/screen_file.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/menu_sound.h"
#include "game/frontend/screen_triggers.h"
#include "game/frontend/stats_bars.h"
#include "game/units/unit_stats.h"
#include "platform/sleep_pumping_messages.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_StatsScreen");
const PropertyKey KEY_UNIT_STATS("qUnitStats");
const PropertyKey KEY_SOUND_MANAGER("qSoundManager");
const PropertyKey KEY_ENEMY_OFFSET("enemyBarHeightOffset");
const PropertyKey KEY_NUMBER_X("numberSeperator");
const PropertyKey SOUND_CRANK("snd_stats_crank");
const PropertyKey KEY_IS_SKIRMISH("isSkirmishMode");
const PropertyKey TRIGGER_SKIRMISH("Skirmish");

const uint8_t HIGHLIGHT_PRESSED = 1;
const uint8_t HIGHLIGHT_LIVE = 2;
const uint8_t HIGHLIGHT_DIMMED = 3;

// Bar pictures and digit sprites, in the order of the shades.
const char* const BAR_FILES[] = {"bardarkgreen.jpg", "bardarkpurple.jpg", "barlightgreen.jpg",
                                 "barlightpurple.jpg"};
const char* const DIGIT_FILES[] = {"NumbersDarkGreen/numbers.txt", "NumbersDarkPurple/numbers.txt",
                                   "NumbersLightGreen/numbers.txt",
                                   "NumbersLightPurple/numbers.txt"};

// The rows from top to bottom: row key and the unit types of both sides.
struct StatsRow {
    const char* key;
    const char* goodType;
    const char* badType;
};
const StatsRow ROWS[] = {{"infantry", "Infantry", "Infantry"},
                         {"engineer", "Engineer", "Engineer"},
                         {"tank", "Tank", "Tank"},
                         {"flakTruck", "FlakTruck", "FlakTruck"},
                         {"balloon", "BalloonBomb", "BalloonBomb"},
                         {"gyro", "AutoGyro", "AutoGyro"},
                         {"buster", "Buster", "Buster"},
                         {"airship", "GoodAirShip", "BadAirShip"}};
const char TOTAL_ROW[] = "total";

const int DIGIT_COUNT = 3;
const int DIGIT_GAP = 3;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

orvel::SoundPtr CreateCrank() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (!registry.Contains(KEY_SOUND_MANAGER)) {
        return orvel::SoundPtr();
    }
    const std::shared_ptr<orvel::SoundManager> manager =
        registry.GetSoundManager(KEY_SOUND_MANAGER);
    return manager ? manager->CreateSound(SOUND_CRANK) : orvel::SoundPtr();
}

// Scales x by 1 / width so that a draw with x scale L gives a bar L pixels long.
void MakeUnitWide(const orvel::SpritePtr& bar) {
    const float width = float(bar->GetData()->sheet.width);
    float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    matrix[0] = width > 0.0f ? 1.0f / width : 0.0f;
    bar->SetTransform(matrix);
}

void Advance(orvel::ParametricHolder& holder, float dt) {
    holder.SetElapsed(std::min(holder.GetElapsed() + dt, holder.GetDuration()));
}

}  // namespace

StatsScreenState::StatsScreenState(PropertyKey stateName, const std::string& screenFile,
                                   float totalFillTime, const orvel::PropertiesPtr& barPositions)
    : orvel::ScreenMorph(stateName),
      positions(barPositions),
      sprites(std::make_shared<orvel::SpriteManager>()),
      handler(std::make_shared<ChangeStateButtonEventHandler>()),
      onward(TRIGGER_FORWARD) {
    orvel::LoadScreen(this, screenFile);
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (registry.Contains(KEY_IS_SKIRMISH) && registry.GetBool(KEY_IS_SKIRMISH) &&
        HasTriggerFor(*this, TRIGGER_SKIRMISH)) {
        onward = TRIGGER_SKIRMISH;
    }
    for (const PropertyKey& trigger : {TRIGGER_BACK, TRIGGER_FORWARD, TRIGGER_SKIP}) {
        orvel::Morph* button = FindChild(trigger);
        if (button == nullptr) {
            continue;
        }
        if (HasTriggerFor(*this, trigger)) {
            button->SetEventHandler(handler);
            button->SetHighlightState(HIGHLIGHT_LIVE);
            if (trigger == TRIGGER_FORWARD) {
                button->SetAttribute(orvel::MORPH_EVENT_MOUSE_L_DOWN,
                                     std::make_shared<orvel::LambdaEventHandler<StatsScreenState>>(
                                         this, &StatsScreenState::OnForward, button));
            }
        } else {
            button->SetHighlightState(HIGHLIGHT_DIMMED);
        }
    }
    stats = orvel::GlobalProperties().GetUnitStats(KEY_UNIT_STATS);
    const std::string folder = FolderOf(screenFile);
    for (int shade = 0; shade < SHADE_COUNT; ++shade) {
        bars[shade] = sprites->CreateSprite(folder + BAR_FILES[shade]);
        MakeUnitWide(bars[shade]);
    }
    for (int shade = 0; shade < SHADE_COUNT; ++shade) {
        digits[shade] = sprites->CreateSprite(folder + DIGIT_FILES[shade]);
    }
    const orvel::ParametricPtr curve = std::make_shared<orvel::EaseInEaseOut>();
    typeScale = StatsPixelsPerUnit(stats->GetMax());
    fill.Set(0.0f, typeScale, totalFillTime, curve);
    totalScale = StatsPixelsPerUnit(stats->GetMaxSide());
    totalFill.Set(0.0f, totalScale, totalFillTime, curve);
    crank = CreateCrank();
    plotter = orvel::NumberPlotter(digits[DARK_GREEN], 0, DIGIT_COUNT, DIGIT_GAP, DIGIT_GAP);
}

StatsScreenState::~StatsScreenState() = default;

bool StatsScreenState::OnForward(orvel::Morph* morph) {
    morph->SetHighlightState(HIGHLIGHT_PRESSED);
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    StoreNextState(*this, FireTrigger(*this, onward));
    return true;
}

orvel::StatePtr StatsScreenState::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    if (GetTransitionCount() > 0) {
        return orvel::StatePtr();
    }
    if (ForwardKeyPressed(input)) {
        return FireTrigger(*this, onward);
    }
    if (fill.GetElapsed() == 0.0f && crank) {
        crank->Play();
    }
    Advance(fill, dt);
    Advance(totalFill, dt);
    SleepPumpingMessages(1);
    return orvel::ScreenMorph::Update(input, dt);
}

void StatsScreenState::Draw() {
    DrawTree(*this);
    // Every row counts up along the same curve; with no units at all the
    // counts are 0 whatever the fraction.
    const float fraction = typeScale > 0.0f ? fill.GetValue() / typeScale : 0.0f;
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const StatsRow& row : ROWS) {
        DrawRow(PropertyKey(row.key), PropertyKey(row.goodType), PropertyKey(row.badType), false,
                fraction);
    }
    DrawRow(PropertyKey(TOTAL_ROW), PropertyKey(), PropertyKey(), true, fraction);
    glPopAttrib();
    cursor.Draw();
}

void StatsScreenState::DrawRow(PropertyKey row, PropertyKey goodType, PropertyKey badType,
                               bool total, float fraction) {
    const orvel::PointF place = positions->GetPointF(row);
    const float pixelsPerUnit = total ? totalFill.GetValue() : fill.GetValue();
    for (int side : {1, -1}) {
        const PropertyKey type = side == 1 ? goodType : badType;
        const int32_t lost = total ? stats->GetSideTotal(UnitStats::KIND_LOST, side)
                                   : stats->Get(UnitStats::KIND_LOST, type, side);
        const int32_t got = total ? stats->GetSideTotal(UnitStats::KIND_GOT, side)
                                  : stats->Get(UnitStats::KIND_GOT, type, side);
        DrawSide(place, side, lost, got, pixelsPerUnit, fraction);
    }
}

void StatsScreenState::DrawSide(const orvel::PointF& place, int side, int32_t lost, int32_t got,
                                float pixelsPerUnit, float fraction) {
    const bool good = side == 1;
    const float offset = good ? 0.0f : positions->GetFloat(KEY_ENEMY_OFFSET);
    const float y = float(orvel::UI_SCREEN_HEIGHT) - (place.y + offset);
    const StatsBar bar = MakeStatsBar(lost, got, pixelsPerUnit, fraction);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(place.x, y, 0.0f);
    bars[good ? LIGHT_GREEN : LIGHT_PURPLE]->Draw(bar.lostLength, 1.0f, 1.0f);
    glPopMatrix();
    glPushMatrix();
    glTranslatef(place.x + bar.lostLength, y, 0.0f);
    bars[good ? DARK_GREEN : DARK_PURPLE]->Draw(bar.aliveLength, 1.0f, 1.0f);
    glPopMatrix();

    const float numberX = positions->GetFloat(KEY_NUMBER_X);
    plotter.xOffset = DIGIT_GAP;
    plotter.yOffset = good ? DIGIT_GAP : 0;
    plotter.digits = digits[good ? LIGHT_GREEN : LIGHT_PURPLE];
    plotter.flags = orvel::NUMBER_PLOTTER_ALIGN_RIGHT;
    plotter.Draw(bar.lostShown, numberX, y);
    plotter.digits = digits[good ? DARK_GREEN : DARK_PURPLE];
    plotter.flags = 0;
    plotter.Draw(bar.gotShown, numberX, y);
}

PropertyKey StatsScreenState::GetName() const { return STATE_NAME; }

PropertyKey StatsScreenState::GetTypeName() const { return STATE_NAME; }

void StatsScreenState::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    sprites->UnloadTextures();
    cursor.UnloadTextures();
}

void StatsScreenState::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    sprites->ReloadTextures();
    cursor.ReloadTextures();
}
