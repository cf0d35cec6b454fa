#include "game/frontend/skirmish_menu.h"

#include <string>
#include <vector>

#include "app/show_message.h"
#include "engine/core/attributes.h"
#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/fuzzy/fuzzy_set_multi_linear.h"
#include "engine/ui/lambda_event_handler.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_drawing.h"
#include "engine/ui/screen_file.h"
#include "engine/ui/sprite_morph.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/level_list_morph.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/menu_sound.h"
#include "game/frontend/screen_triggers.h"
#include "game/frontend/skirmish_controls.h"
#include "game/frontend/skirmish_levels.h"
#include "platform/sleep_pumping_messages.h"

const char SkirmishMenu::SCREEN_FILE[] = "resources/Skirmish/SkirmishMenu.txt";

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_SkirmishMenu");
const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_HIGHEST_LEVEL("TARNMOORE_HighestLevelReached");
const PropertyKey KEY_IS_SKIRMISH("isSkirmishMode");
const PropertyKey KEY_IS_TUTORIAL("isTutorialLevel");
const PropertyKey KEY_LEVEL_PATH("levelPath");
const PropertyKey KEY_CURRENT_LEVEL("TARNMOORE_CurrentLevel");
const PropertyKey KEY_GOOD_RANGE("goodRangeModifier");
const PropertyKey KEY_BAD_RANGE("badRangeModifier");
const PropertyKey SLIDER_1("Player1AirshipRange");
const PropertyKey SLIDER_2("Player2AirshipRange");
const PropertyKey SET_RANGE("range");
const PropertyKey SET_WIDTH("width");
const PropertyKey SOUND_ACCESS_DENIED("snd_access_denied");

const unsigned LINE_HEIGHT = 21;
const orvel::MorphRect LIST_RECT(9, 162, 9 + 289, 162 + 150);
const int32_t LIST_COLOUR = orvel::MakeColour(40, 31, 16, 255);
const int32_t BACK_OUTLINE = orvel::MakeColour(140, 101, 33, 255);

const uint8_t HIGHLIGHT_OVER = 0;
const uint8_t HIGHLIGHT_PRESSED = 1;
const uint8_t HIGHLIGHT_IDLE = 2;
const uint8_t HIGHLIGHT_DIMMED = 3;

const float DEFAULT_RANGE = 1.0f;

enum ControlKind { PURCHASE, MOVEMENT, UNIT_TOGGLE, CASH_FLOW };

// A control of the screen: the morph, the registry key it writes, its kind
// and its side (1 good, 2 bad).
struct Control {
    const char* morph;
    const char* key;
    ControlKind kind;
    int side;
};

const Control CONTROLS[] = {
    {"Player1Purchase", "goodPurchaseControl", PURCHASE, 1},
    {"Player1Movement", "goodAirshipControl", MOVEMENT, 1},
    {"Player2Purchase", "badPurchaseControl", PURCHASE, 2},
    {"Player2Movement", "badAirshipControl", MOVEMENT, 2},
    {"Player1Infantry", "goodInfantryEnabled", UNIT_TOGGLE, 1},
    {"Player1Tank", "goodTankEnabled", UNIT_TOGGLE, 1},
    {"Player1FlakTruck", "goodFlakTruckEnabled", UNIT_TOGGLE, 1},
    {"Player1Balloon", "goodBalloonEnabled", UNIT_TOGGLE, 1},
    {"Player1Gyro", "goodAutoGyroEnabled", UNIT_TOGGLE, 1},
    {"Player1Buster", "goodBusterEnabled", UNIT_TOGGLE, 1},
    {"Player2Infantry", "badInfantryEnabled", UNIT_TOGGLE, 2},
    {"Player2Tank", "badTankEnabled", UNIT_TOGGLE, 2},
    {"Player2FlakTruck", "badFlakTruckEnabled", UNIT_TOGGLE, 2},
    {"Player2Balloon", "badBalloonEnabled", UNIT_TOGGLE, 2},
    {"Player2Gyro", "badAutoGyroEnabled", UNIT_TOGGLE, 2},
    {"Player2Buster", "badBusterEnabled", UNIT_TOGGLE, 2},
    {"Player1CashFlow", "goodCashFlowModifier", CASH_FLOW, 1},
    {"Player2CashFlow", "badCashFlowModifier", CASH_FLOW, 2},
};

