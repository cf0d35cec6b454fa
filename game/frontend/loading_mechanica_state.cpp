#include "game/frontend/loading_mechanica_state.h"

#include <string>

#include "app/state_machine.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/core/int_to_string.h"
#include "engine/sprites/sprite_cache.h"
#include "engine/state/exit_state.h"
#include "engine/state/state_transition.h"
#include "engine/state/transition_factory.h"
#include "engine/ui/lambda_event_handler.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_file.h"
#include "engine/ui/sprite_morph.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/menu_sound.h"
#include "game/frontend/screen_triggers.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_LoadingMechanica");
const PropertyKey KEY_IS_TUTORIAL("isTutorialLevel");
const PropertyKey KEY_IS_SKIRMISH("isSkirmishMode");
const PropertyKey KEY_CURRENT_LEVEL("TARNMOORE_CurrentLevel");
const PropertyKey KEY_DIFFICULTY("difficulty");

const PropertyKey LOADING_MORPH("Loading");
const PropertyKey DIFFICULTIES[] = {PropertyKey("Cadet"), PropertyKey("Veteran"),
                                    PropertyKey("Hero")};

const char SKIRMISH_PICTURE[] = "resources/Skirmish/loading.jpg";
const char DIFFICULTY_PICTURE[] = "resources/Frontend/choosedifficulty.jpg";
const char CLICK_TO_CONTINUE[] = "resources/Frontend/clicktocontinue.txt";
const orvel::PointI DIFFICULTY_PICTURE_PLACE(274, 543);

const uint8_t HIGHLIGHT_IDLE = 2;
const uint8_t HIGHLIGHT_HIDDEN = 4;
const int MOUSE_LEFT = 1;

typedef orvel::LambdaEventHandler<LoadingMechanicaState> DifficultyHandler;

bool RegistryFlag(PropertyKey key) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    return registry.Contains(key) && registry.GetBool(key);
}

// Shows `animation` in the sprite morph at its own frame size.
void ShowAnimation(orvel::SpriteMorph& morph, const std::string& animation) {
    morph.GetSprite().SetAnimation(animation);
    const orvel::FrameSheet& sheet = morph.GetSprite().GetCache()->GetSheet();
    morph.SetSize(orvel::PointI(int32_t(sheet.width), int32_t(sheet.frameHeight)));
}

}  // namespace

LoadingMechanicaState::LoadingMechanicaState(PropertyKey stateName)
    : orvel::ScreenMorph(stateName),
      handler(std::make_shared<ChangeStateButtonEventHandler>()),
      isTutorial(RegistryFlag(KEY_IS_TUTORIAL)),
      isSkirmish(RegistryFlag(KEY_IS_SKIRMISH)) {
    const int level = orvel::GlobalProperties().GetInt(KEY_CURRENT_LEVEL);
    if (isSkirmish) {
        AddChild(std::make_shared<orvel::SpriteMorph>(GetSpriteCacheManager(), SKIRMISH_PICTURE,
                                                      PropertyKey("UntitledSpriteMorph")));
        return;
    }
    const std::string folder =
        std::string(isTutorial ? "resources/TutorialLevel" : "resources/Level") +
        orvel::IntToString(level);
    orvel::LoadScreen(this, folder + "/loading.txt");
    if (isTutorial) {
        return;
    }
    for (const PropertyKey& name : DIFFICULTIES) {
        orvel::Morph* button = FindChild(name);
        if (button == nullptr) {
            throw orvel::ExceptionGeneral(folder + "/loading.txt has no morph " + name.GetName());
        }
        button->SetEventHandler(handler);
        button->SetAttribute(orvel::MORPH_EVENT_MOUSE_L_DOWN,
                             std::make_shared<DifficultyHandler>(
                                 this, &LoadingMechanicaState::OnDifficulty, button));
        button->SetHighlightState(HIGHLIGHT_HIDDEN);
    }
}

orvel::StatePtr LoadingMechanicaState::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    if (GetTransitionCount() != 0) {
        return orvel::StatePtr();
    }
    if (!next) {
        const orvel::StatePtr now = Prepare();
        if (now) {
            return now;
        }
    }
    if (isTutorial && next &&
        (input.IsMouseButtonPressed(MOUSE_LEFT) || input.KeyPressed(MENU_KEY_SPACE))) {
        return HandOut();
    }
    return orvel::ScreenMorph::Update(input, dt);
}

orvel::StatePtr LoadingMechanicaState::Prepare() {
    const orvel::StatePtr built = FireTrigger(*this, TRIGGER_FORWARD);
    if (!built || built.get() == this) {
        return LeaveAfterFailure();
    }
    Keep(built);
    if (isSkirmish) {
        return HandOut();
    }
    orvel::SpriteMorph* loading = dynamic_cast<orvel::SpriteMorph*>(FindChild(LOADING_MORPH));
    if (loading == nullptr) {
        throw orvel::ExceptionGeneral("The loading screen has no sprite morph Loading");
    }
    if (isTutorial) {
        ShowAnimation(*loading, CLICK_TO_CONTINUE);
        return orvel::StatePtr();
    }
    ShowAnimation(*loading, DIFFICULTY_PICTURE);
    loading->SetPosition(DIFFICULTY_PICTURE_PLACE);
    for (const PropertyKey& name : DIFFICULTIES) {
        FindChild(name)->SetHighlightState(HIGHLIGHT_IDLE);
    }
    return orvel::StatePtr();
}

// The level could not be built, and the machine has shown why. Building it
// again would show the same message every frame, so the screen leaves.
orvel::StatePtr LoadingMechanicaState::LeaveAfterFailure() {
    next.reset();
    if (HasTriggerFor(*this, TRIGGER_BACK)) {
        const orvel::StatePtr back = FireTrigger(*this, TRIGGER_BACK);
        if (back && back.get() != this) {
            return back;
        }
    }
    return TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(
        std::make_shared<orvel::ExitState>(), TRIGGER_FORWARD);
}

void LoadingMechanicaState::Keep(const orvel::StatePtr& built) {
    const auto* transition = dynamic_cast<const orvel::StateTransition*>(built.get());
    if (transition != nullptr && transition->GetFrom().get() == this) {
        next = transition->GetTo();
        transitionName = transition->GetName();
        transitionTime = transition->GetDuration();
    } else {
        next = built;
        transitionName = PropertyKey();
    }
}

orvel::StatePtr LoadingMechanicaState::HandOut() {
    orvel::StatePtr level;
    level.swap(next);
    if (!level || transitionName == PropertyKey()) {
        return level;
    }
    return orvel::CreateTransition(transitionName, shared_from_this(), level, transitionTime);
}

bool LoadingMechanicaState::OnDifficulty(orvel::Morph* morph) {
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    for (int difficulty = 0; difficulty < 3; ++difficulty) {
        if (morph->GetMorphName() == DIFFICULTIES[difficulty]) {
            orvel::GlobalProperties().SetInt(KEY_DIFFICULTY, difficulty);
            StoreNextState(*this, HandOut());
            return true;
        }
    }
    return false;
}

void LoadingMechanicaState::Draw() {
    DrawTree(*this);
    if (next) {
        cursor.Draw();
    }
}

PropertyKey LoadingMechanicaState::GetName() const { return STATE_NAME; }

PropertyKey LoadingMechanicaState::GetTypeName() const { return STATE_NAME; }

void LoadingMechanicaState::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    cursor.UnloadTextures();
    next.reset();
}

void LoadingMechanicaState::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    cursor.ReloadTextures();
}
