#include "game/frontend/map_screen_state.h"

#include <algorithm>
#include <string>

#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/core/int_to_string.h"
#include "engine/core/property_file.h"
#include "engine/ui/lambda_event_handler.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_file.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/menu_sound.h"
#include "game/frontend/screen_triggers.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_MapScreen");
const std::string FOLDER = "resources/MapScreen/";
const char MEDAL_FILES[][24] = {"beaten_easy.txt", "beaten_normal.txt", "beaten_hard.txt"};

const PropertyKey MAP_MORPH("MapScreen");
const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_HIGHEST_LEVEL("TARNMOORE_HighestLevelReached");
const PropertyKey KEY_LEVEL_MEDALS("TARNMOORE_LevelMedals");
const PropertyKey KEY_CURRENT_LEVEL("TARNMOORE_CurrentLevel");
const PropertyKey KEY_CUTSCENE_LEVELS("cutsceneLevels");
const PropertyKey KEY_X_SCALES("xScales");

const uint8_t HIGHLIGHT_FULL = 0;
const uint8_t HIGHLIGHT_GREY = 2;
const uint8_t HIGHLIGHT_HIDDEN = 4;

typedef orvel::LambdaEventHandler<MapScreenState> LevelClickHandler;

int HighestLevelReached() {
    return orvel::GlobalProperties().GetProperties(KEY_SETTINGS)->GetInt(KEY_HIGHEST_LEVEL);
}

PropertyKey ThumbnailName(int level) {
    return PropertyKey("Thumbnail" + orvel::IntToString(level));
}

// A list of one entry per level from a file of the map's folder.
orvel::AnyVectorPtr LevelList(const char* file, PropertyKey key, const char* what) {
    const orvel::AnyVectorPtr list = orvel::LoadPropertyFile(FOLDER + file)->GetList(key);
    if (!list || list->Size() != size_t(CAMPAIGN_LEVEL_COUNT)) {
        throw orvel::ExceptionGeneral(std::string("Size of ") + what +
                                      " list doesn't match the total number of levels.");
    }
    return list;
}

orvel::Morph& RequireChild(const orvel::Morph& parent, PropertyKey name) {
    orvel::Morph* child = parent.FindChild(name);
    if (child == nullptr) {
        throw orvel::ExceptionGeneral(FOLDER + "MapScreen.txt has no morph " + name.GetName());
    }
    return *child;
}

}  // namespace

MapScreenState::MapScreenState()
    : orvel::ScreenMorph(STATE_NAME), handler(std::make_shared<ChangeStateButtonEventHandler>()) {
    orvel::LoadScreen(this, FOLDER + "MapScreen.txt");
    orvel::Morph& map = RequireChild(*this, MAP_MORPH);
    const int highest = HighestLevelReached();
    const orvel::AnyVectorPtr cutscenes =
        LevelList("cutscenelevels.txt", KEY_CUTSCENE_LEVELS, "cutsceneLevel flags");
    const orvel::AnyVectorPtr scales = LevelList("xscales.txt", KEY_X_SCALES, "xscales");

    for (const PropertyKey& name : {TRIGGER_BACK, TRIGGER_FORWARD, TRIGGER_SKIP}) {
        if (orvel::Morph* button = FindChild(name)) {
            button->SetEventHandler(handler);
        }
    }
    if (orvel::Morph* forward = FindChild(TRIGGER_FORWARD)) {
        forward->SetAttribute(
            orvel::MORPH_EVENT_MOUSE_L_DOWN,
            std::make_shared<LevelClickHandler>(this, &MapScreenState::OnLevelClicked, forward));
    }

    const orvel::AnyVectorPtr medals =
        orvel::GlobalProperties().GetProperties(KEY_SETTINGS)->GetList(KEY_LEVEL_MEDALS);
    for (int level = 0; level < CAMPAIGN_LEVEL_COUNT; ++level) {
        // A level without a recorded medal, or with a value that names none,
        // shows no medal rather than reading past the list.
        const int medal =
            medals && size_t(level) < medals->Size() ? medals->GetInt(size_t(level)) : -1;
        SetUpThumbnail(map, level, highest, cutscenes->GetInt(size_t(level)) != 0,
                       scales->GetFloat(size_t(level)), medal);
    }
}