// The control's sibling on the other side ("Player1..." <-> "Player2...").
const Control* OtherSide(const Control& control) {
    std::string other = control.morph;
    other[6] = control.side == 1 ? '2' : '1';
    for (const Control& candidate : CONTROLS) {
        if (other == candidate.morph) {
            return &candidate;
        }
    }
    return nullptr;
}

const Control* ControlNamed(PropertyKey name) {
    for (const Control& control : CONTROLS) {
        if (name == PropertyKey(control.morph)) {
            return &control;
        }
    }
    return nullptr;
}

// The frame that the registry's value stands for, and the value that frame
// writes back, so the registry always holds what the screen shows.
int FrameFromRegistry(const Control& control, int frameCount) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    const PropertyKey key(control.key);
    switch (control.kind) {
        case PURCHASE:
            return PurchaseFrame(control.side, registry.Contains(key) ? registry.GetInt(key) : -1);
        case MOVEMENT:
            return MovementFrame(control.side, registry.Contains(key) ? registry.GetInt(key) : -1);
        case UNIT_TOGGLE:
            return !registry.Contains(key) || registry.GetBool(key) ? 1 : 0;
        case CASH_FLOW: {
            const int value = registry.Contains(key) ? registry.GetInt(key) : 1;
            return value >= 0 && value < frameCount ? value : 1;
        }
    }
    return 0;
}

void WriteValue(const Control& control, int frame) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    const PropertyKey key(control.key);
    switch (control.kind) {
        case PURCHASE:
            registry.SetInt(key, PurchaseValue(control.side, frame));
            break;
        case MOVEMENT:
            registry.SetInt(key, MovementValue(frame));
            break;
        case UNIT_TOGGLE:
            registry.SetBool(key, frame != 0);
            break;
        case CASH_FLOW:
            registry.SetInt(key, frame);
            break;
    }
}

orvel::SpriteMorph& RequireSprite(const orvel::Morph& screen, PropertyKey name) {
    orvel::SpriteMorph* found = dynamic_cast<orvel::SpriteMorph*>(screen.FindChild(name));
    if (found == nullptr) {
        throw orvel::ExceptionGeneral(std::string(SkirmishMenu::SCREEN_FILE) +
                                      " has no sprite morph " + name.GetName());
    }
    return *found;
}

int FrameOf(const orvel::Morph& screen, const char* name) {
    return RequireSprite(screen, PropertyKey(name)).GetSprite().GetFrame();
}

int FrameCountOf(orvel::SpriteMorph& morph) {
    const orvel::SpriteCachePtr& cache = morph.GetSprite().GetCache();
    return cache && cache->GetFrameCount() > 0 ? cache->GetFrameCount() : 1;
}

void SetHighlightWithChildren(orvel::Morph& morph, uint8_t state) {
    morph.SetHighlightState(state);
    for (const orvel::MorphPtr& child : morph.GetChildren()) {
        child->SetHighlightState(state);
    }
}

typedef orvel::LambdaEventHandler<SkirmishMenu> ClickHandler;

}  // namespace

bool AirshipRangeEventHandler::Handle(orvel::Morph* morph, PropertyKey event,
                                      const boost::any& argument) {
    if (event == orvel::MORPH_EVENT_MOUSE_ENTER) {
        SetHighlightWithChildren(*morph, HIGHLIGHT_OVER);
        PlayMenuSound(SOUND_ROLLOVER_BUTTON);
        return true;
    }
    if (event == orvel::MORPH_EVENT_MOUSE_LEAVE) {
        SetHighlightWithChildren(*morph, HIGHLIGHT_IDLE);
        return true;
    }
    if (event != orvel::MORPH_EVENT_MOUSE_L_DOWN || morph->GetChildren().empty()) {
        return false;
    }
    morph->SetHighlightState(HIGHLIGHT_PRESSED);
    const orvel::Input* input = boost::any_cast<const orvel::Input*>(argument);
    const orvel::MorphRect box = morph->GetRect();
    const int reach = input->GetMouseX() - box.left;
    morph->GetChildren().front()->SetWidth(reach);
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    const float fraction = float(reach) / float(box.Width());
    const float modifier = fuzzy->GetFuzzySet(SET_RANGE)->Evaluate(fraction);
    if (morph->GetMorphName() == SLIDER_1) {
        orvel::GlobalProperties()[KEY_GOOD_RANGE] = modifier;
    } else if (morph->GetMorphName() == SLIDER_2) {
        orvel::GlobalProperties()[KEY_BAD_RANGE] = modifier;
    }
    return true;
}

