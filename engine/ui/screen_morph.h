#pragma once

#include <memory>

#include "engine/state/state.h"
#include "engine/ui/morph.h"

namespace orvel {

class SpriteCacheManager;

// The root of a screen's morph tree, and at the same time the screen's state
// in the screen-state machine. Every sprite morph of the screen takes its
// animations from the screen's sprite cache manager.
//
// A screen is always owned by a shared pointer (the state machine hands it on
// as a shared state). Its morph part is the root: it is never a child.
//
// Morph and State both have UnloadTextures and ReloadTextures; one override
// serves both, as both mean the same: the screen's cached textures and those
// of its tree. The morph's own painting is DrawSelf (nothing, for a screen),
// while State's Draw paints the whole tree.
class ScreenMorph : public Morph, public State {
public:
    // A screen named "Screen" over the whole display. `stateName` is kept as
    // the state's stored name.
    ScreenMorph();
    explicit ScreenMorph(PropertyKey stateName);

    // State: sends the frame's mouse events into the tree, updates the tree
    // and hands back the state that a handler stored under
    // "MORPH_PROPERTY_NextState" in this frame (taking it out), or nothing.
    StatePtr Update(const Input& input, float dt) override;
    using Morph::Update;
    void Draw() override;
    PropertyKey GetName() const override;

    // Morph and State.
    void UnloadTextures() override;
    void ReloadTextures() override;

    // Morph.
    void Initialize(const PointI& position) override;
    void DrawSelf() override;
    PropertyKey GetTypeName() const override;

    const std::shared_ptr<SpriteCacheManager>& GetSpriteCacheManager() const {
        return spriteCacheManager;
    }

private:
    std::shared_ptr<SpriteCacheManager> spriteCacheManager;
};

}  // namespace orvel
