#pragma once

#include <memory>

#include "engine/state/state.h"

namespace orvel {
class Sprite;
class SpriteManager;
}  // namespace orvel

// The first screen: the animated splash sprite of
// "resources/SplashScreen/SplashScreenSprite.txt", centred, for 7 seconds,
// while the frame rate is measured. A machine that averages fewer than 10
// frames a second after the first 3 seconds leaves with "LowFps"; otherwise
// the screen leaves with "Forward", or "ForwardFirstTime" for a player who
// has reached no level yet (who then starts at level 0). Escape, Enter,
// Space, Right or a left click skip the splash and the measuring. The time
// that a screen transition holds the splash does not count against it.
class SplashScreenState : public orvel::State {
public:
    SplashScreenState();

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    void Draw() override;
    void UnloadTextures() override;
    void ReloadTextures() override;
    PropertyKey GetName() const override;

private:
    std::shared_ptr<orvel::SpriteManager> sprites;
    std::shared_ptr<orvel::Sprite> splash;
    float remainingTime = 7.0f;
    float frameCount = 0.0f;
    float elapsedTime = 0.0f;
};
