// Purchasing in the in-game state: what each factory offers, the purchase
// bar and number keys of the people who play, the computer's buying for a
// side that nobody plays, the tutorial's purchase channel and the purchase
// buttons of the display.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/core/attributes.h"
#include "game/play/control_input.h"
#include "game/play/mechanica_state.h"

namespace {

const PropertyKey KEY_DELTA_MONEY_BAGS("deltaMoneyBags");
const PropertyKey KEY_ENEMY_BUY("enemyBuy");
const PropertyKey KEY_ENEMY_BUY_UNIT("enemyBuyUnit");

// Where each factory parks the prototypes it sells, world units: off the
// play field.
const orvel::Vector4 GOOD_HOLD_POSITION(-25.0f, 5.0f, 0.0f, 1.0f);
const orvel::Vector4 BAD_HOLD_POSITION(-50.0f, 5.0f, 0.0f, 1.0f);

// The registry switches of the skirmish setup for the unit types it lets a
// side buy, beside the product they switch; the engineer always keeps the
// level's own setting.
struct SkirmishSwitch {
    int product;
    const char* suffix;
};
const SkirmishSwitch SKIRMISH_SWITCHES[] = {
    {0, "InfantryEnabled"}, {2, "TankEnabled"},     {3, "FlakTruckEnabled"},
    {4, "BalloonEnabled"},  {5, "AutoGyroEnabled"}, {6, "BusterEnabled"},
};

// Tints of a purchase button: under the pointer, and otherwise.
const int32_t HOVER_TINT = int32_t(0xff555555);
const int32_t NO_TINT = int32_t(0xffffffff);
// A flashing button shows its last frame while this bit of its counter is set.
const uint8_t FLASH_BIT = 4;

const int LEFT_BUTTON = 1;

PurchaseMenu SkirmishMenu(PurchaseMenu menu, const char* side) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    for (const SkirmishSwitch& entry : SKIRMISH_SWITCHES) {
        const PropertyKey key(std::string(side) + entry.suffix);
        if (registry.Contains(key)) {
            menu[size_t(entry.product)] = registry.GetBool(key) ? 1 : 0;
        }
    }
    return menu;
}

}  // namespace

void MechanicaState::SetUpPurchaseMenus() {
    goodFactory->SetHoldPosition(GOOD_HOLD_POSITION);
    goodFactory->SetDollars(goodFactory->GetMaxDollars() / 3);
    orvel::GlobalProperties().SetInt(KEY_DELTA_MONEY_BAGS, goodFactory->GetDollars());
    badFactory->SetHoldPosition(BAD_HOLD_POSITION);
    badFactory->SetDollars(badFactory->GetMaxDollars() / 2);
    PurchaseMenu goodMenu = level.goodPurchaseMenu;
    PurchaseMenu badMenu = level.badPurchaseMenu;
    if (mode.isSkirmishMode) {
        goodMenu = SkirmishMenu(goodMenu, "good");
        badMenu = SkirmishMenu(badMenu, "bad");
    }
    StockFactory(*goodFactory, goodMenu, TEAM_NONE);
    StockFactory(*badFactory, badMenu, TEAM_BAD);
}

// Side 1's prototypes keep their definition's own team.
void MechanicaState::StockFactory(FactoryComponent& factory, const PurchaseMenu& menu, int team) {
    for (int product = 0; product < PRODUCT_UNIT_COUNT; ++product) {
        if (menu[size_t(product)] == 0) {
            continue;
        }
        const ComponentBodyPtr prototype = std::make_shared<ComponentBody>();
        prototype->SpawnUnit(world.get(), spriteManager.get(), soundManager.get(), objectProperties,
                             ProductObjectName(product), team);
        factory.HoldBody(product, prototype, true);
    }
}

// In skirmish a group that side 2 cannot wholly buy is left out.
void MechanicaState::SetUpPurchaseGroups() {
    for (const std::vector<int>& group : level.purchaseGroups) {
        const bool offered = std::all_of(group.begin(), group.end(), [this](int product) {
            return badFactory->CanBuy(product);
        });
        if (mode.isSkirmishMode && !offered) {
            continue;
        }
        purchaseGroups.groups.push_back(group);
        purchaseGroups.costs.push_back(GroupCost(*badFactory, group));
    }
}

void MechanicaState::TrackPurchaseBar(const orvel::Input& input) {
    const int slot = PurchaseSlotAt(input.GetMouseX(), input.GetMouseY());
    if (slot >= 0) {
        hoveredSlot = slot;
        if (input.IsMouseButtonPressed(LEFT_BUTTON)) {
            clickedSlot = slot;
        }
    }
    if (hoveredSlot == lastHoveredSlot) {
        return;
    }
    if (hoveredSlot >= 0) {
        hud->GetButton(hoveredSlot)->colour = HOVER_TINT;
    }
    if (lastHoveredSlot >= 0) {
        hud->GetButton(lastHoveredSlot)->colour = NO_TINT;
    }
    lastHoveredSlot = hoveredSlot;
}

