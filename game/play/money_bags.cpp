#include "game/play/money_bags.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/core/attributes.h"
#include "engine/sound/sound.h"
#include "game/units/components/factory_component.h"

namespace {

const PropertyKey KEY_DELTA_MONEY_BAGS("deltaMoneyBags");
const float PI = 3.14159265358979f;

float RandomFraction() { return float(std::rand()) / float(RAND_MAX); }

const orvel::ParametricPtr& FallCurve() {
    static const orvel::ParametricPtr curve = std::make_shared<orvel::FirstQuadrantCos>();
    return curve;
}

const orvel::ParametricPtr& FlightCurve() {
    static const orvel::ParametricPtr curve = std::make_shared<orvel::FirstQuadrantSin>();
    return curve;
}

const orvel::ParametricPtr& ShrinkCurve() {
    static const orvel::ParametricPtr curve = std::make_shared<orvel::FourthQuadrantSin>();
    return curve;
}

void PlaceAt(orvel::Sprite& sprite, const orvel::PointF& point) {
    sprite.SetPosition(std::round(point.x), std::round(point.y));
}

}  // namespace

MoneyBags::MoneyBags(const MoneyBagLayout& layout, const orvel::SpriteManagerPtr& sprites,
                     const orvel::SpritePtr& needle, const orvel::SoundPtr& moneySound,
                     Random random)
    : layout(layout),
      sprites(sprites),
      needle(needle),
      moneySound(moneySound),
      random(random ? std::move(random) : Random(RandomFraction)) {}

void MoneyBags::Update(float dt, const std::vector<PurchaseRecord>& purchases,
                       const FactoryComponent& factory) {
    AddEarnedBags();
    Fall(dt);
    Land();
    Spend(purchases);
    StartFlights(dt);
    Fly(dt);
    TurnNeedle(factory);
    Reconcile(factory);
}

// Each bag falls from the drop height onto the floor, somewhere in the band
// over the pile; slowly at first, fastest as it lands.
void MoneyBags::AddEarnedBags() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (!registry.Contains(KEY_DELTA_MONEY_BAGS)) {
        return;
    }
    const int count = registry.GetInt(KEY_DELTA_MONEY_BAGS);
    registry.Erase(KEY_DELTA_MONEY_BAGS);
    DropBags(count);
}

void MoneyBags::DropBags(int count) {
    for (int i = 0; i < count; ++i) {
        const orvel::SpritePtr bag = sprites->CreateSprite(layout.animation);
        const float x =
            float(layout.position.x) + (random() - 0.5f) * float(layout.positionVariation);
        const float y = float(layout.position.y);
        orvel::ParametricPointHolder drop;
        drop.Set(x, y, x, y + float(layout.dropHeight), layout.dropTime, FallCurve());
        PlaceAt(*bag, drop.GetPoint());
        dropping.push_back(bag);
        dropAnimations.push_back(drop);
    }
}

// The oldest landed bag, else the oldest falling one; null when there is
// no bag.
orvel::SpritePtr MoneyBags::TakeBag() {
    orvel::SpritePtr bag;
    if (!sitting.empty()) {
        bag = sitting.front();
        sitting.pop_front();
    } else if (!dropping.empty()) {
        bag = dropping.front();
        dropping.pop_front();
        dropAnimations.pop_front();
    }
    return bag;
}

void MoneyBags::Fall(float dt) {
    for (size_t i = 0; i < dropping.size(); ++i) {
        dropAnimations[i].SetElapsed(dropAnimations[i].GetElapsed() + dt);
        PlaceAt(*dropping[i], dropAnimations[i].GetPoint());
    }
}

void MoneyBags::Land() {
    while (!dropAnimations.empty() && dropAnimations.front().GetElapsed() >= layout.dropTime) {
        const orvel::SpritePtr bag = dropping.front();
        bag->SetPosition(bag->GetX(), float(layout.position.y));
        sitting.push_back(bag);
        dropping.pop_front();
        dropAnimations.pop_front();
    }
}

// The purchases of the frame, the last first; their bags start one after
// another, at random gaps. A purchase bigger than the pile takes what there
// is.
void MoneyBags::Spend(const std::vector<PurchaseRecord>& purchases) {
    float delay = 0.0f;
    for (auto record = purchases.rbegin(); record != purchases.rend(); ++record) {
        for (int32_t i = 0; i < record->dollars; ++i) {
            const orvel::SpritePtr bag = TakeBag();
            if (!bag) {
                return;
            }
            pending.push_back(PendingRemoval{delay, bag, record->x, record->y});
            delay += random() * layout.maxRemovalInterval;
        }
    }
}

// At most one bag starts its flight a frame.
void MoneyBags::StartFlights(float dt) {
    if (pending.empty()) {
        return;
    }
    for (PendingRemoval& removal : pending) {
        removal.delay -= dt;
    }
    if (pending.front().delay > 0.0f) {
        return;
    }
    if (moneySound) {
        moneySound->Play();
    }
    const PendingRemoval removal = pending.front();
    pending.pop_front();
    orvel::ParametricHolder scale(1.0f, 0.0f, layout.removalTime, ShrinkCurve());
    orvel::ParametricPointHolder path;
    path.Set(std::round(removal.bag->GetX()), std::round(removal.bag->GetY()), float(removal.x),
             float(removal.y), layout.removalTime, FlightCurve());
    removing.push_back(removal.bag);
    removalPaths.push_back(path);
    removalScales.push_back(scale);
}

// A flying bag shrinks on its way; at most one arrives, and goes, a frame.
void MoneyBags::Fly(float dt) {
    for (size_t i = 0; i < removing.size(); ++i) {
        removalPaths[i].SetElapsed(removalPaths[i].GetElapsed() + dt);
        removalScales[i].SetElapsed(removalScales[i].GetElapsed() + dt);
        const float s = removalScales[i].GetValue();
        const orvel::PointF point = removalPaths[i].GetPoint();
        const float matrix[16] = {s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1, 0, point.x, point.y, 0, 1};
        removing[i]->SetTransform(matrix);
    }
    if (!removalPaths.empty() && removalPaths.front().GetElapsed() >= layout.removalTime) {
        removing.pop_front();
        removalPaths.pop_front();
        removalScales.pop_front();
    }
}

// From -120 degrees (empty) to +120 (full); landed and waiting bags count.
void MoneyBags::TurnNeedle(const FactoryComponent& factory) {
    const int32_t most = factory.GetMaxDollars();
    const float full = most > 0 ? float(pending.size() + sitting.size()) / float(most) : 0.0f;
    needleAngle = full * 4.0f * PI / 3.0f - 2.0f * PI / 3.0f;
    const float c = std::cos(-needleAngle);
    const float s = std::sin(-needleAngle);
    const float matrix[16] = {c,
                              s,
                              0,
                              0,
                              -s,
                              c,
                              0,
                              0,
                              0,
                              0,
                              1,
                              0,
                              float(layout.needlePosition.x),
                              float(layout.needlePosition.y),
                              0,
                              1};
    needle->SetTransform(matrix);
}

// Dollars that came or went without a report (a factory changed by hand,
// one the display was not told of) would part the pile from the purse for
// good: the missing bags fall in, the surplus ones vanish, the oldest first.
void MoneyBags::Reconcile(const FactoryComponent& factory) {
    const int32_t dollars = std::max(factory.GetDollars(), int32_t(0));
    const int32_t shown = int32_t(dropping.size() + sitting.size());
    if (dollars > shown) {
        DropBags(dollars - shown);
    }
    for (int32_t i = dollars; i < shown; ++i) {
        TakeBag();
    }
}