SkirmishMenu::SkirmishMenu()
    : orvel::ScreenMorph(STATE_NAME), handler(std::make_shared<ChangeStateButtonEventHandler>()) {
    orvel::LoadScreen(this, SCREEN_FILE);

    levelList = std::make_shared<LevelListMorph>(GetSpriteCacheManager(), LINE_HEIGHT);
    AddChild(levelList);
    levelList->SetRect(LIST_RECT);
    levelList->SetColour(LIST_COLOUR);
    const int highest =
        orvel::GlobalProperties().GetProperties(KEY_SETTINGS)->GetInt(KEY_HIGHEST_LEVEL);
    std::vector<std::string> problems;
    levelList->SetEntries(SkirmishLevelEntries(highest, EXTRA_LEVELS_FOLDER, problems));
    levelList->CreatePreviews();
    for (const std::string& problem : problems) {
        ShowMessage(problem);
    }

    fuzzy.SetFuzzySet(SET_RANGE, std::make_shared<orvel::FuzzySetMultiLinear>(
                                     std::vector<orvel::PointF>{{0.0f, 0.5f}, {0.5f, 1.0f},
                                                                {1.0f, 2.0f}}));
    fuzzy.SetFuzzySet(SET_WIDTH, std::make_shared<orvel::FuzzySetMultiLinear>(
                                     std::vector<orvel::PointF>{{0.5f, 0.0f}, {1.0f, 0.5f},
                                                                {2.0f, 1.0f}}));
    rangeHandler = std::make_shared<AirshipRangeEventHandler>(&fuzzy);
    SetUpSlider(SLIDER_1, KEY_GOOD_RANGE);
    SetUpSlider(SLIDER_2, KEY_BAD_RANGE);
    SetUpControls();

    for (const PropertyKey& name : {TRIGGER_BACK, TRIGGER_FORWARD, TRIGGER_SKIP}) {
        if (orvel::Morph* button = FindChild(name)) {
            if (HasTriggerFor(*this, name)) {
                EnableButton(*button);
            } else {
                DisableButton(*button);
            }
        }
    }
}

SkirmishMenu::~SkirmishMenu() = default;

void SkirmishMenu::SetUpSlider(PropertyKey name, PropertyKey key) {
    orvel::Morph* slider = FindChild(name);
    if (slider == nullptr || slider->GetChildren().empty()) {
        throw orvel::ExceptionGeneral(std::string(SCREEN_FILE) + " has no slider " +
                                      name.GetName() + " with a fill bar");
    }
    orvel::Morph& fill = *slider->GetChildren().front();
    slider->SetEventHandler(rangeHandler);
    slider->SetHighlightState(HIGHLIGHT_IDLE);
    const orvel::MorphRect fillBox = fill.GetRect();
    slider->SetSize(orvel::PointI(fillBox.Width(), fillBox.Height()));
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (!registry.Contains(key)) {
        registry[key] = DEFAULT_RANGE;
    }
    const float share = fuzzy.GetFuzzySet(SET_WIDTH)->Evaluate(registry.GetFloat(key));
    fill.SetWidth(int32_t(share * float(slider->GetRect().Width())));
}

void SkirmishMenu::SetUpControls() {
    for (const Control& control : CONTROLS) {
        orvel::SpriteMorph& morph = RequireSprite(*this, PropertyKey(control.morph));
        const int frame = FrameFromRegistry(control, FrameCountOf(morph));
        morph.GetSprite().SetFrame(frame);
        WriteValue(control, frame);
        morph.SetEventHandler(handler);
        morph.SetAttribute(orvel::MORPH_EVENT_MOUSE_L_DOWN,
                           std::make_shared<ClickHandler>(this, &SkirmishMenu::OnClick, &morph));
        morph.SetHighlightState(HIGHLIGHT_IDLE);
    }
}

