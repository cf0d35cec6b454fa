#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "engine/anim/easing_holder.h"
#include "engine/sound/sound_manager.h"
#include "engine/sprites/sprite_manager.h"
#include "game/play/hud.h"
#include "game/play/purchase_record.h"

class FactoryComponent;

// Side 1's purse in the display: one bag per dollar in side 1's factory.
// Earned bags (the registry's "deltaMoneyBags", which the factory raises)
// fall onto the pile; spent bags wait a random moment one after another,
// then fly to the button of what was bought while shrinking away. The
// scale's needle shows how full the purse is: the bags that have landed
// and those waiting to fly, against the factory's maximum.
//
// The pile always matches the factory's dollars: each frame ends with
// bags added or taken away to the dollars the factory holds, so that a
// change nobody reported cannot stop play.
class MoneyBags {
public:
    // A random number in [0, 1]; by default from rand().
    typedef std::function<float()> Random;

    MoneyBags(const MoneyBagLayout& layout, const orvel::SpriteManagerPtr& sprites,
              const orvel::SpritePtr& needle, const orvel::SoundPtr& moneySound,
              Random random = nullptr);

    // One frame: new bags, falling, landing, this frame's purchases,
    // waiting, flying, the needle and the pile matched to the factory.
    void Update(float dt, const std::vector<PurchaseRecord>& purchases,
                const FactoryComponent& factory);

    size_t GetFallingCount() const { return dropping.size(); }
    size_t GetSittingCount() const { return sitting.size(); }
    size_t GetWaitingCount() const { return pending.size(); }
    size_t GetFlyingCount() const { return removing.size(); }
    const std::deque<orvel::SpritePtr>& GetFalling() const { return dropping; }
    const std::deque<orvel::SpritePtr>& GetSitting() const { return sitting; }
    const std::deque<orvel::SpritePtr>& GetFlying() const { return removing; }
    // The needle's turn from upright, radians clockwise: -2 pi / 3 for an
    // empty purse to +2 pi / 3 for a full one.
    float GetNeedleAngle() const { return needleAngle; }

private:
    struct PendingRemoval {
        float delay;
        orvel::SpritePtr bag;
        int32_t x, y;
    };

    void AddEarnedBags();
    void DropBags(int count);
    orvel::SpritePtr TakeBag();
    void Fall(float dt);
    void Land();
    void Spend(const std::vector<PurchaseRecord>& purchases);
    void StartFlights(float dt);
    void Fly(float dt);
    void TurnNeedle(const FactoryComponent& factory);
    void Reconcile(const FactoryComponent& factory);

    MoneyBagLayout layout;
    orvel::SpriteManagerPtr sprites;
    orvel::SpritePtr needle;
    orvel::SoundPtr moneySound;
    Random random;
    float needleAngle = 0.0f;

    std::deque<orvel::SpritePtr> dropping;
    std::deque<orvel::ParametricPointHolder> dropAnimations;
    std::deque<orvel::SpritePtr> sitting;
    std::deque<PendingRemoval> pending;
    std::deque<orvel::SpritePtr> removing;
    std::deque<orvel::ParametricPointHolder> removalPaths;
    std::deque<orvel::ParametricHolder> removalScales;
};
