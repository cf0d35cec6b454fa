#include "engine/ui/screen_morph.h"

#include "engine/core/input.h"
#include "engine/sprites/sprite_cache_manager.h"
#include "engine/ui/morph_keys.h"

namespace orvel {

namespace {

const PropertyKey SCREEN_MORPH_NAME("Screen");
const PropertyKey TYPE_SCREEN_MORPH("ScreenMorph");

// One mouse button: its bit in the button mask and the events of its edges.
struct MouseButtonEvents {
    int mask;
    PropertyKey down;
    PropertyKey up;
};

}  // namespace

ScreenMorph::ScreenMorph() : ScreenMorph(PropertyKey()) {}

ScreenMorph::ScreenMorph(PropertyKey stateName)
    : Morph(SCREEN_MORPH_NAME),
      State(stateName),
      spriteCacheManager(std::make_shared<SpriteCacheManager>()) {
    SetRect(MorphRect(0, 0, UI_SCREEN_WIDTH, UI_SCREEN_HEIGHT));
    GetAttributes()[SCREEN_MORPH_PROPERTY_CURRENT_STATE] = static_cast<State*>(this);
}

StatePtr ScreenMorph::Update(const Input& input, float dt) {
    TrackHover(*this, input);
    const MouseButtonEvents buttons[] = {
        {1, MORPH_EVENT_MOUSE_L_DOWN, MORPH_EVENT_MOUSE_L_UP},
        {2, MORPH_EVENT_MOUSE_R_DOWN, MORPH_EVENT_MOUSE_R_UP},
        {4, MORPH_EVENT_MOUSE_M_DOWN, MORPH_EVENT_MOUSE_M_UP},
    };
    for (const MouseButtonEvents& button : buttons) {
        if (input.IsMouseButtonPressed(button.mask)) {
            DispatchMouseEvent(*this, button.down, input);
        } else if (input.IsMouseButtonReleased(button.mask)) {
            DispatchMouseEvent(*this, button.up, input);
        }
    }
    if (!Update(dt)) {
        if (GetHighlighter()) {
            const HighlighterPtr highlighter = GetHighlighter();
            highlighter->Update(dt);
        }
        UpdateTree(*this, dt);
    }

    Attributes& attributes = GetAttributes();
    const Attributes::Map::iterator found = attributes.Find(MORPH_PROPERTY_NEXT_STATE);
    if (found == attributes.End()) {
        return StatePtr();
    }
    const StatePtr next = boost::any_cast<StatePtr>(found->second);
    attributes.Erase(MORPH_PROPERTY_NEXT_STATE);
    return next;
}

void ScreenMorph::Draw() { DrawTree(*this); }

PropertyKey ScreenMorph::GetName() const { return TYPE_SCREEN_MORPH; }

void ScreenMorph::UnloadTextures() {
    spriteCacheManager->UnloadTextures();
    Morph::UnloadTextures();
}

void ScreenMorph::ReloadTextures() {
    spriteCacheManager->ReloadTextures();
    Morph::ReloadTextures();
}

void ScreenMorph::Initialize(const PointI&) {}

void ScreenMorph::DrawSelf() {}

PropertyKey ScreenMorph::GetTypeName() const { return TYPE_SCREEN_MORPH; }

}  // namespace orvel