void SkirmishMenu::EnableButton(orvel::Morph& button) {
    button.SetEventHandler(handler);
    button.SetAttribute(orvel::MORPH_EVENT_MOUSE_L_DOWN,
                        std::make_shared<ClickHandler>(this, &SkirmishMenu::OnClick, &button));
    button.SetHighlightState(HIGHLIGHT_IDLE);
}

void SkirmishMenu::DisableButton(orvel::Morph& button) {
    button.SetEventHandler(orvel::EventHandlerPtr());
    button.GetAttributes().Erase(orvel::MORPH_EVENT_MOUSE_L_DOWN);
    button.SetHighlightState(HIGHLIGHT_DIMMED);
}

bool SkirmishMenu::OnClick(orvel::Morph* morph) {
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    const PropertyKey name = morph->GetMorphName();
    if (const Control* control = ControlNamed(name)) {
        orvel::CachedSprite& sprite = static_cast<orvel::SpriteMorph*>(morph)->GetSprite();
        const int frame = sprite.GetFrame();
        const Control* other = OtherSide(*control);
        int next = frame;
        switch (control->kind) {
            case PURCHASE:
                next = NextPurchaseFrame(control->side, frame, FrameOf(*this, other->morph));
                break;
            case MOVEMENT:
                next = NextMovementFrame(control->side, frame, FrameOf(*this, other->morph));
                break;
            case UNIT_TOGGLE:
            case CASH_FLOW:
                next = (frame + 1) % FrameCountOf(*static_cast<orvel::SpriteMorph*>(morph));
                break;
        }
        sprite.SetFrame(next);
        WriteValue(*control, next);
        return true;
    }
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (name == TRIGGER_FORWARD) {
        Start();
        return true;
    }
    registry.SetBool(KEY_IS_SKIRMISH, false);
    StoreNextState(*this, FireTrigger(*this, name));
    return true;
}

void SkirmishMenu::Start() {
    const SkirmishLevelEntry& entry = levelList->GetSelectedEntry();
    if (!entry.unlocked) {
        PlayMenuSound(SOUND_ACCESS_DENIED);
        return;
    }
    orvel::Attributes& registry = orvel::GlobalProperties();
    registry.SetBool(KEY_IS_SKIRMISH, true);
    registry.SetString(KEY_LEVEL_PATH, entry.folder);
    registry.SetInt(KEY_CURRENT_LEVEL, 0);
    StoreNextState(*this, FireTrigger(*this, TRIGGER_FORWARD));
}

// "Forward" answers only while the selected level can be played.
void SkirmishMenu::ShowForward() {
    if (forwardShown && shownSelection == levelList->GetSelected()) {
        return;
    }
    forwardShown = true;
    shownSelection = levelList->GetSelected();
    orvel::Morph* forward = FindChild(TRIGGER_FORWARD);
    if (forward == nullptr || !HasTriggerFor(*this, TRIGGER_FORWARD)) {
        return;
    }
    if (levelList->GetSelectedEntry().unlocked) {
        EnableButton(*forward);
    } else {
        DisableButton(*forward);
    }
}

orvel::StatePtr SkirmishMenu::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    if (GetTransitionCount() != 0) {
        return orvel::StatePtr();
    }
    if (input.KeyPressed(MENU_KEY_ESCAPE) || BackKeyPressed(input)) {
        orvel::GlobalProperties().SetBool(KEY_IS_TUTORIAL, false);
        PlayMenuSound(SOUND_CLICKED_BUTTON);
        return FireTrigger(*this, TRIGGER_BACK);
    }
    ShowForward();
    SleepPumpingMessages(1);
    return orvel::ScreenMorph::Update(input, dt);
}

void SkirmishMenu::Draw() {
    DrawTree(*this);
    const orvel::Morph* back = FindChild(TRIGGER_BACK);
    if (back != nullptr && back->IsMouseInside()) {
        orvel::DrawScreenRectAlpha(back->GetRect(), BACK_OUTLINE);
    }
    cursor.Draw();
}

PropertyKey SkirmishMenu::GetName() const { return STATE_NAME; }

PropertyKey SkirmishMenu::GetTypeName() const { return STATE_NAME; }

void SkirmishMenu::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    cursor.UnloadTextures();
}

void SkirmishMenu::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    cursor.ReloadTextures();
}