void MapScreenState::SetUpThumbnail(orvel::Morph& map, int level, int highest, bool cutscene,
                                    float crossScale, int medal) {
    orvel::Morph& thumbnail = RequireChild(map, ThumbnailName(level));
    if (level > highest) {
        thumbnail.SetHighlightState(HIGHLIGHT_HIDDEN);
        return;
    }
    thumbnail.GetAttributes().SetInt(KEY_CURRENT_LEVEL, level);
    thumbnail.SetEventHandler(handler);
    thumbnail.SetAttribute(
        orvel::MORPH_EVENT_MOUSE_L_DOWN,
        std::make_shared<LevelClickHandler>(this, &MapScreenState::OnLevelClicked, &thumbnail));
    if (level >= highest || cutscene) {
        return;
    }
    const orvel::MorphRect box = thumbnail.GetRect();
    orvel::Morph* cross = orvel::LoadScreen(&map, FOLDER + "X.txt");
    cross->SetPosition(orvel::PointI(box.left, box.top));
    const orvel::MorphRect crossBox = cross->GetRect();
    cross->SetSize(orvel::PointI(int32_t(float(crossBox.Width()) * crossScale),
                                 int32_t(float(crossBox.Height()) * crossScale)));
    if (medal < 0 || medal > 2) {
        return;
    }
    orvel::Morph* badge = orvel::LoadScreen(&map, FOLDER + MEDAL_FILES[medal]);
    badge->SetPosition(orvel::PointI(box.left, box.bottom - badge->GetRect().Height()));
}

orvel::StatePtr MapScreenState::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    if (GetTransitionCount() != 0) {
        return orvel::StatePtr();
    }
    if (input.KeyPressed(MENU_KEY_ESCAPE) || BackKeyPressed(input)) {
        return FireTrigger(*this, TRIGGER_BACK);
    }
    if (ForwardKeyPressed(input)) {
        return PlayHighestLevel();
    }
    blinkTime += dt;
    const int highest = HighestLevelReached();
    if (highest < CAMPAIGN_LEVEL_COUNT) {
        if (orvel::Morph* blinking = FindChild(ThumbnailName(highest))) {
            if (blinking->IsMouseInside()) {
                blinkTime = 0.0f;
            } else {
                blinking->SetHighlightState(int(blinkTime) % 2 == 1 ? HIGHLIGHT_FULL
                                                                    : HIGHLIGHT_GREY);
            }
        }
    }
    return orvel::ScreenMorph::Update(input, dt);
}

void MapScreenState::Draw() {
    DrawTree(*this);
    cursor.Draw();
}

PropertyKey MapScreenState::GetName() const { return STATE_NAME; }

PropertyKey MapScreenState::GetTypeName() const { return STATE_NAME; }

void MapScreenState::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    cursor.UnloadTextures();
}

void MapScreenState::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    cursor.ReloadTextures();
}

bool MapScreenState::OnLevelClicked(orvel::Morph* morph) {
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    const orvel::StatePtr next = morph->GetMorphName() == TRIGGER_FORWARD
                                     ? PlayHighestLevel()
                                     : PlayLevel(morph->GetAttributes().GetInt(KEY_CURRENT_LEVEL));
    StoreNextState(*this, next);
    return true;
}

orvel::StatePtr MapScreenState::PlayHighestLevel() {
    return PlayLevel(std::min(HighestLevelReached(), CAMPAIGN_LEVEL_COUNT - 1));
}

orvel::StatePtr MapScreenState::PlayLevel(int level) {
    orvel::GlobalProperties().SetInt(KEY_CURRENT_LEVEL, level);
    return FireTrigger(*this, PropertyKey("Level" + orvel::IntToString(level)));
}