void MechanicaState::HandleGoodPurchases(const orvel::Input& input, float dt) {
    purchaseRecords.clear();
    if (goodFactory == nullptr) {
        return;
    }
    const int control = mode.goodPurchaseControl;
    if (control == 0) {
        buyers[0].Update(
            *goodFactory, purchaseGroups, purchaseTimePerUnit[0], dt, true,
            [this](int product, int32_t spent) { RecordPurchase(product, spent); },
            UnitsOnField(TEAM_GOOD));
        return;
    }
    const uint32_t keys = PurchaseKeysPressed(input, control, TEAM_GOOD);
    for (int product = 0; product < Hud::kButtonCount; ++product) {
        bool wanted = (keys & (1u << product)) != 0;
        if ((control & CONTROL_MOUSE) != 0 && clickedSlot == product) {
            clickedSlot = -1;
            wanted = true;
        }
        if (!wanted) {
            continue;
        }
        const int32_t before = goodFactory->GetDollars();
        goodFactory->Buy(product);
        if (goodFactory->GetDollars() != before) {
            RecordPurchase(product, before - goodFactory->GetDollars());
        }
    }
}

// The side's living units of the types that can be bought; the prototypes
// that the factories hold wait off the field, left of x = 0.
int MechanicaState::UnitsOnField(int team) const {
    std::vector<std::shared_ptr<orvel::Body>> bodies;
    world->CopyBodyList(bodies);
    int count = 0;
    for (const std::shared_ptr<orvel::Body>& body : bodies) {
        if (body->GetTeam() != team || !body->IsAlive() || body->GetPosition().x < 0.0f) {
            continue;
        }
        for (int product = 0; product < PRODUCT_UNIT_COUNT; ++product) {
            if (body->GetObjectName() == ProductObjectName(product)) {
                ++count;
                break;
            }
        }
    }
    return count;
}

void MechanicaState::HandleBadPurchases(const orvel::Input& input, float dt) {
    if (badFactory == nullptr) {
        return;
    }
    if (mode.badPurchaseControl == 0) {
        if (enemyBuy) {
            buyers[1].Update(*badFactory, purchaseGroups, purchaseTimePerUnit[1], dt, false,
                             nullptr, UnitsOnField(TEAM_BAD));
        }
        return;
    }
    const uint32_t keys = PurchaseKeysPressed(input, mode.badPurchaseControl, TEAM_BAD);
    for (int product = 0; product < Hud::kButtonCount; ++product) {
        if ((keys & (1u << product)) != 0) {
            badFactory->Buy(product);
        }
    }
}

// The tutorial script switches side 2's buying and buys for it through the
// registry.
void MechanicaState::TutorialPurchases() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (registry.Contains(KEY_ENEMY_BUY)) {
        enemyBuy = registry.GetBool(KEY_ENEMY_BUY);
        registry.Erase(KEY_ENEMY_BUY);
    }
    if (registry.Contains(KEY_ENEMY_BUY_UNIT)) {
        const int product = registry.GetInt(KEY_ENEMY_BUY_UNIT);
        registry.Erase(KEY_ENEMY_BUY_UNIT);
        if (product >= 0 && badFactory != nullptr && badFactory->CanAfford(product)) {
            badFactory->Buy(product);
        }
    }
}

// The purse takes the bags off towards the middle of the button.
void MechanicaState::RecordPurchase(int product, int32_t spent) {
    const orvel::SpritePtr& button = hud->GetButton(product);
    const orvel::FrameSheet& sheet = button->GetData()->sheet;
    PurchaseRecord record;
    record.dollars = spent;
    record.x = int32_t(std::lround(button->GetX())) + int32_t(sheet.width) / 2;
    record.y = int32_t(std::lround(button->GetY())) - int32_t(sheet.frameHeight) / 2;
    purchaseRecords.push_back(record);
    hud->Flash(product) = uint8_t(hud->GetFlashFrames());
}

// A button on offer fills up frame by frame as the money nears its price;
// one just bought blinks.
void MechanicaState::UpdatePurchaseButtons() {
    if (goodFactory == nullptr) {
        return;
    }
    for (int product = 0; product < Hud::kButtonCount; ++product) {
        const orvel::SpritePtr& button = hud->GetButton(product);
        const int32_t frames = button->GetData()->GetFrameCount();
        uint8_t& flash = hud->Flash(product);
        if (flash > 0) {
            button->SetFrame((flash & FLASH_BIT) != 0 ? frames - 1 : 0);
            --flash;
            continue;
        }
        if (!goodFactory->CanBuy(product)) {
            button->alpha = 0.0f;
            continue;
        }
        button->alpha = 1.0f;
        const int32_t cost = goodFactory->GetHeldBody(product)->GetUnitCost();
        int32_t frame = frames - 1;
        if (cost > 0) {
            frame = std::min(int32_t(int64_t(frames - 1) * goodFactory->GetDollars() / cost),
                             frames - 1);
        }
        button->SetFrame(frame);
    }
}
